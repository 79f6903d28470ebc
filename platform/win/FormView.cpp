#include "platform/win/FormView.h"

BOOL CFormView::CreateView(CWnd* frame) {
    if (!frame || !Create(m_nIDTemplate, frame))
        return FALSE;
    FillFrame();
    ShowWindow(SW_SHOW);
    OnInitialUpdate();
    return TRUE;
}

void CFormView::FillFrame() {
    CWnd* frame = GetParent();
    if (!frame || !GetSafeHwnd())
        return;
    RECT rc;
    frame->GetClientRect(&rc);
    MoveWindow(0, 0, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}
