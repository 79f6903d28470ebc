#include "controls/TransparentStatic.h"

#include "controls/ParentArea.h"
#include "platform/sys/MessageQueue.h"
#include "platform/win/PaintDC.h"

BEGIN_MESSAGE_MAP(CTransparentStatic, CStatic)
ON_WM_PAINT()
ON_WM_CTLCOLOR_REFLECT()
ON_MESSAGE(WM_SETTEXT, &CTransparentStatic::OnSetText)
ON_MESSAGE(CTransparentStatic::kApplyText, &CTransparentStatic::OnApplyText)
END_MESSAGE_MAP()

void CTransparentStatic::SetText(const CString& text) {
    const HWND hwnd = GetSafeHwnd();
    const bool guiThread = hwnd && platform::FindMessageTarget(hwnd);
    {
        std::lock_guard lock(m_mutex);
        if (text == m_strLast)
            return;
        m_strLast = text;
        m_bPending = !guiThread;
        if (m_bPending)
            m_strPending = text;
    }
    if (guiThread)
        SetWindowText(text);
    else if (hwnd)
        ::PostMessage(hwnd, kApplyText, 0, 0);
}

LRESULT CTransparentStatic::OnApplyText(WPARAM, LPARAM) {
    CString text;
    {
        std::lock_guard lock(m_mutex);
        if (!m_bPending)
            return 0;
        m_bPending = false;
        text = m_strPending;
    }
    SetWindowText(text);
    return 0;
}

void CTransparentStatic::SetTextColor(COLORREF color) {
    m_crText = color;
    Invalidate(TRUE);
}

LRESULT CTransparentStatic::OnSetText(WPARAM, LPARAM) {
    const LRESULT result = Default();
    InvalidateParentArea(*this);
    return result;
}

void CTransparentStatic::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const CString text = GetWindowText();
    CFont* font = GetFont();
    CFont* old = font ? dc.SelectObject(font) : nullptr;
    const DWORD style = GetStyle();
    UINT format = 0;
    if (style & SS_RIGHT)
        format |= DT_RIGHT;
    if (style & SS_CENTER)
        format |= DT_CENTER;
    if (style & SS_CENTERIMAGE)
        format |= DT_VCENTER | DT_SINGLELINE;
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    if (style & (SS_ENDELLIPSIS | SS_PATHELLIPSIS))
        format |= DT_WORD_ELLIPSIS;
    if (style & SS_ENDELLIPSIS)
        format |= DT_END_ELLIPSIS;
    if (style & SS_PATHELLIPSIS)
        format |= DT_PATH_ELLIPSIS;
    if (!(style & 0xC20C))
        format |= DT_WORDBREAK;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(m_crText);
    dc.DrawText(text, &client, format);
    if (old)
        dc.SelectObject(old);
}

HBRUSH CTransparentStatic::CtlColor(CDC* dc, UINT) {
    dc->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
}
