#pragma once

// Process-wide state of the device link.  The send lock, the transmit
// template, the device address, the USB output report and the model's flags
// that the link reads live with the model's globals (model/Globals.h), beside
// the frame builders that use them.

#include "link/CommEvents.h"
#include "model/FrameFormat.h"
#include "platform/sys/Messages.h"
#include "platform/sys/WinTypes.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

// ---- Communication thread and USB link ---------------------------------------
// Flags that one thread writes and the other polls are atomics: a change takes
// effect at the other thread's next poll.

namespace platform {
class HidDevice;
}

// The processor's HID identity.
extern const WORD g_nUsbVid;
extern const WORD g_nUsbPid;
extern const WORD g_nUsbVersion;

// The open USB device.  The read and the write handle are one device; either
// name may be used.  Empty while no device is open.
class CUsbHandle {
public:
    std::shared_ptr<platform::HidDevice> Get() const;
    void Set(std::shared_ptr<platform::HidDevice> device);
    bool IsOpen() const { return Get() != nullptr; }

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<platform::HidDevice> m_device;
};
extern CUsbHandle g_hUsbDevice;
inline CUsbHandle& g_hUsbRead = g_hUsbDevice;
inline CUsbHandle& g_hUsbWrite = g_hUsbDevice;

// The 65-byte input report the USB read step fills (report id, 64 bytes).
extern BYTE g_UsbInReport[frame::kHidReportSize];
// What one TCP receive delivered.
inline constexpr int kNetRecvBufSize = 400;
extern BYTE g_NetRecvBuf[kNetRecvBufSize];

// Quit, suspend, firmware step, data step.
extern CCommEvents g_hCommEvents;
// Clock time (ms) at the start of the current data or firmware step.
extern std::atomic<std::int64_t> g_liExchangeStart;

extern std::atomic<int> g_bUsbLinkUp;         // the USB exchange may run
extern std::atomic<int> g_bDataStepHalted;    // an empty data reply stopped the data steps
extern std::atomic<int> g_bHandshakeWait;     // only the connect handshake's reply counts
extern std::atomic<int> g_bFirmwareRebooting; // the processor restarts after a firmware update
extern std::atomic<int> g_bUpdateAbort;       // the update dialog quits a running transfer
extern std::atomic<int> g_bUpgrading;         // a firmware update runs: firmware steps, not data steps
extern std::atomic<int> g_bReconnectPending;  // the update dialog polls to reconnect
extern std::atomic<int> g_bMcuImageLoaded;    // the firmware file held an MCU image
extern std::atomic<int> g_nLastFirmwareStep;  // step of the last firmware frame written; 0 outside updates

// ---- Firmware transfer (set up by each load of a firmware file) --------------
extern std::atomic<int> g_bFirmwareHandshakePending; // the next frame request queues the handshake
extern std::atomic<int> g_nDspPhase;           // 0 start, 1 data, 2 end, 3 handed to the MCU part, 4 done
extern std::atomic<int> g_nDspAddress;         // address of the next DSP data frame
extern std::atomic<int> g_nMcuPhase;           // 0 start, 1 header, 2 data, 3 end, 4 done
extern std::atomic<int> g_bDspImageLoaded;     // the firmware file held a DSP image
extern std::atomic<int> g_nFirmwareFrameTotal; // estimated frames; the update dialog's progress range
