#pragma once

// The parts of the view's form that the connect handshake, the live
// synchronisation and the preset transfers change, beyond those of
// ILinkForm: the pages and strips refreshed from the model, the input-source
// drop-down, the transfer popup and its progress bars, the connect button's
// popup menu and the all-presets file.  The application's form implements
// it; the link sees only this.  Called on the GUI thread.

#include "link/LinkForm.h"
#include "platform/sys/WinTypes.h"

#include <vector>

// One entry of the connect button's popup menu.
struct ConnectMenuEntry {
    UINT id = 0;
    CString label;
    bool operator==(const ConnectMenuEntry&) const = default;
};

class ISyncForm : public ILinkForm {
public:
    // Live data arrived: clear the output-map button's selection, show the
    // page tabs, the output page (unless page button 2823 is selected) and
    // the twelve output strips, hide the lock overlay.
    virtual void ShowUnlockedForm() = 0;
    virtual void UpdateAllControls() = 0;
    virtual void UpdateOutputControls() = 0;
    virtual void ShowPresetName() = 0;
    virtual void InvalidateView() = 0;

    // Entry of the input-source drop-down (control 2820).
    virtual void SetInputSourceEntry(int entry) = 0;
    // Speaker-type captions of strips 1 to 8.
    virtual void UpdateStripTypeCaptions() = 0;
    // The output page's strips after the output-map lock changed.
    virtual void UpdateStripsEnable() = 0;
    // The output page's band controls after its equaliser was reset.
    virtual void RefreshBands() = 0;

    // The transfer popup (mode 1 for batches, 0 for the connect read).
    virtual void ShowTransferPopup(int mode) = 0;
    // Range 0..upper, position 0: the view's bar (1414) and the popup's bar.
    virtual void SetProgressRanges(int upper) = 0;
    // The same for the popup's bar only.
    virtual void SetPopupProgressRange(int upper) = 0;

    // The connect button's popup, at its left edge 2 pixels below it.
    virtual void TrackConnectMenu(const std::vector<ConnectMenuEntry>& entries) = 0;

    // Save-file dialog for the all-presets file; non-zero when a path was
    // chosen (it is in g_strAllPresetsPath).
    virtual int ChooseAllPresetsFile() = 0;
    // Writes the stored presets to that path; 1 on success.
    virtual int SaveAllPresetsFile() = 0;
};
