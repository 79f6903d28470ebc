#include "controls/SpinBtn.h"

#include "controls/NumSpin.h"
#include "controls/SizedPicture.h"
#include "platform/win/Cursor.h"

BEGIN_MESSAGE_MAP(CSpinBtn, CButton)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSELEAVE()
ON_WM_MOUSEHOVER()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_SETCURSOR()
ON_WM_KILLFOCUS()
ON_WM_MOUSEWHEEL()
ON_WM_KEYDOWN()
ON_WM_TIMER()
END_MESSAGE_MAP()

void CSpinBtn::PreSubclassWindow() {
    CButton::PreSubclassWindow();
    const UINT type = GetButtonStyle() & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX)
        m_nKind = 2;
    else if (type == BS_AUTORADIOBUTTON)
        m_nKind = 4;
    else {
        m_nKind = 0;
        ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
    }
}

void CSpinBtn::SetBitmaps(UINT normal, UINT left, UINT active, UINT right) {
    m_nBitmaps[0] = normal;
    m_nBitmaps[1] = left;
    m_nBitmaps[2] = active;
    m_nBitmaps[3] = right;
    if (!GetSafeHwnd())
        return;
    CBitmap picture;
    if (picture.LoadBitmap(normal)) {
        BITMAP info{};
        picture.GetBitmap(&info);
        SetWindowPos(nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
    }
    CRect client;
    GetClientRect(&client);
    const double q = client.Width() / 5.5;
    m_rcLeft = CRect(client.left, client.top, int(client.left + q), client.bottom);
    m_rcMiddle = CRect(int(client.left + q), client.top, int(client.right - q), client.bottom);
    m_rcRight = CRect(int(client.right - q), client.top, client.right, client.bottom);
}

void CSpinBtn::SetTarget(UINT, CNumSpin* spin) {
    m_pTarget = spin;
}

void CSpinBtn::SetActive(BOOL active) {
    m_bActive = active ? TRUE : FALSE;
    m_nState = active ? 2 : 0;
    if (GetSafeHwnd())
        Invalidate(FALSE);
}

void CSpinBtn::DrawItem(LPDRAWITEMSTRUCT dis) {
    if (m_nKind != 0 || !dis)
        return;
    m_pDrawItem = dis;
    CDC* dc = CDC::FromHandle(dis->hDC);
    dc->SetBkMode(TRANSPARENT);
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    const CString text = GetWindowText();
    if (dis->itemState & ODS_DISABLED) {
        dc->FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
        dc->SetTextColor(m_crDisabledText);
        dc->DrawText(text, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        m_pDrawItem = nullptr;
        return;
    }
    const UINT id = m_nState >= 0 && m_nState <= 3 ? m_nBitmaps[m_nState] : 0;
    CBitmap picture;
    // An id that names no picture draws like no picture at all.
    if (id && picture.LoadBitmap(id)) {
        DrawSizedPicture(*this, *dc, picture, window, client);
    } else {
        dc->FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
    }
    if (!text.empty()) {
        CRect textRect(client);
        textRect.bottom -= 5;
        dc->SetTextColor(m_crText);
        dc->DrawText(text, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    m_pDrawItem = nullptr;
}

void CSpinBtn::TrackMouse(DWORD hoverMs) {
    m_track.cbSize = sizeof(m_track);
    m_track.dwFlags = TME_HOVER | TME_LEAVE;
    m_track.hwndTrack = GetSafeHwnd();
    m_track.dwHoverTime = hoverMs;
    TrackMouseEvent(&m_track);
}

void CSpinBtn::OnLButtonDown(UINT, CPoint) {
    // The edit under the button commits as it loses the focus.
    SetFocus();
    m_bButtonDown = TRUE;
    if (m_bActive)
        TrackMouse(1000);
    const HWND self = GetSafeHwnd();
    Default();
    if (!::IsWindow(self))
        return;
    // The edit then tells its owner of the click and takes the focus back.
    if (CWnd* parent = GetParent())
        parent->PostMessage(WM_LBUTTONDOWN, 0, 0);
}

void CSpinBtn::StepOnce() {
    if (!m_bActive || !m_pTarget)
        return;
    if (m_nState == 1)
        m_pTarget->StepBy(-1);
    else if (m_nState == 3)
        m_pTarget->StepBy(1);
}

void CSpinBtn::OnLButtonDblClk(UINT, CPoint) {
    StepOnce();
}

void CSpinBtn::OnMouseLeave() {
    m_bButtonDown = FALSE;
    m_nState = m_bActive ? 2 : 0;
    Invalidate(FALSE);
}

void CSpinBtn::OnMouseHover(UINT, CPoint) {
    if (m_bButtonDown)
        SetTimer(m_nRepeatTimer, UINT(m_nRepeatMs));
}

void CSpinBtn::OnMouseMove(UINT, CPoint point) {
    if (m_bActive) {
        // Outside every part (the mouse is captured) the button only looks
        // active, so nothing steps.
        int state = 2;
        if (m_rcMiddle.PtInRect(point))
            state = 2;
        else if (m_rcLeft.PtInRect(point))
            state = 1;
        else if (m_rcRight.PtInRect(point))
            state = 3;
        if (state != m_nState) {
            m_nState = state;
            Invalidate(FALSE);
        }
        TrackMouse(1);
    } else {
        m_nState = 0;
        Invalidate(FALSE);
    }
    Default();
}

void CSpinBtn::OnLButtonUp(UINT, CPoint) {
    m_bButtonDown = FALSE;
    KillTimer(m_nRepeatTimer);
    Default();
}

BOOL CSpinBtn::OnSetCursor(CWnd*, UINT, UINT) {
    ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}

void CSpinBtn::OnKillFocus(CWnd*) {
    m_nState = 0;
    Default();
}

BOOL CSpinBtn::OnMouseWheel(UINT, short, CPoint) {
    return TRUE;
}

void CSpinBtn::OnKeyDown(UINT key, UINT, UINT) {
    if (key == VK_UP || key == VK_RIGHT) {
        if (CWnd* parent = GetParent())
            parent->SetFocus();
    }
    Default();
}

void CSpinBtn::OnTimer(UINT_PTR id) {
    if (id == m_nRepeatTimer)
        StepOnce();
    Default();
}
