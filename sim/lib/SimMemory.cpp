#include "sim/lib/SimMemory.h"

#include "model/FrameFormat.h"

#include <cstring>

namespace sim {

namespace {

constexpr WORD kIsoBands[31] = {20,   25,   32,   40,   50,   63,    80,    100,   125,  160,  200,
                                250,  315,  400,  500,  630,  800,   1000,  1250,  1600, 2000, 2500,
                                3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};
constexpr WORD kFlatGainCode = 600;
constexpr WORD kDefaultBandwidth = 52;

void PutWord(BYTE* at, WORD value) {
    at[0] = static_cast<BYTE>(value & 0xFF);
    at[1] = static_cast<BYTE>(value >> 8);
}

void PutBand(BYTE* block, WORD frequency) {
    PutWord(block, frequency);
    PutWord(block + 2, kFlatGainCode);
    PutWord(block + 4, kDefaultBandwidth);
    block[6] = 0;
    block[7] = 0;
}

void FillFactoryImage(BYTE* image) {
    const SimRecordLayout system = *RecordLayoutOf(DATA_SYSTEM);
    for (int b = 0; b < 8; ++b)
        PutBand(image + system.offset + 8 * b, 1000);
    const SimRecordLayout mic = *RecordLayoutOf(DATA_MIC_INPUT);
    for (int b = 0; b < 9; ++b)
        PutBand(image + mic.offset + 8 * b, 1000);
    const SimRecordLayout music = *RecordLayoutOf(DATA_MUSIC_INPUT);
    for (int c = 0; c < music.channels; ++c) {
        BYTE* record = image + music.offset + music.stride * c;
        for (int b = 0; b < 31; ++b)
            PutBand(record + 8 * b, kIsoBands[b]);
    }
    const SimRecordLayout output = *RecordLayoutOf(DATA_OUTPUT);
    for (int c = 0; c < output.channels; ++c) {
        BYTE* record = image + output.offset + output.stride * c;
        for (int b = 0; b < 31; ++b)
            PutBand(record + 8 * b, kIsoBands[b]);
        // On, polarity normal, 0 dB, no delay.
        record[248] = 1;
        PutWord(record + 250, 600);
        // Crossover: both filters off at the band edges.
        PutWord(record + 256, 20);
        record[259] = 8;
        PutWord(record + 260, 20000);
        record[263] = 8;
    }
}

} // namespace

std::optional<SimRecordLayout> RecordLayoutOf(BYTE type) {
    switch (type) {
    case DATA_MIC_INPUT:
        return SimRecordLayout{184, 112, 112, 1, 14};
    case DATA_SYSTEM:
        // Block writes reach all 19 blocks; a whole-record transfer only the first 12.
        return SimRecordLayout{32, 0, 96, 1, 19};
    case DATA_MUSIC_INPUT:
        return SimRecordLayout{296, 288, 288, 4, 36};
    case DATA_OUTPUT:
        return SimRecordLayout{1448, 296, 296, 12, 37};
    default:
        return std::nullopt;
    }
}

BYTE* SimMemory::Image(int preset) {
    if (preset == 0)
        return live.data();
    if (preset >= 1 && preset <= kStoredPresetCount)
        return stored[preset - 1].data();
    return nullptr;
}

const BYTE* SimMemory::Image(int preset) const {
    return const_cast<SimMemory*>(this)->Image(preset);
}

SimMemory SimMemory::Factory() {
    SimMemory m;
    FillFactoryImage(m.live.data());
    for (auto& image : m.stored)
        FillFactoryImage(image.data());
    std::memcpy(m.settings.versionLabel.data(), "KWEX-DV1.00", m.settings.versionLabel.size());
    m.settings.inputSettings = {0x01, 0x00, 0x03, 0x00, 0xFF, 0x00, 0x00, 0x02};
    m.settings.systemData = {60, 0, 0, 55, 0, 0, 1, 0};
    return m;
}

} // namespace sim
