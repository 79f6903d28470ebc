#pragma once

// Opening a file with the desktop's application for its type.  Tests install
// their own opener.

#include "platform/win/WinDefs.h"

namespace platform::win {

class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // true when an application took the file.
    virtual bool Open(const CString& path) = 0;
};
// Installs `opener` (nullptr: the desktop's) and returns the previous one.
ShellOpener* InstallShellOpener(ShellOpener* opener);

} // namespace platform::win

inline constexpr INT_PTR SE_ERR_FNF = 2;
inline constexpr INT_PTR SE_ERR_NOASSOC = 31;

// Only the verb "open" is known.  Above 32 when the file was opened; 2 when it
// does not exist, 31 when nothing could open it.
INT_PTR ShellExecute(HWND owner, const char* verb, const CString& file, const char* parameters,
                     const char* directory, int show);
