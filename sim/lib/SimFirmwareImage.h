#pragma once

// What the processor's loader took in during a firmware update, kept for
// whoever wants to compare it with the file that was sent.

#include "platform/sys/WinTypes.h"

#include <optional>
#include <vector>

namespace sim {

// Firmware steps, carried in the channel byte of data type 9 writes.
inline constexpr BYTE kStepApply = 0x36;    // '6' restart into the loader
inline constexpr BYTE kStepMcuStart = 0x37; // '7' MCU header
inline constexpr BYTE kStepMcuData = 0x38;  // '8' 48 MCU bytes
inline constexpr BYTE kStepEnd = 0x39;      // '9' check byte, restart
inline constexpr BYTE kStepErase = 0x3A;    // ':' erase before DSP data
inline constexpr BYTE kStepDspData = 0x3B;  // ';' address and 44 DSP bytes
inline constexpr BYTE kStepDspEnd = 0x3C;   // '<'

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
