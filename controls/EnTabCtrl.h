#pragma once

// The frame of the main view's page area: a tab control without tabs that
// the base paints itself, drawing a raised frame around the page in shades
// of the tab colour.

#include "controls/BaseTabCtrl.h"

class CEnTabCtrl : public CBaseTabCtrl {
public:
    CEnTabCtrl() : CBaseTabCtrl(0) {}

    using CBaseTabCtrl::EnableDraw;
    // The class-wide style word: `style` when `enable` is non-zero, else 0.
    static void EnableDraw(int enable, int style);
    static int GetStyleWord() { return s_nStyle; }

    // The base hands the page area to DrawMainBorder at every paint.
    void DrawMainBorder(LPDRAWITEMSTRUCT dis) override;
    COLORREF GetTabColor(BOOL selected) override;

    static COLORREF Lighten(COLORREF color, double factor);
    static COLORREF Darken(COLORREF color, double factor);

protected:
    void PreSubclassWindow() override;

private:
    static int s_nStyle;
};
