#include "model/DeviceDefaults.h"
#include "model/Globals.h"
#include "model/SpkType.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes At(const BYTE* base, int offset, int count) {
    return Bytes(base + offset, base + offset + count);
}
Bytes Repeat(BYTE b, int n) {
    return Bytes(n, b);
}

const Bytes kFlatBand{0xE8, 0x03, 0x58, 0x02, 0, 0, 0, 0};

// Marks every byte first, so the table tells written bytes from untouched ones.
class DeviceDefaults : public ::testing::Test {
protected:
    static constexpr BYTE kUntouched = 0x77;

    void SetUp() override {
        std::memset(g_DeviceImage, kUntouched, sizeof g_DeviceImage);
        std::memset(g_PresetImages, kUntouched, sizeof g_PresetImages);
        std::memset(&g_DeviceSettings, kUntouched, sizeof g_DeviceSettings);
        std::memset(g_TxFrame, kUntouched, sizeof g_TxFrame);
        for (int& status : g_DeviceStatus)
            status = 9;
        for (int k = 0; k < kOutputCount; ++k)
            g_SpkTypeState[kSpkTypeOutputBase + k] = 7;
        g_bNetLinkUp = g_bOutputMapLocked = 1;
        g_OutLinkTable[0] = 1;
        g_bOutCurveShown[4] = 1;
        InitDefaultDeviceData();
    }

    // Leave what the program has after start-up for the tests that follow.
    void TearDown() override {
        std::memset(g_DeviceImage, 0, sizeof g_DeviceImage);
        std::memset(g_PresetImages, 0, sizeof g_PresetImages);
        g_DeviceSettings = {};
        InitDefaultDeviceData();
    }
};

TEST_F(DeviceDefaults, LiveImageBytes) {
    struct Case {
        const char* what;
        int offset;
        Bytes bytes;
    };
    const int music3 = MusicRecordOffset(3);
    const int out0 = OutputRecordOffset(0);
    const int out11 = OutputRecordOffset(11);
    const Case cases[] = {
        {"preset name", 0, Repeat(kUntouched, 16)},
        {"system band 0", 32, kFlatBand},
        {"system band 7", 88, kFlatBand},
        {"system block 8", 96, Repeat(kUntouched, 8)},
        {"system group A", 160, {0x77, 0x77, 0, 0x77, 0, 0, 0x77, 0}},
        {"system group B", 168, {0x77, 0x77, 0x77, 0x77, 0, 0, 0, 0x77}},
        {"mic band 0", 184, kFlatBand},
        {"mic band 8", 184 + 64, kFlatBand},
        {"mic band 9", 184 + 72, Repeat(kUntouched, 8)},
        {"mic block 11", 184 + 88, {0x77, 0, 0, 0, 0, 0, 0, 0}},
        {"mic block 12", 184 + 96, {0x77, 0x77, 0x77, 0x77, 0, 0, 0, 0}},
        {"music 0 band 0", MusicRecordOffset(0), kFlatBand},
        {"music 3 band 30", music3 + 240, kFlatBand},
        {"music 3 bytes 248-251", music3 + 248, {0, 0x77, 1, 0x77}},
        {"music 3 block 33", music3 + 264, {0x77, 0, 0, 0, 0, 0, 0, 0}},
        {"music 3 block 34", music3 + 272, {0x77, 0x77, 0x77, 0x77, 0, 0, 0, 0}},
        {"output 0 band 8", out0 + 64, kFlatBand},
        {"output 0 band 9", out0 + 72, Repeat(kUntouched, 8)},
        {"output 0 band 30", out0 + 240, Repeat(kUntouched, 8)},
        {"output 0 block 31", out0 + 248, {0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0, 0x77}},
        {"output 0 mix levels", out0 + 264, Repeat(0, 16)},
        {"output 0 block 35", out0 + 280, {0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0, 0}},
        {"output 0 block 36", out0 + 288, {0, 0, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77}},
        {"output 11 band 0", out11, kFlatBand},
        {"output 11 mix levels", out11 + 264, Repeat(0, 16)},
        {"output 11 block 36", out11 + 288, {0, 0, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(At(g_DeviceImage, c.offset, int(c.bytes.size())), c.bytes) << c.what;
}

TEST_F(DeviceDefaults, StoredImagesGetBlankNamesOnly) {
    for (int p = 0; p < kPresetCount; ++p) {
        Bytes name = Repeat(' ', 15);
        name.push_back(0);
        EXPECT_EQ(At(g_PresetImages[p], 0, 16), name) << p;
        EXPECT_EQ(At(g_PresetImages[p], 16, 8), Repeat(kUntouched, 8)) << p;
    }
}

TEST_F(DeviceDefaults, SettingsAreaBytes) {
    struct Case {
        const char* what;
        const BYTE* field;
        Bytes bytes;
    };
    const DeviceSettingsArea& a = g_DeviceSettings;
    const Case cases[] = {
        {"version label", a.VersionLabel, Repeat(kUntouched, 12)},
        {"sound delay", a.SoundDelay, Repeat(0, 98)},
        {"input settings", a.InputSettings, {0x01, 0x00, 0x03, 0x00, 0xFF, 0x00, 0x00, 0x02}},
        {"system data", a.SystemData, {0x3C, 0x00, 0x00, 0x37, 0x00, 0x00, 0x01, 0x00}},
        {"speaker types", a.SpeakerTypes, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x77, 0x77, 0x77, 0x77}},
        {"current preset", a.CurrentPreset, Repeat(kUntouched, 8)},
        {"lock block", a.LockBlock, Repeat(0, 8)},
        {"frame template start", g_TxFrame, {0x5C, 0x5C, 0x5C, 0xEE, 0x77}},
        {"frame template end", g_TxFrame + 314, {0x77, 0xAA}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(At(c.field, 0, int(c.bytes.size())), c.bytes) << c.what;
    EXPECT_EQ(WORD(g_nMasterVolume), 60);
    EXPECT_EQ(BYTE(g_bMasterOn), 1);
}

TEST_F(DeviceDefaults, TablesAndState) {
    EXPECT_EQ(Bytes(std::begin(g_DefaultOutputMap), std::end(g_DefaultOutputMap)),
              (Bytes{1, 7, 5, 11, 15, 18, 21, 24, 0, 0, 0, 0}));
    EXPECT_EQ(std::vector<int>(std::begin(g_DeviceInfoReadOrder), std::end(g_DeviceInfoReadOrder)),
              (std::vector<int>{19, 0, 52, 2, 5, 6, 7, 4}));
    EXPECT_EQ(std::vector<int>(std::begin(g_DeviceStatus), std::end(g_DeviceStatus)),
              std::vector<int>(16, 0));
    EXPECT_EQ(std::vector<int>(std::begin(g_bOutCurveShown), std::end(g_bOutCurveShown)),
              std::vector<int>(12, 0));

    // Every output has no type, so only "none" is in use.
    EXPECT_EQ(g_SpkTypeState[0], kSpkInUse);
    for (int t = 1; t < kSpkTypeCount; ++t)
        EXPECT_EQ(g_SpkTypeState[t], kSpkFree) << t;
    for (int k = 0; k < kOutputCount; ++k)
        EXPECT_EQ(g_SpkTypeState[kSpkTypeOutputBase + k], 0) << k;

    EXPECT_EQ(g_nCurPage, 1);
    EXPECT_EQ(g_nCurOutChannel, 0);
    EXPECT_EQ(g_nInputMode, 0);
    EXPECT_EQ(g_bNetLinkUp, 0);
    EXPECT_EQ(g_bOutputMapLocked, 0);
    EXPECT_EQ(g_OutLinkTable[0], 0);
    EXPECT_EQ(g_ModeTable.m_nSelection, 6);
    EXPECT_EQ(g_OutputGroups.frontLeftState, -1);
}

// The reset of a locked preset copies these records over the live ones;
// they must stay byte for byte what the processor expects, block 35 too.
TEST(DefaultOutputRecords, Bytes) {
    struct Case {
        int record, offset;
        Bytes bytes;
    };
    const Case cases[] = {
        {0, 0, {0x14, 0x00, 0x58, 0x02, 0x34, 0x00, 0x00, 0x00}},
        {0, 8, {0x19, 0x00, 0x58, 0x02, 0x34, 0x00, 0x00, 0x00}},
        {5, 17 * 8, {0xE8, 0x03, 0x58, 0x02, 0x34, 0x00, 0x00, 0x00}},
        {11, 30 * 8, {0x20, 0x4E, 0x58, 0x02, 0x34, 0x00, 0x00, 0x00}},
        {0, 248, {0x01, 0x00, 0x58, 0x02, 0x00, 0x00, 0x00, 1}},
        {4, 248, {0x01, 0x00, 0x58, 0x02, 0x00, 0x00, 0x00, 21}},
        {7, 248, {0x01, 0x00, 0x58, 0x02, 0x00, 0x00, 0x00, 24}},
        {11, 248, {0x01, 0x00, 0x58, 0x02, 0x00, 0x00, 0x00, 11}},
        {3, 256, {0xDC, 0x05, 0x01, 0x06, 0x20, 0x4E, 0x01, 0x06}},
        {0,
         264,
         {0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00}},
        {1,
         264,
         {0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64}},
        {10,
         264,
         {0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00, 0x64, 0x00}},
        {6, 280, {0xA4, 0x01, 0x14, 0x00, 0x14, 0x00, 0x00, 0x00}},
        {9, 288, {' ', ' ', ' ', ' ', ' ', ' ', ' ', 0x00}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(At(g_DefaultOutputRecords[c.record].data(), c.offset, int(c.bytes.size())), c.bytes)
            << "record " << c.record << " offset " << c.offset;

    Bytes types;
    for (const auto& record : g_DefaultOutputRecords)
        types.push_back(record[255]);
    EXPECT_EQ(types, (Bytes{1, 5, 7, 11, 21, 18, 21, 24, 1, 5, 7, 11}));
    EXPECT_EQ(sizeof g_DefaultOutputRecords, size_t(kOutputCount * kOutputRecordSize));
}

} // namespace
