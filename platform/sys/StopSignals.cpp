#include "platform/sys/StopSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

std::atomic<int> s_writeFd{-1};

extern "C" void OnStopSignal(int signal) {
    const int fd = s_writeFd.load();
    if (fd < 0)
        return;
    const char byte = char(signal);
    // Nothing else is safe in a handler; a full pipe already holds a request.
    [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
}

} // namespace

struct StopSignalWatch::State {
    int fds[2] = {-1, -1};
    struct sigaction oldInt {};
    struct sigaction oldTerm {};
    std::unique_ptr<QSocketNotifier> notifier;
    std::function<void()> onStop;
};

StopSignalWatch::StopSignalWatch() : m_state(std::make_unique<State>()) {
    if (::pipe2(m_state->fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_state->fds[0] = m_state->fds[1] = -1;
        return;
    }
    s_writeFd = m_state->fds[1];
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &m_state->oldInt);
    sigaction(SIGTERM, &action, &m_state->oldTerm);
}

StopSignalWatch::StopSignalWatch(std::function<void()> onStop) : StopSignalWatch() {
    Watch(std::move(onStop));
}

void StopSignalWatch::Watch(std::function<void()> onStop) {
    Unwatch();
    if (m_state->fds[0] < 0)
        return;
    m_state->onStop = std::move(onStop);
    // A byte already in the pipe makes the notifier fire on the loop's first pass.
    m_state->notifier = std::make_unique<QSocketNotifier>(m_state->fds[0], QSocketNotifier::Read);
    State* state = m_state.get();
    QObject::connect(m_state->notifier.get(), &QSocketNotifier::activated, [state] {
        char buffer[16];
        while (::read(state->fds[0], buffer, sizeof buffer) > 0) {
        }
        if (state->onStop)
            state->onStop();
    });
}

void StopSignalWatch::Unwatch() {
    m_state->notifier.reset();
    m_state->onStop = nullptr;
}

StopSignalWatch::~StopSignalWatch() {
    if (m_state->fds[1] < 0)
        return;
    sigaction(SIGINT, &m_state->oldInt, nullptr);
    sigaction(SIGTERM, &m_state->oldTerm, nullptr);
    s_writeFd = -1;
    Unwatch();
    ::close(m_state->fds[0]);
    ::close(m_state->fds[1]);
}

bool StopSignalWatch::IsActive() const {
    return m_state->notifier != nullptr;
}

} // namespace platform
