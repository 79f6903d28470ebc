#pragma once

// Every user-visible failure goes through one message box.  The help-id
// argument chooses the caption and the auto-close time (see the app's
// message-box dialog); the model only passes it on.

#include "platform/sys/WinTypes.h"

inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

namespace platform {

class MessageBoxHandler {
public:
    virtual ~MessageBoxHandler() = default;
    virtual int Show(const CString& text, UINT type, int helpId) = 0;
};

// Installs the handler that shows (or, in tests, records) message boxes and
// returns the previous one.  Without a handler the text goes to stderr and
// the answer is IDOK.
MessageBoxHandler* SetMessageBoxHandler(MessageBoxHandler* handler);

} // namespace platform

int AfxMessageBox(const CString& text, UINT type = MB_OK, int helpId = 0);
