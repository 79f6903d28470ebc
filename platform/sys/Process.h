#pragma once

// Which processes are running: an instance marks what it holds with its
// process id, so a mark left by an instance that died can be recognised.

#include "platform/sys/WinTypes.h"

DWORD GetCurrentProcessId();

namespace platform {

// True while process `pid` exists and has not ended (an unreaped zombie has
// ended).  0 is no process.
bool IsProcessAlive(DWORD pid);

// The same for a process id written as decimal text, as marks store it; a
// text that is not a process id names no running process.
bool IsProcessAlive(const CString& pidText);

} // namespace platform
