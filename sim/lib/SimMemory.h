#pragma once

// What the simulated processor remembers: the live preset, six stored presets
// and the settings that belong to no preset.  Plain data; SimProcessor guards
// it.

#include "platform/sys/WinTypes.h"

#include <array>
#include <cstddef>
#include <optional>

namespace sim {

inline constexpr std::size_t kImageSize = 5000;
inline constexpr int kStoredPresetCount = 6;
inline constexpr std::size_t kStatusSize = 15;
// Status byte that carries the input mode.
inline constexpr std::size_t kStatusInputMode = 14;

using SimImage = std::array<BYTE, kImageSize>;

struct SimSettingsArea {
    std::array<BYTE, 11> versionLabel{};
    std::array<BYTE, 98> soundDelay{};
    std::array<BYTE, 8> inputSettings{};
    std::array<BYTE, 8> systemData{};
    std::array<BYTE, 16> speakerTypes{};
    std::array<BYTE, 8> currentPreset{};
    std::array<BYTE, 8> lockBlock{};
};

// Where a record of one data type lives in an image.
struct SimRecordLayout {
    std::size_t offset = 0; // channel 0
    std::size_t stride = 0; // per channel
    std::size_t size = 0;   // bytes of a whole-record transfer
    int channels = 0;
    int blocks = 0; // 8-byte blocks a block write may address
};

// The record layout of data types 1 to 4; nothing for any other type.
std::optional<SimRecordLayout> RecordLayoutOf(BYTE type);

struct SimMemory {
    SimImage live{};
    std::array<SimImage, kStoredPresetCount> stored{};
    SimSettingsArea settings;
    // Status bytes 0..13 as the processor reports them; byte 14 always
    // follows the input mode (input settings byte 0).
    std::array<BYTE, kStatusSize> status{};

    // 0 the live preset, 1..6 a stored one; null for any other number.
    BYTE* Image(int preset);
    const BYTE* Image(int preset) const;

    // The state of a processor fresh from the factory.
    static SimMemory Factory();
};

} // namespace sim
