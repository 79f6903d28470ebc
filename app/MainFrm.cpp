#include "app/MainFrm.h"

#include "model/Globals.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/win/TopLevel.h"
#include "platform/win/WinApp.h"

BEGIN_MESSAGE_MAP(CMainFrame, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_MESSAGE(WM_DISPLAYCHANGE, &CMainFrame::OnDisplayChange)
ON_MESSAGE(WM_SETTINGCHANGE, &CMainFrame::OnSettingChange)
ON_MESSAGE(WM_NCDESTROY, &CMainFrame::OnNcDestroyMsg)
END_MESSAGE_MAP()

BOOL CMainFrame::LoadFrame() {
    const DWORD style = WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN;
    return CreateEx(0, "KtMainFrame", g_strTitle.c_str(), style, RECT{0, 0, kWidth, kHeight}, nullptr, 0);
}

int CMainFrame::OnCreate(void*) {
    CenterWindow();
    ModifyStyle(WS_CAPTION | WS_BORDER | WS_THICKFRAME, 0);
    platform::win::MakeFramelessFixed(m_hWnd);
    platform::win::WatchScreenChanges(m_hWnd);
    return 0;
}

void CMainFrame::OnSize(UINT type, int cx, int cy) {
    if (type == SIZE_MAXIMIZED || type == SIZE_RESTORED)
        SetWindowText(g_strTitle);
    if (type != SIZE_MINIMIZED && m_pChild && m_pChild->GetSafeHwnd())
        m_pChild->MoveWindow(0, 0, cx, cy);
    ApplyRegion();
}

void CMainFrame::ApplyRegion() {
    RECT rc;
    GetWindowRect(&rc);
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    // The outermost two pixels go on the left, right and bottom; the top stays.
    CRgn region;
    region.CreateRectRgn(2, -2, width - 2, height - 2);
    SetWindowRgn(m_hWnd, region, TRUE);
}

LRESULT CMainFrame::OnDisplayChange(WPARAM, LPARAM) {
    SetWindowPos(&wndTop, 0, 0, kDisplayChangeWidth, kDisplayChangeHeight, SWP_SHOWWINDOW);
    platform::win::MakeFramelessFixed(m_hWnd);
    return 1;
}

// The desktop tells the top-level window; the view acts on it.
LRESULT CMainFrame::OnSettingChange(WPARAM flags, LPARAM lParam) {
    if (m_pChild && m_pChild->GetSafeHwnd())
        m_pChild->SendMessage(WM_SETTINGCHANGE, flags, lParam);
    return 0;
}

LRESULT CMainFrame::OnNcDestroyMsg(WPARAM, LPARAM) {
    AfxPostQuitMessage(0);
    return 0;
}
