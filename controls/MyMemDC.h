#pragma once

// The progress bar's off-screen DC: covers the target's clip box, draws in
// the target's coordinates and copies itself back when destroyed.

#include "platform/gdi/Dc.h"

class CMyMemDC final : public CDC {
public:
    explicit CMyMemDC(CDC* target);
    ~CMyMemDC() override;

    CMyMemDC* operator->() { return this; }
    operator CMyMemDC*() { return this; }

private:
    CBitmap m_bitmap;
    CBitmap* m_oldBitmap = nullptr;
    CDC* m_pDC;
    CRect m_rect;
    bool m_bMemDC;
};
