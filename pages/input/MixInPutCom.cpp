#include "pages/input/MixInPutCom.h"

#include "controls/PaintBitmap.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "platform/gdi/Dc.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/PaintDC.h"

BEGIN_MESSAGE_MAP(CMixInPutCom, CDialog)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_SYSCOMMAND, &CMixInPutCom::OnSysCommand)
ON_MESSAGE(UM_MIX_ROW_SELECTED, &CMixInPutCom::OnMixRowSelected)
END_MESSAGE_MAP()

CMixInPutCom::CMixInPutCom() : CDialog(IDD, nullptr) {
    m_bmBackZh.LoadBitmap(993);
    m_bmBackEn.LoadBitmap(994);
}

BOOL CMixInPutCom::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(g_bChinese ? "输入信号" : "Input Signal");
    for (int i = 0; i < kPanels; ++i) {
        CRouteMixCom& panel = m_Panels[i];
        panel.Create(CRouteMixCom::IDD, this);
        panel.m_pOwner = this;
        panel.m_nOutput = i;
        panel.m_pOutData = m_pModel ? m_pModel->GetOutput(i) : nullptr;
        panel.InitLayoutA();
        panel.MoveWindow(PanelX(i), 13, 92, 439, TRUE);
        panel.ShowWindow(i < kShownPanels ? SW_SHOW : SW_HIDE);
    }
    for (CRouteMixCom& panel : m_Panels)
        panel.RefreshFromData();
    return TRUE;
}

void CMixInPutCom::OnPaint() {
    CPaintDC dc(this);
    CBitmap& back = g_bChinese ? m_bmBackZh : m_bmBackEn;
    PaintBitmap(dc, back);
}

LRESULT CMixInPutCom::OnSysCommand(WPARAM command, LPARAM lParam) {
    // The close box ends the mixer as OK: every edit is already applied.
    if ((command & 0xFFF0) == SC_CLOSE) {
        CDialog::OnOK();
        return 0;
    }
    return DefWindowProc(WM_SYSCOMMAND, command, lParam);
}

LRESULT CMixInPutCom::OnMixRowSelected(WPARAM, LPARAM) {
    InvalidateRect(&kLabelColumn, TRUE);
    return 0;
}
