#include "model/DataDefine.h"
#include "model/Filter.h"
#include "model/MIC_InData.h"
#include "model/Music_InData.h"
#include "platform/sys/RecordingMessageBox.h"
#include "tests/model/ChannelFixture.h"

#include <array>
#include <cstring>
#include <functional>

namespace {

constexpr BYTE kUntouched = 0xEE;

void Put16(BYTE* at, int value) {
    at[0] = static_cast<BYTE>(value & 0xFF);
    at[1] = static_cast<BYTE>((value >> 8) & 0xFF);
}

// Bands with values the filters keep as they are (codes 400..800).
void PutBands(BYTE* record, int count) {
    for (int k = 0; k < count; ++k) {
        BYTE* band = record + k * 8;
        Put16(band, 25 + 600 * k);
        Put16(band + 2, 420 + (k * 29) % 380);
        Put16(band + 4, (k * 23) % 296);
        band[6] = static_cast<BYTE>(k % 2);
        band[7] = static_cast<BYTE>(k % 3);
    }
}

// Every image byte outside the listed record ranges still holds the fill byte.
void ExpectOnlyWritten(int recordOffset, std::vector<std::pair<int, int>> ranges) {
    for (int i = 0; i < kDeviceImageSize; ++i) {
        const int r = i - recordOffset;
        bool inside = false;
        for (auto [from, to] : ranges)
            inside = inside || (r >= from && r < to);
        if (!inside && g_DeviceImage[i] != kUntouched) {
            ADD_FAILURE() << "image byte " << i << " (record byte " << r << ") was written";
            return;
        }
    }
}

// ---- Music inputs ---------------------------------------------------------------------

std::array<BYTE, kMusicRecordSize> MusicRecord() {
    std::array<BYTE, kMusicRecordSize> r{};
    PutBands(r.data(), 31);
    r[249] = 1;                                                     // polarity
    r[250] = 0;                                                     // parametric
    r[251] = 1;                                                     // on
    Put16(&r[252], 200);                                            // delay
    Put16(&r[254], 0xFFFF);                                         // gain -1, moved as it is
    const BYTE crossover[8] = {0x64, 0x00, 2, 3, 0x40, 0x1F, 1, 8}; // 100 Hz; 8000 Hz
    std::memcpy(&r[256], crossover, 8);
    r[264] = 55; // threshold
    Put16(&r[272], 0x1234);
    r[274] = 9;
    r[275] = 250;
    std::memcpy(&r[280], "Other\0\0", 8); // not read: the input keeps its own name
    return r;
}

class MusicInputTest : public ChannelFixture {
protected:
    void SetUp() override {
        ChannelFixture::SetUp();
        m_in.SetName("Music 1");
        m_in.SetGain(450);
        m_in.SetChannel(2);
        m_in.InitEQ(30, 32, 20000);
        FillImage(kUntouched);
    }

    static BYTE* LiveRecord() { return g_DeviceImage + MusicRecordOffset(2); }

    CMusic_InData m_in;
};

TEST_F(MusicInputTest, LoadThenPackAllGivesTheSameBytesExceptTheName) {
    const auto record = MusicRecord();
    m_in.LoadFromDevice(record.data());
    EXPECT_EQ(m_in.GetGain(), -1);
    m_in.PackAll();
    for (auto [from, to] : {std::pair{0, 248}, std::pair{249, 265}, std::pair{272, 276}})
        EXPECT_EQ(ImageBytes(MusicRecordOffset(2) + from, to - from),
                  std::vector<BYTE>(record.begin() + from, record.begin() + to))
            << from;
    EXPECT_EQ(std::memcmp(LiveRecord() + 280, "Music 1\0", 8), 0);
    ExpectOnlyWritten(MusicRecordOffset(2), {{0, 248}, {249, 265}, {272, 276}, {280, 288}});
}

TEST_F(MusicInputTest, LoadKeepsModeFlagsAndMute) {
    g_bOnline = 1;
    auto record = MusicRecord();
    record[250] = 1;
    m_in.LoadFromDevice(record.data());
    EXPECT_EQ(m_in.GetEQSwitch(), 1);
    EXPECT_EQ(m_in.GetBand(30)->GetGainOnlyLabel(), 1);
    EXPECT_EQ(m_in.GetHPF()->GetSentFreq(), 100);
    EXPECT_EQ(m_in.GetLPF()->GetFreq(), 8000);
    EXPECT_FALSE(m_in.GetMainPending() || m_in.GetThresholdPending() || m_in.GetNamePending() ||
                 m_in.GetGroupBPending());
    for (int i = 0; i < 33; ++i)
        EXPECT_FALSE(m_in.GetBand(i)->IsChanged()) << i;
    // A gain of 0 read from a record does not mute: only an archive does.
    Put16(&record[254], 0);
    m_in.LoadFromDevice(record.data());
    EXPECT_FALSE(m_in.IsMuted());
}

TEST_F(MusicInputTest, SettersMarkTheirBlockOnlyWhileOnline) {
    struct Case {
        const char* name;
        std::function<void(CMusic_InData&)> set;
        std::function<int(const CMusic_InData&)> flag;
    };
    const Case cases[] = {
        {"SetGain", [](auto& m) { m.SetGain(300); }, [](auto& m) { return m.GetMainPending(); }},
        {"SetOnOff", [](auto& m) { m.SetOnOff(0); }, [](auto& m) { return m.GetMainPending(); }},
        {"SetEQSwitch", [](auto& m) { m.SetEQSwitch(0); }, [](auto& m) { return m.GetMainPending(); }},
        {"SetThreshold", [](auto& m) { m.SetThreshold(3); }, [](auto& m) { return m.GetThresholdPending(); }},
        {"SetName", [](auto& m) { m.SetName("Aux"); }, [](auto& m) { return m.GetNamePending(); }},
    };
    for (const Case& c : cases) {
        for (int online : {0, 1}) {
            CMusic_InData in;
            in.InitEQ(30, 32, 20000);
            g_bOnline = online;
            c.set(in);
            EXPECT_EQ(c.flag(in), online) << c.name;
            const int others = in.GetMainPending() + in.GetThresholdPending() + in.GetNamePending();
            EXPECT_EQ(others, online) << c.name;
        }
    }
}

TEST_F(MusicInputTest, EqSwitchLeavesTheCrossoverFiltersAlone) {
    m_in.SetEQSwitch(0);
    for (int k = 0; k < 31; ++k)
        EXPECT_EQ(m_in.GetBand(k)->GetGainOnlyLabel(), 0) << k;
    m_in.SetEQSwitch(1);
    EXPECT_EQ(m_in.GetBand(0)->GetGainOnlyLabel(), 1);
    EXPECT_EQ(m_in.GetHPF()->GetGainOnlyLabel(), 0);
    EXPECT_EQ(m_in.GetLPF()->GetGainOnlyLabel(), 0);
}

TEST_F(MusicInputTest, BlockSendersWriteTheirBytesAndBuildTheirFrames) {
    m_in.LoadFromDevice(MusicRecord().data());
    m_in.SetGain(0x0321);
    m_in.SetThreshold(77);

    EXPECT_EQ(m_in.SendMain(false), nullptr);
    ExpectOnlyWritten(MusicRecordOffset(2), {{249, 256}});
    const auto main = m_in.SendMain(true);
    ExpectBlockFrame(main.get(), DATA_MUSIC_INPUT, 2, 31, LiveRecord() + 248);
    EXPECT_EQ(LiveRecord()[254], 0x21);
    EXPECT_EQ(LiveRecord()[255], 0x03);

    FillImage(kUntouched);
    const auto threshold = m_in.SendThreshold(true);
    ExpectOnlyWritten(MusicRecordOffset(2), {{264, 265}});
    EXPECT_EQ(LiveRecord()[264], 77);
    ExpectBlockFrame(threshold.get(), DATA_MUSIC_INPUT, 2, 33, LiveRecord() + 264);

    FillImage(kUntouched);
    const auto band = m_in.SendBand(4, 4);
    ExpectOnlyWritten(MusicRecordOffset(2), {{32, 40}});
    ExpectBlockFrame(band.get(), DATA_MUSIC_INPUT, 2, 4, LiveRecord() + 32);
}

TEST_F(MusicInputTest, NameThatDoesNotFitLeavesTheNameBlockAndPacksTheRest) {
    g_bChinese = 1;
    m_in.SetName("Music 12");
    platform::RecordingMessageBox boxes;
    m_in.PackAll();
    ASSERT_EQ(boxes.Entries().size(), 1u);
    EXPECT_EQ(boxes.Entries()[0].text, "字符长度错误!");
    EXPECT_EQ(boxes.Entries()[0].helpId, -2);
    ExpectOnlyWritten(MusicRecordOffset(2), {{0, 248}, {249, 265}, {272, 276}});
}

TEST_F(MusicInputTest, AllBandsSwitchAndStateLeaveTheCrossoverOut) {
    m_in.GetHPF()->SetGainIndex(260); // a crossover never counts
    EXPECT_EQ(m_in.UpdateAllBandsState(), 1);
    m_in.GetBand(9)->SetGainIndex(260);
    EXPECT_EQ(m_in.UpdateAllBandsState(), 0);
    m_in.SetAllBandsSwitch(1);
    EXPECT_EQ(m_in.UpdateAllBandsState(), 1);
    EXPECT_FALSE(m_in.GetHPF()->IsBypassed());
    m_in.SetAllBandsSwitch(0);
    EXPECT_EQ(m_in.UpdateAllBandsState(), 0);
}

TEST_F(MusicInputTest, DiscardingChangesKeepsAGlidingBandPending) {
    g_bOnline = 1;
    m_in.SetGain(10);
    m_in.SetThreshold(10);
    m_in.GetBand(0)->SetFreq(640, 1); // from 20 Hz: several octaves
    m_in.GetBand(1)->SetGainIndex(230);
    m_in.SetAllPending(0);
    EXPECT_FALSE(m_in.GetMainPending() || m_in.GetThresholdPending());
    EXPECT_TRUE(m_in.GetBand(0)->IsChanged());
    EXPECT_EQ(m_in.GetBand(0)->GetSentFreq(), 40);
    EXPECT_FALSE(m_in.GetBand(1)->IsChanged());
}

// ---- Microphone ------------------------------------------------------------------------

std::array<BYTE, kMicRecordSize> MicRecord() {
    std::array<BYTE, kMicRecordSize> r{};
    PutBands(r.data(), 9);
    const BYTE main[8] = {3,    1,    0,    1,
                          0x10, 0x00, 0x90, 0x01}; // level 3, inverted, mode 0, on, delay 16, gain 400
    std::memcpy(&r[72], main, 8);
    const BYTE crossover[8] = {0x50, 0x00, 2, 0, 0x10, 0x27, 2, 0}; // 80 Hz; 10000 Hz
    std::memcpy(&r[80], crossover, 8);
    r[88] = 60;
    Put16(&r[96], 0x0203);
    r[98] = 4;
    r[99] = 5;
    std::memcpy(&r[104], "Mic%d\0\0", 8);
    return r;
}

class MicInputTest : public ChannelFixture {
protected:
    void SetUp() override {
        ChannelFixture::SetUp();
        m_mic.SetName("Mic 1");
        m_mic.SetChannel(0);
        m_mic.InitEQ(8, 10, 20000);
        FillImage(kUntouched);
    }

    static BYTE* LiveRecord() { return g_DeviceImage + kMicRecordOffset; }

    CMIC_InData m_mic;
};

TEST_F(MicInputTest, LoadThenPackAllGivesTheSameBytes) {
    const auto record = MicRecord();
    m_mic.LoadFromDevice(record.data());
    EXPECT_EQ(m_mic.GetName(), "Mic%d");
    m_mic.PackAll();
    for (auto [from, to] : {std::pair{0, 89}, std::pair{96, 100}, std::pair{104, 112}})
        EXPECT_EQ(ImageBytes(kMicRecordOffset + from, to - from),
                  std::vector<BYTE>(record.begin() + from, record.begin() + to))
            << from;
    ExpectOnlyWritten(kMicRecordOffset, {{0, 89}, {96, 100}, {104, 112}});
}

TEST_F(MicInputTest, GainZeroMutesAndPacksZero) {
    auto record = MicRecord();
    Put16(&record[78], 0);
    m_mic.LoadFromDevice(record.data());
    EXPECT_TRUE(m_mic.IsMuted());
    EXPECT_EQ(m_mic.GetEffectiveGain(), 0);
    m_mic.PackMain();
    EXPECT_EQ(LiveRecord()[78], 0);
    EXPECT_EQ(LiveRecord()[79], 0);
}

TEST_F(MicInputTest, EqModeIsCarriedWithoutSwitchingTheBands) {
    auto record = MicRecord();
    record[74] = 0;
    m_mic.LoadFromDevice(record.data());
    EXPECT_EQ(m_mic.GetEQMode(), 0);
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(m_mic.GetBand(k)->GetGainOnlyLabel(), 0) << k;
    record[74] = 5;
    m_mic.LoadFromDevice(record.data());
    EXPECT_EQ(m_mic.GetBand(4)->GetGainOnlyLabel(), 0);
}

// A name that fills all 8 bytes loads as 8 characters but cannot be packed:
// the message is shown, the name bytes stay, the other blocks are packed.
TEST_F(MicInputTest, FullNameFieldLoadsButIsNotPacked) {
    auto record = MicRecord();
    std::memcpy(&record[104], "Mic12345", 8);
    m_mic.LoadFromDevice(record.data());
    EXPECT_EQ(m_mic.GetName(), "Mic12345");
    platform::RecordingMessageBox boxes;
    m_mic.PackAll();
    ASSERT_EQ(boxes.Entries().size(), 1u);
    EXPECT_EQ(boxes.Entries()[0].text, "Char len error!");
    EXPECT_EQ(boxes.Entries()[0].helpId, -3);
    ExpectOnlyWritten(kMicRecordOffset, {{0, 89}, {96, 100}});
}

TEST_F(MicInputTest, NameKeepsAtMostEightBytesOfWholeCharacters) {
    m_mic.SetName("Microphone");
    EXPECT_EQ(m_mic.GetName(), "Micropho");
    m_mic.SetName("话筒话筒话"); // 10 GBK bytes: four characters fit
    EXPECT_EQ(m_mic.GetName(), "话筒话筒");
}

TEST_F(MicInputTest, DisplayTexts) {
    auto record = MicRecord();
    m_mic.LoadFromDevice(record.data());
    EXPECT_EQ(m_mic.FormatLevel(), " 3Level");
    EXPECT_EQ(m_mic.FormatGain(), "320dB");
    EXPECT_EQ(m_mic.FormatOnOff(), "On");
    EXPECT_EQ(m_mic.FormatThreshold(), "-60.0dBu");
    g_bChinese = 1;
    EXPECT_EQ(m_mic.FormatLevel(), " 3级");
    record[72] = 0;
    record[88] = 0;
    m_mic.LoadFromDevice(record.data());
    EXPECT_EQ(m_mic.FormatLevel(), " 关 ");
    EXPECT_EQ(m_mic.FormatThreshold(), "OFF");
}

} // namespace
