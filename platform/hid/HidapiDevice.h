#pragma once

// One HID interface opened through hidapi.

#include "platform/hid/HidBackend.h"

#include <atomic>
#include <mutex>

struct hid_device_;

namespace platform {

class HidapiDevice final : public HidDevice {
public:
    explicit HidapiDevice(hid_device_* device);
    ~HidapiDevice() override;
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    int Write(const BYTE* report, std::size_t length, int timeoutMs) override;
    int Read(BYTE* report, std::size_t length, int timeoutMs) override;
    void Close() override;

private:
    // A read waits in short slices with the lock held, so a Close from another
    // thread gets the lock within one slice and never frees the device under a
    // running call.
    static constexpr int kReadSliceMs = 50;

    std::mutex m_mutex;
    std::atomic<bool> m_closed = false;
    hid_device_* m_device = nullptr;
};

} // namespace platform
