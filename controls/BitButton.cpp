#include "controls/BitButton.h"

#include "controls/ButtonKind.h"
#include "controls/SizedPicture.h"
#include "platform/sys/UserMessages.h"

BEGIN_MESSAGE_MAP(CBitButton, CButton)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_MOUSEHOVER, &CBitButton::OnMouseHoverMsg)
ON_MESSAGE(WM_MOUSELEAVE, &CBitButton::OnMouseLeaveMsg)
ON_WM_SETCURSOR()
ON_WM_TIMER()
END_MESSAGE_MAP()

void CBitButton::SetBitmaps(UINT normal, UINT hover, UINT pressed, UINT selNormal, UINT selHover,
                            UINT selPressed) {
    m_nBitmaps[0] = normal;
    m_nBitmaps[1] = hover;
    m_nBitmaps[2] = pressed;
    m_nSelBitmaps[0] = selNormal ? selNormal : normal;
    m_nSelBitmaps[1] = selHover ? selHover : hover;
    m_nSelBitmaps[2] = selPressed ? selPressed : pressed;
    Invalidate(FALSE);
}

void CBitButton::SetSelectedBitmap(UINT id) {
    m_nSelBitmaps[0] = m_nSelBitmaps[1] = m_nSelBitmaps[2] = id;
    Invalidate(FALSE);
}

void CBitButton::SetDisabledBitmaps(UINT unselected, UINT selected) {
    m_nDisabledBitmaps[0] = unselected;
    m_nDisabledBitmaps[1] = selected;
    Invalidate(FALSE);
}

void CBitButton::SetTextColors(COLORREF normal, COLORREF hover, COLORREF pressed, COLORREF selNormal,
                               COLORREF selHover, COLORREF selPressed) {
    m_crText[0] = normal;
    m_crText[1] = hover;
    m_crText[2] = pressed;
    m_crSelText[0] = selNormal;
    m_crSelText[1] = selHover;
    m_crSelText[2] = selPressed;
}

void CBitButton::SetSelected(BOOL selected) {
    m_bSelected = selected;
    Invalidate(FALSE);
}

void CBitButton::ShowButton(int show) {
    ShowWindow(show);
}

void CBitButton::PreSubclassWindow() {
    m_nKind = ButtonKindOf(GetStyle());
    if (m_nKind == 0)
        ModifyStyle(0, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
}

BOOL CBitButton::PreTranslateMessage(MSG* msg) {
    if (::GetParent(msg->hwnd) && CWnd::FromHandle(msg->hwnd)->GetDlgCtrlID() == int(kClickSplitId)) {
        CWnd* parent = CWnd::FromHandle(msg->hwnd)->GetParent();
        switch (msg->message) {
        case WM_RBUTTONDOWN:
            if (parent)
                parent->PostMessage(UM_BUTTON_CLICK, 0x204, 0);
            break;
        case WM_LBUTTONDBLCLK:
            if (parent)
                parent->PostMessage(UM_BUTTON_CLICK, 0x203, 0);
            KillTimer(kClickTimer);
            break;
        case WM_LBUTTONDOWN:
            SetTimer(kClickTimer, 200);
            m_pClickParent = parent;
            break;
        case WM_TIMER:
            if (m_pClickParent)
                m_pClickParent->PostMessage(UM_BUTTON_CLICK, 0x201, 0);
            KillTimer(kClickTimer);
            break;
        default:
            break;
        }
    }
    return CButton::PreTranslateMessage(msg);
}

void CBitButton::DrawItem(LPDRAWITEMSTRUCT dis) {
    m_pDrawItem = dis;
    if (m_nKind == 0)
        DrawPushButton();
    else if (m_nKind == 2)
        CButton::DrawItem(dis);
}

void CBitButton::DrawPushButton() {
    CDC* dc = CDC::FromHandle(m_pDrawItem->hDC);
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    const CString text = GetWindowText();
    dc->SetBkMode(TRANSPARENT);

    const bool disabled = (m_pDrawItem->itemState & ODS_DISABLED) != 0;
    UINT bitmapId;
    COLORREF textColor;
    if (disabled) {
        bitmapId = m_nDisabledBitmaps[m_bSelected ? 1 : 0];
        textColor = m_crDisabledText;
    } else {
        const UINT* ids = m_bSelected ? m_nSelBitmaps : m_nBitmaps;
        const COLORREF* colors = m_bSelected ? m_crSelText : m_crText;
        // Pressed without hover shows the normal picture.
        const int state = m_bHover && m_bPressed ? 2 : m_bHover ? 1 : 0;
        bitmapId = ids[state];
        textColor = colors[state];
    }

    if (bitmapId) {
        CBitmap bitmap;
        if (bitmap.LoadBitmap(bitmapId))
            DrawSizedPicture(*this, *dc, bitmap, window, client);
    } else {
        dc->FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
    }

    if (disabled) {
        CFont* oldFont = m_pDisabledFont ? dc->SelectObject(m_pDisabledFont) : nullptr;
        dc->SetTextColor(textColor);
        CRect rc = client;
        rc.left += m_nDisabledIndent;
        dc->DrawText(text, &rc, m_nDisabledFormat | DT_VCENTER | DT_SINGLELINE);
        if (oldFont)
            dc->SelectObject(oldFont);
    } else if (!text.empty()) {
        dc->SetTextColor(textColor);
        dc->DrawText(text, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void CBitButton::OnMouseMove(UINT flags, CPoint point) {
    if (!m_bHover) {
        m_bHover = TRUE;
        Invalidate(FALSE);
    }
    TrackLeaveAndHover(m_hWnd);
    m_moveNotice.Moved(*this, flags, point);
    CButton::OnMouseMove(flags, point);
}

LRESULT CBitButton::OnMouseLeaveMsg(WPARAM, LPARAM) {
    m_bHover = FALSE;
    Invalidate(FALSE);
    return 0;
}

void CBitButton::OnLButtonDown(UINT flags, CPoint point) {
    m_bPressed = TRUE;
    Invalidate(TRUE);
    CButton::OnLButtonDown(flags, point);
}

void CBitButton::OnLButtonUp(UINT flags, CPoint point) {
    m_bPressed = FALSE;
    CButton::OnLButtonUp(flags, point);
}

BOOL CBitButton::OnSetCursor(CWnd*, UINT, UINT) {
    return m_hand.Show();
}

void CBitButton::OnTimer(UINT_PTR id) {
    CButton::OnTimer(id);
}
