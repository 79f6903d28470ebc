#pragma once

// Window classes a program registers for its own windows.  The layer keeps
// no class records: such a window gets the plain default procedure, and the
// class styles ask for nothing the layer does differently.

#include "platform/win/Cursor.h"

inline constexpr UINT CS_DBLCLKS = 0x0008;
inline constexpr UINT CS_SAVEBITS = 0x0800;

// The name of a plain window class with these class styles.
CString AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                            void* icon = nullptr);
