#pragma once

// The skinned step button that a numeric edit lays over itself while it is
// read-only: one of four pictures with the edit's text on top.  Once the
// edit is focused (the button is active), its left part steps the attached
// spin down and its right part up: once per double click, and every 100 ms
// while the button is held after the pointer has rested on it.  A single
// click only hands the focus back to the edit.

#include "platform/win/Button.h"

class CNumSpin;

class CSpinBtn : public CButton {
public:
    CSpinBtn() = default;

    // Pictures of the states normal, left part, active, right part; the
    // window takes the size of the first and is cut into the three parts.
    void SetBitmaps(UINT normal, UINT left, UINT active, UINT right);
    void SetTarget(UINT id, CNumSpin* spin);
    void SetActive(BOOL active);

    int GetState() const { return m_nState; }
    BOOL IsActive() const { return m_bActive; }
    CRect GetLeftPart() const { return m_rcLeft; }
    CRect GetMiddlePart() const { return m_rcMiddle; }
    CRect GetRightPart() const { return m_rcRight; }

    void DrawItem(LPDRAWITEMSTRUCT dis) override;
    // Public: a window the numeric edit creates needs it called by hand.
    void PreSubclassWindow() override;

    static constexpr UINT_PTR kStepTimer = 2;

protected:
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnMouseLeave();
    void OnMouseHover(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnKillFocus(CWnd* next);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    void StepOnce();
    void TrackMouse(DWORD hoverMs);

    int m_nKind = 0;
    LPDRAWITEMSTRUCT m_pDrawItem = nullptr;
    UINT m_nBitmaps[4] = {0, 0, 0, 0};
    COLORREF m_crText = RGB(255, 255, 255);
    COLORREF m_crDisabledText = RGB(155, 155, 155);
    BOOL m_bActive = FALSE;
    BOOL m_bButtonDown = FALSE;
    int m_nRepeatMs = 100;
    UINT_PTR m_nRepeatTimer = kStepTimer;
    CRect m_rcLeft, m_rcMiddle, m_rcRight;
    int m_nState = 0;
    CNumSpin* m_pTarget = nullptr;
    TRACKMOUSEEVENT m_track;
};
