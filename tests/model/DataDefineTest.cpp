#include "model/DataDefine.h"

#include "model/Globals.h"
#include "platform/sys/Gbk.h"
#include "platform/sys/RecordingMessageBox.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

TEST(DataDefineTables, FrequencyAxisIsStrictlyIncreasingFrom19_7To20000) {
    EXPECT_EQ(g_FreqTable[0], 0.0);
    EXPECT_EQ(g_FreqTable[1], 19.7);
    EXPECT_EQ(g_FreqTable[137], 1000.0);
    EXPECT_EQ(g_FreqTable[241], 20000.0);
    for (int i = 1; i < kFreqTableSize - 1; ++i)
        EXPECT_LT(g_FreqTable[i], g_FreqTable[i + 1]) << "entry " << i;
}

TEST(DataDefineTables, QTableFollowsTheBandwidthFormulaToThreeDecimals) {
    for (int j = 0; j < kQTableSize; ++j) {
        double p = std::pow(2.0, 0.05 + 0.01 * j);
        double q = std::sqrt(p) / (p - 1.0);
        EXPECT_NEAR(g_QTable[j], q, 0.0005 + 1e-9) << "index " << j;
        if (j > 0) {
            EXPECT_LT(g_QTable[j], g_QTable[j - 1]) << "index " << j;
        }
    }
    EXPECT_EQ(g_QTable[0], 28.852);
    EXPECT_EQ(g_QTable[52], 2.515);
    EXPECT_EQ(g_QTable[95], 1.414);
    EXPECT_EQ(g_QTable[295], 0.404);
}

TEST(DataDefineTables, DefaultBandTablesSpanTheAudioBand) {
    EXPECT_EQ(g_OutBandTable[0], 20);
    EXPECT_EQ(g_OutBandTable[17], 1000);
    EXPECT_EQ(g_OutBandTable[30], 20000);
    EXPECT_EQ(g_InBandTable[0], 20);
    EXPECT_EQ(g_InBandTable[7], 632);
    EXPECT_EQ(g_InBandTable[14], 20000);
    EXPECT_EQ(g_EffectBandTable[1], 1000);
}

TEST(DataDefineConversions, FreqToIndex) {
    struct Case {
        double hz;
        int step;
    };
    const Case cases[] = {
        {5, 0},      {-10, 0},     {19.7, 0},     {19.9, 0},    {20.1, 1},   {20.3, 1},
        {1000, 136}, {1001, 136},  {1014.9, 136}, {1015, 137},  {1030, 137}, {175, 75},
        {175.5, 76}, {19999, 240}, {20000, 240},  {30000, 240},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FreqToIndex(c.hz), c.step) << c.hz << " Hz";
    // Every table frequency maps back to its own step.
    for (int s = 0; s < kFreqSteps; ++s)
        EXPECT_EQ(FreqToIndex(g_FreqTable[s + 1]), s);
}

TEST(DataDefineConversions, QToIndex) {
    struct Case {
        double q;
        int index;
    };
    const Case cases[] = {
        {2.515, 52},  {2.516, 52},
        {2.514, 53},  {100, 0},
        {28.852, 0},  {28.851, 1},
        {1.414, 95},  {0.404, 295},
        {0.406, 294}, {0.4059, 295},
        {2.56, 51},   {0.3, 295},
        {-1, 295},    {std::numeric_limits<double>::quiet_NaN(), 295},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QToIndex(c.q), c.index) << "Q " << c.q;
}

TEST(DataDefineConversions, GainPositions) {
    struct Case {
        double dB;
        int height;
        int pos;
        double posF;
    };
    const Case cases[] = {
        {0, 200, 100, 100.0},
        {12, 200, 0, 0.0},
        {-12, 200, 200, 200.0},
        {6, 200, 50, 50.0},
        {0.1, 200, 99, 99.1666666666666},
        {-0.1, 200, 101, 100.8333333333333},
        {12.3, 200, -2, -2.5},
        {15, 200, -24, -25.0}, // truncation toward zero after + 0.5
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GainToPos(c.dB, c.height), c.pos) << c.dB << " dB";
        EXPECT_NEAR(GainToPosF(c.dB, c.height), c.posF, 1e-9) << c.dB << " dB";
    }
    EXPECT_EQ(GainToPos(std::numeric_limits<double>::infinity(), 200), std::numeric_limits<int>::min());
}

TEST(DataDefineConversions, PosToGainRoundsHalvesAwayFromZero) {
    struct Case {
        int y;
        int height;
        double dB;
    };
    const Case cases[] = {
        {100, 200, -0.5}, // x is 0, not above 0
        {0, 200, 12.5},   {200, 200, -12.5}, {50, 200, 6.5}, {150, 200, -6.5}, {99, 200, 0.62},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(PosToGain(c.y, c.height), c.dB, 1e-9) << "y " << c.y;
}

TEST(DataDefineConversions, FrequencyPositions) {
    struct Case {
        double hz;
        int width;
        int pos;
        double posF;
    };
    const Case cases[] = {
        {20, 600, 0, 0.0},         {200, 600, 200, 200.0},       {20000, 600, 600, 600.0},
        {1000, 600, 339, 339.794}, {1000, 601, 339, 339.794}, // width / 3 is a whole number
        {30, 600, 35, 35.2182518}, {10, 600, -60, -60.20599913},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FreqToPos(c.hz, c.width), c.pos) << c.hz << " Hz";
        EXPECT_NEAR(FreqToPosF(c.hz, c.width), c.posF, 1e-3) << c.hz << " Hz";
    }
    // No frequency has no position; the cast must not be undefined.
    EXPECT_EQ(FreqToPos(0, 600), std::numeric_limits<int>::min());
    EXPECT_EQ(FreqToPos(-5, 600), 0);
}

TEST(DataDefineConversions, PosToFreq) {
    struct Case {
        int x;
        int width;
        int hz;
    };
    const Case cases[] = {
        {0, 600, 20},    {599, 600, 19771}, {600, 600, 20000}, {700, 600, 20000}, {-50, 600, 20},
        {200, 600, 200}, {200, 601, 200},   {100, 600, 63},    {5, 2, 20},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PosToFreq(c.x, c.width), c.hz) << "x " << c.x << " width " << c.width;
}

TEST(DataDefineText, BytesToStringStopsAtZeroAndLeavesTheLastByteOut) {
    BYTE field[16];
    std::memcpy(field, "  Rock Stage   X", 16); // 16th byte not 0
    EXPECT_EQ(BytesToString(field, 16), "Rock Stage");
    EXPECT_EQ(BytesToStringN(field, 16), "Rock Stage   X");
    EXPECT_EQ(BytesToStringN(field, 6), "Rock");

    const BYTE gbk[8] = {0xC4, 0xE3, 0xBA, 0xC3, 0x20, 0, 'z', 'z'}; // "你好 " in GBK
    EXPECT_EQ(BytesToString(gbk, 8), "你好");
    EXPECT_EQ(BytesToString(gbk, 0), "");
}

TEST(DataDefineText, IsBlank) {
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank(" \t\r\n "));
    EXPECT_FALSE(IsBlank(" a "));
    EXPECT_FALSE(IsBlank("提示"));
}

// The fields count GBK bytes: a text refused for its length leaves the field
// untouched and tells the user once, with the caption of the language.
class DataDefineTextStore : public ::testing::Test {
protected:
    void TearDown() override { g_bChinese = m_savedChinese; }

    platform::RecordingMessageBox m_box;
    int m_savedChinese = g_bChinese;
};

TEST_F(DataDefineTextStore, StoresWhenTheEncodedBytesLeaveAZero) {
    struct Case {
        const char* text;
        int size;
        bool stored;
    };
    const Case cases[] = {
        {"ABCDEFGHIJKLMNO", 16, true},   // 15 bytes and the 0
        {"ABCDEFGHIJKLMNOP", 16, false}, // 16 bytes leave no 0
        {"", 16, true},
        {"你好你好你好你", 16, true},    // 7 characters, 14 bytes
        {"你好你好你好你好", 16, false}, // 8 characters fit, 16 bytes do not
        {"\xF0\x9F\x8E\xB5", 16, false}, // no GBK form
    };
    for (const auto& c : cases) {
        for (bool zeroTerminated : {false, true}) {
            std::array<BYTE, 20> field;
            field.fill(0xAA);
            BOOL ok = zeroTerminated ? StringToBytesZ(field.data(), c.size, c.text)
                                     : StringToBytesPad(field.data(), c.text, c.size);
            EXPECT_EQ(ok != FALSE, c.stored) << c.text;
            if (c.stored) {
                auto encoded = platform::Utf8ToGbk(c.text).value();
                EXPECT_EQ(std::memcmp(field.data(), encoded.data(), encoded.size()), 0) << c.text;
                for (int i = static_cast<int>(encoded.size()); i < c.size; ++i)
                    EXPECT_EQ(field[i], 0) << c.text << " byte " << i;
            } else {
                for (int i = 0; i < c.size; ++i)
                    EXPECT_EQ(field[i], 0xAA) << c.text << " byte " << i;
            }
            EXPECT_EQ(field[c.size], 0xAA) << "wrote past the field";
        }
    }
    auto boxes = m_box.Entries();
    ASSERT_EQ(boxes.size(), 6u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.text, "Char len error!");
        EXPECT_EQ(box.type, MB_OK);
        EXPECT_EQ(box.helpId, -3);
    }
}

TEST_F(DataDefineTextStore, RefusalSpeaksChineseWithTheChineseCaption) {
    g_bChinese = 1;
    BYTE field[8] = {};
    EXPECT_FALSE(StringToBytesZ(field, 8, "12345678"));
    auto boxes = m_box.Entries();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "字符长度错误!");
    EXPECT_EQ(boxes[0].helpId, -2);
}

TEST(DataDefinePresetNames, DuplicateSkipsTheOwnSlotAndComparesTheGivenLength) {
    BYTE backup[kPresetCount][kPresetNameSize];
    for (int p = 0; p < kPresetCount; ++p)
        std::memcpy(backup[p], g_PresetImages[p], kPresetNameSize);
    for (int p = 0; p < kPresetCount; ++p)
        std::memset(g_PresetImages[p], 0, kPresetNameSize);
    std::memcpy(g_PresetImages[2], "Stage 1\0\0\0\0\0\0XY", 16);

    BYTE name[16] = {};
    std::memcpy(name, "Stage 1", 7);
    EXPECT_EQ(IsPresetNameDuplicate(0, name, 1, 13), 1);
    EXPECT_EQ(IsPresetNameDuplicate(2, name, 1, 13), 0); // its own slot
    EXPECT_EQ(IsPresetNameDuplicate(0, name, 1, 16), 0); // bytes 14-15 differ
    name[6] = '2';
    EXPECT_EQ(IsPresetNameDuplicate(0, name, 1, 13), 0);

    for (int p = 0; p < kPresetCount; ++p)
        std::memcpy(g_PresetImages[p], backup[p], kPresetNameSize);
}

} // namespace
