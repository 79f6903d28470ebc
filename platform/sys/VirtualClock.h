#pragma once

// A clock for tests: time moves only when a test advances it or when code
// under test sleeps.  Timers started while it is installed live on it:
// Advance fires what falls due, in time order, on the advancing thread.
// A test may hold long sleeps, so that code under test sits in one until the
// test moves the time on or ends the wait by other means.

#include "platform/sys/Clock.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>

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
    // that sleeps is the only thing waiting for that time to pass.  A held
    // one waits until the time reaches its end.
    void SleepMs(std::int64_t ms) override {
        std::unique_lock lock(m_mutex);
        if (!IsHeldLocked(ms)) {
            lock.unlock();
            Advance(ms);
            return;
        }
        const std::int64_t due = m_now + ms;
        const auto held = m_held.insert(ms);
        m_heldChanged.notify_all();
        m_heldChanged.wait(lock, [&] { return m_now >= due || !IsHeldLocked(ms); });
        m_held.erase(held);
    }

    // A held wait ends when `done` holds (its waker notifies `changed`), or
    // when the time reaches its end.
    bool WaitMs(std::int64_t ms, std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                const std::function<bool()>& done) override {
        std::multiset<std::int64_t>::iterator held;
        std::int64_t due = 0;
        {
            std::unique_lock own(m_mutex);
            if (!IsHeldLocked(ms)) {
                own.unlock();
                return Clock::WaitMs(ms, changed, lock, done);
            }
            due = m_now + ms;
            held = m_held.insert(ms);
        }
        m_heldChanged.notify_all();
        // Advance notifies this clock, the waker `changed`: look at both.
        auto over = [&] {
            std::lock_guard own(m_mutex);
            return m_now >= due || !IsHeldLocked(ms);
        };
        while (!done() && !over())
            changed.wait_for(lock, std::chrono::milliseconds(1));
        {
            std::lock_guard own(m_mutex);
            m_held.erase(held);
        }
        return done();
    }

    // From now on sleeps and waits of `ms` or more are held; 0 holds none
    // and lets go of those held now.
    void HoldSleepsFrom(std::int64_t ms) {
        {
            std::lock_guard lock(m_mutex);
            m_holdFrom = ms;
        }
        m_heldChanged.notify_all();
    }

    // Waits (real time, bounded) until a held sleep or wait of `ms` is in
    // progress.
    bool WaitForHeld(std::int64_t ms) {
        std::unique_lock lock(m_mutex);
        return m_heldChanged.wait_for(lock, std::chrono::seconds(20), [&] { return m_held.count(ms) > 0; });
    }

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
            m_heldChanged.notify_all();
            lock.unlock();
            next->fire();
            lock.lock();
        }
        m_now = std::max(m_now, target);
        m_heldChanged.notify_all();
    }

    // Number of running timers, for tests that check a timer was stopped.
    std::size_t TimerCount() {
        std::lock_guard lock(m_mutex);
        return m_timers.size();
    }

private:
    bool IsHeldLocked(std::int64_t ms) const { return m_holdFrom > 0 && ms >= m_holdFrom; }

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
    std::int64_t m_holdFrom = 0;
    std::multiset<std::int64_t> m_held;
    std::condition_variable m_heldChanged;
};

} // namespace platform
