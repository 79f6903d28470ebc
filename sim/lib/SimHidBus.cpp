#include "sim/lib/SimHidBus.h"

#include "model/FrameFormat.h"
#include "platform/sys/Clock.h"

#include <algorithm>
#include <chrono>

namespace sim {

namespace {

std::int64_t NowMs() {
    return platform::Clock::Current().NowMs();
}

// While a restart is pending the notice thread looks at the clock this often,
// since the clock in use may be a test's.
constexpr auto kReplugPoll = std::chrono::milliseconds(10);

// A bound against hanging should the backend's notice thread never come.
constexpr auto kHandOnLimit = std::chrono::seconds(10);

} // namespace

SimHidBus::SimHidBus(SimProcessor& processor) {
    Unit unit;
    unit.info = {std::string(kPathStem) + "0", kVendorId, kProductId, kVersion};
    unit.processor = &processor;
    m_units.push_back(std::move(unit));
}

std::vector<platform::HidDeviceInfo> SimHidBus::Enumerate() {
    std::unique_lock lock(m_mutex);
    ServiceForLinkLocked(lock);
    std::vector<platform::HidDeviceInfo> present;
    for (const auto& unit : m_units) {
        if (unit.present)
            present.push_back(unit.info);
    }
    return present;
}

std::optional<SimHidBus::Ticket> SimHidBus::Open(const std::string& path) {
    std::unique_lock lock(m_mutex);
    ServiceForLinkLocked(lock);
    for (std::size_t i = 0; i < m_units.size(); ++i) {
        if (m_units[i].present && m_units[i].info.path == path)
            return Ticket{i, m_units[i].generation};
    }
    return std::nullopt;
}

bool SimHidBus::Usable(const Ticket& ticket, const std::atomic<bool>& closed) const {
    const Unit& unit = m_units[ticket.unit];
    return !closed && unit.present && unit.generation == ticket.generation;
}

int SimHidBus::Write(const Ticket& ticket, const std::atomic<bool>& closed, const BYTE* report,
                     std::size_t length) {
    std::unique_lock lock(m_mutex);
    ServiceForLinkLocked(lock);
    if (!Usable(ticket, closed) || length == 0 || length > platform::kHidReportSize)
        return -1;
    Unit& unit = m_units[ticket.unit];
    if (unit.processor) {
        // Byte 0 is the report id; the frame bytes follow.
        for (const auto& reply : unit.processor->Feed(unit.collector, report + 1, length - 1)) {
            Deliver(unit, reply);
            if (!unit.present)
                break;
        }
    }
    return static_cast<int>(length);
}

int SimHidBus::Read(const Ticket& ticket, const std::atomic<bool>& closed, BYTE* report, std::size_t length,
                    int timeoutMs) {
    std::unique_lock lock(m_mutex);
    const std::int64_t deadline = NowMs() + std::max(timeoutMs, 0);
    while (true) {
        ServiceForLinkLocked(lock);
        if (!Usable(ticket, closed))
            return -1;
        Unit& unit = m_units[ticket.unit];
        const std::int64_t now = NowMs();
        if (!unit.input.empty() && unit.input.front().dueMs <= now) {
            const InputReport next = unit.input.front();
            unit.input.pop_front();
            const std::size_t n = std::min(length, next.bytes.size());
            std::copy_n(next.bytes.begin(), n, report);
            if (next.restartAfter)
                RestartLocked(unit);
            return static_cast<int>(n);
        }
        if (now >= deadline)
            return 0;
        std::int64_t wakeAt = deadline;
        if (!unit.input.empty())
            wakeAt = std::min(wakeAt, unit.input.front().dueMs);
        if (m_unplugAtMs)
            wakeAt = std::min(wakeAt, *m_unplugAtMs);
        if (m_replugAtMs)
            wakeAt = std::min(wakeAt, *m_replugAtMs);
        WaitLocked(lock, std::max<std::int64_t>(wakeAt - now, 1));
    }
}

void SimHidBus::WaitLocked(std::unique_lock<std::mutex>& lock, std::int64_t ms) {
    if (dynamic_cast<platform::SystemClock*>(&platform::Clock::Current())) {
        m_changed.wait_for(lock, std::chrono::milliseconds(ms));
        return;
    }
    // A test's clock: nothing would move it while we wait, so the wait moves it.
    lock.unlock();
    platform::Clock::Current().SleepMs(ms);
    lock.lock();
}

void SimHidBus::Wake() {
    std::lock_guard lock(m_mutex);
    m_changed.notify_all();
}

void SimHidBus::Deliver(Unit& unit, const SimReply& reply) {
    if (reply.reset) {
        UnplugLocked(unit);
        return;
    }
    std::vector<BYTE> bytes = std::move(unit.held);
    unit.held.clear();
    bytes.insert(bytes.end(), reply.bytes.begin(), reply.bytes.end());
    // One device: a late reply waits for the next one as a merged one does.
    if (reply.merge || reply.late) {
        unit.held = std::move(bytes);
        return;
    }
    if (bytes.empty()) {
        if (reply.restart)
            RestartLocked(unit);
        return;
    }
    std::int64_t due = NowMs() + std::max(reply.delayMs, 0);
    if (!unit.input.empty())
        due = std::max(due, unit.input.back().dueMs);
    for (std::size_t at = 0; at < bytes.size(); at += frame::kHidChunkSize) {
        InputReport r;
        r.dueMs = due;
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    std::min(frame::kHidChunkSize, bytes.size() - at), r.bytes.begin() + 1);
        unit.input.push_back(r);
    }
    unit.input.back().restartAfter = reply.restart;
    m_changed.notify_all();
}

void SimHidBus::UnplugLocked(Unit& unit) {
    if (!unit.present)
        return;
    unit.present = false;
    ++unit.generation;
    unit.input.clear();
    unit.held.clear();
    unit.collector.Reset();
    ++m_noticesMade;
    m_notices.push_back({false, unit.info.path});
    m_changed.notify_all();
}

void SimHidBus::PlugLocked(Unit& unit, const std::string& path) {
    if (unit.present || m_shutDown)
        return;
    if (!path.empty())
        unit.info.path = path;
    unit.present = true;
    ++m_noticesMade;
    m_notices.push_back({true, unit.info.path});
    m_changed.notify_all();
}

void SimHidBus::RestartLocked(Unit& unit) {
    if (m_restartDelayMs > 0) {
        m_unplugAtMs = NowMs() + m_restartDelayMs;
        return;
    }
    GoAwayLocked(unit, NowMs());
}

void SimHidBus::GoAwayLocked(Unit& unit, std::int64_t atMs) {
    UnplugLocked(unit);
    m_replugPath = m_restartNewPath ? kPathStem + std::to_string(m_nextPathNumber++) : std::string();
    m_replugAtMs = atMs + m_restartAwayMs;
}

void SimHidBus::ServiceLocked() {
    if (m_unplugAtMs && NowMs() >= *m_unplugAtMs) {
        const std::int64_t at = *m_unplugAtMs;
        m_unplugAtMs.reset();
        GoAwayLocked(m_units[0], at);
    }
    if (m_replugAtMs && NowMs() >= *m_replugAtMs) {
        m_replugAtMs.reset();
        PlugLocked(m_units[0], m_replugPath);
    }
}

void SimHidBus::ServiceForLinkLocked(std::unique_lock<std::mutex>& lock) {
    ServiceLocked();
    m_handedOn.wait_for(lock, kHandOnLimit,
                        [this] { return m_shutDown || m_noticesHandedOn == m_noticesMade; });
}

std::string SimHidBus::ProcessorPath() const {
    std::lock_guard lock(m_mutex);
    return m_units[0].info.path;
}

bool SimHidBus::IsProcessorPresent() const {
    std::lock_guard lock(m_mutex);
    return m_units[0].present;
}

void SimHidBus::Unplug() {
    std::lock_guard lock(m_mutex);
    m_unplugAtMs.reset();
    m_replugAtMs.reset();
    UnplugLocked(m_units[0]);
}

void SimHidBus::Plug(const std::string& path) {
    std::lock_guard lock(m_mutex);
    m_unplugAtMs.reset();
    m_replugAtMs.reset();
    PlugLocked(m_units[0], path);
}

void SimHidBus::SetRestart(int awayMs, bool newPath, int delayMs) {
    std::lock_guard lock(m_mutex);
    m_restartAwayMs = awayMs;
    m_restartNewPath = newPath;
    m_restartDelayMs = delayMs;
}

void SimHidBus::AddForeignDevice(const platform::HidDeviceInfo& info) {
    std::lock_guard lock(m_mutex);
    Unit unit;
    unit.info = info;
    unit.present = false;
    m_units.push_back(std::move(unit));
    PlugLocked(m_units.back(), {});
}

void SimHidBus::RemoveForeignDevice(const std::string& path) {
    std::lock_guard lock(m_mutex);
    for (std::size_t i = 1; i < m_units.size(); ++i) {
        if (m_units[i].present && m_units[i].info.path == path)
            UnplugLocked(m_units[i]);
    }
}

bool SimHidBus::WaitNotices(std::vector<Notice>& notices) {
    std::unique_lock lock(m_mutex);
    // The backend calls again once it has handed on what it took last time.
    m_noticesHandedOn = m_noticesTaken;
    m_handedOn.notify_all();
    while (true) {
        if (m_shutDown)
            return false;
        ServiceLocked();
        if (!m_notices.empty()) {
            notices.swap(m_notices);
            m_notices.clear();
            m_noticesTaken = m_noticesMade;
            return true;
        }
        if (m_unplugAtMs || m_replugAtMs)
            m_changed.wait_for(lock, kReplugPoll);
        else
            m_changed.wait(lock);
    }
}

void SimHidBus::Shutdown() {
    std::lock_guard lock(m_mutex);
    m_shutDown = true;
    m_unplugAtMs.reset();
    m_replugAtMs.reset();
    for (auto& unit : m_units) {
        unit.present = false;
        ++unit.generation;
    }
    m_notices.clear();
    m_changed.notify_all();
    m_handedOn.notify_all();
}

} // namespace sim
