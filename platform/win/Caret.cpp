#include "platform/win/Caret.h"

namespace {

struct CaretState {
    HWND owner = nullptr;
    int hidden = 1; // a new caret is hidden until its first ShowCaret
};

CaretState& Caret() {
    thread_local CaretState state;
    return state;
}

} // namespace

BOOL CreateCaret(HWND hwnd) {
    if (!hwnd)
        return FALSE;
    Caret() = CaretState{hwnd, 1};
    return TRUE;
}

BOOL DestroyCaret() {
    Caret() = CaretState{};
    return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
    auto& c = Caret();
    if (!c.owner || (hwnd && hwnd != c.owner) || c.hidden == 0)
        return FALSE;
    --c.hidden;
    return TRUE;
}

BOOL HideCaret(HWND hwnd) {
    auto& c = Caret();
    if (!c.owner || (hwnd && hwnd != c.owner))
        return FALSE;
    ++c.hidden;
    return TRUE;
}

namespace platform::win {
bool CaretShown(HWND hwnd) {
    const auto& c = Caret();
    return hwnd && c.owner == hwnd && c.hidden == 0;
}
HWND CaretOwner() {
    return Caret().owner;
}
} // namespace platform::win
