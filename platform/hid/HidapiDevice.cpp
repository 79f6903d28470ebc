#include "platform/hid/HidapiDevice.h"

#include <algorithm>
#include <chrono>
#include <hidapi/hidapi.h>

namespace platform {

HidapiDevice::HidapiDevice(hid_device* device) : m_device(device) {}

HidapiDevice::~HidapiDevice() {
    Close();
}

int HidapiDevice::Write(const BYTE* report, std::size_t length, int /*timeoutMs*/) {
    // hidraw completes an output report before write() returns, so there is
    // nothing left pending to wait for or to cancel.
    std::lock_guard lock(m_mutex);
    if (!m_device || length == 0)
        return -1;
    const int written = hid_write(m_device, report, length);
    return written < 0 ? -1 : written;
}

int HidapiDevice::Read(BYTE* report, std::size_t length, int timeoutMs) {
    if (length < 2)
        return -1;
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        if (m_closed)
            return -1;
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        const int slice = static_cast<int>(std::clamp<long long>(left, 0, kReadSliceMs));
        {
            std::lock_guard lock(m_mutex);
            if (!m_device)
                return -1;
            // The processor sends unnumbered reports, which hidraw delivers
            // without the id byte; the link expects them as on the wire.
            const int got = hid_read_timeout(m_device, report + 1, length - 1, slice);
            if (got < 0)
                return -1;
            if (got > 0) {
                report[0] = 0;
                return got + 1;
            }
        }
        if (left <= 0)
            return 0;
    }
}

void HidapiDevice::Close() {
    m_closed = true;
    std::lock_guard lock(m_mutex);
    if (m_device) {
        hid_close(m_device);
        m_device = nullptr;
    }
}

} // namespace platform
