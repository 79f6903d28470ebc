#pragma once

// A tab control that a derived class draws completely.  The base owns the
// painting loop, the background around the tabs and the cursor; five virtual
// operations do the drawing, in the colours the derived class chooses.
//   mode 0: the control paints itself as usual;
//   mode 1: the control paints and asks for each tab (TCS_OWNERDRAWFIXED);
//   mode 2: the page border, then every tab but the selected one from the
//           last to the first, then the selected tab over its neighbours.

#include "controls/HandCursor.h"
#include "platform/win/TabCtrl.h"

class CBaseTabCtrl : public CTabCtrl {
public:
    explicit CBaseTabCtrl(int drawMode = 0);

    // FALSE (and nothing changes) for a mode outside 0..2.
    BOOL EnableDraw(int mode);
    // -1: the system's COLOR_3DFACE.
    void SetBkgndColor(COLORREF color);

    // Must be overridden: the base draws nothing.
    void DrawItem(LPDRAWITEMSTRUCT dis) override;
    virtual void DrawMainBorder(LPDRAWITEMSTRUCT dis);
    virtual void DrawItemBorder(LPDRAWITEMSTRUCT dis);
    virtual COLORREF GetTabColor(BOOL selected);
    virtual COLORREF GetTabTextColor(BOOL selected);

    static constexpr COLORREF kSystemFace = COLORREF(-1);

protected:
    void PreSubclassWindow() override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnMouseMove(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    void DrawAll();

    COLORREF m_crBack = kSystemFace;
    int m_nDrawMode = 0;
    HandCursor m_hand;
    BOOL m_bHandDue = FALSE;
};
