#pragma once

// The frame around a top-level window's client area.  The desktop draws it,
// but the program sizes and places windows by their outer rectangle, so the
// layer keeps one fixed model of it: the classic metrics, a 3-pixel dialog
// frame (4 when sizeable, 1 for a plain border) and a 19-pixel caption.
// A window's record holds its client rectangle; its window rectangle is that
// grown by these margins.  Child windows draw their borders inside their own
// rectangle and have none.

#include "platform/sys/WinTypes.h"

#include <QMargins>
#include <QRect>
#include <Qt>

namespace platform::win {

struct Window;

QMargins FrameMargins(const Window& w);
// The same for a top-level window of that style not made yet.
QMargins TopLevelFrameMargins(DWORD style, bool dialog);
// The window rectangle around the client rectangle (screen coordinates for a
// top-level window).
QRect OuterRect(const Window& w);
// The client rectangle a window rectangle leaves.
QRect ClientRectFor(const Window& w, const QRect& outer);
// What the desktop is asked to draw around a top-level window of that style:
// a caption, and its close box with the system menu.  The program asks for
// no minimise or maximise box and sizes its windows itself, so the desktop
// offers neither a box nor a frame to size by.
Qt::WindowFlags TopLevelWindowFlags(DWORD style, DWORD exStyle);

} // namespace platform::win
