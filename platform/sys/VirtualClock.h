#pragma once

// A clock for tests: time moves only when a test advances it or when code
// under test sleeps.

#include "platform/sys/Clock.h"

#include <mutex>

namespace platform {

class VirtualClock final : public Clock {
public:
    VirtualClock() { m_previous = Install(this); }
    ~VirtualClock() override { Install(m_previous); }
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    std::int64_t NowMs() override {
        std::lock_guard lock(m_mutex);
        return m_now;
    }

    // A sleep on the virtual clock moves time forward by itself: the code
    // that sleeps is the only thing waiting for that time to pass.
    void SleepMs(std::int64_t ms) override { Advance(ms); }

    void Advance(std::int64_t ms) {
        if (ms <= 0)
            return;
        std::lock_guard lock(m_mutex);
        m_now += ms;
    }

private:
    std::mutex m_mutex;
    std::int64_t m_now = 1'000'000;
    Clock* m_previous = nullptr;
};

} // namespace platform
