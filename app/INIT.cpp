#include "app/INIT.h"

#include "controls/SharedGdiObjects.h"
#include "model/Globals.h"
#include "platform/sys/MessageBox.h"
#include "platform/win/PaintDC.h"

#include <algorithm>

namespace {

constexpr UINT kTitleLabel = 2855;
constexpr UINT kTextLabel = 2856;

// The title's large font and the Chinese glyphs need more room than the
// template gives the labels: a label grows about its centre to hold its
// text on one line.
void GrowToText(CWnd& label) {
    CClientDC dc(&label);
    CFont* old = dc.SelectObject(label.GetFont());
    CRect need(0, 0, 0, 0);
    dc.DrawText(label.GetWindowText(), &need, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const CSize text = need.Size();
    dc.SelectObject(old);
    CRect box;
    label.GetWindowRect(&box);
    label.GetParent()->ScreenToClient(&box);
    const int dx = std::max(0, text.cx - box.Width()), dy = std::max(0, text.cy - box.Height());
    if (dx == 0 && dy == 0)
        return;
    box.InflateRect(dx / 2, dy / 2, dx - dx / 2, dy - dy / 2);
    label.MoveWindow(&box);
}

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
    GrowToText(*GetDlgItem(kTitleLabel));
    GrowToText(*GetDlgItem(kTextLabel));
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
