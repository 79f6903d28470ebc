#include "platform/hid/HidapiBackend.h"

#include "platform/hid/HidapiDevice.h"

#include <algorithm>
#include <hidapi/hidapi.h>

namespace platform {

HidapiBackend::HidapiBackend() {
    hid_init();
}

HidapiBackend::~HidapiBackend() {
    // The monitor thread must be gone before the sinks it delivers to.
    m_monitor.reset();
    hid_exit();
}

std::vector<HidDeviceInfo> HidapiBackend::Enumerate() {
    std::vector<HidDeviceInfo> devices;
    hid_device_info* list = hid_enumerate(0, 0);
    for (hid_device_info* info = list; info; info = info->next) {
        if (!info->path)
            continue;
        devices.push_back({info->path, info->vendor_id, info->product_id, info->release_number});
    }
    hid_free_enumeration(list);
    return devices;
}

std::shared_ptr<HidDevice> HidapiBackend::Open(const std::string& path) {
    hid_device* device = hid_open_path(path.c_str());
    if (!device)
        return nullptr;
    return std::make_shared<HidapiDevice>(device);
}

void HidapiBackend::Subscribe(HidChangeSink* sink) {
    std::lock_guard lock(m_sinksMutex);
    if (std::find(m_sinks.begin(), m_sinks.end(), sink) == m_sinks.end())
        m_sinks.push_back(sink);
    if (!m_monitor) {
        m_monitor = std::make_unique<HidDeviceMonitor>(
            [this](HidDeviceMonitor::Change change, const std::string& path) { Deliver(change, path); });
    }
}

void HidapiBackend::Unsubscribe(HidChangeSink* sink) {
    std::lock_guard lock(m_sinksMutex);
    std::erase(m_sinks, sink);
}

void HidapiBackend::Deliver(HidDeviceMonitor::Change change, const std::string& path) {
    std::lock_guard lock(m_sinksMutex);
    // A sink may unsubscribe itself from inside its notice.
    const auto sinks = m_sinks;
    for (HidChangeSink* sink : sinks) {
        if (std::find(m_sinks.begin(), m_sinks.end(), sink) == m_sinks.end())
            continue;
        if (change == HidDeviceMonitor::Change::Arrival)
            sink->OnHidArrival(path);
        else
            sink->OnHidRemoval(path);
    }
}

} // namespace platform
