#include "link/FirmwareFrames.h"

#include "model/FrameBuilders.h"
#include "model/FrameFormat.h"
#include "model/Globals.h"

#include <cstring>
#include <mutex>

namespace {

constexpr BYTE kPatternFirst = 0x43; // 'C'
constexpr BYTE kPatternSecond = 0x11;
constexpr std::size_t kMarkerPairs = 24;

} // namespace

std::unique_ptr<CSendData> BuildFirmwareFrame(BYTE step, const BYTE* payload, std::size_t length) {
    if (length > frame::kMaxPayload)
        return nullptr;
    std::lock_guard lock(g_csSend);
    WriteFrameHeader(frame::kCmdWrite, 0, DATA_DEVICE_INFO, step, 0, 0, int(length));
    if (length)
        std::memcpy(FramePayload(), payload, length);
    auto built = NewFrameFromTemplate();
    if (built)
        built->SetCommand(step);
    return built;
}

std::unique_ptr<CSendData> BuildFirmwareHandshakeMarker() {
    BYTE pairs[2 * kMarkerPairs];
    for (std::size_t i = 0; i < sizeof pairs; i += 2) {
        pairs[i] = kPatternFirst;
        pairs[i + 1] = kPatternSecond;
    }
    return BuildFirmwareFrame(FIRMWARE_HANDSHAKE, pairs, sizeof pairs);
}

void FillFirmwareHandshakeReport(BYTE* report) {
    report[0] = 0;
    for (std::size_t i = 1; i < frame::kHidReportSize; i += 2) {
        report[i] = kPatternFirst;
        report[i + 1] = kPatternSecond;
    }
}

int UsbFirmwareWriteLimit(int step) {
    return step == IAP_DSP_REQUEST_INFO ? 4 : 2;
}

int NetFirmwareWriteLimit(int) {
    return 2;
}

int UsbFirmwareReadLimitSeconds(int step) {
    switch (step) {
    case HEXApply:
        return 3;
    case HEXStart:
        return 8;
    case IAP_DSP_REQUEST_INFO:
        return 40;
    case IAP_DSP_DATA:
        return 10;
    case IAP_DSP_END:
        return 20;
    case HEXData:
    case HEXEnd:
    default:
        return 2;
    }
}

int NetFirmwareRecvTimeoutMs(int step) {
    switch (step) {
    case HEXApply:
    case IAP_DSP_DATA:
        return 10000;
    case HEXStart:
    case IAP_DSP_END:
        return 8000;
    case IAP_DSP_REQUEST_INFO:
        return 50000;
    case HEXData:
    default:
        return 2000;
    }
}

bool IsFirmwareFrameRepeatable(int step) {
    return step != HEXData;
}
