// The firmware update: loading the file, putting the link into update mode,
// the firmware exchanges the communication thread runs while an update is in
// progress, the end and failure handling, and reopening the link after the
// processor restarted.

#include "link/FirmwareFrames.h"
#include "link/LinkGlobals.h"
#include "link/LinkProgress.h"
#include "link/NetLink.h"
#include "link/SyncForm.h"
#include "link/TALQ50View.h"
#include "link/ViewTexts.h"
#include "model/Globals.h"
#include "platform/sys/Clock.h"
#include "platform/sys/FileDialog.h"
#include "platform/sys/MessageBox.h"
#include "platform/sys/UserMessages.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

constexpr int kFileErrorZh = -2;
constexpr int kFileErrorEn = -3;
constexpr int kNoFramePauseMs = 50;
// The raw handshake pattern is repeated for this long.
constexpr std::int64_t kUsbHandshakeMs = 1000;
constexpr std::int64_t kNetHandshakeMs = 4000;
// Named apart from the data steps' 20 ms member, which would hide it here.
constexpr int kFirmwareReportWaitMs = 5;
constexpr int kHandshakePauseMs = 5;
constexpr int kUsbReadSliceMs = 1000;
constexpr int kEmptyReportPauseMs = 10;
constexpr int kLimitPauseMs = 10;
// After the start frame the processor restarts into its loader.
constexpr int kUsbRestartWaitMs = 5000;
constexpr int kNetFirstPauseMs = 100;
constexpr int kNetSendRetryPauseMs = 1000;
constexpr int kNetReopenPauseMs = 2000;

void SetUpdateLabel(const char* zh, const char* en) {
    WithUpdateStatusLabel([&](ILinkStatusLabel& label) { label.SetText(LangText(zh, en)); });
}

void ShowUpdateFailed(bool onLabel) {
    const char* text = LangText("固件更新失败", "The firmware update failed");
    AfxMessageBox(text, MB_OK, kBoxWarning);
    if (onLabel)
        SetUpdateLabel("固件更新失败", "The firmware update failed");
}

bool IsZeroReport(const BYTE* report) {
    return std::all_of(report, report + frame::kHidReportSize, [](BYTE b) { return b == 0; });
}

std::int64_t SinceExchangeStart() {
    return GetTickCount64Ms() - g_liExchangeStart;
}

} // namespace

// ---- Loading and update mode ---------------------------------------------------

int CTALQ50View::SelectFirmwareFile() {
    CFileDialog dialog(TRUE, g_strFirmwareExt, {}, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, g_strFirmwareFilter,
                       m_hWnd);
    dialog.SetInitialDir(m_strFirmwareFolder);
    if (dialog.DoModal() != IDOK)
        return 0;
    g_strHexFile = dialog.GetPathName();
    if (dialog.GetFileExt() != g_strFirmwareExt)
        return 0;
    m_strFirmwareFolder = dialog.GetFolderPath();
    SaveDspMcuSettings();
    return 1;
}

int CTALQ50View::LoadFirmwareFile(int) {
    if (m_firmware.Load(g_strHexFile) == CFirmwareFile::LoadResult::Loaded) {
        if (m_pSyncForm)
            m_pSyncForm->SetProgressRanges(m_firmware.File().GetFrameEstimate());
        return 1;
    }
    // A file that cannot be read, or that holds no whole image, is refused
    // here: going on would drop the working link for a transfer that cannot
    // send anything.
    AfxMessageBox(LangText("更新文件错误!", "Update file error!"), MB_OK,
                  g_bChinese ? kFileErrorZh : kFileErrorEn);
    g_strHexFile.clear();
    return 0;
}

void CTALQ50View::StopAndDisconnect() {
    StopCommThread(1);
    if (g_nLinkMode == 1)
        DisconnectUsb();
    else if (g_nLinkMode == 2)
        DisconnectNetwork();
}

int CTALQ50View::DisconnectForUpdate() {
    if (m_bConnected)
        StopAndDisconnect();
    return 0;
}

int CTALQ50View::ConnectUsbForUpdate(const CString& path) {
    if (!IsUsbPathFree(path))
        return 0;
    g_strUsbDevicePath = path;
    if (!OpenUsbDevice())
        return 0;
    m_KTVCommand.ClearCommands();
    g_bUpgrading = 1;
    StartCommThread();
    return 1;
}

int CTALQ50View::ConnectNetworkForUpdate() {
    if (!m_pNet || !m_pNet->IsDeviceSeen() || !OpenSocket())
        return 0;
    m_KTVCommand.ClearCommands();
    g_bUpgrading = 1;
    g_bNetLinkUp = 1;
    return StartCommThread();
}

int CTALQ50View::ReconnectAfterReboot(int keepTrying) {
    if (g_nLinkMode == 1) {
        if (ConnectUsb()) {
            m_KTVCommand.ClearCommands();
            g_bUpgrading = 1;
            return StartCommThread();
        }
        if (keepTrying) {
            SetUpdateLabel("连接Usb", "Connected Usb");
            ClearUsbInUseMark();
            return 0;
        }
        g_bUpgrading = 0;
        ShowConnectFailed();
        m_KTVCommand.ClearCommands();
        if (g_pUpdateStatusLabel.load())
            AfxMessageBox(LangText("固件更新失败!", "The firmware update failed!"), MB_OK, kBoxWarning);
        return 0;
    }
    if (g_nLinkMode == 2) {
        if (m_pNet && m_pNet->IsDeviceSeen() && OpenSocket()) {
            m_KTVCommand.ClearCommands();
            g_bUpgrading = 1;
            g_bNetLinkUp = 1;
            return StartCommThread();
        }
        if (keepTrying) {
            SetUpdateLabel("连接网络", "Connected NetWork");
            return 0;
        }
        g_bUpgrading = 0;
        m_KTVCommand.ClearCommands();
        SetUpdateLabel("固件更新失败", "The firmware update failed");
        PostMessage(m_hWnd, UM_UPDATE_RECONNECT_FAILED, 0, 0);
        return 0;
    }
    return 0;
}

// ---- End and failure ------------------------------------------------------------

void CTALQ50View::OnFirmwareUpdateFailed() {
    if (m_bConnected)
        StopAndDisconnect();
    g_bUpgrading = 0;
    AfxMessageBox(LangText("固件更新失败!", "The firmware update failed!"), MB_OK, kBoxWarning);
}

int CTALQ50View::AbortUpdateLink() {
    if (m_bConnected)
        StopAndDisconnect();
    if (g_bUpgrading)
        ShowUpdateFailed(true);
    return 1;
}

void CTALQ50View::OnFirmwareDone(WPARAM, LPARAM step) {
    if (step != HEXEnd)
        return;
    StopCommThread(1);
    EndUpdateMode();
    if (g_nLinkMode == 1)
        DisconnectUsb();
    else if (g_nLinkMode == 2)
        DisconnectNetwork();
    AfxMessageBox(LangText("更新完成", "Update successfully"), MB_OK, kBoxPrompt);
}

void CTALQ50View::OnUpdateReconnectFailed() {
    ShowConnectFailed();
    ShowUpdateFailed(false);
}

// ---- The frames ------------------------------------------------------------------

void CTALQ50View::NextFirmwareFrame() {
    m_firmware.NextFirmwareFrame(m_KTVCommand);
}

void CTALQ50View::QueueFirmwareHandshake() {
    m_firmware.QueueFirmwareHandshake(m_KTVCommand);
}

void CTALQ50View::QueueDspFirmwareFrames() {
    m_firmware.QueueDspFirmwareFrames(m_KTVCommand);
}

void CTALQ50View::QueueMcuFirmwareFrames() {
    m_firmware.QueueMcuFirmwareFrames(m_KTVCommand);
}

// Takes the head frame for one more write: its step becomes the current one,
// its write count goes up.  Run with the send lock held.
CTALQ50View::FirmwareWrite CTALQ50View::TakeFirmwareHead(int (*writeLimit)(int step)) {
    if (!m_KTVCommand.GetCurrentCommand())
        NextFirmwareFrame();
    CSendData* head = m_KTVCommand.GetCurrentCommand();
    if (!head)
        return FirmwareWrite::None;
    const int step = head->GetCommand();
    m_nFirmwareStep = step;
    g_nLastFirmwareStep = step;
    const int writes = head->GetRetries() + 1;
    head->SetRetries(writes);
    const int limit = writeLimit(step);
    if (writes > limit)
        return writes == limit + 1 ? FirmwareWrite::OverLimit : FirmwareWrite::Refused;
    // A new write: whatever the processor said to the last one is history.
    head->SetFailed(0);
    return step == FIRMWARE_HANDSHAKE ? FirmwareWrite::Handshake : FirmwareWrite::Frame;
}

void CTALQ50View::RemoveHandshakeMarker() {
    std::lock_guard lock(g_csSend);
    const CSendData* head = m_KTVCommand.GetCurrentCommand();
    if (head && head->GetCommand() == FIRMWARE_HANDSHAKE)
        m_KTVCommand.PopCommand();
}

void CTALQ50View::AbandonFirmwareLink() {
    g_hCommEvents.Set(CCommEvents::Suspend);
    PostLinkLost(0);
}

// A frame the processor refused was not stored and goes out again as any
// other; one whose answer was lost may have been, and a second copy would
// leave the processor with a wrong image that the end frame still completes.
// The transfer then ends as failed, so the user can start it again.
bool CTALQ50View::GiveUpUnrepeatableFrame(int step) {
    if (IsFirmwareFrameRepeatable(step))
        return false;
    {
        std::lock_guard lock(g_csSend);
        const CSendData* head = m_KTVCommand.GetCurrentCommand();
        if (head && head->GetFailed())
            return false;
    }
    AbandonFirmwareLink();
    return true;
}

// ---- USB -------------------------------------------------------------------------

int CTALQ50View::UsbFirmwareStep() {
    g_liExchangeStart = GetTickCount64Ms();
    if (UsbFirmwareWriteStep() == 1)
        UsbFirmwareReadStep();
    return 0;
}

int CTALQ50View::UsbFirmwareWriteStep() {
    const auto device = g_hUsbWrite.Get();
    if (!device || !g_bUsbLinkUp)
        return 0;

    BYTE report[frame::kHidReportSize];
    FirmwareWrite write = FirmwareWrite::None;
    {
        std::lock_guard lock(g_csSend);
        write = TakeFirmwareHead(UsbFirmwareWriteLimit);
        if (write == FirmwareWrite::Frame) {
            CSendData* head = m_KTVCommand.GetCurrentCommand();
            if (!head->NextHidChunk())
                return 1;
            std::memcpy(report, g_UsbOutReport, sizeof report);
        }
    }

    switch (write) {
    case FirmwareWrite::None:
        CommPause(kNoFramePauseMs);
        return 0;
    case FirmwareWrite::OverLimit:
        // Once: the thread then waits for the view to stop it.
        AbandonFirmwareLink();
        return 0;
    case FirmwareWrite::Refused:
        return 0;
    case FirmwareWrite::Handshake:
        FillFirmwareHandshakeReport(report);
        for (;;) {
            device->Write(report, sizeof report, kFirmwareReportWaitMs);
            if (!CommPause(kHandshakePauseMs))
                return 0;
            SetUpdateLabel("连接Usb", "Connected Usb");
            if (SinceExchangeStart() > kUsbHandshakeMs) {
                RemoveHandshakeMarker();
                return 0;
            }
            if (!g_bUsbLinkUp)
                return 0;
        }
    case FirmwareWrite::Frame:
        break;
    }
    device->Write(report, sizeof report, kFirmwareReportWaitMs);
    return g_bUsbLinkUp ? 1 : 0;
}

int CTALQ50View::UsbFirmwareReadStep() {
    const int step = m_nFirmwareStep;
    const int limitSeconds = UsbFirmwareReadLimitSeconds(step);
    if (step == IAP_DSP_REQUEST_INFO)
        SetUpdateLabel("擦除中......", "Erasing......");
    for (;;) {
        if (!g_bUsbLinkUp)
            return 0;
        const auto device = g_hUsbRead.Get();
        int got = 0;
        for (int slice = 0; slice < limitSeconds && got == 0; ++slice) {
            got = device ? ReadUsbReport(device, kUsbReadSliceMs) : -1;
            if (got == 0 && !g_bUsbLinkUp)
                return 1;
        }
        if (IsQuitting())
            return 0;
        if (got < 0) {
            // The wait itself failed (the device went away): report it once
            // and end the step, so the thread can be stopped.
            AbandonFirmwareLink();
            return 0;
        }
        if (got == 0) {
            if (!g_bUsbLinkUp)
                return 0;
            g_bUsbLinkUp = 0;
            AbandonFirmwareLink();
            return step == HEXApply ? ReopenAfterRestart() : 1;
        }

        if (IsZeroReport(g_UsbInReport) && !CommPause(kEmptyReportPauseMs))
            return 0;
        if (g_bUpdateAbort)
            return 1;
        if (g_UsbInReport[1 + frame::kOffChannel] == step && FeedHidReport())
            return step == HEXApply ? ReopenAfterRestart() : 1;

        bool rejected = false;
        {
            std::lock_guard lock(g_csSend);
            const CSendData* head = m_KTVCommand.GetCurrentCommand();
            rejected = head && head->GetFailed();
        }
        if (rejected) {
            // The erase frame is written again (the write limit bounds it);
            // any other rejection ends the transfer.
            if (step != IAP_DSP_REQUEST_INFO)
                AbandonFirmwareLink();
            return 0;
        }
        if (SinceExchangeStart() > std::int64_t(limitSeconds) * 1000) {
            if (CommPause(kLimitPauseMs) && g_bUsbLinkUp)
                AbandonFirmwareLink();
            return 0;
        }
    }
}

// After the start frame the processor restarts into its loader; its
// interface goes away and comes back, possibly at another path.  The link's
// globals belong to the GUI thread, which reopens it while this thread waits.
int CTALQ50View::ReopenAfterRestart() {
    if (!CommPause(kUsbRestartWaitMs))
        return 1;
    const LRESULT reopened = m_guiCall.Call([this]() -> LRESULT {
        // The GUI thread runs this while it waits for the thread to stop, too.
        if (IsQuitting())
            return 0;
        ClearUsbInUseMark();
        return ReopenUsb();
    });
    // A start frame that went unanswered has already been reported.
    if (!reopened && !IsQuitting() && !g_hCommEvents.IsSet(CCommEvents::Suspend))
        AbandonFirmwareLink();
    return 1;
}

// ---- Network ---------------------------------------------------------------------

int CTALQ50View::NetFirmwareStep() {
    if (!CommPause(kNetFirstPauseMs) || !m_pNet || !m_pNet->IsDeviceSeen())
        return 0;
    g_liExchangeStart = GetTickCount64Ms();
    if (NetFirmwareWriteStep() == 1)
        NetFirmwareReadStep();
    return 0;
}

int CTALQ50View::NetFirmwareWriteStep() {
    if (!m_pNet || !m_pNet->IsDeviceSeen())
        return 0;
    std::vector<BYTE> bytes;
    FirmwareWrite write = FirmwareWrite::None;
    {
        std::lock_guard lock(g_csSend);
        write = TakeFirmwareHead(NetFirmwareWriteLimit);
        if (write == FirmwareWrite::Frame) {
            CSendData* head = m_KTVCommand.GetCurrentCommand();
            head->RewindChunks();
            bytes.assign(head->GetData(), head->GetData() + head->GetLength());
        }
    }

    switch (write) {
    case FirmwareWrite::None:
        CommPause(kNoFramePauseMs);
        return 0;
    case FirmwareWrite::OverLimit:
        PostLinkLost(0);
        return 0;
    case FirmwareWrite::Refused:
        return 0;
    case FirmwareWrite::Handshake: {
        BYTE report[frame::kHidReportSize];
        FillFirmwareHandshakeReport(report);
        for (;;) {
            if (!m_pNet->Send(reinterpret_cast<const char*>(report), int(sizeof report), 0)) {
                CloseSocket();
                if (CommPause(kNetReopenPauseMs))
                    OpenSocket();
            }
            SetUpdateLabel("连接网络", "Connected NetWork");
            // Paced as over USB rather than flat out: the loader only needs
            // to see the pattern keep coming.
            if (!CommPause(kHandshakePauseMs))
                return 0;
            if (SinceExchangeStart() > kNetHandshakeMs) {
                RemoveHandshakeMarker();
                return 0;
            }
            if (!m_pNet->IsDeviceSeen())
                return 0;
        }
    }
    case FirmwareWrite::Frame:
        break;
    }

    // Each 64-byte piece goes out as one report (report id 0, then the piece).
    for (std::size_t at = 0; at < bytes.size();) {
        BYTE report[frame::kHidReportSize] = {};
        const std::size_t count = std::min(frame::kHidChunkSize, bytes.size() - at);
        std::memcpy(report + 1, bytes.data() + at, count);
        if (m_pNet->Send(reinterpret_cast<const char*>(report), int(sizeof report), 0)) {
            at += count;
        } else {
            CloseSocket();
            if (!CommPause(kNetSendRetryPauseMs))
                return 0;
            if (!m_pNet->IsDeviceSeen()) {
                PostLinkLost(0);
                return 0;
            }
            OpenSocket();
            at = 0;
        }
        if (!m_pNet->IsDeviceSeen())
            return 0;
    }
    return 1;
}

int CTALQ50View::NetFirmwareReadStep() {
    const int step = m_nFirmwareStep;
    if (step == HEXEnd) {
        // The processor restarts at once; its answer is not waited for.
        m_KTVCommand.FinishUpgrade();
        return 1;
    }
    if (step == IAP_DSP_REQUEST_INFO)
        SetUpdateLabel("擦除中......", "Erasing......");
    bool reconnected = false;
    for (;;) {
        m_pNet->SetRecvTimeout(NetFirmwareRecvTimeoutMs(step));
        if (!m_pNet->IsDeviceSeen()) {
            GiveUpUnrepeatableFrame(step);
            return 0;
        }
        int length = 0;
        const int got = m_pNet->ReceiveShort(&length);
        if (IsQuitting())
            return 0;
        if (length < 0 && got == kNetReset) {
            if (GiveUpUnrepeatableFrame(step))
                return 1;
            if (!CommPause(kNetReopenPauseMs))
                return 0;
            if (m_pNet->IsDeviceSeen()) {
                CloseSocket();
                OpenSocket();
            } else {
                PostLinkLost(0);
            }
            return 1;
        }
        const bool timedOut = length < 0 && got == kNetTimedOut;
        // A socket that keeps failing at once must not keep this thread
        // spinning: past the step's limit it counts as a time-out.
        const bool overdue =
            length < 0 && got != kNetTimedOut && SinceExchangeStart() > NetFirmwareRecvTimeoutMs(step);
        if (timedOut || overdue) {
            if (GiveUpUnrepeatableFrame(step))
                return 1;
            if (!m_pNet->IsDeviceSeen()) {
                PostLinkLost(0);
                return 1;
            }
            CloseSocket();
            OpenSocket();
            reconnected = true;
        } else if (length > 0) {
            if (m_KTVCommand.OnNetworkData(length))
                return 1;
        } else if (length == 0 || (got != kNetWouldBlock && got != kNetAborted)) {
            // The peer closed the connection, or the receive failed.
            GiveUpUnrepeatableFrame(step);
            return 0;
        }
        // Would-block and aborted receives are passed over.
        if (reconnected)
            return 1;
    }
}
