#include "controls/FontStatic.h"

#include "controls/ParentArea.h"
#include "model/Globals.h"
#include "platform/sys/MessageBox.h"
#include "platform/win/PaintDC.h"

BEGIN_MESSAGE_MAP(CFontStatic, CStatic)
ON_WM_PAINT()
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

void CFontStatic::PreSubclassWindow() {
    ModifyStyle(0, SS_NOTIFY);
    CStatic::PreSubclassWindow();
}

void CFontStatic::SetFontStyle(const CString&, int height, COLORREF color, int flags) {
    m_nFontHeight = height;
    if (color == m_crText)
        return;
    m_crText = color;
    m_bCenter = m_bLeft = m_bRight = 0;
    if (flags & 0x20)
        m_bCenter = 1;
    else if (flags & 0x80)
        m_bRight = 1;
    else if (flags & 0x40)
        m_bLeft = 1;
    InvalidateParentArea(*this);
}

void CFontStatic::SetBackColor(COLORREF color) {
    m_crBack = color;
    m_bFillBack = true;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CFontStatic::SetTextColor(COLORREF color) {
    m_crText = color;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    InvalidateParentArea(*this);
}

void CFontStatic::SetText(CString text) {
    SetWindowText(text);
    InvalidateParentArea(*this);
}

void CFontStatic::OnPaint() {
    CPaintDC dc(this);
    const CString text = GetWindowText();
    CRect client;
    GetClientRect(&client);
    dc.SetTextColor(m_crText);
    dc.SetBkMode(TRANSPARENT);
    if (m_bFillBack)
        dc.FillSolidRect(&client, m_crBack);
    CFont font;
    if (!font.CreateFont(m_nFontHeight, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0x20, "Arial")) {
        AfxMessageBox(g_bChinese ? "字体不能创建!" : "Font could not be created!", MB_OK,
                      g_bChinese ? -2 : -3);
        return;
    }
    CFont* old = dc.SelectObject(&font);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;
    if (m_bLeft)
        format |= DT_LEFT;
    else if (m_bRight)
        format |= DT_RIGHT;
    else
        format |= DT_CENTER;
    dc.DrawText(text, &client, format);
    dc.SelectObject(old);
}

HBRUSH CFontStatic::CtlColor(CDC* dc, UINT) {
    dc->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
}
