#pragma once

// Progress bars: a range and a position.  PBM_SETPOS only invalidates the
// bar, so a burst of positions ends in one paint.

#include "platform/win/Wnd.h"

inline constexpr UINT PBM_SETRANGE = WM_USER + 1; // lParam: MAKELPARAM(low, high), unsigned 16 bits each
inline constexpr UINT PBM_SETPOS = WM_USER + 2;   // wParam: the position; answers the old one
inline constexpr UINT PBM_GETPOS = WM_USER + 8;

class CProgressCtrl : public CWnd {
public:
    using CWnd::Create;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetRange(short lower, short upper) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper)); }
    int SetPos(int pos) { return int(SendMessage(PBM_SETPOS, WPARAM(pos))); }
    int GetPos() const { return int(const_cast<CProgressCtrl*>(this)->SendMessage(PBM_GETPOS)); }
};
