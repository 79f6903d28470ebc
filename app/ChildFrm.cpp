#include "app/ChildFrm.h"

#include "app/TALQ50Form.h"

BEGIN_MESSAGE_MAP(CChildFrame, CWnd)
ON_WM_SIZE()
ON_MESSAGE(WM_SETTINGCHANGE, &CChildFrame::OnSettingChange)
END_MESSAGE_MAP()

CChildFrame::CChildFrame() = default;

CChildFrame::~CChildFrame() {
    DestroyWindow();
}

BOOL CChildFrame::LoadFrame(CWnd* mainFrame, CTALQ50Doc* doc) {
    if (!CreateEx(0, "KtChildFrame", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 1204, 70},
                  mainFrame, 0xE900))
        return FALSE;
    ShowMaximized();
    m_pView = std::make_unique<CTALQ50Form>(doc);
    return m_pView->CreateView(this);
}

void CChildFrame::ShowMaximized() {
    CWnd* parent = GetParent();
    if (!parent)
        return;
    RECT rc;
    parent->GetClientRect(&rc);
    MoveWindow(0, 0, rc.right - rc.left, rc.bottom - rc.top);
    ShowWindow(SW_SHOW);
}

LRESULT CChildFrame::OnSettingChange(WPARAM flags, LPARAM lParam) {
    if (m_pView && m_pView->GetSafeHwnd())
        m_pView->SendMessage(WM_SETTINGCHANGE, flags, lParam);
    return 0;
}

void CChildFrame::OnSize(UINT, int, int) {
    if (m_pView && m_pView->GetSafeHwnd())
        m_pView->FillFrame();
}
