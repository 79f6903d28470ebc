#include "controls/MemDC.h"

CMemDC::CMemDC(CDC* target, const RECT* rect, bool copyBackground)
    : m_pDC(target), m_bMemDC(!target->IsPrinting()) {
    if (!m_bMemDC) {
        m_hDC = target->m_hDC;
        m_hAttribDC = target->m_hAttribDC;
        return;
    }
    if (rect)
        m_rect = *rect;
    else
        target->GetClipBox(&m_rect);
    CreateCompatibleDC(target);
    target->LPtoDP(reinterpret_cast<POINT*>(&m_rect), 2);
    m_bitmap.CreateCompatibleBitmap(target, m_rect.Width(), m_rect.Height());
    m_oldBitmap = SelectObject(&m_bitmap);
    SetMapMode(target->GetMapMode());
    SetWindowExt(target->GetWindowExt());
    SetViewportExt(target->GetViewportExt());
    target->DPtoLP(reinterpret_cast<POINT*>(&m_rect), 2);
    SetWindowOrg(m_rect.left, m_rect.top);
    if (copyBackground)
        BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), target, m_rect.left, m_rect.top,
               SRCCOPY);
    else
        FillSolidRect(&m_rect, target->GetBkColor());
}

CMemDC::~CMemDC() {
    if (m_bMemDC) {
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                      SRCCOPY);
        SelectObject(m_oldBitmap);
    } else {
        m_hDC = m_hAttribDC = nullptr;
    }
}
