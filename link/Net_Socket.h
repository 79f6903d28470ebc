#pragma once

// The network link: a TCP connection to the processor's port 8899, the test
// whether the processor's address lies on a subnet of one of this machine's
// adapters, and the reachability ping that the ping thread runs every 500 ms
// until the processor answers.
//
// Connect, Close and the ping timer run on the GUI thread (Connect and Close
// also inside the communication thread's own steps); Send and the receives
// run on the communication thread; OnPingTick runs on the ping thread.
// Connect's ping and connect, Send and the receives end at once when the
// communication thread is told to quit (its events' QuitWakeup), failing.

#include "link/NetLink.h"
#include "platform/net/TcpSocket.h"
#include "platform/sys/WinTypes.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

class CPing_Net_Thread;
namespace platform {
class Wakeup;
}

// The processor's TCP port.  Tests point it at a simulated processor.
extern std::atomic<std::uint16_t> g_nDevicePort;

class CNet_Socket final : public INetLink {
public:
    static constexpr int kPingOutputSize = 1024;
    static constexpr int kPingDeadlineMs = 3000;
    static constexpr int kPingPeriodMs = 500;
    static constexpr int kConnectTimeoutMs = 3000;
    static constexpr int kReceiveSize = 400;
    static constexpr int kReceiveShortSize = 16;

    // Starts the ping thread; its timer waits for StartPing.
    CNet_Socket();
    // Ends the ping thread if StopPing (0) did not.
    ~CNet_Socket() override;
    CNet_Socket(const CNet_Socket&) = delete;
    CNet_Socket& operator=(const CNet_Socket&) = delete;

    // 1 when the connection stands; only for a processor the ping has seen
    // and that answers one more ping.
    int Connect() override;
    int Close() override;
    int Send(const char* data, int length, int flags) override;
    // One receive into g_NetRecvBuf; *length is the receive's own result.
    // Returns the count, 0 for a closed connection, or the socket error
    // kNetTimedOut (the receive time-out passed), kNetAborted or kNetReset;
    // any other failure returns 0.
    int Receive(int* length) override;
    // The same with at most 16 bytes, for the firmware steps.
    int ReceiveShort(int* length) override;
    // On failure the socket is closed and the result is 0.
    int SetRecvTimeout(int ms) override;

    int IsDeviceOnLocalSubnet() override;
    // A woken `wakeup` ends the ping at once, without an answer.
    int PingDevice(platform::Wakeup* wakeup = nullptr);

    void StartPing() override;
    void StopPing(int keepThread) override;
    int IsDeviceSeen() override { return m_bDeviceSeen.load(); }

    // One reachability check on the ping thread; `running` is the thread's
    // running flag, `wakeup` ends its ping and its pauses when the thread
    // stops.  Returns device seen.
    int OnPingTick(const std::atomic<bool>* running, platform::Wakeup* wakeup = nullptr);

    int GetSendTimeout() const { return m_nSendTimeout; }
    int GetRecvTimeout() const { return m_nRecvTimeout; }
    int GetLastPingResult() const { return m_nLastPingResult.load(); }

private:
    int ReceiveInto(int capacity, int* length);
    int Fail();

    platform::TcpSocket m_socket;
    std::unique_ptr<CPing_Net_Thread> m_pPingThread;
    std::atomic<int> m_bDeviceSeen = 0;
    int m_nSendTimeout = 1000;
    int m_nRecvTimeout = 1000;
    // The subnet test runs on every thread that uses the link.
    std::mutex m_adapterMutex;
    CString m_strAdapterMask;
    CString m_strAdapterAddress;
    std::atomic<int> m_nLastPingResult = 0;
};
