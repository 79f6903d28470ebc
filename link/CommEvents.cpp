#include "link/CommEvents.h"

#include <chrono>

void CCommEvents::Set(Index index) {
    {
        std::lock_guard lock(m_mutex);
        m_set[index] = true;
    }
    m_changed.notify_all();
    // Outside the lock: the wake-up ends the thread's waits on the waking
    // thread, and none of that needs the events.
    if (index == Quit)
        m_quit.Wake();
}

void CCommEvents::Reset(Index index) {
    std::lock_guard lock(m_mutex);
    m_set[index] = false;
    if (index == Quit)
        m_quit.Reset();
}

void CCommEvents::ResetAll() {
    std::lock_guard lock(m_mutex);
    for (bool& set : m_set)
        set = false;
    m_quit.Reset();
}

bool CCommEvents::IsSet(Index index) {
    std::lock_guard lock(m_mutex);
    return m_set[index];
}

int CCommEvents::WaitAny(unsigned mask, int timeoutMs) {
    std::unique_lock lock(m_mutex);
    int found = -1;
    auto anySet = [&] {
        for (int i = 0; i < Count; ++i) {
            if ((mask & (1u << i)) && m_set[i]) {
                found = i;
                return true;
            }
        }
        return false;
    };
    m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), anySet);
    return found;
}
