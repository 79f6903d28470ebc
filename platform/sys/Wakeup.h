#pragma once

// Lets one thread end another thread's waiting at once: a sleep on the clock
// and whatever blocking step has registered how to interrupt it (a child
// process being waited for).  Once woken it stays woken until Reset, so a
// wait that starts after the wake-up does not begin at all.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace platform {

class Wakeup {
public:
    // Ends the sleep in progress and runs the interrupt set now, if any.
    void Wake();
    void Reset();
    bool Woken() const;

    // Sleeps `ms` on the clock in use unless woken first; false when woken.
    bool SleepMs(std::int64_t ms);

    // While set, Wake runs `interrupt` (on the waking thread).  False, and
    // nothing set, when already woken.
    bool SetInterrupt(std::function<void()> interrupt);
    // Returns once an interrupt that Wake is running has finished.
    void ClearInterrupt();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_interrupt;
    bool m_woken = false;
};

} // namespace platform
