#pragma once

// The USB side of the simulated processor: the HID interfaces present on a
// make-believe machine (the processor and any silent foreign devices a test
// adds), their input report queues, and the arrival and removal notices they
// cause.  SimHidBackend and SimHidDevice are its faces towards the link; tests
// drive plugging and the processor's restarts here.
//
// Replies leave as 65-byte input reports (report id 0, then 64 bytes), each
// reply starting in a fresh report.  Time comes from platform::Clock: under a
// test's virtual clock a read that has to wait moves the clock instead.
//
// A call of the link that finds the processor gone or back returns only once
// the backend has handed those notices on, as a real machine's notices come
// long before a link could act on the change: on a test's clock, which a
// sleeping link moves by seconds at once, they would otherwise trail behind
// whatever the link does next.

#include "platform/hid/HidBackend.h"
#include "sim/lib/SimProcessor.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace sim {

class SimHidBus {
public:
    static constexpr WORD kVendorId = 0x0483;
    static constexpr WORD kProductId = 0x5750;
    static constexpr WORD kVersion = 0x0200;
    // Paths end in a number that a restart at a new path counts up.
    static constexpr const char* kPathStem = "/dev/sim-hidraw";
    // How long a restarting processor stays away; the link reopens after 5 s.
    static constexpr int kDefaultRestartAwayMs = 1000;

    struct Notice {
        bool arrival = true;
        std::string path;
    };
    // What an open handle holds: which interface, and which plugging of it.
    struct Ticket {
        std::size_t unit = 0;
        int generation = 0;
    };

    explicit SimHidBus(SimProcessor& processor);

    // Services of the backend and its handles.
    std::vector<platform::HidDeviceInfo> Enumerate();
    std::optional<Ticket> Open(const std::string& path);
    int Write(const Ticket& ticket, const std::atomic<bool>& closed, const BYTE* report, std::size_t length);
    int Read(const Ticket& ticket, const std::atomic<bool>& closed, BYTE* report, std::size_t length,
             int timeoutMs);
    // Wakes waiting reads so they see a handle closed.
    void Wake();

    // The processor's interface.
    std::string ProcessorPath() const;
    bool IsProcessorPresent() const;
    void Unplug();
    // Plugs the processor back in, at `path` when one is given.
    void Plug(const std::string& path = {});
    // How a restart (after the firmware start and end frames) looks: away for
    // `awayMs`, then back at the same path or the next one.  With `delayMs`
    // the processor goes away that long after its reply was read, as a real
    // one does once its reply is out, instead of at once.
    void SetRestart(int awayMs, bool newPath, int delayMs = 0);

    // Other HID interfaces: present, openable, never answering.
    void AddForeignDevice(const platform::HidDeviceInfo& info);
    void RemoveForeignDevice(const std::string& path);

    // For the backend's notice thread: waits for notices; false once shut down.
    bool WaitNotices(std::vector<Notice>& notices);
    // Every interface goes away for good and the notice thread is released.
    void Shutdown();

private:
    struct InputReport {
        std::array<BYTE, platform::kHidReportSize> bytes{};
        std::int64_t dueMs = 0;
        bool restartAfter = false;
    };
    struct Unit {
        platform::HidDeviceInfo info;
        SimProcessor* processor = nullptr; // null: a silent foreign device
        bool present = true;
        int generation = 0;
        SimFrameCollector collector;
        std::deque<InputReport> input;
        std::vector<BYTE> held;
    };

    bool Usable(const Ticket& ticket, const std::atomic<bool>& closed) const;
    void Deliver(Unit& unit, const SimReply& reply);
    void UnplugLocked(Unit& unit);
    void PlugLocked(Unit& unit, const std::string& path);
    void RestartLocked(Unit& unit);
    void GoAwayLocked(Unit& unit, std::int64_t atMs);
    void ServiceLocked();
    // ServiceLocked, then waits until every notice made so far is handed on.
    void ServiceForLinkLocked(std::unique_lock<std::mutex>& lock);
    void WaitLocked(std::unique_lock<std::mutex>& lock, std::int64_t ms);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Unit> m_units; // the processor first
    std::vector<Notice> m_notices;
    std::condition_variable m_handedOn;
    std::uint64_t m_noticesMade = 0;
    std::uint64_t m_noticesTaken = 0;
    std::uint64_t m_noticesHandedOn = 0;
    std::optional<std::int64_t> m_unplugAtMs;
    std::optional<std::int64_t> m_replugAtMs;
    std::string m_replugPath;
    int m_restartAwayMs = kDefaultRestartAwayMs;
    int m_restartDelayMs = 0;
    bool m_restartNewPath = true;
    int m_nextPathNumber = 1;
    bool m_shutDown = false;
};

} // namespace sim
