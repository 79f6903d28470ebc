#include "app/DisplayDlg.h"

#include "link/LinkProgress.h"
#include "model/Globals.h"

#include <algorithm>

CDisplayDlg* g_pDisplayDlg = nullptr;
CDialog* g_pProgramDlg = nullptr;

namespace {

constexpr UINT kLabelId = 1433;
constexpr UINT kProgressId = 2777;
constexpr COLORREF kBlue = RGB(0, 0, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);

} // namespace

BEGIN_MESSAGE_MAP(CDisplayDlg, CDialog)
ON_WM_TIMER()
ON_WM_CTLCOLOR()
ON_WM_CLOSE()
END_MESSAGE_MAP()

void CDisplayDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, kLabelId, m_label);
    DDX_Control(dx, kProgressId, m_progress);
}

BOOL CDisplayDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_brBack.CreateSolidBrush(RGB(229, 229, 229));
    m_label.SetFontStyle("", 18, kBlue, 0x21);
    m_label.SetBackColor(RGB(230, 230, 230));
    m_strTextZh = "数据正在传输中";
    m_strTextEn = "Data transmission";
    m_bOtherWindow = 0;
    return TRUE;
}

void CDisplayDlg::Disable(CWnd* wnd) {
    if (!wnd || !wnd->GetSafeHwnd() || !wnd->IsWindowEnabled())
        return;
    wnd->EnableWindow(FALSE);
    m_disabled.push_back(wnd->GetSafeHwnd());
}

void CDisplayDlg::Show(int otherWindow) {
    m_bOtherWindow = otherWindow;
    if (g_bChinese) {
        m_label.SetText(m_strTextZh);
        SetWindowText("数据传输");
    } else {
        m_label.SetText(m_strTextEn);
        SetWindowText(m_strTextEn);
    }
    Disable(otherWindow ? g_pProgramDlg : m_pOwner);
    SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_bBlink = 1;
    CenterWindow(m_pOwner);
    ShowWindow(SW_SHOW);
    SetTimer(kBlinkTimer, kBlinkMs);
}

void CDisplayDlg::Close() {
    KillTimer(kBlinkTimer);
    for (HWND hwnd : m_disabled)
        if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd))
            wnd->EnableWindow(TRUE);
    m_disabled.clear();
    m_bOtherWindow = 0;
    m_bBlink = 0;
    ShowWindow(SW_HIDE);
}

void CDisplayDlg::OnTimer(UINT_PTR id) {
    if (id != kBlinkTimer) {
        CDialog::OnTimer(id);
        return;
    }
    if (g_bTransferBusy) {
        m_bBlink = !m_bBlink;
        m_label.SetTextColor(m_bBlink ? kBlue : kRed);
        return;
    }
    m_label.SetText(g_bChinese ? "数据传输结束" : "End of data transmission");
    Close();
}

HBRUSH CDisplayDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
    HBRUSH brush = CDialog::OnCtlColor(dc, wnd, ctlColor);
    return ctlColor == CTLCOLOR_DLG ? HBRUSH(m_brBack) : brush;
}

BOOL CDisplayDlg::PreTranslateMessage(MSG* msg) {
    // Neither key may close the popup: the focus goes to it and the key is
    // dispatched without the dialog's keyboard handling.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        SetFocus();
        return FALSE;
    }
    return CDialog::PreTranslateMessage(msg);
}

// ---- The view's share ----------------------------------------------------------

CDisplayDlg* CDisplayDlg::CreateForView(CWnd* view) {
    auto* popup = new CDisplayDlg(view);
    if (!popup->Create(IDD, view)) {
        delete popup;
        return nullptr;
    }
    popup->Close();
    g_pDisplayDlg = popup;
    g_pTransferProgress = &popup->m_progress;
    return popup;
}

void CDisplayDlg::DestroyForView() {
    g_pTransferProgress = nullptr;
    delete std::exchange(g_pDisplayDlg, nullptr);
}

void CDisplayDlg::ShowTransferPopup(int mode) {
    if (g_pDisplayDlg)
        g_pDisplayDlg->Show(mode);
}

void CDisplayDlg::SetProgressRanges(int upper) {
    SetPopupProgressRange(upper);
    WithFirmwareProgress([upper](ILinkProgressBar& bar) { bar.SetRange(0, upper); });
}

void CDisplayDlg::SetPopupProgressRange(int upper) {
    if (g_pDisplayDlg)
        g_pDisplayDlg->m_progress.SetRange(0, upper);
}

void CDisplayDlg::CloseTransferPopup() {
    if (g_pDisplayDlg)
        g_pDisplayDlg->Close();
}
