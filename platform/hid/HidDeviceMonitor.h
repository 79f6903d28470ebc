#pragma once

// Watches the system for HID interfaces coming and going (libudev, hidraw
// subsystem) on a thread of its own and reports each by its device path.

#include <functional>
#include <string>
#include <thread>

struct udev;
struct udev_monitor;

namespace platform {

class HidDeviceMonitor {
public:
    enum class Change { Arrival, Removal };
    using Handler = std::function<void(Change, const std::string& path)>;

    // Starts watching at once; without udev (no netlink access) it stays silent.
    explicit HidDeviceMonitor(Handler handler);
    ~HidDeviceMonitor();
    HidDeviceMonitor(const HidDeviceMonitor&) = delete;
    HidDeviceMonitor& operator=(const HidDeviceMonitor&) = delete;

    bool IsWatching() const { return m_monitor != nullptr; }

private:
    void Run();

    Handler m_handler;
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    // Written to end the thread's wait.
    int m_wakeFd = -1;
    std::thread m_thread;
};

} // namespace platform
