#pragma once

// What the processor's loader took in during a firmware update (steps of
// FirmwareStep, model/FrameFormat.h), kept for whoever wants to compare it
// with the file that was sent.

#include "platform/sys/WinTypes.h"

#include <optional>
#include <vector>

namespace sim {

struct SimFirmwareImage {
    // Every step received, in order.
    std::vector<BYTE> steps;
    // DSP bytes at the addresses the data frames named (last frame's zero fill included).
    std::vector<BYTE> dsp;
    std::vector<BYTE> mcuHeader;
    std::vector<BYTE> mcuData;
    std::optional<BYTE> checkByte;
    // Between the start frame and the end frame.
    bool inLoader = false;
    // The end frame arrived.
    bool complete = false;
};

} // namespace sim
