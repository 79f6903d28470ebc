#include "model/KTV_OutData.h"
#include "model/DataDefine.h"
#include "model/Filter.h"
#include "platform/sys/RecordingMessageBox.h"
#include "tests/model/ChannelFixture.h"

#include <functional>
#include <string>

namespace {

// An output as the output route sets it up.
void SetUpOutput(CKTV_OutData& out, int index, int speakerType = 0) {
    out.CreateEQ(30, 32, 9, 20, 20000);
    out.SetSpeakerTypeDefaults(speakerType);
    out.SetChannelIndex(index);
}

enum class Block { None, Name, Basic, Crossover, MixA, MixB, Limiter };

// Which block flags are set; the crossover block is pending while either
// crossover filter is changed.
std::vector<Block> PendingBlocks(const CKTV_OutData& out) {
    std::vector<Block> pending;
    if (out.GetNameDirty())
        pending.push_back(Block::Name);
    if (out.GetBasicDirty())
        pending.push_back(Block::Basic);
    if (out.GetHighPass()->IsChanged() || out.GetLowPass()->IsChanged())
        pending.push_back(Block::Crossover);
    if (out.GetMixADirty())
        pending.push_back(Block::MixA);
    if (out.GetMixBDirty())
        pending.push_back(Block::MixB);
    if (out.GetLimiterDirty())
        pending.push_back(Block::Limiter);
    return pending;
}

class KTV_OutDataTest : public ChannelFixture {
protected:
    void SetUp() override {
        ChannelFixture::SetUp();
        SetUpOutput(m_out, 3);
    }

    CKTV_OutData m_out;
};

TEST_F(KTV_OutDataTest, StartsWithTheDefaultsAndNothingPending) {
    EXPECT_EQ(m_out.GetGain(), 600);
    EXPECT_EQ(m_out.GetEnable(), 1);
    EXPECT_EQ(m_out.GetDelay(), 0);
    EXPECT_EQ(m_out.GetLimiterThreshold(), 420);
    EXPECT_EQ(m_out.GetLimiterAttack(), 20);
    EXPECT_EQ(m_out.GetLimiterRelease(), 20);
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(m_out.GetMixLevel(n), 100) << n;
    EXPECT_EQ(m_out.GetLimiterRecord(), (LimiterRecord{100, 100, 20, 0, 20, 0}));
    EXPECT_EQ(m_out.GetHighPassIndex(), 31);
    EXPECT_EQ(m_out.GetLowPassIndex(), 32);
    EXPECT_TRUE(PendingBlocks(m_out).empty());
}

TEST_F(KTV_OutDataTest, ChannelIndexSwitchesOnTheSourceOfTheFirstSixOutputs) {
    struct Case {
        int index;
        int sourceA, sourceAOff, sourceB, sourceBOff;
    };
    for (const Case& c : {Case{0, 1, 0, 50, 1}, Case{1, 50, 1, 1, 0}, Case{4, 1, 0, 50, 1},
                          Case{5, 50, 1, 1, 0}, Case{6, 50, 1, 50, 1}, Case{11, 50, 1, 50, 1}}) {
        CKTV_OutData out;
        SetUpOutput(out, c.index);
        EXPECT_EQ(out.GetSourceA(), c.sourceA) << c.index;
        EXPECT_EQ(out.GetSourceAOff(), c.sourceAOff) << c.index;
        EXPECT_EQ(out.GetSourceB(), c.sourceB) << c.index;
        EXPECT_EQ(out.GetSourceBOff(), c.sourceBOff) << c.index;
    }
}

// Each setter, given a new value while a processor is online, marks exactly
// the block that carries the value.
TEST_F(KTV_OutDataTest, EverySetterMarksTheBlockThatCarriesItsValue) {
    struct Case {
        const char* name;
        std::function<void(CKTV_OutData&)> set;
        std::vector<Block> marks;
    };
    const BYTE crossover[8] = {0xDC, 0x05, 1, 6, 0x20, 0x4E, 1, 6};
    const std::vector<Case> cases = {
        {"SetName", [](auto& o) { o.SetName("Door"); }, {Block::Name}},
        {"SetGain", [](auto& o) { o.SetGain(450); }, {Block::Basic}},
        {"SetDelay", [](auto& o) { o.SetDelay(12); }, {Block::Basic}},
        {"SetEnable", [](auto& o) { o.SetEnable(0); }, {Block::Basic}},
        {"SetPolarity", [](auto& o) { o.SetPolarity(1); }, {Block::Basic}},
        {"SetEqMode", [](auto& o) { o.SetEqMode(1); }, {Block::Basic}},
        {"SetLimiterThreshold", [](auto& o) { o.SetLimiterThreshold(300); }, {Block::Limiter}},
        {"SetLimiterAttack", [](auto& o) { o.SetLimiterAttack(90); }, {Block::Limiter}},
        {"SetLimiterRelease", [](auto& o) { o.SetLimiterRelease(5000); }, {Block::Limiter}},
        {"SetMixLevel1", [](auto& o) { o.SetMixLevel1(7); }, {Block::MixA}},
        {"SetMixLevel8", [](auto& o) { o.SetMixLevel8(7); }, {Block::MixA}},
        {"SetMixLevel9", [](auto& o) { o.SetMixLevel9(7); }, {Block::MixB}},
        {"SetMixLevel16", [](auto& o) { o.SetMixLevel16(7); }, {Block::MixB}},
        {"SetMixLevel17", [](auto& o) { o.SetMixLevel17(7); }, {Block::Limiter}},
        {"SetMixLevel18", [](auto& o) { o.SetMixLevel18(7); }, {Block::Limiter}},
        {"SetSpeakerTypeDefaults", [](auto& o) { o.SetSpeakerTypeDefaults(2); }, {Block::Crossover}},
        {"SetSpeakerTypeCrossover",
         [&](auto& o) { o.SetSpeakerTypeCrossover(5, crossover); },
         {Block::Crossover}},
        {"SetSpeakerType", [](auto& o) { o.SetSpeakerType(13); }, {}},
        {"SetCrossover", [&](auto& o) { o.SetCrossover(crossover); }, {}},
    };
    for (const Case& c : cases) {
        CKTV_OutData out;
        g_bOnline = 0;
        SetUpOutput(out, 3);
        g_bOnline = 1;
        c.set(out);
        EXPECT_EQ(PendingBlocks(out), c.marks) << c.name;
    }
}

TEST_F(KTV_OutDataTest, OfflineEditsStoreTheValueAndLeaveNothingPending) {
    g_bOnline = 1;
    m_out.SetMixLevel3(40);
    m_out.SetLimiterAttack(90);
    ASSERT_EQ(PendingBlocks(m_out), (std::vector<Block>{Block::MixA, Block::Limiter}));

    // The same value again changes no flag, even offline.
    g_bOnline = 0;
    m_out.SetMixLevel3(40);
    m_out.SetLimiterAttack(90);
    EXPECT_EQ(PendingBlocks(m_out), (std::vector<Block>{Block::MixA, Block::Limiter}));

    // A new value offline is stored and drops the flag still pending.
    m_out.SetMixLevel3(41);
    m_out.SetLimiterAttack(91);
    m_out.SetGain(300);
    EXPECT_EQ(m_out.GetMixLevel(3), 41);
    EXPECT_EQ(m_out.GetLimiterAttack(), 91);
    EXPECT_EQ(m_out.GetGain(), 300);
    EXPECT_TRUE(PendingBlocks(m_out).empty());
}

TEST_F(KTV_OutDataTest, GainZeroMutesAndAnyOtherGainUnmutes) {
    m_out.SetGain(0);
    EXPECT_TRUE(m_out.IsMuted());
    EXPECT_EQ(m_out.GetGain(), 0);
    m_out.SetGain(600);
    EXPECT_FALSE(m_out.IsMuted());
    EXPECT_EQ(m_out.GetGain(), 600);
}

TEST_F(KTV_OutDataTest, DefaultCrossoverOfEverySpeakerType) {
    struct Row {
        std::vector<int> types;
        int highHz, highSlope, lowHz, lowSlope, dragMode;
    };
    const std::vector<Row> rows = {
        {{1, 7, 13, 16, 19}, 4000, 3, 20000, 8, 11},
        {{2, 8}, 500, 3, 4000, 3, 12},
        {{3, 9, 14, 17, 20}, 80, 3, 500, 3, 12},
        {{4, 10}, 500, 3, 20000, 8, 12},
        {{5, 11}, 80, 3, 4000, 3, 12},
        {{22, 23, 24}, 20, 3, 70, 3, 12},
        {{0, 6, 12, 15, 18, 21}, 20, 3, 20000, 8, 12},
    };
    int covered = 0;
    for (const Row& row : rows) {
        for (int type : row.types) {
            ++covered;
            CKTV_OutData out;
            SetUpOutput(out, 0);
            // Start from a crossover no default has, so every field must be written.
            const BYTE odd[8] = {0x39, 0x30, 2, 1, 0x39, 0x30, 2, 1};
            out.SetCrossover(odd);
            g_bOnline = 1;
            out.SetSpeakerTypeDefaults(type);
            g_bOnline = 0;
            const CFilter* high = out.GetHighPass();
            const CFilter* low = out.GetLowPass();
            EXPECT_EQ(out.GetSpeakerType(), type);
            EXPECT_EQ(high->GetFreq(), row.highHz) << type;
            EXPECT_EQ(high->GetFamily(), 0) << type;
            EXPECT_EQ(high->GetSlope(), row.highSlope) << type;
            EXPECT_EQ(low->GetFreq(), row.lowHz) << type;
            EXPECT_EQ(low->GetFamily(), 0) << type;
            EXPECT_EQ(low->GetSlope(), row.lowSlope) << type;
            EXPECT_EQ(high->GetDragMode(), row.dragMode) << type;
            // Both filters are marked: block 32 is pending, block 31 is not.
            EXPECT_TRUE(high->IsChanged()) << type;
            EXPECT_TRUE(low->IsChanged()) << type;
            EXPECT_FALSE(out.GetBasicDirty()) << type;
        }
    }
    EXPECT_EQ(covered, 25);
}

TEST_F(KTV_OutDataTest, SpeakerTypeAloneOnlyChoosesTheDragMode) {
    SetUpOutput(m_out, 3, 2);
    const CrossoverRecord before = m_out.GetCrossover();
    g_bOnline = 1;
    m_out.SetSpeakerType(13);
    EXPECT_EQ(m_out.GetSpeakerType(), 13);
    EXPECT_EQ(m_out.GetHighPass()->GetDragMode(), 11);
    EXPECT_EQ(m_out.GetCrossover(), before);
    EXPECT_TRUE(PendingBlocks(m_out).empty());
    m_out.SetSpeakerType(3);
    EXPECT_EQ(m_out.GetHighPass()->GetDragMode(), 12);
}

TEST_F(KTV_OutDataTest, SpeakerTypeCrossoverKeepsTheDragMode) {
    SetUpOutput(m_out, 3, 1);                                    // tweeter: drag mode 11
    const BYTE record[8] = {0x90, 0x01, 2, 4, 0x10, 0x27, 1, 5}; // 400 Hz Bessel 4; 10000 Hz Butterworth 5
    m_out.SetSpeakerTypeCrossover(9, record);
    EXPECT_EQ(m_out.GetSpeakerType(), 9);
    EXPECT_EQ(m_out.GetHighPass()->GetDragMode(), 11);
    EXPECT_EQ(m_out.GetCrossover(), CrossoverRecord({0x90, 0x01, 2, 4, 0x10, 0x27, 1, 5}));
}

TEST_F(KTV_OutDataTest, LoadedCrossoverIsNotPending) {
    g_bOnline = 1;
    const BYTE record[8] = {0xDC, 0x05, 1, 6, 0x20, 0x4E, 1, 6};
    m_out.SetCrossover(record);
    EXPECT_EQ(m_out.GetHighPass()->GetSentFreq(), 1500);
    EXPECT_EQ(m_out.GetLowPass()->GetSentFreq(), 20000);
    EXPECT_FALSE(m_out.TakeCrossoverChanged());
}

TEST_F(KTV_OutDataTest, EqModeGoesToTheLinkGroupOnly) {
    CKTV_OutData outs[3];
    for (int i = 0; i < 3; ++i) {
        SetUpOutput(outs[i], i);
        g_OutLinkTable[13 + i] = reinterpret_cast<std::intptr_t>(&outs[i]);
    }
    g_OutLinkTable[1] = 5;
    g_OutLinkTable[2] = 0;
    g_OutLinkTable[3] = 5;
    outs[0].SetPolarity(0);
    outs[2].SetGain(0);
    outs[2].SetDelay(77);
    outs[2].SetPolarity(1);
    outs[2].SetEnable(0);

    g_bOnline = 1;
    outs[2].SetEqMode(1);

    EXPECT_EQ(outs[0].GetEqMode(), 1);
    EXPECT_EQ(outs[0].GetGain(), 0);
    EXPECT_TRUE(outs[0].IsMuted());
    EXPECT_EQ(outs[0].GetDelay(), 77);
    EXPECT_EQ(outs[0].GetPolarity(), 0); // on/off, polarity and speaker type stay
    EXPECT_EQ(outs[0].GetEnable(), 1);
    EXPECT_TRUE(outs[0].GetBasicDirty());
    EXPECT_EQ(outs[0].GetBand(0)->GetGainOnlyLabel(), 1);
    EXPECT_EQ(outs[1].GetEqMode(), 0);
    EXPECT_FALSE(outs[1].GetBasicDirty());
    EXPECT_EQ(outs[2].GetBand(30)->GetGainOnlyLabel(), 1);
    EXPECT_TRUE(outs[2].GetBasicDirty());

    // Without a tag of its own nothing else changes.
    g_OutLinkTable[3] = 0;
    outs[0].SetBasicDirty(0);
    outs[2].SetEqMode(0);
    EXPECT_EQ(outs[0].GetEqMode(), 1);
    EXPECT_FALSE(outs[0].GetBasicDirty());
}

TEST_F(KTV_OutDataTest, BypassingAllBandsIncludesTheCrossoverFilters) {
    m_out.GetBand(4)->SetGainIndex(230);
    m_out.GetHighPass()->SetGainIndex(230);
    EXPECT_EQ(m_out.IsAllBypassed(), 0);
    m_out.BypassAllBands(1);
    EXPECT_EQ(m_out.IsAllBypassed(), 1);
    m_out.BypassAllBands(0);
    EXPECT_EQ(m_out.IsAllBypassed(), 0);
}

TEST_F(KTV_OutDataTest, DiscardingChangesKeepsAPendingName) {
    g_bOnline = 1;
    m_out.SetName("Door");
    m_out.SetGain(1);
    m_out.SetMixLevel1(1);
    m_out.SetMixLevel9(1);
    m_out.SetMixLevel17(1);
    m_out.SetSpeakerTypeDefaults(2);
    m_out.SetAllDirty(0);
    // The crossover still glides (20 -> 500 Hz and 20000 -> 4000 Hz), so
    // block 32 stays pending, one octave step further on.
    EXPECT_EQ(PendingBlocks(m_out), (std::vector<Block>{Block::Name, Block::Crossover}));
    EXPECT_EQ(m_out.GetHighPass()->GetSentFreq(), 40);
    EXPECT_EQ(m_out.GetLowPass()->GetSentFreq(), 10000);
    EXPECT_EQ(m_out.GetSourceDirty(), 0);
}

TEST_F(KTV_OutDataTest, CopiedEqualiserKeepsTheOwnCrossover) {
    CKTV_OutData source;
    SetUpOutput(source, 0, 3);
    source.GetBand(7)->SetGainIndex(260);
    m_out.CopyEQFrom(source);
    EXPECT_EQ(m_out.GetBand(7)->GetGainIndex(), 260);
    EXPECT_EQ(m_out.GetHighPass()->GetFreq(), 20);
}

// A name must fit the 8-byte field with its terminating 0: at most 7 GBK bytes.
TEST_F(KTV_OutDataTest, NameThatDoesNotFitIsRefusedByTheSetter) {
    struct Case {
        std::string name;
        bool fits;
    };
    const std::vector<Case> cases = {
        {"1234567", true},           {"12345678", false}, {"左前高", true}, // 6 GBK bytes
        {"左前高频", false},         // 8 GBK bytes, though only 4 characters
        {"\xF0\x9F\x8E\xB5", false}, // no GBK form at all
    };
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        for (const Case& c : cases) {
            CKTV_OutData out;
            SetUpOutput(out, 0);
            out.SetName("FL");
            g_bOnline = 1;
            platform::RecordingMessageBox boxes;
            EXPECT_EQ(out.SetName(c.name), c.fits ? TRUE : FALSE) << c.name;
            EXPECT_EQ(out.GetName(), c.fits ? c.name : std::string("FL")) << c.name;
            EXPECT_EQ(out.GetNameDirty(), c.fits ? 1 : 0) << c.name;
            const auto shown = boxes.Entries();
            if (c.fits) {
                EXPECT_TRUE(shown.empty()) << c.name;
            } else {
                ASSERT_EQ(shown.size(), 1u) << c.name;
                EXPECT_EQ(shown[0].text, chinese ? "字符长度错误!" : "Char len error!");
                EXPECT_EQ(shown[0].helpId, chinese ? -2 : -3);
            }
            g_bOnline = 0;
        }
    }
}

// The curve is the equaliser's summed response in graph pixels: a flat set
// with both crossovers off lies on the 0 dB row; the output's gain does not
// move it.
TEST_F(KTV_OutDataTest, CurveFollowsTheEqualiserNotTheGain) {
    const CRect graph(0, 0, 600, 240);
    m_out.SetCurveRect(graph);
    const int zeroRow = GainToPos(0, 240) + 10;
    EXPECT_EQ(m_out.GetCurveYOffset(), zeroRow);
    for (int i = 0; i < kFreqSteps; ++i) {
        EXPECT_EQ(m_out.GetCurvePoints()[i].x, FreqToPos(g_FreqTable[i + 1], 600) + 40) << i;
        EXPECT_EQ(m_out.GetCurvePoints()[i].y, 120) << i;
        EXPECT_FLOAT_EQ(m_out.GetCurvePointsF()[i].x,
                        static_cast<float>(FreqToPosF(g_FreqTable[i + 1], 600) + 40));
        EXPECT_FLOAT_EQ(m_out.GetCurvePointsF()[i].y, static_cast<float>(zeroRow)) << i;
    }

    m_out.GetBand(17)->SetGainIndex(320); // +12 dB at 1 kHz
    m_out.SetGain(100);
    m_out.UpdateCurve();
    const int at1k = FreqToIndex(1000);
    EXPECT_LT(m_out.GetCurvePointsF()[at1k].y, zeroRow - 50);
    EXPECT_NEAR(m_out.GetCurvePointsF()[0].y, zeroRow, 1.0);
}

} // namespace
