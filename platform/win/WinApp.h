#pragma once

// The application object over Qt's event loop.  Run checks that there is a
// display to show windows on (Qt aborts the process otherwise), makes the Qt
// application, runs InitInstance and then the event loop until the main
// window is gone, and last ExitInstance.

#include "platform/win/Wnd.h"

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    // The program's entry; returns the process's exit code.
    int Run(int argc, char** argv);

    CWnd* m_pMainWnd = nullptr;
    // The arguments after the program's name, joined by blanks.
    CString m_lpCmdLine;
    int m_nCmdShow = SW_SHOWNORMAL;
};

// The one application object, or nullptr before it exists.
CWinApp* AfxGetApp();
// Ends the event loop Run is in (nothing when none runs).
void AfxPostQuitMessage(int exitCode);

namespace platform::win {

// true when windows can be shown: a display server, or a Qt platform chosen
// through QT_QPA_PLATFORM.  Otherwise `why` says how to run the program.
bool HasDisplay(CString* why);
// The arguments joined by blanks.
CString JoinCommandLine(int argc, char** argv);

} // namespace platform::win
