// DrawEdge: up to two one-pixel rings inside the rectangle, the outer ring
// first, each lit from the top left.

#include "platform/gdi/Dc.h"

namespace {

void Ring(CDC& dc, const RECT& r, UINT sides, COLORREF topLeft, COLORREF bottomRight) {
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return;
    if (sides & BF_TOP)
        dc.FillSolidRect(r.left, r.top, w, 1, topLeft);
    if (sides & BF_LEFT)
        dc.FillSolidRect(r.left, r.top, 1, h, topLeft);
    if (sides & BF_BOTTOM)
        dc.FillSolidRect(r.left, r.bottom - 1, w, 1, bottomRight);
    if (sides & BF_RIGHT)
        dc.FillSolidRect(r.right - 1, r.top, 1, h, bottomRight);
}

} // namespace

BOOL CDC::DrawEdge(RECT* rect, UINT edge, UINT flags) {
    if (!m_hDC || !rect)
        return FALSE;
    // FillSolidRect leaves its colour as the background colour; the caller's stays.
    const COLORREF bk = GetBkColor();
    RECT r = *rect;
    const UINT sides = flags & BF_RECT;
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
        if (edge & BDR_RAISEDOUTER)
            Ring(*this, r, sides, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
        else
            Ring(*this, r, sides, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHIGHLIGHT));
        r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
        if (edge & BDR_RAISEDINNER)
            Ring(*this, r, sides, GetSysColor(COLOR_3DHIGHLIGHT), GetSysColor(COLOR_3DSHADOW));
        else
            Ring(*this, r, sides, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
    }
    SetBkColor(bk);
    return TRUE;
}
