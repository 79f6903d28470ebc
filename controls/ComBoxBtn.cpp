#include "controls/ComBoxBtn.h"

#include "controls/ButtonKind.h"
#include "controls/MoveNotice.h"
#include "controls/SizedPicture.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/WorkArea.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CComBoxBtn, CButton)
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_MOUSELEAVE, &CComBoxBtn::OnMouseLeaveMsg)
ON_MESSAGE(WM_MOUSEHOVER, &CComBoxBtn::OnMouseHoverMsg)
ON_WM_KILLFOCUS()
ON_WM_SIZE()
ON_WM_SETCURSOR()
ON_WM_MOUSEWHEEL()
ON_MESSAGE(UM_DROPLIST_SELECTED, &CComBoxBtn::OnDropListSelected)
END_MESSAGE_MAP()

namespace {
std::unique_ptr<CFont> CaptionFont() {
    auto font = std::make_unique<CFont>();
    font->CreateFont(14, 0, 0, 0, 400, 0, 0, 0, 0, 2, 0x10, 1, 0x22, "Arial");
    return font;
}
} // namespace

CComBoxBtn::CComBoxBtn() : m_pFont(CaptionFont()), m_pHoverFont(CaptionFont()) {}

CComBoxBtn::~CComBoxBtn() = default;

void CComBoxBtn::PreSubclassWindow() {
    m_nDrawKind = ButtonKindOf(GetStyle());
    if (m_nDrawKind == 0)
        ModifyStyle(0, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
}

void CComBoxBtn::SetBitmap(int normalId, int hoverId) {
    m_nNormalBitmap = normalId;
    m_nHoverBitmap = hoverId;
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(UINT(normalId)))
        return;
    BITMAP info;
    bitmap.GetBitmap(&info);
    SetWindowPos(nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
}

BOOL CComBoxBtn::CreateDropList(CWnd*, int reportedId) {
    GetClientRect(&m_rcClient);
    m_nPopupWidth = m_rcClient.Width();
    auto drop = std::make_unique<CDropWnd>();
    if (!drop->CreatePopup(this, UINT(reportedId)))
        return FALSE;
    m_pDrop = std::move(drop);
    m_pDrop->GetList()->SetListFont(m_pFont.get());
    m_nReportedId = reportedId;
    return TRUE;
}

int CComBoxBtn::AddString(const CString& text) {
    return m_pDrop ? m_pDrop->GetList()->AddItem(text) : LB_ERR;
}

void CComBoxBtn::ResetContent() {
    if (m_pDrop)
        m_pDrop->GetList()->ResetContent();
}

bool CComBoxBtn::NamesEntry(int index) const {
    return m_pDrop && index >= 0 && index < m_pDrop->GetList()->GetCount();
}

// Holders set the selection from stored bytes: an index naming no entry
// leaves list and caption as they were.
void CComBoxBtn::SetCurSel(int index) {
    if (!NamesEntry(index))
        return;
    CDropListBox* list = m_pDrop->GetList();
    list->SetCurSel(index);
    CString text;
    list->GetText(index, text);
    SetWindowText(text);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

int CComBoxBtn::GetCurSel() const {
    return m_pDrop ? m_pDrop->GetList()->GetCurSel() : LB_ERR;
}

void CComBoxBtn::DrawItem(LPDRAWITEMSTRUCT dis) {
    if (m_nDrawKind != 0)
        return;
    CDC* dc = CDC::FromHandle(dis->hDC);
    dc->SetBkMode(TRANSPARENT);
    const CString text = GetWindowText();
    const int bitmapId = m_bHover ? m_nHoverBitmap : m_nNormalBitmap;
    CFont* font = m_bHover ? m_pHoverFont.get() : m_pFont.get();
    const COLORREF color = m_bHover ? m_crHoverText : m_crText;
    CRect window, client;
    GetClientRect(&client);
    // An id naming no picture draws like id 0.
    CBitmap bitmap;
    if (bitmapId != 0 && bitmap.LoadBitmap(UINT(bitmapId))) {
        DrawSizedPicture(*this, *dc, bitmap, window, client);
    } else {
        dc->FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
    }
    if (text.empty())
        return;
    CFont* oldFont = dc->SelectObject(font);
    dc->SetTextColor(color);
    CRect rc = client;
    rc.left += 5;
    rc.right -= 20;
    dc->DrawText(text, &rc, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    dc->SelectObject(oldFont);
}

void CComBoxBtn::OpenPopup() {
    CRect b = m_rcClient;
    ClientToScreen(&b);
    RECT work{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    CDropListBox* list = m_pDrop->GetList();
    int h = m_nMaxListHeight;
    const int n = list->GetCount();
    if (n > 0 && n * list->GetItemHeight(0) < m_nMaxListHeight)
        h = n * list->GetItemHeight(0);
    // The popup overlaps the button's last row.
    m_rcPopup = CRect(b.left, b.bottom - 1, b.left + m_nPopupWidth, b.bottom + h);
    if (m_rcPopup.bottom > work.bottom)
        m_rcPopup = CRect(b.left, b.top - h, b.left + m_nPopupWidth, b.top);
    m_pDrop->MoveWindow(&m_rcPopup, FALSE);
    CRect listRect;
    list->GetWindowRect(&listRect);
    if (listRect.bottom != m_rcPopup.bottom) {
        listRect.bottom = m_rcPopup.bottom;
        listRect.InflateRect(1, 1);
        m_pDrop->MoveWindow(&listRect, TRUE);
    }
    m_pDrop->ShowWindow(SW_SHOWNORMAL);
}

void CComBoxBtn::OnLButtonDown(UINT flags, CPoint point) {
    m_bHover = FALSE;
    if (m_pDrop) {
        if (m_pDrop->GetShowStatus() != 0) {
            CPoint screen = point;
            ClientToScreen(&screen);
            if (!m_rcPopup.PtInRect(screen))
                m_pDrop->ShowWindow(SW_HIDE);
        } else {
            OpenPopup();
        }
    }
    Invalidate(TRUE);
    CButton::OnLButtonDown(flags, point);
}

// The popup is created visible with no size, so the visible style alone
// does not say that a press has opened it.
bool CComBoxBtn::PopupShown() const {
    if (!m_pDrop || !(m_pDrop->GetStyle() & WS_VISIBLE))
        return false;
    CRect r;
    m_pDrop->GetWindowRect(&r);
    return !r.IsRectEmpty();
}

void CComBoxBtn::OnMouseMove(UINT flags, CPoint point) {
    if (!m_bHover) {
        m_bHover = TRUE;
        Invalidate(FALSE);
    }
    TrackLeaveAndHover(m_hWnd);
    if (m_bMoveNotice && point != m_ptLastNotice) {
        m_ptLastNotice = point;
        CWnd* parent = GetParent();
        if (PopupShown()) {
            if (CWnd::GetFocus() != m_pDrop.get()) {
                if (parent)
                    parent->SendMessage(UM_MOUSE_MOVE_NOTIFY, WPARAM(-1), GetDlgCtrlID());
                if (m_pDrop && m_pDrop->GetList())
                    m_pDrop->GetList()->SetFocus();
            }
        } else if (CWnd::GetFocus() != this && parent) {
            parent->SendMessage(UM_MOUSE_MOVE_NOTIFY, flags, GetDlgCtrlID());
        }
    }
    CButton::OnMouseMove(flags, point);
}

LRESULT CComBoxBtn::OnMouseLeaveMsg(WPARAM, LPARAM) {
    m_bHover = FALSE;
    Invalidate(FALSE);
    return 0;
}

void CComBoxBtn::OnKillFocus(CWnd* next) {
    m_bHover = FALSE;
    CButton::OnKillFocus(next);
}

void CComBoxBtn::OnSize(UINT type, int cx, int cy) {
    CButton::OnSize(type, cx, cy);
    GetClientRect(&m_rcClient);
}

void CComBoxBtn::Report(int index) {
    if (CWnd* parent = GetParent())
        parent->PostMessage(UM_DROPLIST_SELECTED, WPARAM(m_nReportedId), LPARAM(index));
}

BOOL CComBoxBtn::OnMouseWheel(UINT flags, short delta, CPoint point) {
    const int count = m_pDrop ? m_pDrop->GetList()->GetCount() : 0;
    if (count == 0)
        return CButton::OnMouseWheel(flags, delta, point);
    m_nWheelSum = std::clamp(m_nWheelSum + delta, -WHEEL_DELTA, WHEEL_DELTA);
    int selection = GetCurSel();
    if (m_nWheelSum == -WHEEL_DELTA)
        selection = std::min(selection + 1, count - 1);
    else if (m_nWheelSum == WHEEL_DELTA)
        selection = std::max(selection - 1, 0);
    else
        return CButton::OnMouseWheel(flags, delta, point);
    // Posted also when the selection stayed at an end of the list.
    SetCurSel(selection);
    Report(selection);
    m_nWheelSum = 0;
    return CButton::OnMouseWheel(flags, delta, point);
}

LRESULT CComBoxBtn::OnDropListSelected(WPARAM wParam, LPARAM) {
    const int index = int(wParam);
    if (!NamesEntry(index))
        return 0;
    CString text;
    m_pDrop->GetList()->GetText(index, text);
    SetWindowText(text);
    m_bHover = TRUE;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Report(index);
    m_pDrop->GetList()->SetCurSelIndex(index);
    return 1;
}
