#pragma once

// The simulated processor as a USB HID device, behind the same backend
// interface as the system's HID stack: install it (HidBackend::Install) and
// the USB link runs unchanged against it.  Notices reach subscribers on the
// backend's own thread, as the system's do.

#include "platform/hid/HidBackend.h"
#include "sim/lib/SimHidBus.h"

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace sim {

class SimHidBackend final : public platform::HidBackend {
public:
    explicit SimHidBackend(SimProcessor& processor);
    ~SimHidBackend() override;
    SimHidBackend(const SimHidBackend&) = delete;
    SimHidBackend& operator=(const SimHidBackend&) = delete;

    std::vector<platform::HidDeviceInfo> Enumerate() override;
    std::shared_ptr<platform::HidDevice> Open(const std::string& path) override;
    void Subscribe(platform::HidChangeSink* sink) override;
    void Unsubscribe(platform::HidChangeSink* sink) override;

    // Plugging, restarts and foreign devices.
    SimHidBus& Bus() { return *m_bus; }

private:
    void NoticeLoop();

    std::shared_ptr<SimHidBus> m_bus;
    // Held while notices are delivered, so Unsubscribe cannot return in the
    // middle of one; recursive so a sink may unsubscribe from its own notice.
    std::recursive_mutex m_sinksMutex;
    std::vector<platform::HidChangeSink*> m_sinks;
    std::thread m_noticeThread;
};

} // namespace sim
