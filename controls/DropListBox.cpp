#include "controls/DropListBox.h"

BEGIN_MESSAGE_MAP(CDropListBox, CListBox)
ON_WM_CREATE()
ON_WM_MOUSEMOVE()
ON_WM_KILLFOCUS()
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CDropListBox::~CDropListBox() = default;

int CDropListBox::OnCreate(void* createStruct) {
    m_pen.CreatePen(PS_SOLID, 1, kBack);
    m_brBack.CreateSolidBrush(kBack);
    m_brHighlight.CreateSolidBrush(kHighlight);
    return CListBox::OnCreate(createStruct);
}

void CDropListBox::SetListFont(CFont* font) {
    if (m_pFont || !font)
        return;
    m_pFont = font;
    SetFont(font, TRUE);
    LOGFONT lf;
    font->GetLogFont(&lf);
    SetItemHeight(0, UINT(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight));
}

int CDropListBox::AddItem(const CString& text) {
    // The second entry after creation or emptying puts the remembered
    // selection back into the list.
    if (m_records.size() == 1)
        SetCurSel(m_nRemembered);
    m_records.push_back(std::make_unique<ItemRecord>());
    return AddString(text);
}

void CDropListBox::ResetContent() {
    m_records.clear();
    m_nRemembered = 0;
    CListBox::ResetContent();
}

void CDropListBox::DrawItem(LPDRAWITEMSTRUCT dis) {
    if (int(dis->itemID) < 0 || dis->itemID >= m_records.size())
        return;
    CDC* dc = CDC::FromHandle(dis->hDC);
    CString text;
    GetText(int(dis->itemID), text);
    const ItemRecord& record = *m_records[dis->itemID];
    CRect rc(dis->rcItem);
    rc.InflateRect(1, 1);
    const bool highlighted = (dis->itemState & (ODS_FOCUS | ODS_SELECTED)) != 0;
    CPen* oldPen = dc->SelectObject(&m_pen);
    CBrush* oldBrush = dc->SelectObject(highlighted ? &m_brHighlight : &m_brBack);
    dc->SetTextColor(highlighted ? record.highlightedText : record.text);
    dc->Rectangle(&rc);
    dc->SetBkMode(TRANSPARENT);
    rc.left = 4;
    rc.right -= 5;
    CFont* oldFont = m_pFont ? dc->SelectObject(m_pFont) : nullptr;
    dc->DrawText(text, &rc, DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    if (oldFont)
        dc->SelectObject(oldFont);
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
}

void CDropListBox::OnMouseMove(UINT flags, CPoint point) {
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        CRect r;
        GetItemRect(i, &r);
        if (r.PtInRect(point)) {
            SetCurSel(i);
            break;
        }
    }
    CListBox::OnMouseMove(flags, point);
}

void CDropListBox::OnKillFocus(CWnd* next) {
    CListBox::OnKillFocus(next);
    if (CWnd* popup = GetParent())
        popup->ShowWindow(SW_HIDE);
}

HBRUSH CDropListBox::CtlColor(CDC*, UINT) {
    return static_cast<HBRUSH>(m_brBack.GetSafeHandle());
}
