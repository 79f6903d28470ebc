// The receiver and reply parser of the command object.  Everything here runs
// on the communication thread; the queue is touched under g_csSend only.

#include "link/KTVCommand.h"

#include "link/LinkGlobals.h"
#include "link/LinkProgress.h"
#include "model/Globals.h"
#include "platform/sys/MessageQueue.h"
#include "platform/sys/UserMessages.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

// Frame-buffer positions (start byte EE at 0).
constexpr int kBufCode = 1;
constexpr int kBufPreset = 3;
constexpr int kBufType = 4;
constexpr int kBufChannel = 5;
constexpr int kBufBlock = 6;
constexpr int kBufLength = 9;

// Name bytes a name reply may fill; the two after them are cleared.
constexpr int kNameKeptBytes = 13;
constexpr int kNameClearedBytes = 2;
constexpr int kVersionLabelBytes = 11;
constexpr int kStatusEntries = 16;

const char* Text(const char* zh, const char* en) {
    return g_bChinese ? zh : en;
}

void SetUpdateLabel(const char* zh, const char* en) {
    WithUpdateStatusLabel([&](ILinkStatusLabel& label) { label.SetText(Text(zh, en)); });
}

} // namespace

int CKTVCommand::OnHidReport(int reportLength) {
    if (!g_hUsbRead.IsOpen() || reportLength == 0)
        return 1;
    const std::size_t count = frame::kHidChunkSize;
    std::memcpy(m_StageBuf, g_UsbInReport + 1, count);
    std::memset(g_UsbInReport + 1, 0, count);
    return ReceiveBytes(int(count));
}

int CKTVCommand::OnNetworkData(int count) {
    count = std::clamp(count, 0, kNetRecvBufSize);
    std::memcpy(m_StageBuf, g_NetRecvBuf, std::size_t(count));
    std::memset(g_NetRecvBuf, 0, std::size_t(count));
    return ReceiveBytes(count);
}

void CKTVCommand::ClearReceiver() {
    m_nByteCount = 0;
    m_bSynchronised = 0;
}

int CKTVCommand::ReceiveBytes(int count) {
    m_byCheck = 0;
    count = std::clamp(count, 0, int(kReceiveBufferSize));
    if (count == 0)
        return 0;
    // Bytes kept from the last read arrived before these and go first.
    BYTE stream[kCarryBufferSize + kReceiveBufferSize];
    const int carried = m_nCarryCount;
    std::memcpy(stream, m_CarryBuf, std::size_t(carried));
    std::memcpy(stream + carried, m_StageBuf, std::size_t(count));
    std::memset(m_StageBuf, 0, std::size_t(count));
    m_nCarryCount = 0;

    const int total = carried + count;
    int pos = 0;
    const int result = Parse(stream, total, pos);
    if (result) {
        // A second reply in the same read belongs to the next exchange.  A
        // peer that floods faster than it is read loses its oldest bytes.
        const int kept = std::min(total - pos, int(kCarryBufferSize));
        std::memcpy(m_CarryBuf, stream + total - kept, std::size_t(kept));
        m_nCarryCount = kept;
    }
    return result;
}

int CKTVCommand::Parse(const BYTE* stream, int count, int& pos) {
    int result = 0;
    while (pos < count && !result) {
        if (!m_bSynchronised) {
            for (; pos < count; ++pos) {
                const BYTE b = stream[pos];
                if (b == frame::kPreamble) {
                    ++m_nPreambleCount;
                    g_CommFlags[10] = 1;
                    g_CommFlags[11] = 0;
                } else if (b == frame::kStart && m_nPreambleCount == 3) {
                    m_bSynchronised = 1;
                    m_nPreambleCount = 0;
                    m_nByteCount = 0;
                    break; // the start byte is the frame's first byte
                } else {
                    m_nPreambleCount = 0;
                }
            }
            if (!m_bSynchronised)
                break;
        }

        // Take bytes up to the header, then up to the announced end, never more.
        const int wanted =
            m_nByteCount < kFrameFixedBytes ? kFrameFixedBytes - m_nByteCount : m_nExpectedLen - m_nByteCount;
        const int taken = std::min(wanted, count - pos);
        std::memcpy(m_FrameBuf + m_nByteCount, stream + pos, std::size_t(taken));
        m_nByteCount += taken;
        pos += taken;
        if (m_nByteCount < kFrameFixedBytes)
            break;

        m_nExpectedLen = m_FrameBuf[kBufLength] + 256 * m_FrameBuf[kBufLength + 1] + kFrameFixedBytes;
        if (m_nExpectedLen > int(kReceiveBufferSize)) {
            // No reply is this long: take it for noise and hunt again.
            ClearReceiver();
            continue;
        }
        if (m_nByteCount < m_nExpectedLen)
            continue; // the rest comes later in this read or the next
        // A damaged frame, or a reply to something other than the head
        // frame, gives 0: the reply awaited may follow in the same bytes.
        result = CmdCallback();
    }
    return result;
}

int CKTVCommand::CmdCallback() {
    const int total = m_nExpectedLen;
    g_CommFlags[1] = 1;
    if (m_FrameBuf[total - 1] != frame::kEnd) {
        g_CommFlags[5] = 1;
        ClearReceiver();
        return 0;
    }
    m_byCheck = frame::XorCheck(m_FrameBuf + 1, std::size_t(total - 3));
    if (m_byCheck != m_FrameBuf[total - 2]) {
        ClearReceiver();
        return 0;
    }

    m_nReplyCode = m_FrameBuf[kBufCode];
    m_nPreset = m_FrameBuf[kBufPreset];
    m_nDataType = m_FrameBuf[kBufType];
    m_nChannel = m_FrameBuf[kBufChannel];
    m_nBlock = m_FrameBuf[kBufBlock];
    m_nPayloadLen = m_FrameBuf[kBufLength] + 256 * m_FrameBuf[kBufLength + 1];

    std::unique_lock lock(g_csSend);
    CSendData* head = GetCurrentCommand();
    if (!head) {
        // Nothing was asked: whatever this answers is gone.
        ClearReceiver();
        return 1;
    }

    switch (m_nReplyCode) {
    case frame::kReplyAck:
        ClearReceiver();
        CompleteHead();
        return 1;
    case frame::kReplyReject: {
        ResetReceiver();
        RewindCurrentCommand();
        MarkCurrentFailed();
        // A data frame is written again at the next step; the firmware steps
        // wait on for their own limits and look at the failed mark.
        return head->GetCommand() == 0 ? 1 : 0;
    }
    case frame::kReplyData:
        lock.unlock(); // a store may send a notice and wait for the view
        return OnDataReply();
    default:
        // Not taken, and the head frame stays as it is: the processor has
        // it already, and a second copy would use up its writes.
        ClearReceiver();
        return 1;
    }
}

// Progress counts only replies that take the head frame off the queue: a
// rejected or unknown reply leaves the frame to be written again, and moving
// the bar (or announcing the end of a transfer) for it would report a step
// that did not happen.
void CKTVCommand::CompleteHead() {
    std::lock_guard lock(g_csSend);
    UpDataPGRange();
    PopCommand();
}

int CKTVCommand::OnDataReply() {
    m_nReadIndex = kFrameHeadBytes;
    if (g_bHandshakeWait) {
        if (m_nDataType == DATA_DEVICE_INFO && m_nChannel == INFO_HANDSHAKE && m_nPayloadLen == 1 &&
            Payload()[0] == 0) {
            CompleteHead();
            g_bHandshakeWait = 0;
        }
        // Anything else is dropped; the handshake request stays queued.
        ClearReceiver();
        return 1;
    }
    if (m_nPayloadLen == 0) {
        Notify(UM_EMPTY_DATA_REPLY, 0, 0);
        g_bDataStepHalted = 1;
        ClearReceiver();
        return 1;
    }

    if (!AnswersHead()) {
        // The head's own answer may still come within the read's limits.
        ClearReceiver();
        return 0;
    }

    bool taken = false;
    switch (m_nDataType) {
    case DATA_MIC_INPUT:
    case DATA_SYSTEM:
        taken = true;
        break;
    case DATA_MUSIC_INPUT:
        taken = StoreMusicRecord();
        break;
    case DATA_OUTPUT:
        taken = StoreOutputRecord();
        break;
    case DATA_DEVICE_INFO:
        taken = StoreDeviceInfo();
        break;
    default:
        break;
    }
    // A reply that cannot be taken leaves the head frame queued, not rewound.
    if (taken)
        CompleteHead();
    ClearReceiver();
    return 1;
}

// The processor answers a request with its data type and channel (the
// sub-id of device information), and a record read with its preset too.  A
// data reply that differs answered an earlier request after its time had run
// out, or was sent unasked: taken, it would stand for the head's answer.
bool CKTVCommand::AnswersHead() {
    std::lock_guard lock(g_csSend);
    const CSendData* head = GetCurrentCommand();
    if (!head || head->GetLength() < int(frame::kHeaderSize))
        return false;
    const BYTE* request = head->GetData();
    if (request[frame::kOffType] != m_nDataType || request[frame::kOffChannel] != m_nChannel)
        return false;
    const bool record = m_nDataType == DATA_MUSIC_INPUT || m_nDataType == DATA_OUTPUT;
    return !record || request[frame::kOffPreset] == m_nPreset;
}

BYTE* CKTVCommand::RecordImage() const {
    if (m_nBlock == frame::kBlockStoredRecord && m_nPreset >= 1 && m_nPreset <= kPresetCount)
        return g_PresetImages[m_nPreset - 1];
    return g_DeviceImage;
}

bool CKTVCommand::StoreMusicRecord() {
    if (m_nChannel >= kMusicInputCount || m_nPreset > kPresetCount || m_nPayloadLen != kMusicRecordSize)
        return false;
    std::lock_guard lock(g_csModel);
    std::memcpy(RecordImage() + MusicRecordOffset(m_nChannel), Payload(), kMusicRecordSize);
    return true;
}

bool CKTVCommand::StoreOutputRecord() {
    if (m_nChannel >= kOutputCount || m_nPreset > kPresetCount || m_nPayloadLen != kOutputRecordSize)
        return false;
    {
        std::lock_guard lock(g_csModel);
        std::memcpy(RecordImage() + OutputRecordOffset(m_nChannel), Payload(), kOutputRecordSize);
    }
    if (m_nChannel == kOutputCount - 1) {
        if (m_nBlock != frame::kBlockStoredRecord)
            Notify(UM_LIVE_DATA_RECEIVED, WPARAM(m_nPreset), 0);
        else if (m_nPreset == 0)
            Notify(UM_LIVE_DATA_RECEIVED, 0, 0);
        else if (m_nPreset == kPresetCount)
            Notify(UM_ALL_PRESETS_RECEIVED, kPresetCount, 0);
    }
    return true;
}

bool CKTVCommand::StoreDeviceInfo() {
    const BYTE* payload = Payload();
    const int length = m_nPayloadLen;
    DeviceSettingsArea& area = g_DeviceSettings;
    // The model lock covers each store; never a notice, which may wait for the view.
    auto storeField = [&](BYTE* field, int size) {
        if (length != size)
            return false;
        std::lock_guard lock(g_csModel);
        std::memcpy(field, payload, std::size_t(size));
        return true;
    };

    switch (m_nChannel) {
    case INFO_PRESET_NAME: {
        if (m_nPreset > kPresetCount || length > kPresetNameSize)
            return false;
        std::lock_guard lock(g_csModel);
        BYTE* name = m_nPreset == 0 ? g_DeviceImage : g_PresetImages[m_nPreset - 1];
        for (int i = 0; i < kNameKeptBytes; ++i) {
            const BYTE c = i < length ? payload[i] : 0;
            name[i] = (c < 0x20 || c > 0x7F) ? 0 : c;
        }
        std::memset(name + kNameKeptBytes, 0, kNameClearedBytes);
        return true;
    }
    case INFO_INPUT_SETTINGS:
        return storeField(area.InputSettings, sizeof area.InputSettings);
    case INFO_STATUS:
        return StoreStatusList();
    case INFO_VERSION_LABEL:
        if (length > kVersionLabelBytes)
            return false;
        {
            std::lock_guard lock(g_csModel);
            std::memset(area.VersionLabel, 0, sizeof area.VersionLabel);
            std::memcpy(area.VersionLabel, payload, std::size_t(length));
        }
        Notify(UM_VERSION_INFO, 0, 0);
        return true;
    case INFO_SYSTEM_DATA:
        if (!storeField(area.SystemData, sizeof area.SystemData))
            return false;
        {
            std::lock_guard lock(g_csModel);
            area.SystemData[7] = area.SystemData[3];
        }
        return true;
    case INFO_SPEAKER_TYPES:
        if (!storeField(area.SpeakerTypes, 8))
            return false;
        // The view rebuilds the speaker types before the next reply is parsed.
        if (m_pNotifyWnd)
            SendMessage(m_pNotifyWnd, UM_ROUTING_RECEIVED, 0, 0);
        return true;
    case INFO_LOCK_BLOCK:
        return storeField(area.LockBlock, sizeof area.LockBlock);
    case INFO_CURRENT_PRESET: {
        if (length > int(sizeof area.CurrentPreset) || payload[0] > kPresetCount)
            return false;
        const int preset = payload[0];
        std::lock_guard lock(g_csModel);
        if (preset != 0)
            std::memcpy(g_DeviceImage + kPresetNameOffset, g_PresetImages[preset - 1] + kPresetNameOffset,
                        15);
        area.CurrentPreset[0] = BYTE(preset);
        return true;
    }
    case INFO_SOUND_DELAY:
        if (length > int(sizeof area.SoundDelay))
            return false;
        {
            std::lock_guard lock(g_csModel);
            std::memcpy(area.SoundDelay, payload, std::size_t(length));
        }
        Notify(UM_ROUTING_RECEIVED, 0, 0);
        return true;
    default:
        return true;
    }
}

bool CKTVCommand::StoreStatusList() {
    if (m_nPayloadLen > kStatusEntries)
        return false;
    {
        std::lock_guard lock(g_csModel);
        for (int i = 0; i < m_nPayloadLen; ++i)
            g_DeviceStatus[i] = Payload()[i];
    }
    Notify(UM_STATUS_RECEIVED, 0, m_nPayloadLen);
    return true;
}

void CKTVCommand::UpDataPGRange() {
    std::lock_guard lock(g_csSend);
    CSendData* head = GetCurrentCommand();
    if (!head || head->GetProgressPos() == 0)
        return;
    if (head->GetCommand() == 0) {
        if (ILinkProgressBar* bar = g_pTransferProgress.load())
            bar->SetPos(head->GetProgressPos());
        if (head->GetNotifyEnd())
            Notify(UM_TRANSFER_DONE, 0, 1);
        if (head->GetNotifyLast())
            Notify(UM_TRANSFER_DONE, 0, 0);
        return;
    }

    // The update dialog's bar and label stay while this is under way.
    std::lock_guard ui(g_csFirmwareUi);
    ILinkProgressBar* bar = g_pFirmwareProgress.load();
    int pos = bar ? bar->GetCurPos() + 1 : 1;
    const int upper = bar ? bar->GetUpper() : 0;
    const bool aborting = g_bUpdateAbort != 0;
    auto label = [&](const char* zh, const char* en) {
        if (!aborting)
            SetUpdateLabel(zh, en);
    };
    switch (head->GetCommand()) {
    case HEXApply:
        m_bFirmwareDataPhase = 0;
        label("固件更新开始 请勿中断", "Firmware update begins Do not interrupt");
        break;
    case HEXStart:
        m_bFirmwareDataPhase = 0;
        break;
    case HEXData:
        if (m_bFirmwareDataPhase == 0) {
            label("数据传输中 请勿中断", "Programming Do not interrupt");
            if (pos == upper)
                --pos;
            m_bFirmwareDataPhase = 1;
        }
        break;
    case HEXEnd:
        label("更新完成", "Update successfully");
        pos = upper;
        m_bFirmwareDataPhase = 0;
        g_bFirmwareRebooting = 1;
        Notify(UM_FIRMWARE_DONE, 0, HEXEnd);
        break;
    case IAP_DSP_REQUEST_INFO:
        label("数据传输中 请勿中断", "Programming Do not interrupt");
        m_bFirmwareDataPhase = 1;
        break;
    case IAP_DSP_DATA:
        if (!aborting) {
            label("数据传输中 请勿中断", "Programming Do not interrupt");
            if (pos == upper)
                --pos;
        }
        m_bFirmwareDataPhase = 1;
        break;
    case IAP_DSP_END:
        m_bFirmwareDataPhase = 0;
        if (!g_bMcuImageLoaded) {
            label("更新完成", "Update successfully");
            pos = upper;
            Notify(UM_FIRMWARE_DONE, 0, HEXEnd);
        }
        break;
    default:
        break;
    }
    if (!aborting && bar)
        bar->SetPos(pos);
}

void CKTVCommand::FinishUpgrade() {
    SetUpdateLabel("更新完成", "Update successfully");
    WithFirmwareProgress([](ILinkProgressBar& bar) { bar.SetPos(bar.GetUpper()); });
    m_bFirmwareDataPhase = 0;
    g_bFirmwareRebooting = 1;
    Notify(UM_FIRMWARE_DONE, 0, HEXEnd);
    PopCommand();
}

void CKTVCommand::MarkCurrentFailed() {
    std::lock_guard lock(g_csSend);
    if (CSendData* head = GetCurrentCommand())
        head->SetFailed(1);
}

void CKTVCommand::Notify(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (m_pNotifyWnd)
        PostMessage(m_pNotifyWnd, message, wParam, lParam);
}
