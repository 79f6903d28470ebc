#pragma once

// The confirmation before the factory data replace the processor's presets
// and settings.

#include "platform/win/Dialog.h"

class CINIT : public CDialog {
public:
    static constexpr UINT IDD = 1246;

    explicit CINIT(CWnd* parent = nullptr) : CDialog(IDD, parent) {}

protected:
    BOOL OnInitDialog() override;
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    DECLARE_MESSAGE_MAP()

private:
    CBrush m_brHollow; // the title label shows the dialog through its background
};
