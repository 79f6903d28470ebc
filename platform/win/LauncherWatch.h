#pragma once

// Watches a launcher program from the event loop of the thread that starts
// it, so that thread goes on painting and running its timers meanwhile.  A
// launcher that ends with a failure (or cannot be started) within the
// decision time opened nothing; one that ends well, or still runs then (it
// waits in front of the viewer it started), opened the file.  The decision
// time runs on the clock of platform/sys/Clock.h.

#include "platform/sys/MessageQueue.h"

#include <functional>

class QProcess;

namespace platform::win {

class LauncherWatch final : public platform::MessageTarget {
public:
    // Starts `launcher`, which the watch then owns, and calls `verdict` once,
    // from the event loop, with whether the file was opened.
    static void Start(QProcess* launcher, int decideMs, std::function<void(bool opened)> verdict);

    explicit LauncherWatch(std::function<void(bool opened)> verdict);
    ~LauncherWatch() override;
    LauncherWatch(const LauncherWatch&) = delete;
    LauncherWatch& operator=(const LauncherWatch&) = delete;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static constexpr UINT_PTR kDecideTimer = 1;

    void Decide(bool opened);

    HWND m_hWnd = nullptr;
    std::function<void(bool opened)> m_verdict;
    bool m_bDecided = false;
};

} // namespace platform::win
