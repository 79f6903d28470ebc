#pragma once

// Off-screen drawing: a memory DC over a rectangle of a target DC, in the
// target's coordinates, copied back to the target when destroyed.

#include "platform/gdi/Dc.h"

class CMemDC final : public CDC {
public:
    explicit CMemDC(CDC* target, const RECT* rect = nullptr, bool copyBackground = false);
    ~CMemDC() override;

    CMemDC* operator->() { return this; }
    operator CMemDC*() { return this; }

private:
    CDC* m_pDC;
    CBitmap m_bitmap;
    CBitmap* m_oldBitmap = nullptr;
    CRect m_rect;
    bool m_bMemDC;
};
