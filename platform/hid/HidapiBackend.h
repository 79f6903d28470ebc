#pragma once

// The system's HID stack: hidapi on hidraw for the devices, a libudev monitor
// for arrival and removal.

#include "platform/hid/HidBackend.h"
#include "platform/hid/HidDeviceMonitor.h"

#include <memory>
#include <mutex>
#include <vector>

namespace platform {

class HidapiBackend final : public HidBackend {
public:
    HidapiBackend();
    ~HidapiBackend() override;
    HidapiBackend(const HidapiBackend&) = delete;
    HidapiBackend& operator=(const HidapiBackend&) = delete;

    std::vector<HidDeviceInfo> Enumerate() override;
    std::shared_ptr<HidDevice> Open(const std::string& path) override;
    void Subscribe(HidChangeSink* sink) override;
    void Unsubscribe(HidChangeSink* sink) override;

private:
    void Deliver(HidDeviceMonitor::Change change, const std::string& path);

    // Held while a notice is delivered, so Unsubscribe cannot return in the
    // middle of one; recursive so a sink may unsubscribe from its own notice.
    std::recursive_mutex m_sinksMutex;
    std::vector<HidChangeSink*> m_sinks;
    std::unique_ptr<HidDeviceMonitor> m_monitor;
};

} // namespace platform
