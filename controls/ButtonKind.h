#pragma once

// How a skinned button treats the style of the template control it is
// attached to: the low byte of the style decides.

#include "platform/sys/WinTypes.h"

// 2: check-like (the two lowest bits set: auto check box, group box,
// owner-draw), left to the default drawing; 4: auto radio button (bits 0 and
// 3), drawn as nothing; 0: a push button the class draws itself.
constexpr int ButtonKindOf(DWORD style) {
    const DWORD low = style & 0xFF;
    if ((low & 0x3) == 0x3)
        return 2;
    if ((low & 0x9) == 0x9)
        return 4;
    return 0;
}
