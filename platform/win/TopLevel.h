#pragma once

// The desktop side of a top-level window without a frame: no decoration of
// the desktop's and a fixed size, its icon, a clip region, the system's own
// window move (the only way to move a window under Wayland), and the
// desktop's screen changes as the messages a top-level window hears of them.

#include "platform/gdi/GdiObjects.h"
#include "platform/win/WinDefs.h"

namespace platform::win {

// No frame and the window's current size, fixed.  Call again after a resize.
void MakeFramelessFixed(HWND hwnd);
// The icon resource `id` as the window's icon; false when there is none.
bool SetWindowIconResource(HWND hwnd, UINT id);
// Starts the desktop's interactive move where the desktop must do it (Wayland);
// false when the program moves the window itself.
bool StartSystemMove(HWND hwnd);
// From now on a change of a screen's geometry or of the set of screens posts
// WM_DISPLAYCHANGE to `hwnd`, a change of a screen's work area
// WM_SETTINGCHANGE with SPI_SETWORKAREA.
void WatchScreenChanges(HWND hwnd);
// The bounding box of the window's region in window coordinates; false when
// it has none.
bool GetWindowRgnBox(HWND hwnd, RECT* box);
// Whether the desktop shows the window minimised.
bool IsMinimized(HWND hwnd);

} // namespace platform::win

// The region (window coordinates) the window is clipped to; nullptr for none.
// The window keeps its own copy.
int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);
