#pragma once

// The caret: one per thread, owned by the window that created it (a focused
// edit).  It starts hidden; each HideCaret needs one ShowCaret to undo it.
// The layer does not draw it: whether a window shows a caret is a state that
// tests and the edit's painting can ask for.

#include "platform/sys/Messages.h"

BOOL CreateCaret(HWND hwnd);
BOOL DestroyCaret();
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);

namespace platform::win {
// True when `hwnd` owns the caret and it is shown.
bool CaretShown(HWND hwnd);
HWND CaretOwner();
} // namespace platform::win
