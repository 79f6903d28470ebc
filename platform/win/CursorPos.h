#pragma once

// Moving the mouse pointer.  The program asks through one service so a test
// can record the moves; the real one asks the display server, which may
// refuse (then nothing moves).

#include "platform/sys/WinTypes.h"

namespace platform::win {

class CursorService {
public:
    virtual ~CursorService() = default;
    // Screen coordinates.
    virtual void SetPos(int x, int y) = 0;
};

// Installs `service` (nullptr: the display server's) and returns the previous one.
CursorService* InstallCursorService(CursorService* service);

} // namespace platform::win

BOOL SetCursorPos(int x, int y);
