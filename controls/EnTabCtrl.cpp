#include "controls/EnTabCtrl.h"

#include <algorithm>

int CEnTabCtrl::s_nStyle = 0;

void CEnTabCtrl::EnableDraw(int enable, int style) {
    s_nStyle = enable ? style : 0;
}

void CEnTabCtrl::PreSubclassWindow() {
    CBaseTabCtrl::PreSubclassWindow();
    if (s_nStyle)
        ModifyStyle(0, TCS_OWNERDRAWFIXED);
}

COLORREF CEnTabCtrl::GetTabColor(BOOL selected) {
    if (!selected && s_nStyle == 0x1F)
        return RGB(227, 228, 238);
    return CBaseTabCtrl::GetTabColor(selected);
}

COLORREF CEnTabCtrl::Lighten(COLORREF color, double factor) {
    const double f = factor > 1.0 ? factor : 1.0;
    auto channel = [f](int c) { return std::min(255, int(c * f)); };
    return RGB(channel(GetRValue(color)), channel(GetGValue(color)), channel(GetBValue(color)));
}

COLORREF CEnTabCtrl::Darken(COLORREF color, double factor) {
    const double f = factor >= 1.0 ? 1.0 : factor <= 0.0 ? 0.0 : factor;
    auto channel = [f](int c) { return int(c * f); };
    return RGB(channel(GetRValue(color)), channel(GetGValue(color)), channel(GetBValue(color)));
}

void CEnTabCtrl::DrawMainBorder(LPDRAWITEMSTRUCT dis) {
    const COLORREF face = GetTabColor(FALSE);
    CDC::FromHandle(dis->hDC)->Draw3dRect(&dis->rcItem, Lighten(face, 1.5), Darken(face, 0.75));
}
