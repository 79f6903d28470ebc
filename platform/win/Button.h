#pragma once

// Buttons: push buttons, check boxes, radio buttons, group boxes and
// owner-drawn buttons.  A press captures the mouse; the release over the
// button sends BN_CLICKED to the parent.  An owner-drawn button asks its
// parent for colours (WM_CTLCOLORBTN) and then for its picture
// (WM_DRAWITEM), which the parent reflects to the button's DrawItem.

#include "platform/win/Wnd.h"

inline constexpr DWORD BS_TOP = 0x0400;

class CButton : public CWnd {
public:
    using CWnd::Create;
    BOOL Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetCheck() const { return int(const_cast<CButton*>(this)->SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, WPARAM(check)); }
    UINT GetState() const { return UINT(const_cast<CButton*>(this)->SendMessage(BM_GETSTATE)); }
    void SetState(BOOL pushed) { SendMessage(BM_SETSTATE, WPARAM(pushed)); }
    UINT GetButtonStyle() const { return UINT(GetStyle() & 0xFFFF); }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE) { SendMessage(BM_SETSTYLE, style, redraw); }

    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
