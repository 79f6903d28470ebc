#pragma once

#include "platform/sys/WinTypes.h"

// A 32-bit colour with alpha, as the curve pens take it.  The model keeps
// colours as plain values; the drawing layer turns them into pens.
struct ArgbColor {
    BYTE a = 255;
    BYTE r = 0;
    BYTE g = 0;
    BYTE b = 0;

    constexpr DWORD Value() const { return (DWORD(a) << 24) | (DWORD(r) << 16) | (DWORD(g) << 8) | DWORD(b); }
    constexpr bool operator==(const ArgbColor&) const = default;
};
