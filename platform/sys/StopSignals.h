#pragma once

// SIGINT and SIGTERM as a request to close: the handler only writes a byte to
// a pipe; the thread that watches reads it from its event loop and runs
// `onStop` there, so closing happens where the windows live.  The handlers
// can be installed before there is any event loop: a request that arrives
// meanwhile stays in the pipe and is acted on as soon as the loop runs.

#include <functional>
#include <memory>

namespace platform {

class StopSignalWatch {
public:
    // Installs the handlers; the previous ones come back when the watch goes.
    // Requests are kept until Watch is called.
    StopSignalWatch();
    // Installs the handlers and watches at once.
    explicit StopSignalWatch(std::function<void()> onStop);
    ~StopSignalWatch();
    StopSignalWatch(const StopSignalWatch&) = delete;
    StopSignalWatch& operator=(const StopSignalWatch&) = delete;

    // Runs `onStop` on the calling thread's event loop for each request,
    // one kept from before included.  Needs a QCoreApplication.
    void Watch(std::function<void()> onStop);
    // Requests are kept again, no longer acted on.
    void Unwatch();

    bool IsActive() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace platform
