#pragma once

// Opening a file with the desktop's application for its type.  Tests install
// their own opener, or a launcher of their own.

#include "platform/win/WinDefs.h"

#include <functional>
#include <utility>

namespace platform::win {

class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // Hands the file on without waiting for an application to take it.
    // `verdict` runs once on the calling thread, with whether one took it:
    // inside Open, or later from the thread's event loop.
    virtual void Open(const CString& path, std::function<void(bool opened)> verdict) = 0;
};
// Installs `opener` (nullptr: the desktop's) and returns the previous one.
ShellOpener* InstallShellOpener(ShellOpener* opener);

// Hands the file to a launcher program (the desktop's is "xdg-open"), which
// finds the application for the file's type.  A launcher that cannot be
// started or ends with a failure opened nothing; one still running after a
// few seconds waits in front of the viewer it started, so the file counts as
// opened.  The verdict comes later: the launcher is watched from the event
// loop.
class LauncherOpener final : public ShellOpener {
public:
    explicit LauncherOpener(CString program = "xdg-open") : m_program(std::move(program)) {}
    void Open(const CString& path, std::function<void(bool opened)> verdict) override;

private:
    CString m_program;
};

} // namespace platform::win

inline constexpr INT_PTR SE_ERR_FNF = 2;
inline constexpr INT_PTR SE_ERR_NOASSOC = 31;

// Only the verb "open" is known.  Above 32 when the file was handed on; 2
// when it does not exist, 31 when nothing could open it.  When that turns out
// only later, `owner` (if any) is posted UM_SHELL_OPEN_FAILED.
INT_PTR ShellExecute(HWND owner, const char* verb, const CString& file, const char* parameters,
                     const char* directory, int show);
