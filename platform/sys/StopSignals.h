#pragma once

// SIGINT and SIGTERM as a request to close: the handler only writes a byte to
// a pipe; the thread that installed the watch reads it from its event loop and
// runs `onStop` there, so closing happens where the windows live.

#include <functional>
#include <memory>

namespace platform {

class StopSignalWatch {
public:
    // Installs the handlers; the previous ones come back when the watch goes.
    explicit StopSignalWatch(std::function<void()> onStop);
    ~StopSignalWatch();
    StopSignalWatch(const StopSignalWatch&) = delete;
    StopSignalWatch& operator=(const StopSignalWatch&) = delete;

    bool IsActive() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace platform
