#include "app/INIT.h"

#include "controls/SharedGdiObjects.h"
#include "model/Globals.h"
#include "platform/sys/MessageBox.h"

namespace {

constexpr UINT kTitleLabel = 2855;
constexpr UINT kTextLabel = 2856;

} // namespace

BEGIN_MESSAGE_MAP(CINIT, CDialog)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

BOOL CINIT::OnInitDialog() {
    CDialog::OnInitDialog();
    SetFont(&g_fontDialogBold);
    if (CWnd* title = GetDlgItem(kTitleLabel))
        title->SetFont(&g_fontTitleBold);
    const bool zh = g_bChinese != 0;
    GetDlgItem(kTitleLabel)->SetWindowText(zh ? "警告!" : "Warning! ");
    GetDlgItem(kTextLabel)
        ->SetWindowText(zh ? "   该操作将引起设备重启并恢复到出厂时的状态"
                           : "   This operation will restore factory Settings");
    GetDlgItem(IDOK)->SetWindowText(zh ? "确定" : "OK");
    GetDlgItem(IDCANCEL)->SetWindowText(zh ? "取消" : "Quit");
    SetWindowText(zh ? "恢复出厂设置" : "Restore factory settings");
    return TRUE;
}

HBRUSH CINIT::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
    HBRUSH brush = CDialog::OnCtlColor(dc, wnd, ctlColor);
    if (wnd && wnd->GetDlgCtrlID() == int(kTitleLabel)) {
        dc->SetTextColor(RGB(255, 0, 0));
        dc->SetBkMode(TRANSPARENT);
        if (!m_brHollow.GetSafeHandle())
            m_brHollow.CreateStockObject(HOLLOW_BRUSH);
        return m_brHollow;
    }
    return brush;
}
