#include "platform/win/KeyState.h"

#include <bitset>

namespace {

// Keys are only pressed and asked about on the GUI thread.
std::bitset<256>& Down() {
    static std::bitset<256> keys;
    return keys;
}

} // namespace

short GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255)
        return 0;
    return Down()[std::size_t(virtualKey)] ? short(0x8000) : short(0);
}

namespace platform::win {

void SetKeyDown(UINT virtualKey, bool down) {
    if (virtualKey < 256)
        Down()[virtualKey] = down;
}

} // namespace platform::win
