#pragma once

// Presets that tell their records apart, so a record that lands in the wrong
// place, or never lands, shows.

#include "model/Globals.h"
#include "sim/lib/SimMemory.h"

#include <cstring>
#include <string>

namespace linktest {

// Every record of presets `from` to 6 (0 is the live one) from `seed`, and
// each stored preset named "Stored N".
inline void FillDistinctPresets(sim::SimMemory& m, int from, int seed = 0) {
    for (int p = from; p <= kPresetCount; ++p) {
        BYTE* image = m.Image(p);
        for (std::size_t i = kMusicRecordOffset; i < sim::kImageSize; ++i)
            image[i] = BYTE(i * 7 + p * 31 + seed);
    }
    for (int p = 1; p <= kPresetCount; ++p)
        std::memcpy(m.Image(p), ("Stored " + std::to_string(p)).c_str(), 9);
}

} // namespace linktest
