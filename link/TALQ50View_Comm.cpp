// The communication thread: one exchange after another with the processor,
// over USB or TCP, and the firmware steps while an update runs.

#include "link/LinkGlobals.h"
#include "link/LinkModel.h"
#include "link/NetLink.h"
#include "link/TALQ50View.h"
#include "model/FrameBuilders.h"
#include "model/Globals.h"
#include "platform/hid/HidBackend.h"
#include "platform/sys/Clock.h"
#include "platform/sys/UserMessages.h"

#include <cstring>
#include <vector>

namespace {

constexpr int kStopWaitMs = 60'000;
constexpr int kLinkDownPauseMs = 50;
constexpr int kStepPauseMs = 5;
constexpr int kNetReopenPauseMs = 2000;
constexpr int kNetReplyLimitSeconds = 3; // more than this many whole seconds
constexpr int kThreadExitCode = 100;

} // namespace

int CTALQ50View::CreateCommThread() {
    g_hCommEvents.ResetAll();
    {
        std::lock_guard lock(m_resumeMutex);
        m_bResume = false;
    }
    m_bThreadAlive = 1;
    m_bThreadRunning = 0;
    m_pCommThread = std::make_unique<std::thread>([this] {
        WaitWhileSuspended(); // created suspended
        CommThreadProc(this);
    });
    return 1;
}

void CTALQ50View::WaitWhileSuspended() {
    std::unique_lock lock(m_resumeMutex);
    m_resumed.wait(lock, [this] { return m_bResume; });
    m_bResume = false;
}

int CTALQ50View::StartCommThread() {
    g_bDataStepHalted = 0;
    if (!m_pCommThread) {
        CreateCommThread();
        g_hCommEvents.Set(g_bUpgrading ? CCommEvents::FirmwareStep : CCommEvents::DataStep);
        {
            std::lock_guard lock(m_resumeMutex);
            m_bResume = true;
        }
        m_resumed.notify_all();
    }
    g_bUsbLinkUp = 1;
    m_bConnected = 1;
    return 1;
}

int CTALQ50View::StopCommThread(int full) {
    if (m_pCommThread) {
        // Quit goes up before the thread is woken: woken first, it could take a
        // pending suspend ahead of the quit and sleep again, never to return.
        g_hCommEvents.Set(CCommEvents::Quit);
        {
            std::lock_guard lock(m_resumeMutex);
            m_bResume = true;
        }
        m_resumed.notify_all();
        // The thread may be sending the view a notice and waiting for it, so
        // the wait keeps handling what it sends.
        platform::WaitHandlingSentMessages([this] { return m_bThreadAlive == 0; }, kStopWaitMs);
        if (m_pCommThread->joinable())
            m_pCommThread->join();
        // Nothing is left for the quit to end; a connect on this thread
        // later must not find it raised.
        g_hCommEvents.Reset(CCommEvents::Quit);
    }
    if (!full)
        return 0;
    m_pCommThread.reset();
    m_bThreadAlive = 0;
    m_bThreadRunning = 1;
    g_hCommEvents.ResetAll();
    g_bUsbLinkUp = 0;
    m_bConnected = 0;
    if (m_pNet)
        m_pNet->StartPing();
    return 1;
}

unsigned CTALQ50View::CommThreadProc(CTALQ50View* view) {
    for (;;) {
        // An abort raised by the update dialog holds for one pass only.
        g_bUpdateAbort = 0;
        view->m_bThreadAlive = 1;
        view->m_bThreadRunning = 1;
        // While the data steps are halted only quit and suspend count, so the
        // thread sleeps until the view stops it.
        const unsigned mask = g_bDataStepHalted && !g_bUpgrading ? CCommEvents::Bit(CCommEvents::Quit) |
                                                                       CCommEvents::Bit(CCommEvents::Suspend)
                                                                 : CCommEvents::kAll;
        switch (g_hCommEvents.WaitAny(mask, kThreadWaitMs)) {
        case CCommEvents::Quit:
            view->m_bThreadAlive = 0;
            return kThreadExitCode;
        case CCommEvents::Suspend:
            view->m_bThreadRunning = 0;
            view->WaitWhileSuspended();
            view->m_bThreadRunning = 1;
            break;
        case CCommEvents::FirmwareStep:
            if (g_bFirmwareRebooting) {
                g_hCommEvents.Reset(CCommEvents::FirmwareStep);
            } else if (g_nLinkMode == 1) {
                if (g_bUsbLinkUp)
                    view->UsbFirmwareStep();
                else
                    CommPause(kLinkDownPauseMs);
            } else if (g_nLinkMode == 2) {
                if (g_bNetLinkUp)
                    view->NetFirmwareStep();
                else
                    CommPause(kLinkDownPauseMs);
            }
            break;
        case CCommEvents::DataStep:
            if (g_bUpdateAbort || g_bDataStepHalted) {
                g_hCommEvents.Reset(CCommEvents::FirmwareStep);
                break;
            }
            if (g_nLinkMode == 1) {
                view->UsbDataStep();
            } else if (g_nLinkMode == 2) {
                if (g_bNetLinkUp)
                    view->NetDataStep();
                else
                    CommPause(kLinkDownPauseMs);
            }
            CommPause(kStepPauseMs);
            break;
        default:
            break;
        }
    }
}

std::unique_ptr<CSendData> CTALQ50View::NextFrame() {
    if (m_pModel)
        return m_pModel->SendNextDirtyBlock();
    return BuildBandFrame(DATA_STATUS_POLL, 0, 0);
}

void CTALQ50View::PostLinkLost(LPARAM reason) {
    PostMessage(m_hWnd, UM_LINK_LOST, 0, reason);
}

bool CTALQ50View::CommPause(int ms) {
    return g_hCommEvents.QuitWakeup().SleepMs(ms);
}

bool CTALQ50View::IsQuitting() {
    return g_hCommEvents.QuitWakeup().Woken();
}

int CTALQ50View::ReadUsbReport(const std::shared_ptr<platform::HidDevice>& device, int timeoutMs) {
    // Closing is the one way to end a HID read early.  Every stop of the
    // thread is followed by closing the link anyway.
    platform::Wakeup& stop = g_hCommEvents.QuitWakeup();
    if (!stop.SetInterrupt([device] { device->Close(); }))
        return -1;
    const int got = device->Read(g_UsbInReport, sizeof g_UsbInReport, timeoutMs);
    stop.ClearInterrupt();
    return got;
}

// ---- USB ---------------------------------------------------------------------

int CTALQ50View::UsbDataStep() {
    g_liExchangeStart = GetTickCount64Ms();
    if (UsbWriteStep() == 1)
        UsbReadStep();
    return 0;
}

int CTALQ50View::UsbWriteStep() {
    const auto device = g_hUsbWrite.Get();
    if (!device) {
        if (!OpenUsbDevice())
            PostLinkLost(0);
        else
            m_KTVCommand.RewindCurrentCommand();
        return 0;
    }
    if (!g_bUsbLinkUp)
        return 0;

    {
        std::lock_guard lock(g_csSend);
        CSendData* head = m_KTVCommand.GetCurrentCommand();
        if (!head) {
            m_KTVCommand.AddCommand(NextFrame());
            return 0;
        }
        if (head->GetChunkPos() == 0) {
            // A new write of the frame; a processor that keeps rejecting it
            // (or a reply that cannot be taken) ends the link at the third.
            const int writes = head->GetRetries() + 1;
            head->SetRetries(writes);
            if (writes > kMaxFrameWrites) {
                if (writes == kMaxFrameWrites + 1)
                    PostLinkLost(0);
                return 0;
            }
        }
    }

    BYTE report[frame::kHidReportSize];
    for (;;) {
        {
            std::lock_guard lock(g_csSend);
            CSendData* head = m_KTVCommand.GetCurrentCommand();
            if (!head || !head->NextHidChunk())
                return 1;
            std::memcpy(report, g_UsbOutReport, sizeof report);
        }
        device->Write(report, sizeof report, kUsbReportWaitMs);
        if (!g_bUsbLinkUp)
            return 0;
    }
}

int CTALQ50View::UsbReadStep() {
    for (;;) {
        if (!g_bUsbLinkUp)
            return 0;
        const auto device = g_hUsbRead.Get();
        const int got = device ? ReadUsbReport(device, kUsbReplyReportMs) : -1;
        if (got <= 0) {
            if (g_bUsbLinkUp && !IsQuitting())
                PostLinkLost(0);
            return 1;
        }
        if (FeedHidReport())
            return 1;
        if (GetTickCount64Ms() - g_liExchangeStart > kUsbReplyLimitMs) {
            if (CommPause(10) && g_bUsbLinkUp)
                PostLinkLost(0);
            return 0;
        }
    }
}

int CTALQ50View::FeedHidReport() {
    return m_KTVCommand.OnHidReport(int(frame::kHidReportSize));
}

// ---- TCP ---------------------------------------------------------------------

int CTALQ50View::NetDataStep() {
    g_liExchangeStart = GetTickCount64Ms();
    if (NetWriteStep() == 1)
        NetReadStep();
    return 0;
}

void CTALQ50View::CloseSocket() {
    m_pNet->Close();
    m_KTVCommand.ResetReceiver();
}

int CTALQ50View::OpenSocket() {
    m_KTVCommand.ResetReceiver();
    return m_pNet->Connect();
}

void CTALQ50View::ReopenSocket() {
    CloseSocket();
    // Connect's ping and connect end at once on a stop too.
    if (CommPause(kNetReopenPauseMs))
        OpenSocket();
}

int CTALQ50View::NetWriteStep() {
    if (!m_pNet)
        return 0;
    std::vector<BYTE> bytes;
    {
        std::lock_guard lock(g_csSend);
        CSendData* head = m_KTVCommand.GetCurrentCommand();
        if (!head) {
            m_KTVCommand.AddCommand(NextFrame());
            return 0;
        }
        if (head->GetCommand() != 0)
            return 0; // firmware frames go out through the firmware steps only
        const int writes = head->GetRetries() + 1;
        head->SetRetries(writes);
        if (writes > kMaxFrameWrites) {
            if (writes == kMaxFrameWrites + 1) {
                g_bNetLinkUp = 0;
                PostLinkLost(0);
            }
            return 0;
        }
        head->RewindChunks();
        bytes.assign(head->GetData(), head->GetData() + head->GetLength());
    }
    if (!m_pNet->Send(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()), 0)) {
        if (!IsQuitting())
            ReopenSocket();
        return 0;
    }
    return 1;
}

int CTALQ50View::NetReadStep() {
    if (!m_pNet)
        return 0;
    for (;;) {
        int length = 0;
        m_pNet->Receive(&length);
        if (length <= 0 || length > kNetRecvBufSize) {
            if (IsQuitting())
                return 0;
            // A time-out, an error or a closed peer: no bytes to parse.
            if (m_pNet->IsDeviceOnLocalSubnet()) {
                ReopenSocket();
                return 0;
            }
            g_bNetLinkUp = 0;
            PostLinkLost(0);
            return 1;
        }
        if (m_KTVCommand.OnNetworkData(length))
            return 1;
        if ((GetTickCount64Ms() - g_liExchangeStart) / 1000 > kNetReplyLimitSeconds) {
            if (m_bConnected) {
                if (m_pNet->IsDeviceOnLocalSubnet()) {
                    ReopenSocket();
                } else {
                    g_bNetLinkUp = 0;
                    PostLinkLost(2);
                }
            }
            return 0;
        }
    }
}
