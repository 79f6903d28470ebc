#include "model/DeviceDefaults.h"

#include "model/Globals.h"
#include "model/SpkType.h"

#include <algorithm>
#include <cstring>

namespace {

// A flat band: 1000 Hz, gain code 600, bandwidth index 0, slope 0, type 0.
void PutFlatBands(BYTE* record, int count) {
    for (int band = 0; band < count; ++band) {
        BYTE* b = record + band * kBlockSize;
        const BYTE flat[kBlockSize] = {0xE8, 0x03, 0x58, 0x02, 0, 0, 0, 0};
        std::memcpy(b, flat, kBlockSize);
    }
}

void Zero(BYTE* from, int count) {
    std::memset(from, 0, count);
}

} // namespace

void ClearLinkState() {
    g_bNetLinkUp = 0;
}

void ClearLinkCountersB() {
    g_bNetLinkUp = 0;
}

void InitDefaultDeviceData() {
    for (int c = 0; c < kMusicInputCount; ++c) {
        BYTE* r = g_DeviceImage + MusicRecordOffset(c);
        r[248] = 0;
        r[250] = 1; // equaliser mode
        Zero(r + 265, 7);
        Zero(r + 276, 4);
        PutFlatBands(r, 31);
    }

    BYTE* mic = g_DeviceImage + kMicRecordOffset;
    Zero(mic + 89, 7);
    Zero(mic + 100, 4);
    PutFlatBands(mic, 9);

    // Bands 9-30 of the outputs stay as they are until the model packs itself.
    for (int c = 0; c < kOutputCount; ++c) {
        BYTE* r = g_DeviceImage + OutputRecordOffset(c);
        r[254] = 0;
        Zero(r + 286, 4);
        PutFlatBands(r, 9);
    }

    for (int offset : {162, 164, 165, 167, 172, 173, 174})
        g_DeviceImage[offset] = 0;
    PutFlatBands(g_DeviceImage + kSystemRecordOffset, 8);

    for (auto& image : g_PresetImages) {
        std::memset(image + kPresetNameOffset, ' ', kPresetNameSize - 1);
        image[kPresetNameOffset + kPresetNameSize - 1] = 0;
    }

    DeviceSettingsArea& area = g_DeviceSettings;
    Zero(area.SoundDelay, sizeof area.SoundDelay);
    const BYTE inputSettings[8] = {0x01, 0x00, 0x03, 0x00, 0xFF, 0x00, 0x00, 0x02};
    std::memcpy(area.InputSettings, inputSettings, sizeof inputSettings);
    const BYTE systemData[8] = {60, 0, 0, 55, 0, 0, 1, 0};
    std::memcpy(area.SystemData, systemData, sizeof systemData);

    g_nCurPage = 1;
    g_nCurOutChannel = 0;
    g_nCurInChannel = 0;
    g_nInputMode = 0;

    const BYTE frameStart[4] = {0x5C, 0x5C, 0x5C, 0xEE};
    std::memcpy(g_TxFrame, frameStart, sizeof frameStart);
    g_TxFrame[kTxFrameSize - 1] = 0xAA;

    std::fill(std::begin(g_DeviceStatus), std::end(g_DeviceStatus), 0);
    const int readOrder[8] = {19, 0, 52, 2, 5, 6, 7, 4};
    std::copy(std::begin(readOrder), std::end(readOrder), g_DeviceInfoReadOrder);

    SpkType_ResetStates();
    std::fill_n(g_SpkTypeState + kSpkTypeOutputBase, kOutputCount, BYTE(0));
    const BYTE defaultMap[kOutputCount] = {1, 7, 5, 11, 15, 18, 21, 24, 0, 0, 0, 0};
    std::copy(std::begin(defaultMap), std::end(defaultMap), g_DefaultOutputMap);

    for (int c = 0; c < kOutputCount; ++c)
        Zero(g_DeviceImage + OutputRecordOffset(c) + 33 * kBlockSize, 2 * kBlockSize);

    std::copy_n(g_SpkTypeState + kSpkTypeOutputBase, kOutputCount, area.SpeakerTypes);
    Zero(area.LockBlock, sizeof area.LockBlock);

    COutputGroups::Classify();
    COutputGroups::Reset();
    SpkType_RebuildStates();
    for (SpkPair& pair : g_SpkPairs[1])
        pair.used = 0;
    g_OutLinkTable[0] = 0;
    g_bOutputMapLocked = 0;

    ClearLinkState();
    g_ModeTable.Init();
    std::fill(std::begin(g_bOutCurveShown), std::end(g_bOutCurveShown), 0);
}
