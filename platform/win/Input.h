#pragma once

// Input as the system delivers it: the window under the mouse (or the one
// that has captured it) gets the mouse messages, the focus window the keys
// and the wheel.  The host widgets feed Qt's events through here; tests call
// it directly with synthetic input.  Each message is queued input: it passes
// PreTranslateMessage before the window's procedure.  A second press of the
// same button on the same window within the double-click time
// (GetDoubleClickTime, on the clock) arrives as a double click.  Before a
// mouse message the window under the mouse gets WM_SETCURSOR, unless the
// mouse is captured.

#include "platform/win/WinDefs.h"

namespace platform::win {

// `message`: WM_MOUSEMOVE, WM_LBUTTONDOWN/UP, WM_RBUTTONDOWN/UP; `point` in
// the client coordinates of `hwnd`, the window under the mouse.
void MouseInput(HWND hwnd, UINT message, POINT point, UINT keys = 0);
// A wheel turn of `delta` (+120 away from the user) at a client point of `hwnd`.
void WheelInput(HWND hwnd, int delta, POINT point, UINT keys = 0);
// The mouse leaves every window of the program.
void MouseLeftWindows();
// A key press (WM_KEYDOWN, then WM_CHAR when `ch` is not 0 and
// PreTranslateMessage did not take the key-down) and its release, to the
// focus window.  The host widgets give Qt's key events this path, with the
// characters each key types as the system's translation makes them.
void KeyInput(UINT virtualKey, UINT ch = 0);
void CharInput(UINT ch);

// The cursor last set with SetCursor.
struct CursorData;
const CursorData* CurrentCursor();

} // namespace platform::win

UINT GetDoubleClickTime();
