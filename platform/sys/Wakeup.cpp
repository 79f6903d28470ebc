#include "platform/sys/Wakeup.h"

#include "platform/sys/Clock.h"

namespace platform {

void Wakeup::Wake() {
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
        // Under the lock: ClearInterrupt waits for it, so what the interrupt
        // touches outlives it.
        if (m_interrupt)
            m_interrupt();
    }
    m_changed.notify_all();
}

void Wakeup::Reset() {
    std::lock_guard lock(m_mutex);
    m_woken = false;
}

bool Wakeup::Woken() const {
    std::lock_guard lock(m_mutex);
    return m_woken;
}

bool Wakeup::SleepMs(std::int64_t ms) {
    std::unique_lock lock(m_mutex);
    return !Clock::Current().WaitMs(ms, m_changed, lock, [this] { return m_woken; });
}

bool Wakeup::SetInterrupt(std::function<void()> interrupt) {
    std::lock_guard lock(m_mutex);
    if (m_woken)
        return false;
    m_interrupt = std::move(interrupt);
    return true;
}

void Wakeup::ClearInterrupt() {
    std::lock_guard lock(m_mutex);
    m_interrupt = nullptr;
}

} // namespace platform
