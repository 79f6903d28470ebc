#include "link/Net_Socket.h"

#include "link/LinkGlobals.h"
#include "link/Ping_Net_Thread.h"
#include "model/Globals.h"
#include "platform/net/NetAdapters.h"
#include "platform/net/Ping.h"
#include "platform/sys/Clock.h"
#include "platform/sys/UserMessages.h"
#include "platform/sys/Wakeup.h"

#include <cerrno>

std::atomic<std::uint16_t> g_nDevicePort{8899};

namespace {

constexpr int kTickPauseMs = 1000;
// A processor that has just restarted after a firmware update answers pings
// before its TCP server is up.
constexpr int kRebootSettleMs = 5000;

} // namespace

CNet_Socket::CNet_Socket() : m_pPingThread(std::make_unique<CPing_Net_Thread>()) {}

CNet_Socket::~CNet_Socket() {
    m_pPingThread->StopTimer();
    m_pPingThread->Quit();
}

int CNet_Socket::Fail() {
    m_socket.Close();
    return 0;
}

int CNet_Socket::Connect() {
    platform::Wakeup& stop = g_hCommEvents.QuitWakeup();
    if (!m_bDeviceSeen || !PingDevice(&stop))
        return 0;
    if (!m_socket.Open())
        return 0;
    m_socket.SetBufferSizes(0);
    m_socket.SetSendTimeout(m_nSendTimeout);
    if (!m_socket.SetReceiveTimeout(m_nRecvTimeout))
        return Fail();
    if (!m_socket.Connect(g_strDeviceIp, g_nDevicePort.load(), kConnectTimeoutMs, &stop))
        return Fail();
    return 1;
}

int CNet_Socket::Close() {
    m_socket.Close();
    return 1;
}

int CNet_Socket::Send(const char* data, int length, int) {
    return m_socket.Send(data, length, &g_hCommEvents.QuitWakeup()) == length ? 1 : 0;
}

int CNet_Socket::ReceiveInto(int capacity, int* length) {
    const int got = m_socket.Receive(g_NetRecvBuf, capacity, &g_hCommEvents.QuitWakeup());
    if (length)
        *length = got;
    if (got >= 0)
        return got;
    // The socket blocks with a receive time-out, so "would block" means the
    // time-out passed.
    switch (m_socket.LastError()) {
    case EAGAIN:
    case ETIMEDOUT:
        return kNetTimedOut;
    case ECONNABORTED:
        return kNetAborted;
    case ECONNRESET:
    case EPIPE:
        return kNetReset;
    default:
        return 0;
    }
}

int CNet_Socket::Receive(int* length) {
    return ReceiveInto(kReceiveSize, length);
}

int CNet_Socket::ReceiveShort(int* length) {
    return ReceiveInto(kReceiveShortSize, length);
}

int CNet_Socket::SetRecvTimeout(int ms) {
    if (!m_socket.SetReceiveTimeout(ms))
        return Fail();
    return 1;
}

int CNet_Socket::IsDeviceOnLocalSubnet() {
    const CString device = g_strDeviceIp;
    for (const platform::NetAdapter& adapter : platform::LocalAdapters()) {
        {
            std::lock_guard lock(m_adapterMutex);
            m_strAdapterMask = adapter.mask;
            m_strAdapterAddress = adapter.address;
        }
        if (platform::IsOnAdapterSubnet(adapter, device))
            return 1;
    }
    return 0;
}

int CNet_Socket::PingDevice(platform::Wakeup* wakeup) {
    // Pings on the ping thread and on a connecting thread run side by side:
    // one waiting for the other could not be ended by its own wake-up.
    char output[kPingOutputSize];
    const int answered =
        platform::PingAddress(g_strDeviceIp, output, sizeof output, kPingDeadlineMs, wakeup) ? 1 : 0;
    m_nLastPingResult = answered;
    return answered;
}

void CNet_Socket::StartPing() {
    m_pPingThread->SetSocket(this);
    m_pPingThread->StartTimer(kPingPeriodMs);
}

void CNet_Socket::StopPing(int keepThread) {
    m_pPingThread->StopTimer();
    if (!keepThread)
        m_pPingThread->Quit();
}

int CNet_Socket::OnPingTick(const std::atomic<bool>* running, platform::Wakeup* wakeup) {
    // The pauses end early when the thread is stopped: closing does not wait
    // them out.
    auto pause = [wakeup](int ms) {
        if (wakeup)
            wakeup->SleepMs(ms);
        else
            Sleep(ms);
    };
    if (!IsDeviceOnLocalSubnet()) {
        if (*running) {
            m_bDeviceSeen = 0;
            pause(kTickPauseMs);
        }
        return m_bDeviceSeen;
    }
    if (!*running)
        return m_bDeviceSeen;
    int seen = m_bDeviceSeen;
    if (!seen) {
        seen = PingDevice(wakeup);
        if (seen) {
            if (g_bFirmwareRebooting)
                pause(kRebootSettleMs);
            g_bFirmwareRebooting = 0;
            // The view connects on the notice, and Connect asks for device
            // seen: it must be set before the notice leaves.
            if (*running)
                m_bDeviceSeen = 1;
            PostMessage(g_pNotifyView.load(), UM_NET_DEVICE_FOUND, 0, 0);
        }
    }
    if (*running) {
        m_bDeviceSeen = seen;
        pause(kTickPauseMs);
    }
    return m_bDeviceSeen;
}
