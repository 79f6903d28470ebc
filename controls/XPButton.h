#pragma once

// The hover bitmap button: a normal, a hover and a pressed picture, each in
// a checked and an unchecked set.  It follows the mouse, draws no text and
// never changes its checked state by itself; a new button is checked.  Each
// paint loads and scales its picture anew.  Id 0, or an id naming no
// picture, leaves what the window showed before.

#include "controls/HandCursor.h"
#include "controls/MoveNotice.h"
#include "platform/win/Button.h"

class CXPButton : public CButton {
public:
    CXPButton() = default;

    // The checked set first, then the unchecked set; repaints at once.
    void SetBitmaps(int checkedNormal, int checkedHover, int checkedPressed, int normal, int hover,
                    int pressed);
    // Any value; non-zero selects the checked set.  Repaints at once.
    void SetCheck(int check);
    int GetCheck() const { return m_nCheck; }
    // Tells the parent, with UM_MOUSE_MOVE_NOTIFY, when the mouse enters.
    void SetUserValue(int enable) { m_moveNotice.Enable(enable); }

    void DrawItem(LPDRAWITEMSTRUCT dis) override;

protected:
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnMouseLeaveMsg(WPARAM, LPARAM);
    LRESULT OnMouseHoverMsg(WPARAM, LPARAM) { return 0; }
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return m_hand.Show(); }
    DECLARE_MESSAGE_MAP()

private:
    void PaintLook();

    int m_nNormal[3] = {0, 0, 0};  // unchecked: normal, hover, pressed
    int m_nChecked[3] = {0, 0, 0}; // checked: normal, hover, pressed
    int m_nCheck = 1;
    HandCursor m_hand;
    BOOL m_bHover = FALSE;
    BOOL m_bPressed = FALSE;
    MoveNotice m_moveNotice;
};
