#include "link/LinkGlobals.h"

#include "link/LinkProgress.h"
#include "platform/hid/HidBackend.h"

const WORD g_nUsbVid = 0x0483;
const WORD g_nUsbPid = 0x5750;
const WORD g_nUsbVersion = 0x0200;

std::shared_ptr<platform::HidDevice> CUsbHandle::Get() const {
    std::lock_guard lock(m_mutex);
    return m_device;
}

void CUsbHandle::Set(std::shared_ptr<platform::HidDevice> device) {
    std::lock_guard lock(m_mutex);
    m_device = std::move(device);
}

CUsbHandle g_hUsbDevice;
BYTE g_UsbInReport[frame::kHidReportSize] = {};
BYTE g_NetRecvBuf[kNetRecvBufSize] = {};
CCommEvents g_hCommEvents;
std::atomic<std::int64_t> g_liExchangeStart{0};
std::atomic<int> g_bUsbLinkUp{0};
std::atomic<int> g_bDataStepHalted{0};
std::atomic<int> g_bHandshakeWait{0};
std::atomic<int> g_bFirmwareRebooting{0};
std::atomic<int> g_bUpdateAbort{0};
std::atomic<int> g_bUpgrading{0};
std::atomic<int> g_bReconnectPending{0};
std::atomic<int> g_bMcuImageLoaded{0};
std::atomic<int> g_nLastFirmwareStep{0};
std::atomic<int> g_bFirmwareHandshakePending{0};
std::atomic<int> g_nDspPhase{0};
std::atomic<int> g_nDspAddress{0};
std::atomic<int> g_nMcuPhase{0};
std::atomic<int> g_bDspImageLoaded{0};
std::atomic<int> g_nFirmwareFrameTotal{0};

std::atomic<ILinkProgressBar*> g_pTransferProgress{nullptr};
std::atomic<ILinkProgressBar*> g_pFirmwareProgress{nullptr};
std::atomic<ILinkStatusLabel*> g_pUpdateStatusLabel{nullptr};
std::recursive_mutex g_csFirmwareUi;
