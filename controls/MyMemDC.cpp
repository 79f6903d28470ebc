#include "controls/MyMemDC.h"

CMyMemDC::CMyMemDC(CDC* target) : m_pDC(target), m_bMemDC(!target->IsPrinting()) {
    if (!m_bMemDC) {
        Attach(target->GetSafeHdc());
        return;
    }
    target->GetClipBox(&m_rect);
    CreateCompatibleDC(target);
    m_bitmap.CreateCompatibleBitmap(target, m_rect.Width(), m_rect.Height());
    m_oldBitmap = SelectObject(&m_bitmap);
    SetWindowOrg(m_rect.left, m_rect.top);
}

CMyMemDC::~CMyMemDC() {
    if (m_bMemDC) {
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                      SRCCOPY);
        SelectObject(m_oldBitmap);
    } else {
        Detach();
    }
}
