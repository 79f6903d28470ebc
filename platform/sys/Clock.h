#pragma once

// Time for the program's own timing: exchange time-outs, sleeps, timers.
// The program runs on the system clock; tests install a VirtualClock so they
// run timing behaviour without waiting.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a steady clock.
    virtual std::int64_t NowMs() = 0;
    virtual void SleepMs(std::int64_t ms) = 0;
    // Waits on `changed` (with `lock` held on entry and on return) until
    // `done` holds or `ms` have passed; answers done().  Another thread sets
    // what `done` reads under the lock and notifies.  A test clock lets the
    // time pass at once.
    virtual bool WaitMs(std::int64_t ms, std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                        const std::function<bool()>& done);

    // Periodic timers.  `fire` runs every `periodMs` until StopTimer.  On the
    // system clock it runs on the thread that started the timer, from that
    // thread's message loop (Qt's event loop on the GUI thread); on a virtual
    // clock it runs on the thread that advances the clock.  A timer may be
    // stopped from any thread, also from inside its own callback.
    using TimerId = std::uint64_t;
    virtual TimerId StartTimer(std::int64_t periodMs, std::function<void()> fire);
    virtual void StopTimer(TimerId id);

    // The clock in use; the system clock unless a test installed another.
    static Clock& Current();
    // Installs `clock` (nullptr restores the system clock); returns the previous one.
    static Clock* Install(Clock* clock);
};

class SystemClock final : public Clock {
public:
    std::int64_t NowMs() override;
    void SleepMs(std::int64_t ms) override;
    bool WaitMs(std::int64_t ms, std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                const std::function<bool()>& done) override;
};

} // namespace platform

// The platform calls the program's timing code is written against.
std::int64_t GetTickCount64Ms();
void Sleep(std::int64_t ms);
