#pragma once

// Opening a file with the desktop's application for its type.  Tests install
// their own opener, or a launcher of their own.

#include "platform/win/WinDefs.h"

#include <utility>

namespace platform::win {

class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // true when an application took the file.
    virtual bool Open(const CString& path) = 0;
};
// Installs `opener` (nullptr: the desktop's) and returns the previous one.
ShellOpener* InstallShellOpener(ShellOpener* opener);

// Hands the file to a launcher program (the desktop's is "xdg-open"), which
// finds the application for the file's type.  A launcher that cannot be
// started or ends with a failure opened nothing; one still running after a
// few seconds waits in front of the viewer it started, so the file counts as
// opened.
class LauncherOpener final : public ShellOpener {
public:
    explicit LauncherOpener(CString program = "xdg-open") : m_program(std::move(program)) {}
    bool Open(const CString& path) override;

private:
    CString m_program;
};

} // namespace platform::win

inline constexpr INT_PTR SE_ERR_FNF = 2;
inline constexpr INT_PTR SE_ERR_NOASSOC = 31;

// Only the verb "open" is known.  Above 32 when the file was opened; 2 when it
// does not exist, 31 when nothing could open it.
INT_PTR ShellExecute(HWND owner, const char* verb, const CString& file, const char* parameters,
                     const char* directory, int show);
