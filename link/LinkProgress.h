#pragma once

// What the reply parser and the link operations drive of the windows: the
// progress bars of the transfer popup and of the firmware-update dialog, and
// the update dialog's status label.  The window layer's controls implement
// these; the link sees only the interface, so it builds without a display.
// Each call may come from the communication thread: the control passes the
// change on to its window by a posted message.

#include "platform/sys/WinTypes.h"

#include <atomic>
#include <mutex>

class ILinkProgressBar {
public:
    virtual ~ILinkProgressBar() = default;
    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetPos(int pos) = 0;
    virtual int GetCurPos() const = 0;
    virtual int GetUpper() const = 0;
};

class ILinkStatusLabel {
public:
    virtual ~ILinkStatusLabel() = default;
    virtual void SetText(const CString& text) = 0;
};

// The transfer popup's bar; set by the view when it builds the popup.
extern std::atomic<ILinkProgressBar*> g_pTransferProgress;
// The firmware-update dialog's bar and status label; null while it is closed.
extern std::atomic<ILinkProgressBar*> g_pFirmwareProgress;
extern std::atomic<ILinkStatusLabel*> g_pUpdateStatusLabel;

// Held while the update dialog's bar or label is used or taken away, so the
// dialog cannot go while the communication thread is inside one of their
// calls (which only post to the windows).
extern std::recursive_mutex g_csFirmwareUi;

template <typename Use> void WithFirmwareProgress(Use use) {
    std::lock_guard lock(g_csFirmwareUi);
    if (ILinkProgressBar* bar = g_pFirmwareProgress.load())
        use(*bar);
}
template <typename Use> void WithUpdateStatusLabel(Use use) {
    std::lock_guard lock(g_csFirmwareUi);
    if (ILinkStatusLabel* label = g_pUpdateStatusLabel.load())
        use(*label);
}
