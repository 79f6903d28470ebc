#include "platform/win/LauncherWatch.h"

#include <QProcess>

#include <memory>

namespace platform::win {

void LauncherWatch::Start(QProcess* launcher, int decideMs, std::function<void(bool opened)> verdict) {
    auto watch = std::make_shared<LauncherWatch>(std::move(verdict));
    SetTimer(watch->m_hWnd, kDecideTimer, UINT(decideMs));
    // The connections keep the watch; they go with the launcher, which goes
    // once it has ended.
    QObject::connect(launcher, &QProcess::finished, launcher,
                     [watch, launcher](int code, QProcess::ExitStatus status) {
                         watch->Decide(status == QProcess::NormalExit && code == 0);
                         launcher->deleteLater();
                     });
    QObject::connect(launcher, &QProcess::errorOccurred, launcher,
                     [watch, launcher](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return; // the end follows as finished
                         watch->Decide(false);
                         launcher->deleteLater();
                     });
    launcher->start();
}

LauncherWatch::LauncherWatch(std::function<void(bool opened)> verdict)
    : m_hWnd(platform::RegisterMessageTarget(this)), m_verdict(std::move(verdict)) {}

LauncherWatch::~LauncherWatch() {
    platform::UnregisterMessageTarget(m_hWnd);
}

LRESULT LauncherWatch::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_TIMER && wParam == kDecideTimer)
        Decide(true);
    return 0;
}

void LauncherWatch::Decide(bool opened) {
    KillTimer(m_hWnd, kDecideTimer);
    if (m_bDecided)
        return;
    m_bDecided = true;
    m_verdict(opened);
}

} // namespace platform::win
