#pragma once

// The application object: brings the process up (the shared fonts, the
// language, the dialog brush and the speaker-type menu, then the main window
// with its view), shows every message box of the program in its own box, and
// stops the link once when a stop signal arrives.

#include "platform/sys/MessageBox.h"
#include "platform/sys/StopSignals.h"
#include "platform/win/WinApp.h"

#include <memory>

class CChildFrame;
class CMainFrame;
class CTALQ50Doc;

class CTALQ50App : public CWinApp, private platform::MessageBoxHandler {
public:
    // `stopSignals`, when given, was installed before the application and
    // outlives it; without one the application installs its own.
    explicit CTALQ50App(platform::StopSignalWatch* stopSignals = nullptr);
    ~CTALQ50App() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    // Ends start-up (FALSE) for the registration switches of the command line.
    BOOL InitATL();
    int DoMessageBox(const CString& text, UINT type, int code);
    // The first link group no output uses, -1 when all twelve are taken.
    static int FindFreeSlot();

    CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }
    CChildFrame* GetChildFrame() const { return m_pChildFrame.get(); }
    // Runs the close button's sequence; what a stop signal does.
    void RequestClose();

    int m_bATLInited = 0;

private:
    int Show(const CString& text, UINT type, int helpId) override { return DoMessageBox(text, type, helpId); }

    std::unique_ptr<CTALQ50Doc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<CChildFrame> m_pChildFrame;
    std::unique_ptr<platform::StopSignalWatch> m_pOwnStopWatch;
    platform::StopSignalWatch* m_pStopSignals = nullptr;
    platform::MessageBoxHandler* m_pPreviousBoxHandler = nullptr;
};

// true when the command line asks to register or unregister: a "-" or "/"
// token whose rest of the line is exactly one of the two switches.
bool IsRegistrationSwitch(const CString& commandLine);
