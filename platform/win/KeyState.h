#pragma once

// The up/down state of the modifier keys (Shift, Ctrl) as the program asks
// for it with GetKeyState: the host widgets set it from Qt's events, tests
// hold keys down with SetKeyDown around their synthetic input.

#include "platform/sys/WinTypes.h"

// Negative (the high bit set) while the key is down.
short GetKeyState(int virtualKey);

namespace platform::win {

void SetKeyDown(UINT virtualKey, bool down);

// Holds a key down for a scope.
class HeldKey {
public:
    explicit HeldKey(UINT virtualKey) : m_key(virtualKey) { SetKeyDown(m_key, true); }
    ~HeldKey() { SetKeyDown(m_key, false); }
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;

private:
    UINT m_key;
};

} // namespace platform::win
