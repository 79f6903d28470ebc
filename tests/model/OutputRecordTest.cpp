#include "model/DataDefine.h"
#include "model/Filter.h"
#include "model/KTV_OutData.h"
#include "platform/sys/RecordingMessageBox.h"
#include "tests/model/ChannelFixture.h"

#include <array>
#include <cstring>

namespace {

using Record = std::array<BYTE, kOutputRecordSize>;

constexpr int kChannel = 3;
constexpr BYTE kUntouched = 0xEE;

void Put16(BYTE* at, int value) {
    at[0] = static_cast<BYTE>(value & 0xFF);
    at[1] = static_cast<BYTE>((value >> 8) & 0xFF);
}

// A record whose every field holds a value the object keeps as it is: band
// gain codes 400..800, bandwidth indexes within 0..295, frequencies of the
// processor's range, and a name that needs no trimming.
Record SampleRecord() {
    Record r{};
    for (int k = 0; k < 31; ++k) {
        BYTE* band = &r[k * 8];
        Put16(band, g_OutBandTable[k] + k);
        Put16(band + 2, 400 + (k * 37) % 401);
        Put16(band + 4, (k * 19) % 296);
        band[6] = static_cast<BYTE>(k % 2);
        band[7] = static_cast<BYTE>(k % 3);
    }
    const BYTE rest[] = {
        1,    1,    0xC2, 0x01,
        0x23, 0x01, 1,    7, // 31: on, inverted, gain 450, delay 291, graphic, type 7
        0xDC, 0x05, 1,    6,
        0x50, 0x46, 2,    8, // 32: 1500 Hz Butterworth 6; 18000 Hz Bessel off
        1,    2,    3,    4,
        5,    6,    7,    8, // 33: mix levels 1..8
        9,    10,   11,   12,
        13,   14,   15,   100, // 34: mix levels 9..16
        164,  1,    0xB4, 0x00,
        0x0C, 0x4E, 0x5A, 0x03, // 35: 17, 18, attack 180, release 19980, reserved, tag
        'A',  'B',  0,    0,
        0,    0,    0,    0, // 36: name
    };
    std::memcpy(&r[31 * 8], rest, sizeof rest);
    return r;
}

class OutputRecordTest : public ChannelFixture {
protected:
    void SetUp() override {
        ChannelFixture::SetUp();
        m_out.CreateEQ(30, 32, 9, 20, 20000);
        m_out.SetSpeakerTypeDefaults(0);
        m_out.SetChannelIndex(kChannel);
        FillImage(kUntouched);
    }

    static BYTE* LiveRecord() { return g_DeviceImage + OutputRecordOffset(kChannel); }

    // Every image byte outside [from, to) of the output's record still holds
    // the fill byte.
    static void ExpectOnlyRecordBytesWritten(int from, int to) {
        const int begin = OutputRecordOffset(kChannel);
        for (int i = 0; i < kDeviceImageSize; ++i) {
            if (i >= begin + from && i < begin + to)
                continue;
            if (g_DeviceImage[i] != kUntouched) {
                ADD_FAILURE() << "image byte " << i << " (record byte " << i - begin << ") was written";
                return;
            }
        }
    }

    CKTV_OutData m_out;
};

TEST_F(OutputRecordTest, LoadThenPackAllGivesTheSameBytesAndLeavesTheRestAlone) {
    const Record record = SampleRecord();
    m_out.LoadFromRecord(record.data());
    m_out.PackAll();
    EXPECT_EQ(ImageBytes(OutputRecordOffset(kChannel), 286),
              std::vector<BYTE>(record.begin(), record.begin() + 286));
    // The reserved byte, the link tag and the name block are never packed here.
    ExpectOnlyRecordBytesWritten(0, 286);

    m_out.SendName();
    EXPECT_EQ(ImageBytes(OutputRecordOffset(kChannel) + 288, 8),
              std::vector<BYTE>(record.begin() + 288, record.end()));
    ExpectOnlyRecordBytesWritten(0, 296);
    EXPECT_EQ(LiveRecord()[286], kUntouched);
    EXPECT_EQ(LiveRecord()[287], kUntouched);
}

TEST_F(OutputRecordTest, LoadFillsTheObjectWithoutMarkingAnything) {
    g_bOnline = 1;
    const Record record = SampleRecord();
    m_out.LoadFromRecord(record.data());
    EXPECT_EQ(m_out.GetName(), "AB");
    EXPECT_EQ(m_out.GetEnable(), 1);
    EXPECT_EQ(m_out.GetPolarity(), 1);
    EXPECT_EQ(m_out.GetGain(), 450);
    EXPECT_EQ(m_out.GetDelay(), 291);
    EXPECT_EQ(m_out.GetEqMode(), 1);
    EXPECT_EQ(m_out.GetBand(12)->GetGainOnlyLabel(), 1);
    EXPECT_EQ(m_out.GetSpeakerType(), 7);
    EXPECT_EQ(m_out.GetMixLevel(1), 1);
    EXPECT_EQ(m_out.GetMixLevel(16), 100);
    EXPECT_EQ(m_out.GetLimiterAttack(), 180);
    EXPECT_EQ(m_out.GetLimiterRelease(), 19980);
    EXPECT_EQ(m_out.GetHighPass()->GetFreq(), 1500);
    EXPECT_EQ(m_out.GetLowPass()->GetSentFreq(), 18000);
    EXPECT_FALSE(m_out.GetNameDirty() || m_out.GetBasicDirty() || m_out.GetMixADirty() ||
                 m_out.GetMixBDirty() || m_out.GetLimiterDirty());
    EXPECT_FALSE(m_out.TakeCrossoverChanged());
    for (int k = 0; k < 31; ++k)
        EXPECT_FALSE(m_out.GetBand(k)->IsChanged()) << k;
}

TEST_F(OutputRecordTest, DefaultRecordsSurviveLoadAndPack) {
    for (int i = 0; i < kOutputCount; ++i) {
        FillImage(kUntouched);
        const auto& record = g_DefaultOutputRecords[i];
        m_out.LoadFromRecord(record.data());
        m_out.PackAll();
        EXPECT_EQ(ImageBytes(OutputRecordOffset(kChannel), 286),
                  std::vector<BYTE>(record.begin(), record.begin() + 286))
            << "record " << i;
    }
}

// The cases where load then pack does not give the bytes back, by design.
TEST_F(OutputRecordTest, GainCodeBelow400DoesNotComeBack) {
    Record record = SampleRecord();
    Put16(&record[5 * 8 + 2], 390);
    m_out.LoadFromRecord(record.data());
    m_out.PackAll();
    const BYTE* band = LiveRecord() + 5 * 8;
    EXPECT_NE(band[2] | (band[3] << 8), 390);
    EXPECT_EQ(std::vector<BYTE>(band + 4, band + 8), std::vector<BYTE>(&record[5 * 8 + 4], &record[6 * 8]));
}

TEST_F(OutputRecordTest, NameIsTrimmedOnLoadAndRewrittenFromTheObject) {
    struct Case {
        std::array<BYTE, 8> field;
        const char* name;
        std::array<BYTE, 8> packed;
    };
    const Case cases[] = {
        {{'F', 'L', 0, 0, 0, 0, 0, 0}, "FL", {'F', 'L', 0, 0, 0, 0, 0, 0}},
        {{' ', 'F', 'L', ' ', ' ', 0, 0, 0}, "FL", {'F', 'L', 0, 0, 0, 0, 0, 0}},
        {{' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}, "", {0, 0, 0, 0, 0, 0, 0, 0}},
        {{'A', 0, 'B', 'C', 0, 0, 0, 0}, "A", {'A', 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Record record = SampleRecord();
        std::memcpy(&record[288], c.field.data(), 8);
        m_out.LoadFromRecord(record.data());
        EXPECT_EQ(m_out.GetName(), c.name);
        m_out.SendName();
        EXPECT_EQ(ImageBytes(OutputRecordOffset(kChannel) + 288, 8),
                  std::vector<BYTE>(c.packed.begin(), c.packed.end()))
            << c.name;
    }
}

TEST_F(OutputRecordTest, MutedOutputPacksGainZero) {
    Record record = SampleRecord();
    Put16(&record[250], 0);
    m_out.LoadFromRecord(record.data());
    EXPECT_TRUE(m_out.IsMuted());
    m_out.PackBasic(0);
    EXPECT_EQ(LiveRecord()[250], 0);
    EXPECT_EQ(LiveRecord()[251], 0);

    Put16(&record[250], 1);
    m_out.LoadFromRecord(record.data());
    EXPECT_FALSE(m_out.IsMuted());
}

// Each packer writes exactly its own block and, when asked, returns the write
// frame of that block carrying the packed bytes.
TEST_F(OutputRecordTest, EachPackerWritesItsBlockAndBuildsItsFrame) {
    struct Case {
        const char* name;
        std::unique_ptr<CSendData> (*pack)(CKTV_OutData&, int);
        int block;
        int from, to; // record bytes written
    };
    const Case cases[] = {
        {"PackBasic", [](CKTV_OutData& o, int s) { return o.PackBasic(s); }, 31, 248, 256},
        {"PackCrossover", [](CKTV_OutData& o, int s) { return o.PackCrossover(s); }, 32, 256, 264},
        {"PackMixA", [](CKTV_OutData& o, int s) { return o.PackMixA(s); }, 33, 264, 272},
        {"PackMixB", [](CKTV_OutData& o, int s) { return o.PackMixB(s); }, 34, 272, 280},
        {"PackLimiter", [](CKTV_OutData& o, int s) { return o.PackLimiter(s); }, 35, 280, 286},
    };
    const Record record = SampleRecord();
    m_out.LoadFromRecord(record.data());
    for (const Case& c : cases) {
        FillImage(kUntouched);
        EXPECT_EQ(c.pack(m_out, 0), nullptr) << c.name;
        ExpectOnlyRecordBytesWritten(c.from, c.to);
        EXPECT_EQ(ImageBytes(OutputRecordOffset(kChannel) + c.from, c.to - c.from),
                  std::vector<BYTE>(record.begin() + c.from, record.begin() + c.to))
            << c.name;
        const auto frame = c.pack(m_out, 1);
        ExpectBlockFrame(frame.get(), DATA_OUTPUT, kChannel, c.block, LiveRecord() + c.block * 8);
    }
}

TEST_F(OutputRecordTest, LimiterBlockKeepsTheLinkTagTheStripsWrote) {
    LiveRecord()[286] = 0;
    LiveRecord()[287] = 0x06;
    m_out.SetLimiterAttack(100);
    const auto frame = m_out.PackLimiter(1);
    EXPECT_EQ(LiveRecord()[287], 0x06);
    const BYTE expected[8] = {100, 100, 100, 0, 20, 0, 0, 0x06};
    ExpectBlockFrame(frame.get(), DATA_OUTPUT, kChannel, 35, expected);
}

TEST_F(OutputRecordTest, BandPackWritesOneBlock) {
    m_out.GetBand(3)->SetGainIndex(235);
    const auto frame = m_out.PackBand(3, 3);
    ExpectOnlyRecordBytesWritten(24, 32);
    const BYTE expected[8] = {40, 0, 0x7B, 0x02, 52, 0, 2, 0}; // 40 Hz, code 635, width index 52
    ExpectBlockFrame(frame.get(), DATA_OUTPUT, kChannel, 3, expected);
}

TEST_F(OutputRecordTest, CrossoverPackSendsTheSentFrequencyAndSendCrossoverTheTarget) {
    const BYTE start[8] = {0xF4, 0x01, 0, 3, 0x20, 0x4E, 0, 8}; // 500 Hz; 20000 Hz
    m_out.SetCrossover(start);
    g_bOnline = 1;
    m_out.GetHighPass()->SetFreq(2000, 1);
    ASSERT_EQ(m_out.GetHighPass()->GetSentFreq(), 500);

    m_out.PackCrossover(0);
    EXPECT_EQ(LiveRecord()[256] | (LiveRecord()[257] << 8), 500);

    const auto frame = m_out.SendCrossover();
    EXPECT_EQ(LiveRecord()[256] | (LiveRecord()[257] << 8), 2000);
    ExpectBlockFrame(frame.get(), DATA_OUTPUT, kChannel, 32, LiveRecord() + 256);
    EXPECT_EQ(m_out.GetHighPass()->GetSentFreq(), 2000);
    EXPECT_FALSE(m_out.GetHighPass()->IsChanged());
    EXPECT_FALSE(m_out.TakeCrossoverChanged());
}

// A name loaded from a record can fill all 8 bytes; SendName runs on the
// communication thread under the send lock, so it must not stop for a
// message box: it leaves block 36 as it is and still returns its frame.
TEST_F(OutputRecordTest, NameTooLongForTheFieldIsNotPackedAndShowsNothing) {
    Record record = SampleRecord();
    std::memcpy(&record[288], "ABCDEFGH", 8);
    m_out.LoadFromRecord(record.data());
    ASSERT_EQ(m_out.GetName(), "ABCDEFGH");

    platform::RecordingMessageBox boxes;
    std::memcpy(LiveRecord() + 288, "old\0\0\0\0\0", 8);
    const auto frame = m_out.SendName();
    EXPECT_TRUE(boxes.Entries().empty());
    EXPECT_EQ(std::memcmp(LiveRecord() + 288, "old\0\0\0\0\0", 8), 0);
    ExpectBlockFrame(frame.get(), DATA_OUTPUT, kChannel, 36, reinterpret_cast<const BYTE*>("old\0\0\0\0\0"));
}

TEST_F(OutputRecordTest, NameFrameCarriesTheNameBlock) {
    m_out.SetName("Door");
    const auto frame = m_out.SendName();
    ExpectBlockFrame(frame.get(), DATA_OUTPUT, kChannel, 36, reinterpret_cast<const BYTE*>("Door\0\0\0\0"));
}

} // namespace
