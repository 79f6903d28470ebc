#include "controls/XPButton.h"

#include "platform/win/PaintDC.h"

BEGIN_MESSAGE_MAP(CXPButton, CButton)
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_MOUSELEAVE, &CXPButton::OnMouseLeaveMsg)
ON_MESSAGE(WM_MOUSEHOVER, &CXPButton::OnMouseHoverMsg)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_SETCURSOR()
END_MESSAGE_MAP()

void CXPButton::SetBitmaps(int checkedNormal, int checkedHover, int checkedPressed, int normal, int hover,
                           int pressed) {
    m_nChecked[0] = checkedNormal;
    m_nChecked[1] = checkedHover;
    m_nChecked[2] = checkedPressed;
    m_nNormal[0] = normal;
    m_nNormal[1] = hover;
    m_nNormal[2] = pressed;
    PaintLook();
}

void CXPButton::SetCheck(int check) {
    m_nCheck = check;
    PaintLook();
}

void CXPButton::DrawItem(LPDRAWITEMSTRUCT) {
    PaintLook();
}

// Draws on the window itself, not on the DC of a draw request, so that a
// change of look shows without waiting for a paint.
void CXPButton::PaintLook() {
    if (!GetSafeHwnd())
        return;
    CRect client;
    GetClientRect(&client);
    const int* ids = m_nCheck ? m_nChecked : m_nNormal;
    // The pressed look needs the hover look: a press without hover shows
    // the normal picture.
    int id = ids[0];
    if (m_bHover)
        id = m_bPressed && ids[1] ? ids[2] : ids[1];
    if (id == 0)
        return;
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(UINT(id)))
        return;
    BITMAP info;
    bitmap.GetBitmap(&info);
    SetWindowPos(nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
    CClientDC dc(this);
    CDC memDC;
    memDC.CreateCompatibleDC(&dc);
    CBitmap* old = memDC.SelectObject(&bitmap);
    dc.SetStretchBltMode(COLORONCOLOR);
    // The size taken before the resize: a button whose size differed from
    // its picture shows it scaled once.
    dc.StretchBlt(0, 0, client.Width(), client.Height(), &memDC, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    memDC.SelectObject(old);
}

void CXPButton::OnMouseMove(UINT flags, CPoint point) {
    if (!m_bHover) {
        m_bHover = TRUE;
        Invalidate(FALSE);
        TRACKMOUSEEVENT track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = m_hWnd;
        track.dwHoverTime = 1;
        ::TrackMouseEvent(&track);
        m_moveNotice.Moved(*this, flags, point);
    }
    CButton::OnMouseMove(flags, point);
}

LRESULT CXPButton::OnMouseLeaveMsg(WPARAM, LPARAM) {
    m_bHover = FALSE;
    Invalidate(FALSE);
    return 0;
}

void CXPButton::OnLButtonDown(UINT flags, CPoint point) {
    m_bPressed = TRUE;
    CButton::OnLButtonDown(flags, point);
}

void CXPButton::OnLButtonUp(UINT flags, CPoint point) {
    m_bPressed = FALSE;
    CButton::OnLButtonUp(flags, point);
}
