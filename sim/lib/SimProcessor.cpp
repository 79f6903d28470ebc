#include "sim/lib/SimProcessor.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

// Device-information sub-ids (data type 9).
constexpr BYTE kInfoPresetName = 0;
constexpr BYTE kInfoInputSettings = 2;
constexpr BYTE kInfoStatus = 3;
constexpr BYTE kInfoVersion = 4;
constexpr BYTE kInfoSystemData = 5;
constexpr BYTE kInfoSpeakerTypes = 6;
constexpr BYTE kInfoLockBlock = 19;
constexpr BYTE kInfoCurrentPreset = 52;
constexpr BYTE kInfoSoundDelay = 64;
constexpr BYTE kInfoWifiReset = 65;
constexpr BYTE kInfo96 = 96;
constexpr BYTE kInfoHandshake = 204;

constexpr std::size_t kNameSize = 16;
constexpr std::size_t kSpeakerTypesSent = 8;
constexpr std::size_t kDspPiece = 44;
// Room for a DSP image of 0x3FFFF bytes sent in whole 44-byte pieces.
constexpr std::size_t kDspCapacity = 5958 * kDspPiece;
constexpr std::size_t kMcuPiece = 48;

const std::vector<BYTE> kDefaultJunk = {0x00, 0x5C, 0x5C, 0x5C, 0x5C, 0xEE, 0x13};

template <std::size_t N> std::vector<BYTE> Bytes(const std::array<BYTE, N>& field, std::size_t count = N) {
    return std::vector<BYTE>(field.begin(), field.begin() + count);
}

template <std::size_t N>
bool Store(std::array<BYTE, N>& field, const std::vector<BYTE>& payload, std::size_t count = N) {
    if (payload.size() != count)
        return false;
    std::copy(payload.begin(), payload.end(), field.begin());
    return true;
}

} // namespace

std::vector<SimReply> SimProcessor::Feed(SimFrameCollector& collector, const BYTE* data, std::size_t count) {
    std::vector<SimReply> replies;
    for (const auto& request : collector.Feed(data, count))
        replies.push_back(Answer(request));
    return replies;
}

SimReply SimProcessor::Answer(const SimFrameCollector::Collected& request) {
    std::lock_guard lock(m_mutex);
    if (request.intact) {
        m_requests.push_back(request.frame);
        if (m_requests.size() > kRequestLogSize)
            m_requests.pop_front();
    }

    SimFault fault;
    const bool faulty = TakeFault(request.frame, fault);
    SimReply reply;
    if (faulty && fault.kind == SimFaultKind::Reset) {
        reply.reset = true;
        return reply;
    }

    Answered answered;
    if (!request.intact || (faulty && fault.kind == SimFaultKind::Reject))
        answered = {kReplyReject, {}, false};
    else
        answered = Respond(request.frame);
    reply.restart = answered.restart;

    SimFrame out = request.frame;
    out.command = answered.code;
    out.linkFlag = 0;
    out.payload = std::move(answered.payload);
    if (faulty) {
        switch (fault.kind) {
        case SimFaultKind::ReplyCode:
            out.command = static_cast<BYTE>(fault.value);
            break;
        case SimFaultKind::EmptyPayload:
            out.command = kReplyData;
            out.payload.clear();
            break;
        case SimFaultKind::OversizedLength:
            out.payload.resize(static_cast<std::size_t>(std::clamp(fault.value, 0, 0xFFFF)), 0x5A);
            break;
        case SimFaultKind::BadChannel:
            out.channel = static_cast<BYTE>(fault.value);
            break;
        case SimFaultKind::BadPreset:
            out.preset = static_cast<BYTE>(fault.value);
            break;
        default:
            break;
        }
    }
    reply.bytes = EncodeFrame(out);
    if (!faulty)
        return reply;

    switch (fault.kind) {
    case SimFaultKind::Silence:
        reply.bytes.clear();
        break;
    case SimFaultKind::Delay:
        reply.delayMs = fault.value;
        break;
    case SimFaultKind::Split:
        reply.pieceSize = static_cast<std::size_t>(std::max(fault.value, 1));
        break;
    case SimFaultKind::Merge:
        reply.merge = true;
        break;
    case SimFaultKind::Junk: {
        const auto& junk = fault.bytes.empty() ? kDefaultJunk : fault.bytes;
        reply.bytes.insert(reply.bytes.begin(), junk.begin(), junk.end());
        break;
    }
    case SimFaultKind::BadCheck:
        reply.bytes[reply.bytes.size() - 2] ^= 0xFF;
        break;
    case SimFaultKind::BadEnd:
        reply.bytes.back() = static_cast<BYTE>(~kEndByte);
        break;
    default:
        break;
    }
    return reply;
}

bool SimProcessor::TakeFault(const SimFrame& request, SimFault& fault) {
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (it->type && *it->type != request.type)
            continue;
        if (it->channel && *it->channel != request.channel)
            continue;
        fault = *it;
        if (it->count > 0 && --it->count == 0)
            m_faults.erase(it);
        return true;
    }
    return false;
}

// A request the firmware does not know gets a data reply without payload.
SimProcessor::Answered SimProcessor::Unknown() {
    return {kReplyData, {}, false};
}

SimProcessor::Answered SimProcessor::Respond(const SimFrame& request) {
    if (request.command == kCommandWrite)
        return Write(request);
    if (request.command == kCommandRead)
        return Read(request);
    return Unknown();
}

SimProcessor::Answered SimProcessor::Write(const SimFrame& request) {
    if (request.type == 9) {
        if (request.channel >= kStepApply && request.channel <= kStepDspEnd)
            return Load(request);
        return WriteSetting(request);
    }
    const auto layout = RecordLayoutOf(request.type);
    BYTE* image = m_memory.Image(request.preset);
    if (!layout || !image || (layout->stride != 0 && request.channel >= layout->channels))
        return Unknown();
    BYTE* record = image + layout->offset + layout->stride * request.channel;
    if (request.payload.size() == 8 && request.block < layout->blocks) {
        std::copy(request.payload.begin(), request.payload.end(), record + 8 * request.block);
    } else if (request.payload.size() == layout->size && request.block == 0) {
        std::copy(request.payload.begin(), request.payload.end(), record);
    } else {
        return Unknown();
    }
    return {kReplyAck, {}, false};
}

SimProcessor::Answered SimProcessor::Read(const SimFrame& request) {
    if (request.type == 9)
        return ReadSetting(request);
    const auto layout = RecordLayoutOf(request.type);
    BYTE* image = m_memory.Image(request.preset);
    if (!layout || !image || (layout->stride != 0 && request.channel >= layout->channels))
        return Unknown();
    const std::size_t at = layout->offset + layout->stride * request.channel;
    // A stored preset asked for without the stored-preset mark is recalled:
    // it becomes what the processor plays.
    if (request.preset != 0 && request.block != kStoredPresetBlock) {
        std::memcpy(m_memory.live.data() + at, image + at, layout->size);
        m_memory.settings.currentPreset[0] = request.preset;
    }
    return {kReplyData, std::vector<BYTE>(image + at, image + at + layout->size), false};
}

SimProcessor::Answered SimProcessor::WriteSetting(const SimFrame& request) {
    auto& s = m_memory.settings;
    const auto& payload = request.payload;
    bool stored = false;
    switch (request.channel) {
    case kInfoPresetName: {
        BYTE* image = m_memory.Image(request.preset);
        stored = image && payload.size() == kNameSize;
        if (stored)
            std::copy(payload.begin(), payload.end(), image);
        break;
    }
    case kInfoInputSettings:
        stored = Store(s.inputSettings, payload);
        break;
    case kInfoSystemData:
        stored = Store(s.systemData, payload);
        break;
    case kInfoSpeakerTypes:
        stored = Store(s.speakerTypes, payload, kSpeakerTypesSent);
        break;
    case kInfoLockBlock:
        stored = Store(s.lockBlock, payload);
        break;
    case kInfoCurrentPreset:
        stored = Store(s.currentPreset, payload, 1);
        break;
    case kInfoSoundDelay:
        stored = Store(s.soundDelay, payload);
        break;
    case kInfoWifiReset:
    case kInfo96:
        // Commands for the Wi-Fi module: taken, nothing to keep.
        stored = payload.size() == 8;
        break;
    default:
        break;
    }
    return stored ? Answered{kReplyAck, {}, false} : Unknown();
}

SimProcessor::Answered SimProcessor::ReadSetting(const SimFrame& request) {
    const auto& s = m_memory.settings;
    switch (request.channel) {
    case kInfoHandshake:
        return {kReplyData, {0}, false};
    case kInfoVersion:
        return {kReplyData, Bytes(s.versionLabel), false};
    case kInfoStatus: {
        auto status = Bytes(m_memory.status);
        status[kStatusInputMode] = s.inputSettings[0];
        return {kReplyData, status, false};
    }
    case kInfoPresetName: {
        const BYTE* image = m_memory.Image(request.preset);
        if (!image)
            return Unknown();
        return {kReplyData, std::vector<BYTE>(image, image + kNameSize), false};
    }
    case kInfoInputSettings:
        return {kReplyData, Bytes(s.inputSettings), false};
    case kInfoSystemData:
        return {kReplyData, Bytes(s.systemData), false};
    case kInfoSpeakerTypes:
        return {kReplyData, Bytes(s.speakerTypes, kSpeakerTypesSent), false};
    case kInfoLockBlock:
        return {kReplyData, Bytes(s.lockBlock), false};
    case kInfoCurrentPreset:
        return {kReplyData, Bytes(s.currentPreset, 1), false};
    case kInfoSoundDelay:
        return {kReplyData, Bytes(s.soundDelay), false};
    default:
        return Unknown();
    }
}

SimProcessor::Answered SimProcessor::Load(const SimFrame& request) {
    auto& fw = m_firmware;
    const auto& payload = request.payload;
    const Answered ack{kReplyAck, {}, false};
    const Answered reject{kReplyReject, {}, false};
    switch (request.channel) {
    case kStepApply:
        fw = SimFirmwareImage{};
        fw.steps.push_back(kStepApply);
        fw.inLoader = true;
        return {kReplyAck, {}, true};
    case kStepErase:
        fw.dsp.clear();
        break;
    case kStepDspData: {
        if (payload.size() != 4 + kDspPiece)
            return reject;
        const std::size_t address = payload[0] | (payload[1] << 8) | (payload[2] << 16) |
                                    (static_cast<std::size_t>(payload[3]) << 24);
        if (address + kDspPiece > kDspCapacity)
            return reject;
        if (fw.dsp.size() < address + kDspPiece)
            fw.dsp.resize(address + kDspPiece, 0xFF);
        std::copy(payload.begin() + 4, payload.end(), fw.dsp.begin() + static_cast<std::ptrdiff_t>(address));
        break;
    }
    case kStepMcuStart:
        if (payload.size() != 4)
            return reject;
        fw.mcuHeader = payload;
        fw.mcuData.clear();
        break;
    case kStepMcuData:
        if (payload.size() != kMcuPiece)
            return reject;
        fw.mcuData.insert(fw.mcuData.end(), payload.begin(), payload.end());
        break;
    case kStepEnd:
        if (payload.size() != 1)
            return reject;
        fw.steps.push_back(kStepEnd);
        fw.checkByte = payload[0];
        fw.inLoader = false;
        fw.complete = true;
        return {kReplyAck, {}, true};
    default:
        break;
    }
    fw.steps.push_back(request.channel);
    return ack;
}

SimMemory SimProcessor::Memory() const {
    std::lock_guard lock(m_mutex);
    return m_memory;
}

void SimProcessor::SetMemory(const SimMemory& memory) {
    std::lock_guard lock(m_mutex);
    m_memory = memory;
}

void SimProcessor::UpdateMemory(const std::function<void(SimMemory&)>& change) {
    std::lock_guard lock(m_mutex);
    change(m_memory);
}

void SimProcessor::InjectFault(const SimFault& fault) {
    std::lock_guard lock(m_mutex);
    m_faults.push_back(fault);
}

void SimProcessor::ClearFaults() {
    std::lock_guard lock(m_mutex);
    m_faults.clear();
}

std::vector<SimFrame> SimProcessor::Requests() const {
    std::lock_guard lock(m_mutex);
    return {m_requests.begin(), m_requests.end()};
}

void SimProcessor::ClearRequests() {
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

SimFirmwareImage SimProcessor::Firmware() const {
    std::lock_guard lock(m_mutex);
    return m_firmware;
}

} // namespace sim
