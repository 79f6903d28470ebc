#pragma once

// A control drawn over its parent's background asks the parent to repaint
// the area under it, so no trace of its old picture stays behind.

#include "platform/win/Wnd.h"

inline void InvalidateParentArea(CWnd& control) {
    CWnd* parent = control.GetParent();
    if (!parent || !control.GetSafeHwnd())
        return;
    CRect rect;
    control.GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    parent->InvalidateRect(&rect, TRUE);
}
