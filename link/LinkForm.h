#pragma once

// The parts of the view's form the link operations change: the connect
// button's pictures, the link-status label and the transfer popup.  The
// application's form implements it; the link sees only this, so it builds
// without a display.  Called on the GUI thread.

#include "platform/sys/WinTypes.h"

class ILinkForm {
public:
    virtual ~ILinkForm() = default;
    // Connect button 1413: the checked normal, hover and pressed bitmaps (the
    // unchecked set stays empty; the button stays checked, so these show).
    virtual void SetConnectButtonBitmaps(UINT normal, UINT hover, UINT pressed) = 0;
    // Link-status label 2776.
    virtual void SetLinkLabel(const CString& text, bool blink) = 0;
    virtual void CloseTransferPopup() = 0;
};
