#pragma once

#include <mutex>

// A recursive lock: one thread may take it again while it holds it (a handler
// that holds the send lock queues more frames).
class CCriticalSection {
public:
    void Lock() { m_mutex.lock(); }
    void Unlock() { m_mutex.unlock(); }
    // For std::lock_guard / std::scoped_lock.
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    bool try_lock() { return m_mutex.try_lock(); }

private:
    std::recursive_mutex m_mutex;
};
