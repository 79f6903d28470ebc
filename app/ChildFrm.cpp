#include "app/ChildFrm.h"

#include "app/TALQ50Form.h"

BEGIN_MESSAGE_MAP(CChildFrame, CWnd)
ON_WM_SIZE()
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

void CChildFrame::OnSize(UINT, int, int) {
    if (m_pView && m_pView->GetSafeHwnd())
        m_pView->FillFrame();
}
