#pragma once

// The USB HID services the device link is written against: list the HID
// interfaces with their ids, open one by path, exchange 65-byte reports with
// time-outs, close, and hear of interfaces arriving and going away.
//
// The program runs on the system's HID stack (HidapiBackend); tests install an
// in-process device instead, so the link can be driven without hardware.

#include "platform/sys/WinTypes.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// A report on the wire: byte 0 the report id (0 for this device), then 64
// bytes of payload.
inline constexpr std::size_t kHidReportSize = 65;

struct HidDeviceInfo {
    std::string path;
    WORD vendorId = 0;
    WORD productId = 0;
    // The device's release number (what the HID attributes call the version).
    WORD version = 0;
};

// One open HID interface.  Read and Write run on one thread (the link's
// communication thread); Close may come from any other thread at any time and
// makes a Read or Write in progress, and every later one, fail with -1.  The
// object stays valid until its last owner lets go, so a close never pulls the
// buffer out from under a running read.
class HidDevice {
public:
    virtual ~HidDevice() = default;

    // Writes one output report (`length` bytes, byte 0 the report id) and waits
    // at most `timeoutMs` for it to go out.  Returns the bytes written, 0 when
    // the write did not complete in time, -1 on failure or after Close.
    virtual int Write(const BYTE* report, std::size_t length, int timeoutMs) = 0;

    // Waits at most `timeoutMs` for one input report and stores it in `report`
    // with its report id in byte 0, as the report appears on the wire.
    // Returns the bytes stored (id included), 0 on time-out, -1 on failure
    // (the device went away) or after Close.
    virtual int Read(BYTE* report, std::size_t length, int timeoutMs) = 0;

    // Releases the device.  Safe to call more than once and from any thread.
    virtual void Close() = 0;
};

// Receives arrival and removal of HID interfaces.  Called on the backend's
// own notification thread; a sink passes the notice on (posts a message) and
// returns quickly.
class HidChangeSink {
public:
    virtual ~HidChangeSink() = default;
    virtual void OnHidArrival(const std::string& path) = 0;
    virtual void OnHidRemoval(const std::string& path) = 0;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Every present HID interface, in the order the system lists them.
    virtual std::vector<HidDeviceInfo> Enumerate() = 0;

    // Opens `path` for reading and writing; nullptr when it cannot be opened.
    virtual std::shared_ptr<HidDevice> Open(const std::string& path) = 0;

    // Starts delivering arrival and removal notices to `sink` until it is
    // unsubscribed.  Unsubscribe returns only once no notice for `sink` is
    // being delivered any more, so the sink may then be destroyed.
    virtual void Subscribe(HidChangeSink* sink) = 0;
    virtual void Unsubscribe(HidChangeSink* sink) = 0;

    // The backend in use: the system's HID stack unless another was installed.
    static HidBackend& Current();
    // Installs `backend` (nullptr restores the system's); returns the previous one.
    static HidBackend* Install(HidBackend* backend);
};

// The paths of the interfaces whose vendor id, product id and version all
// equal the given ones, in the order listed.
CStringArray MatchingHidPaths(const std::vector<HidDeviceInfo>& devices, WORD vendorId, WORD productId,
                              WORD version);

} // namespace platform
