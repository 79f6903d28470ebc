#pragma once

// A clock for tests: time moves only when a test advances it or when code
// under test sleeps.  Timers started while it is installed live on it:
// Advance fires what falls due, in time order, on the advancing thread.

#include "platform/sys/Clock.h"

#include <algorithm>
#include <map>
#include <memory>
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

    TimerId StartTimer(std::int64_t periodMs, std::function<void()> fire) override {
        std::lock_guard lock(m_mutex);
        const TimerId id = ++m_lastTimer;
        auto timer = std::make_shared<Timer>();
        timer->period = periodMs > 0 ? periodMs : 1;
        timer->due = m_now + timer->period;
        timer->fire = std::move(fire);
        m_timers.emplace(id, std::move(timer));
        return id;
    }

    void StopTimer(TimerId id) override {
        std::lock_guard lock(m_mutex);
        m_timers.erase(id);
    }

    // Moves time forward by `ms`, firing every timer tick that falls due on
    // the way in the order of its due time (ties: the older timer first).
    // During a callback NowMs() is the tick's due time.
    void Advance(std::int64_t ms) {
        if (ms <= 0)
            return;
        std::unique_lock lock(m_mutex);
        const std::int64_t target = m_now + ms;
        for (;;) {
            std::shared_ptr<Timer> next;
            for (auto& [id, timer] : m_timers) {
                if (timer->due <= target && (!next || timer->due < next->due))
                    next = timer;
            }
            if (!next)
                break;
            m_now = std::max(m_now, next->due);
            next->due += next->period;
            lock.unlock();
            next->fire();
            lock.lock();
        }
        m_now = std::max(m_now, target);
    }

    // Number of running timers, for tests that check a timer was stopped.
    std::size_t TimerCount() {
        std::lock_guard lock(m_mutex);
        return m_timers.size();
    }

private:
    struct Timer {
        std::int64_t period = 1;
        std::int64_t due = 0;
        std::function<void()> fire;
    };

    std::mutex m_mutex;
    std::int64_t m_now = 1'000'000;
    TimerId m_lastTimer = 0;
    std::map<TimerId, std::shared_ptr<Timer>> m_timers;
    Clock* m_previous = nullptr;
};

} // namespace platform
