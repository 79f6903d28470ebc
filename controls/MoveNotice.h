#pragma once

// The mouse notices of the skinned controls.

#include "platform/win/Wnd.h"

// UM_MOUSE_MOVE_NOTIFY: sent (not posted) to the control's parent at a mouse
// move to a point other than the last one reported, while enabled; wParam the
// mouse key flags, lParam the control id.
class MoveNotice {
public:
    void Enable(BOOL enable) { m_bEnabled = enable; }
    void Moved(CWnd& control, UINT flags, CPoint point);

private:
    BOOL m_bEnabled = FALSE;
    CPoint m_ptLast{-1, -1};
};

// Asks for WM_MOUSELEAVE and for WM_MOUSEHOVER after 1 ms over the control.
void TrackLeaveAndHover(HWND control);
