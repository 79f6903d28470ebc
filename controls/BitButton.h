#pragma once

// The skinned push and toggle button: three pictures (normal, hover, pressed)
// for the unselected state, three for the selected state and one disabled
// picture per state, from bitmap resources; id 0 paints the button face.
// The button never changes its selected state by itself.  Control 2830 also
// reports single (200 ms later), double and right clicks with UM_BUTTON_CLICK.

#include "controls/HandCursor.h"
#include "platform/win/Button.h"

class CBitButton : public CButton {
public:
    CBitButton() = default;

    void SetBitmaps(UINT normal, UINT hover, UINT pressed, UINT selNormal = 0, UINT selHover = 0,
                    UINT selPressed = 0);
    void SetSelectedBitmap(UINT id);
    void SetDisabledBitmaps(UINT unselected, UINT selected);
    void SetTextColors(COLORREF normal, COLORREF hover, COLORREF pressed, COLORREF selNormal,
                       COLORREF selHover, COLORREF selPressed);
    void SetDisabledTextColor(COLORREF color) { m_crDisabledText = color; }
    void SetDisabledFont(CFont* font) { m_pDisabledFont = font; }
    void SetDisabledTextFormat(UINT format) { m_nDisabledFormat = format; }
    void SetTextIndent(int pixels) { m_nDisabledIndent = pixels; }

    void SetSelected(BOOL selected);
    BOOL GetSelected() const { return m_bSelected; }
    void EnableMoveNotify(BOOL enable) { m_bMoveNotify = enable; }
    virtual void ShowButton(int show);

    BOOL PreTranslateMessage(MSG* msg) override;
    void DrawItem(LPDRAWITEMSTRUCT dis) override;

    static constexpr UINT kClickSplitId = 2830;
    static constexpr UINT_PTR kClickTimer = 501;

protected:
    void PreSubclassWindow() override;
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnMouseHoverMsg(WPARAM, LPARAM) { return 0; }
    LRESULT OnMouseLeaveMsg(WPARAM, LPARAM);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    void DrawPushButton();

    int m_nKind = 0;
    LPDRAWITEMSTRUCT m_pDrawItem = nullptr;
    UINT m_nBitmaps[3] = {0, 0, 0};
    COLORREF m_crText[3] = {0, 0, 0};
    BOOL m_bSelected = FALSE;
    CWnd* m_pClickParent = nullptr;
    UINT m_nSelBitmaps[3] = {0, 0, 0};
    COLORREF m_crSelText[3] = {0, 0, 0};
    CFont* m_pDisabledFont = nullptr;
    UINT m_nDisabledBitmaps[2] = {0, 0}; // unselected, selected
    COLORREF m_crDisabledText = 0;
    UINT m_nDisabledFormat = DT_CENTER;
    BOOL m_bHover = FALSE;
    BOOL m_bPressed = FALSE;
    HandCursor m_hand;
    int m_nDisabledIndent = 0;
    BOOL m_bMoveNotify = FALSE;
    CPoint m_ptLastMove{-1, -1};
};
