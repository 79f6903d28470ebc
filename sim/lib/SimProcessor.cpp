#include "sim/lib/SimProcessor.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

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

bool IsStatusPoll(const SimFrame& f) {
    return f.command == frame::kCmdRead && f.type == DATA_DEVICE_INFO && f.channel == INFO_STATUS;
}

std::vector<SimReply> SimProcessor::Feed(SimFrameCollector& collector, const BYTE* data, std::size_t count) {
    std::vector<SimReply> replies;
    for (const auto& request : collector.Feed(data, count))
        replies.push_back(Answer(request));
    return replies;
}

void SimProcessor::Log(const SimFrame& request) {
    m_requests.push_back(request);
    if (m_requests.size() <= kRequestLogSize)
        return;
    // An idle link polls the status without end: the oldest poll goes first,
    // so a change stays in the log while a slow reader has not yet looked.
    const auto kept = m_requests.begin() + static_cast<std::ptrdiff_t>(m_leadingNonPolls);
    const auto poll = std::find_if(kept, m_requests.end(), IsStatusPoll);
    if (poll != m_requests.end()) {
        m_leadingNonPolls = static_cast<std::size_t>(poll - m_requests.begin());
        m_requests.erase(poll);
    } else {
        m_requests.pop_front();
        m_leadingNonPolls = m_requests.size();
    }
}

SimReply SimProcessor::Answer(const SimFrameCollector::Collected& request) {
    std::lock_guard lock(m_mutex);
    if (request.intact)
        Log(request.frame);

    SimFault fault;
    const bool faulty = TakeFault(request.frame, fault);
    SimReply reply;
    if (faulty && fault.kind == SimFaultKind::Reset) {
        reply.reset = true;
        return reply;
    }

    Answered answered;
    if (!request.intact || (faulty && fault.kind == SimFaultKind::Reject))
        answered = {frame::kReplyReject, {}, false};
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
            out.command = frame::kReplyData;
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
        reply.bytes.back() = static_cast<BYTE>(~frame::kEnd);
        break;
    case SimFaultKind::Truncate:
        reply.bytes.resize(std::min(reply.bytes.size(), static_cast<std::size_t>(std::max(fault.value, 0))));
        break;
    case SimFaultKind::StaleStatus: {
        const std::vector<BYTE> stale = StatusReplies(fault.value);
        reply.bytes.insert(reply.bytes.begin(), stale.begin(), stale.end());
        break;
    }
    case SimFaultKind::Late:
        reply.late = true;
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

// The status as a poll would get it, `count` times over.
std::vector<BYTE> SimProcessor::StatusReplies(int count) {
    SimFrame poll;
    poll.command = frame::kCmdRead;
    poll.type = DATA_DEVICE_INFO;
    poll.channel = INFO_STATUS;
    SimFrame status = poll;
    status.command = frame::kReplyData;
    status.payload = Respond(poll).payload;
    const std::vector<BYTE> one = EncodeFrame(status);
    std::vector<BYTE> bytes;
    for (int i = 0; i < count; ++i)
        bytes.insert(bytes.end(), one.begin(), one.end());
    return bytes;
}

// A request the firmware does not know gets a data reply without payload.
SimProcessor::Answered SimProcessor::Unknown() {
    return {frame::kReplyData, {}, false};
}

SimProcessor::Answered SimProcessor::Respond(const SimFrame& request) {
    if (request.command == frame::kCmdWrite)
        return Write(request);
    if (request.command == frame::kCmdRead)
        return Read(request);
    return Unknown();
}

SimProcessor::Answered SimProcessor::Write(const SimFrame& request) {
    if (request.type == DATA_DEVICE_INFO) {
        if (request.channel >= HEXApply && request.channel <= IAP_DSP_END)
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
    return {frame::kReplyAck, {}, false};
}

SimProcessor::Answered SimProcessor::Read(const SimFrame& request) {
    if (request.type == DATA_DEVICE_INFO)
        return ReadSetting(request);
    const auto layout = RecordLayoutOf(request.type);
    BYTE* image = m_memory.Image(request.preset);
    if (!layout || !image || (layout->stride != 0 && request.channel >= layout->channels))
        return Unknown();
    const std::size_t at = layout->offset + layout->stride * request.channel;
    // A stored preset asked for without the stored-preset mark is recalled:
    // it becomes what the processor plays.
    if (request.preset != 0 && request.block != frame::kBlockStoredRecord) {
        std::memcpy(m_memory.live.data() + at, image + at, layout->size);
        m_memory.settings.currentPreset[0] = request.preset;
    }
    return {frame::kReplyData, std::vector<BYTE>(image + at, image + at + layout->size), false};
}

SimProcessor::Answered SimProcessor::WriteSetting(const SimFrame& request) {
    auto& s = m_memory.settings;
    const auto& payload = request.payload;
    bool stored = false;
    switch (request.channel) {
    case INFO_PRESET_NAME: {
        BYTE* image = m_memory.Image(request.preset);
        stored = image && payload.size() == kNameSize;
        if (stored)
            std::copy(payload.begin(), payload.end(), image);
        break;
    }
    case INFO_INPUT_SETTINGS:
        stored = Store(s.inputSettings, payload);
        break;
    case INFO_SYSTEM_DATA:
        stored = Store(s.systemData, payload);
        break;
    case INFO_SPEAKER_TYPES:
        stored = Store(s.speakerTypes, payload, kSpeakerTypesSent);
        break;
    case INFO_LOCK_BLOCK:
        stored = Store(s.lockBlock, payload);
        break;
    case INFO_CURRENT_PRESET:
        stored = Store(s.currentPreset, payload, 1);
        break;
    case INFO_SOUND_DELAY:
        stored = Store(s.soundDelay, payload);
        break;
    case INFO_WIFI_RESET:
    case INFO_ZERO_BLOCK_96:
        // Commands for the Wi-Fi module: taken, nothing to keep.
        stored = payload.size() == 8;
        break;
    default:
        break;
    }
    return stored ? Answered{frame::kReplyAck, {}, false} : Unknown();
}

SimProcessor::Answered SimProcessor::ReadSetting(const SimFrame& request) {
    const auto& s = m_memory.settings;
    switch (request.channel) {
    case INFO_HANDSHAKE:
        return {frame::kReplyData, {0}, false};
    case INFO_VERSION_LABEL:
        return {frame::kReplyData, Bytes(s.versionLabel), false};
    case INFO_STATUS: {
        auto status = Bytes(m_memory.status);
        status[kStatusInputMode] = s.inputSettings[0];
        return {frame::kReplyData, status, false};
    }
    case INFO_PRESET_NAME: {
        const BYTE* image = m_memory.Image(request.preset);
        if (!image)
            return Unknown();
        return {frame::kReplyData, std::vector<BYTE>(image, image + kNameSize), false};
    }
    case INFO_INPUT_SETTINGS:
        return {frame::kReplyData, Bytes(s.inputSettings), false};
    case INFO_SYSTEM_DATA:
        return {frame::kReplyData, Bytes(s.systemData), false};
    case INFO_SPEAKER_TYPES:
        return {frame::kReplyData, Bytes(s.speakerTypes, kSpeakerTypesSent), false};
    case INFO_LOCK_BLOCK:
        return {frame::kReplyData, Bytes(s.lockBlock), false};
    case INFO_CURRENT_PRESET:
        return {frame::kReplyData, Bytes(s.currentPreset, 1), false};
    case INFO_SOUND_DELAY:
        return {frame::kReplyData, Bytes(s.soundDelay), false};
    default:
        return Unknown();
    }
}

SimProcessor::Answered SimProcessor::Load(const SimFrame& request) {
    auto& fw = m_firmware;
    const auto& payload = request.payload;
    const Answered ack{frame::kReplyAck, {}, false};
    const Answered reject{frame::kReplyReject, {}, false};
    switch (request.channel) {
    case HEXApply:
        fw = SimFirmwareImage{};
        fw.steps.push_back(HEXApply);
        fw.inLoader = true;
        return {frame::kReplyAck, {}, true};
    case IAP_DSP_REQUEST_INFO:
        fw.dsp.clear();
        break;
    case IAP_DSP_DATA: {
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
    case HEXStart:
        if (payload.size() != 4)
            return reject;
        fw.mcuHeader = payload;
        fw.mcuData.clear();
        break;
    case HEXData:
        if (payload.size() != kMcuPiece)
            return reject;
        fw.mcuData.insert(fw.mcuData.end(), payload.begin(), payload.end());
        break;
    case HEXEnd:
        if (payload.size() != 1)
            return reject;
        fw.steps.push_back(HEXEnd);
        fw.checkByte = payload[0];
        fw.inLoader = false;
        fw.complete = true;
        return {frame::kReplyAck, {}, true};
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
    m_leadingNonPolls = 0;
}

SimFirmwareImage SimProcessor::Firmware() const {
    std::lock_guard lock(m_mutex);
    return m_firmware;
}

} // namespace sim
