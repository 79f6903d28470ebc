#include "platform/win/ShellOpen.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <atomic>
#include <cstring>

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

bool LauncherOpener::Open(const CString& path) {
    auto* launcher = new QProcess(QCoreApplication::instance());
    launcher->setProgram(QString::fromStdString(m_program));
    launcher->setArguments({QString::fromStdString(path)});
    launcher->setStandardInputFile(QProcess::nullDevice());
    launcher->setStandardOutputFile(QProcess::nullDevice());
    launcher->setStandardErrorFile(QProcess::nullDevice());
    launcher->start();
    if (!launcher->waitForStarted()) {
        delete launcher;
        return false;
    }
    if (launcher->waitForFinished(kLauncherDecidesMs)) {
        const bool opened = launcher->exitStatus() == QProcess::NormalExit && launcher->exitCode() == 0;
        delete launcher;
        return opened;
    }
    // Left to run with its viewer; it goes when it ends.
    QObject::connect(launcher, &QProcess::finished, launcher, &QObject::deleteLater);
    return true;
}

} // namespace platform::win

INT_PTR ShellExecute(HWND, const char* verb, const CString& file, const char*, const char*, int) {
    if (verb && std::strcmp(verb, "open") != 0)
        return SE_ERR_NOASSOC;
    if (!QFileInfo(QString::fromStdString(file)).isFile())
        return SE_ERR_FNF;
    return platform::win::Opener().Open(file) ? 42 : SE_ERR_NOASSOC;
}
