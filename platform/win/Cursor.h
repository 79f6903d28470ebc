#pragma once

// Cursors: the standard ones and the program's cursor resources.

#include "platform/res/ResourceApi.h"
#include "platform/win/WinDefs.h"

#include <QCursor>

namespace platform::win {
struct CursorData {
    QCursor cursor;
    UINT resourceId = 0; // 0 for a standard cursor
    int standard = 0;    // IDC_ value of a standard cursor
};
} // namespace platform::win

using HCURSOR = platform::win::CursorData*;

inline constexpr UINT IDC_ARROW = 32512;
inline constexpr UINT IDC_IBEAM = 32513;
inline constexpr UINT IDC_WAIT = 32514;
inline constexpr UINT IDC_CROSS = 32515;
inline constexpr UINT IDC_SIZEWE = 32644;
inline constexpr UINT IDC_SIZENS = 32645;
inline constexpr UINT IDC_SIZEALL = 32646;
inline constexpr UINT IDC_HAND = 32649;

// `instance` nullptr: a standard cursor (IDC_...); else a cursor resource of
// the program.  nullptr when there is none.  Cursors live for the whole run.
HCURSOR LoadCursor(HINSTANCE instance, UINT id);
// A copy owned by the caller (DestroyCursor).
HCURSOR CopyCursor(HCURSOR cursor);
BOOL DestroyCursor(HCURSOR cursor);
// Shows `cursor` over the window under the mouse; returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
