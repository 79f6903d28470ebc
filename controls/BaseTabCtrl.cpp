#include "controls/BaseTabCtrl.h"

#include "platform/sys/Debug.h"
#include "platform/win/PaintDC.h"

BEGIN_MESSAGE_MAP(CBaseTabCtrl, CTabCtrl)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
END_MESSAGE_MAP()

namespace {
// The tab that never shows the hand.
constexpr int kTabWithoutHand = 3;
} // namespace

CBaseTabCtrl::CBaseTabCtrl(int drawMode) {
    EnableDraw(drawMode);
}

BOOL CBaseTabCtrl::EnableDraw(int mode) {
    ASSERT(mode >= 0 && mode <= 2);
    if (mode < 0 || mode > 2)
        return FALSE;
    m_nDrawMode = mode;
    if (GetSafeHwnd()) {
        if (mode == 0)
            ModifyStyle(TCS_OWNERDRAWFIXED, 0);
        else
            ModifyStyle(0, TCS_OWNERDRAWFIXED);
        Invalidate(TRUE);
    }
    return TRUE;
}

void CBaseTabCtrl::SetBkgndColor(COLORREF color) {
    m_crBack = color;
    if (GetSafeHwnd())
        Invalidate(TRUE);
}

void CBaseTabCtrl::DrawItem(LPDRAWITEMSTRUCT) {
    ASSERT(!"a derived tab control draws its tabs");
}

void CBaseTabCtrl::DrawMainBorder(LPDRAWITEMSTRUCT) {
    ASSERT(!"a derived tab control draws its page border");
}

void CBaseTabCtrl::DrawItemBorder(LPDRAWITEMSTRUCT) {
    ASSERT(!"a derived tab control draws its tab borders");
}

COLORREF CBaseTabCtrl::GetTabColor(BOOL) {
    return RGB(255, 0, 0);
}

COLORREF CBaseTabCtrl::GetTabTextColor(BOOL) {
    return GetSysColor(COLOR_WINDOWTEXT);
}

void CBaseTabCtrl::PreSubclassWindow() {
    CTabCtrl::PreSubclassWindow();
    if (m_nDrawMode != 0)
        ModifyStyle(0, TCS_OWNERDRAWFIXED);
}

void CBaseTabCtrl::OnPaint() {
    if (m_nDrawMode != 2) {
        ASSERT(m_nDrawMode == 0 || (GetStyle() & TCS_OWNERDRAWFIXED));
        Default();
        return;
    }
    DrawAll();
}

void CBaseTabCtrl::DrawAll() {
    CPaintDC dc(this);
    CFont* font = GetFont();
    CFont* oldFont = font ? dc.SelectObject(font) : nullptr;

    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_TAB;
    dis.CtlID = UINT(GetDlgCtrlID());
    dis.hwndItem = GetSafeHwnd();
    dis.hDC = dc.GetSafeHdc();
    dis.itemAction = ODA_DRAWENTIRE;

    CRect client;
    GetClientRect(&client);
    CRect page = client;
    AdjustRect(FALSE, &page);
    CRect border = client;
    border.top = page.top - 2;
    dis.rcItem = border;
    DrawMainBorder(&dis);

    const int count = GetItemCount();
    const int selected = GetCurSel();
    for (int i = count - 1; i >= 0; --i) {
        if (i == selected)
            continue;
        CRect tab;
        GetItemRect(i, &tab);
        tab.bottom -= 2;
        dis.itemID = UINT(i);
        dis.itemState = 0;
        dis.rcItem = tab;
        DrawItem(&dis);
        DrawItemBorder(&dis);
    }
    // The selected tab last, so that it overlaps its neighbours.
    if (selected >= 0 && selected < count) {
        CRect tab;
        GetItemRect(selected, &tab);
        tab.top -= 2;
        tab.bottom += 2;
        dis.itemID = UINT(selected);
        dis.itemState = ODS_SELECTED;
        dis.rcItem = tab;
        DrawItem(&dis);
        DrawItemBorder(&dis);
    }
    if (oldFont)
        dc.SelectObject(oldFont);
}

BOOL CBaseTabCtrl::OnEraseBkgnd(CDC* dc) {
    CTabCtrl::OnEraseBkgnd(dc);
    CRect client;
    GetClientRect(&client);
    CRect tabs;
    for (int i = GetItemCount() - 1; i >= 0; --i) {
        CRect tab;
        GetItemRect(i, &tab);
        tabs.UnionRect(tabs, tab);
    }
    const int tabHeight = tabs.Height();
    CRect grown = tabs;
    grown.InflateRect(2, 3);

    dc->SetBkColor(m_crBack == kSystemFace ? GetSysColor(COLOR_3DFACE) : m_crBack);
    // Above the tabs, across the whole control.
    CRect above = client;
    above.bottom = tabs.top;
    // Left of the first tab.
    CRect left = client;
    left.right = client.left + 2;
    left.bottom = client.top + tabHeight + 2;
    // Right of the last tab, where the grown row ends less its margin.
    CRect right = client;
    right.left = client.left + grown.Width() - 2;
    right.bottom = client.top + tabHeight + 2;
    for (const CRect& r : {above, left, right})
        if (!r.IsRectEmpty())
            dc->ExtTextOut(r.left, r.top, ETO_OPAQUE, &r, "");
    return TRUE;
}

void CBaseTabCtrl::OnMouseMove(UINT flags, CPoint point) {
    const int selected = GetCurSel();
    for (int i = GetItemCount() - 1; i >= 0; --i) {
        CRect tab;
        GetItemRect(i, &tab);
        if (tab.PtInRect(point)) {
            m_bHandDue = i != selected && i != kTabWithoutHand;
            return;
        }
    }
    m_bHandDue = FALSE;
    CTabCtrl::OnMouseMove(flags, point);
}

BOOL CBaseTabCtrl::OnSetCursor(CWnd*, UINT, UINT) {
    if (m_bHandDue) {
        m_bHandDue = FALSE;
        return m_hand.Show();
    }
    ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}
