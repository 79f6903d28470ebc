#include "model/FrameBuilders.h"

#include "model/FrameFormat.h"
#include "model/Globals.h"
#include "platform/sys/Gbk.h"

#include <algorithm>
#include <cstring>
#include <mutex>

static_assert(kTxFrameSize >= int(frame::kHeaderSize + frame::kMaxPayload));

namespace {

// The processor keeps a locked preset's output records scrambled with this key.
constexpr BYTE kLockKey = 0x5E;
// Byte 288 of output record 0 (its name block) carries the preset lock mark.
constexpr int kLockMarkOffset = 288;
constexpr BYTE kLockMarkLocked = 0x21;
constexpr BYTE kLockMarkUnlocked = 0x20;
// Bytes 290..295 of output record 0 carry the password while locked.
constexpr int kLockPasswordOffset = 290;
constexpr int kLockPasswordLength = 6;

// Records addressable by a band frame: a whole record, or for the system and
// effect block all 19 blocks of its record.
constexpr int kSystemRecordBlocks = 19;

constexpr int kBandPayload = 8;
constexpr int kRequestPayload = 8;

struct Record {
    const BYTE* bytes = nullptr;
    int size = 0; // bytes a band frame may address
};

// The record of `type` and `channel` in `image`; no bytes when it does not exist.
Record FindRecord(const BYTE* image, int type, int channel) {
    switch (type) {
    case DATA_MIC_INPUT:
        if (channel == 0)
            return {image + kMicRecordOffset, kMicRecordSize};
        break;
    case DATA_SYSTEM:
        return {image + kSystemRecordOffset, kSystemRecordBlocks * kBlockSize};
    case DATA_MUSIC_INPUT:
        if (channel >= 0 && channel < kMusicInputCount)
            return {image + MusicRecordOffset(channel), kMusicRecordSize};
        break;
    case DATA_OUTPUT:
        if (channel >= 0 && channel < kOutputCount)
            return {image + OutputRecordOffset(channel), kOutputRecordSize};
        break;
    default:
        break;
    }
    return {};
}

// Payload length of a whole-record frame of `type`.
int WholeRecordLength(int type) {
    switch (type) {
    case DATA_MIC_INPUT:
        return kMicRecordSize;
    case DATA_SYSTEM:
        return kSystemRecordSentSize;
    case DATA_MUSIC_INPUT:
        return kMusicRecordSize;
    case DATA_OUTPUT:
        return kOutputRecordSize;
    default:
        return 0;
    }
}

bool IsStoredPreset(int preset) {
    return preset >= 1 && preset <= kPresetCount;
}

const BYTE* ImageOf(int preset) {
    return preset == 0 ? g_DeviceImage : g_PresetImages[preset - 1];
}

// Whole live output record 0..11 into the payload, with the preset lock applied.
void CopyLiveOutputRecord(BYTE* payload, int output) {
    const BYTE* record = g_DeviceImage + OutputRecordOffset(output);
    std::memcpy(payload, record, kOutputRecordSize);
    if (g_bPresetLocked) {
        if (output == 0) {
            // The password as a zero-padded field; only its first six bytes
            // travel.  Copied silently: a frame builder never asks the user.
            const CString password = platform::Utf8ToGbk(g_strPresetPassword).value_or(g_strPresetPassword);
            BYTE field[kLockPasswordLength] = {};
            std::memcpy(field, password.data(), std::min<std::size_t>(password.size(), kLockPasswordLength));
            std::memcpy(payload + kLockPasswordOffset, field, kLockPasswordLength);
        }
        for (int i = 0; i < kOutputRecordSize; ++i)
            payload[i] ^= kLockKey;
        if (output == 0)
            payload[kLockMarkOffset] = kLockMarkLocked;
    } else if (g_bPresetUnlocking && output == 0) {
        payload[kLockMarkOffset] = kLockMarkUnlocked;
    }
}

} // namespace

bool FinishFrame(BYTE* buffer, int total) {
    const int length = int(frame::PayloadLength(g_TxFrame));
    if (length > int(frame::kMaxPayload) || total != length + int(frame::kOverhead))
        return false;
    std::memcpy(buffer, g_TxFrame, frame::kHeaderSize + std::size_t(length));
    buffer[total - 2] =
        frame::XorCheck(buffer + frame::kCheckFrom, std::size_t(total) - frame::kCheckFrom - 2);
    buffer[total - 1] = frame::kEnd;
    return true;
}

void WriteFrameHeader(BYTE command, int preset, int type, int channel, int block, int linkFlag,
                      int payloadLength) {
    g_TxFrame[frame::kOffCommand] = command;
    g_TxFrame[frame::kOffAddress] = BYTE(g_nDeviceAddress);
    g_TxFrame[frame::kOffPreset] = BYTE(preset);
    g_TxFrame[frame::kOffType] = BYTE(type);
    g_TxFrame[frame::kOffChannel] = BYTE(channel);
    g_TxFrame[frame::kOffBlock] = BYTE(block);
    g_TxFrame[frame::kOffLinkFlag] = BYTE(linkFlag);
    g_TxFrame[frame::kOffLength] = BYTE(payloadLength & 0xFF);
    g_TxFrame[frame::kOffLength + 1] = BYTE(payloadLength >> 8);
}

BYTE* FramePayload() {
    return g_TxFrame + frame::kOffPayload;
}

std::unique_ptr<CSendData> NewFrameFromTemplate() {
    const int total = int(frame::PayloadLength(g_TxFrame) + frame::kOverhead);
    std::vector<BYTE> bytes(static_cast<std::size_t>(total));
    if (!FinishFrame(bytes.data(), total))
        return nullptr;
    auto frame = std::make_unique<CSendData>();
    frame->SetData(std::move(bytes));
    return frame;
}

int IsLinkedOutput(int output) {
    if (output < 0 || output >= kOutputCount)
        return 0;
    const auto tag = g_OutLinkTable[1 + output];
    if (tag == 0)
        return 0;
    for (int other = 0; other < kOutputCount; ++other) {
        if (other != output && g_OutLinkTable[1 + other] == tag)
            return 1;
    }
    return 0;
}

std::unique_ptr<CSendData> BuildBandFrame(int type, int channel, int block) {
    CModelLock lock(true);
    if (type == DATA_STATUS_POLL) {
        // The poll carries no data; zeros rather than whatever the last frame
        // left in the template.
        WriteFrameHeader(frame::kCmdRead, 0, DATA_DEVICE_INFO, INFO_STATUS, 0, 0, kBandPayload);
        std::memset(FramePayload(), 0, kBandPayload);
        return NewFrameFromTemplate();
    }
    const Record record = FindRecord(g_DeviceImage, type, channel);
    if (!record.bytes || block < 0 || (block + 1) * kBlockSize > record.size)
        return nullptr;

    int linkFlag = 0;
    BYTE* payload = FramePayload();
    std::memcpy(payload, record.bytes + block * kBlockSize, kBandPayload);
    if (type == DATA_OUTPUT) {
        if (g_bPresetLocked) {
            for (int i = 0; i < kBandPayload; ++i)
                payload[i] ^= kLockKey;
        }
        // Basic settings, the second mix block, the limiter block and the
        // name belong to the output alone; bands, crossover and the first mix
        // block are shared with its link group.
        const bool ownBlock = block == 31 || block == 34 || block == 35 || block == 36;
        linkFlag = ownBlock ? 0 : IsLinkedOutput(channel);
    }
    WriteFrameHeader(frame::kCmdWrite, 0, type, channel, block, linkFlag, kBandPayload);
    return NewFrameFromTemplate();
}

std::unique_ptr<CSendData> BuildBlockFrame(int preset, int type, int channel, int fromLive,
                                           int /*fromStored*/) {
    CModelLock lock(true);
    if (!fromLive && !IsStoredPreset(preset))
        return nullptr;
    if (preset < 0 || preset > kPresetCount)
        return nullptr;
    const Record record = FindRecord(fromLive ? g_DeviceImage : ImageOf(preset), type, channel);
    const int length = WholeRecordLength(type);
    if (!record.bytes || length == 0)
        return nullptr;

    int linkFlag = 0;
    BYTE* payload = FramePayload();
    if (type == DATA_OUTPUT && fromLive) {
        CopyLiveOutputRecord(payload, channel);
    } else {
        std::memcpy(payload, record.bytes, std::size_t(length));
    }
    if (type == DATA_OUTPUT)
        linkFlag = IsLinkedOutput(channel);
    if (fromLive && (type == DATA_MUSIC_INPUT || type == DATA_OUTPUT))
        g_bNameCheckPending = 1;
    WriteFrameHeader(frame::kCmdWrite, preset, type, channel, 0, linkFlag, length);
    return NewFrameFromTemplate();
}

std::unique_ptr<CSendData> BuildRequestFrame(int preset, int type, int channel, int live, int /*stored*/) {
    CModelLock lock(true);
    const int block = (live && preset != 0) ? 0 : frame::kBlockStoredRecord;
    WriteFrameHeader(frame::kCmdRead, preset, type, channel, block, 0, kRequestPayload);
    std::memset(FramePayload(), 0, kRequestPayload);
    return NewFrameFromTemplate();
}

std::unique_ptr<CSendData> BuildRequestFrame9(int subId, int preset) {
    CModelLock lock(true);
    WriteFrameHeader(frame::kCmdRead, preset, DATA_DEVICE_INFO, subId, 0, 0, kRequestPayload);
    std::memset(FramePayload(), 0, kRequestPayload);
    return NewFrameFromTemplate();
}

std::unique_ptr<CSendData> BuildSystemFrame(int subId, int preset) {
    CModelLock lock(true);
    BYTE* payload = FramePayload();
    int length = 8;
    switch (subId) {
    case INFO_PRESET_NAME:
        if (preset != 0 && !IsStoredPreset(preset))
            return nullptr;
        length = kPresetNameSize;
        std::memcpy(payload, ImageOf(preset) + kPresetNameOffset, kPresetNameSize - 1);
        payload[kPresetNameSize - 1] = 0;
        break;
    case INFO_INPUT_SETTINGS:
        std::memcpy(payload, g_DeviceSettings.InputSettings, 8);
        break;
    case INFO_SYSTEM_DATA:
        std::memcpy(payload, g_DeviceSettings.SystemData, 8);
        // Without a remembered threshold the noise gate goes out off.
        if (payload[7] == 0)
            payload[3] = 0;
        break;
    case INFO_SPEAKER_TYPES:
        std::memcpy(payload, g_DeviceSettings.SpeakerTypes, 8);
        break;
    case INFO_LOCK_BLOCK:
        std::memcpy(payload, g_DeviceSettings.LockBlock, 8);
        break;
    case INFO_CURRENT_PRESET:
        length = 1;
        payload[0] = g_DeviceSettings.CurrentPreset[0];
        break;
    case INFO_SOUND_DELAY:
        length = int(sizeof g_DeviceSettings.SoundDelay);
        std::memcpy(payload, g_DeviceSettings.SoundDelay, std::size_t(length));
        break;
    case INFO_WIFI_RESET:
    case INFO_ZERO_BLOCK_96:
        std::memset(payload, 0, 8);
        break;
    default:
        return nullptr;
    }
    WriteFrameHeader(frame::kCmdWrite, preset, DATA_DEVICE_INFO, subId, 0, 0, length);
    return NewFrameFromTemplate();
}
