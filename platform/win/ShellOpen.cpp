#include "platform/win/ShellOpen.h"

#include "platform/sys/UserMessages.h"
#include "platform/win/LauncherWatch.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <atomic>
#include <cstring>
#include <memory>

namespace platform::win {

namespace {

// A launcher that finds no application says so at once; one that takes
// longer is showing the file.
constexpr int kLauncherDecidesMs = 3000;

std::atomic<ShellOpener*> s_opener{nullptr};

ShellOpener& Opener() {
    static LauncherOpener desktop;
    ShellOpener* o = s_opener.load();
    return o ? *o : desktop;
}

} // namespace

ShellOpener* InstallShellOpener(ShellOpener* opener) {
    return s_opener.exchange(opener);
}

void LauncherOpener::Open(const CString& path, std::function<void(bool opened)> verdict) {
    // A launcher left running with its viewer goes when it ends, or with the
    // application.
    auto* launcher = new QProcess(QCoreApplication::instance());
    launcher->setProgram(QString::fromStdString(m_program));
    launcher->setArguments({QString::fromStdString(path)});
    launcher->setStandardInputFile(QProcess::nullDevice());
    launcher->setStandardOutputFile(QProcess::nullDevice());
    launcher->setStandardErrorFile(QProcess::nullDevice());
    LauncherWatch::Start(launcher, kLauncherDecidesMs, std::move(verdict));
}

} // namespace platform::win

INT_PTR ShellExecute(HWND owner, const char* verb, const CString& file, const char*, const char*, int) {
    if (verb && std::strcmp(verb, "open") != 0)
        return SE_ERR_NOASSOC;
    if (!QFileInfo(QString::fromStdString(file)).isFile())
        return SE_ERR_FNF;
    // A verdict given inside Open is the result; a later failure goes to the
    // owner, the caller having returned long since.
    struct Verdict {
        bool returned = false;
        bool failedAtOnce = false;
    };
    auto state = std::make_shared<Verdict>();
    platform::win::Opener().Open(file, [state, owner](bool opened) {
        if (!state->returned)
            state->failedAtOnce = !opened;
        else if (!opened && owner)
            PostMessage(owner, UM_SHELL_OPEN_FAILED, 0, 0);
    });
    state->returned = true;
    return state->failedAtOnce ? SE_ERR_NOASSOC : 42;
}
