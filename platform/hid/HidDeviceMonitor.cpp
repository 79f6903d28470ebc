#include "platform/hid/HidDeviceMonitor.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

HidDeviceMonitor::HidDeviceMonitor(Handler handler) : m_handler(std::move(handler)) {
    m_udev = udev_new();
    if (m_udev)
        m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (m_monitor && (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
                      udev_monitor_enable_receiving(m_monitor) < 0)) {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
    }
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_monitor && m_wakeFd >= 0)
        m_thread = std::thread([this] { Run(); });
}

HidDeviceMonitor::~HidDeviceMonitor() {
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = write(m_wakeFd, &one, sizeof one);
        m_thread.join();
    }
    if (m_wakeFd >= 0)
        close(m_wakeFd);
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

void HidDeviceMonitor::Run() {
    pollfd fds[2] = {{udev_monitor_get_fd(m_monitor), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        udev_device* device = udev_monitor_receive_device(m_monitor);
        if (!device)
            continue;
        const char* action = udev_device_get_action(device);
        const char* node = udev_device_get_devnode(device);
        if (action && node) {
            if (std::strcmp(action, "add") == 0)
                m_handler(Change::Arrival, node);
            else if (std::strcmp(action, "remove") == 0)
                m_handler(Change::Removal, node);
        }
        udev_device_unref(device);
    }
}

} // namespace platform
