#include "platform/win/WinApp.h"

#include "platform/sys/MessageQueue.h"

#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

CWinApp* s_app = nullptr;

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

} // namespace

CWinApp::CWinApp() {
    s_app = this;
}

CWinApp::~CWinApp() {
    if (s_app == this)
        s_app = nullptr;
}

int CWinApp::Run(int argc, char** argv) {
    CString why;
    if (!platform::win::HasDisplay(&why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    m_lpCmdLine = platform::win::JoinCommandLine(argc - 1, argv + 1);
    QApplication app(argc, argv);
    // Numbers are written and read the same way whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    platform::AttachQueueToEventLoop();
    if (!InitInstance())
        return ExitInstance();
    const int code = QApplication::exec();
    const int exitCode = ExitInstance();
    return code != 0 ? code : exitCode;
}

CWinApp* AfxGetApp() {
    return s_app;
}

void AfxPostQuitMessage(int exitCode) {
    if (QCoreApplication::instance())
        QCoreApplication::exit(exitCode);
}

namespace platform::win {

bool HasDisplay(CString* why) {
    if (IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY"))
        return true;
    if (why)
        *why =
            "No display: neither DISPLAY nor WAYLAND_DISPLAY is set. Run the program in a desktop session, "
            "or without one under a virtual display, e.g. xvfb-run -a bash scripts/run.sh";
    return false;
}

CString JoinCommandLine(int argc, char** argv) {
    CString line;
    for (int i = 0; i < argc; ++i) {
        if (i)
            line += ' ';
        line += argv[i];
    }
    return line;
}

} // namespace platform::win
