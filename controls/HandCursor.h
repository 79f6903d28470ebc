#pragma once

// The hand cursor of the skinned controls: each control keeps its own copy of
// the program's cursor resource 213, or none (the arrow) when it cannot be
// loaded.

#include "platform/win/Cursor.h"

inline constexpr UINT IDC_HAND_CURSOR = 213;

class HandCursor {
public:
    HandCursor();
    ~HandCursor();
    HandCursor(const HandCursor&) = delete;
    HandCursor& operator=(const HandCursor&) = delete;

    // Shows the hand (the arrow without one); the answer to WM_SETCURSOR.
    BOOL Show() const;
    HCURSOR Get() const { return m_cursor; }

private:
    HCURSOR m_cursor = nullptr;
};
