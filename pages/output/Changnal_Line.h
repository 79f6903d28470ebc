#pragma once

// The strip of CH1..CH12 toggles beside the output page's response graph:
// switching an output on overlays its curve on the graph (g_bOutCurveShown),
// so several outputs' responses can be compared.  Enter and Escape never
// end it.

#include "controls/BitButton.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/win/Dialog.h"

class COutputDlg;

class CChangnal_Line : public CDialog {
public:
    static constexpr UINT kTemplate = 967;

    CChangnal_Line() : CDialog(kTemplate) {}

    COutputDlg* m_pOwnerPage = nullptr;
    CBitmap m_bmBackground;
    // Outputs 12 down to 1.
    CBitButton m_btnCh12, m_btnCh11, m_btnCh10, m_btnCh9, m_btnCh8, m_btnCh7, m_btnCh6, m_btnCh5, m_btnCh4,
        m_btnCh3, m_btnCh2, m_btnCh1;

    // Control id of output k's toggle (0..11).
    static UINT ButtonId(int output);
    CBitButton& Button(int output);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    void OnPaint();
    void OnChannelButton(UINT id);
    DECLARE_MESSAGE_MAP()
};
