#include "platform/sys/Clock.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace platform {

namespace {
SystemClock s_systemClock;
std::atomic<Clock*> s_current{nullptr};
} // namespace

Clock& Clock::Current() {
    Clock* clock = s_current.load();
    return clock ? *clock : s_systemClock;
}

Clock* Clock::Install(Clock* clock) {
    return s_current.exchange(clock);
}

std::int64_t SystemClock::NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::SleepMs(std::int64_t ms) {
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool Clock::WaitMs(std::int64_t ms, std::condition_variable&, std::unique_lock<std::mutex>& lock,
                   const std::function<bool()>& done) {
    if (done())
        return true;
    lock.unlock();
    SleepMs(ms);
    lock.lock();
    return done();
}

bool SystemClock::WaitMs(std::int64_t ms, std::condition_variable& changed,
                         std::unique_lock<std::mutex>& lock, const std::function<bool()>& done) {
    return changed.wait_for(lock, std::chrono::milliseconds(std::max<std::int64_t>(ms, 0)), done);
}

} // namespace platform

std::int64_t GetTickCount64Ms() {
    return platform::Clock::Current().NowMs();
}

void Sleep(std::int64_t ms) {
    platform::Clock::Current().SleepMs(ms);
}
