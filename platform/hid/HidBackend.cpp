#include "platform/hid/HidBackend.h"

#include "platform/hid/HidapiBackend.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<HidBackend*> s_installed{nullptr};
} // namespace

HidBackend& HidBackend::Current() {
    if (HidBackend* backend = s_installed.load())
        return *backend;
    // Built on first use, so a program that never touches USB never starts the
    // system's HID library.
    static HidapiBackend s_system;
    return s_system;
}

HidBackend* HidBackend::Install(HidBackend* backend) {
    return s_installed.exchange(backend);
}

CStringArray MatchingHidPaths(const std::vector<HidDeviceInfo>& devices, WORD vendorId, WORD productId,
                              WORD version) {
    CStringArray paths;
    for (const auto& device : devices) {
        if (device.vendorId == vendorId && device.productId == productId && device.version == version)
            paths.push_back(device.path);
    }
    return paths;
}

} // namespace platform
