#include "controls/MoveNotice.h"

#include "platform/sys/UserMessages.h"

void MoveNotice::Moved(CWnd& control, UINT flags, CPoint point) {
    if (!m_bEnabled || point == m_ptLast)
        return;
    m_ptLast = point;
    if (CWnd* parent = control.GetParent())
        parent->SendMessage(UM_MOUSE_MOVE_NOTIFY, flags, control.GetDlgCtrlID());
}

void TrackLeaveAndHover(HWND control) {
    TRACKMOUSEEVENT track;
    track.dwFlags = TME_LEAVE | TME_HOVER;
    track.hwndTrack = control;
    track.dwHoverTime = 1;
    ::TrackMouseEvent(&track);
}
