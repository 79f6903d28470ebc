#include "model/Effect_Data.h"
#include "model/Filter.h"
#include "model/KTV_OutData.h"
#include "model/MIC_InData.h"
#include "model/Music_InData.h"
#include "platform/sys/Archive.h"
#include "tests/model/ChannelFixture.h"

#include <sstream>
#include <string>

namespace {

template <typename T> std::string Store(T& object) {
    std::ostringstream out;
    CArchive ar(out);
    object.Serialize(ar);
    ar.Flush();
    return out.str();
}

template <typename T> void Load(T& object, const std::string& bytes) {
    std::istringstream in(bytes);
    CArchive ar(in);
    object.Serialize(ar);
}

// A filter's archive form: ten values, 48 bytes.
constexpr std::size_t kFilterBytes = 48;

class ChannelArchiveTest : public ChannelFixture {};

TEST_F(ChannelArchiveTest, OutputRoundTripAndLayout) {
    CKTV_OutData out;
    out.CreateEQ(30, 32, 9, 20, 20000);
    out.SetSpeakerTypeDefaults(4);
    out.SetChannelIndex(2); // source A 1
    out.SetName("FL");
    out.SetEnable(0);
    out.SetPolarity(1);
    out.SetGain(0x0102);
    out.SetDelay(0x0304);
    out.SetLimiterAttack(0x0506);
    out.SetLimiterThreshold(0x0708);
    out.SetLimiterRelease(0x090A);
    out.GetBand(6)->SetGainIndex(250);
    out.BypassAllBands(1);
    out.IsAllBypassed();

    const std::string bytes = Store(out);
    const std::string head(
        "\x02"
        "FL"
        "\x00\x01\x02\x01\x04\x03\x04\x01\x32\x50\x32\x06\x05\x08\x07\x0A\x09\x01\x00\x00\x00",
        24);
    ASSERT_EQ(bytes.size(), head.size() + 33 * kFilterBytes);
    EXPECT_EQ(bytes.substr(0, head.size()), head);

    CKTV_OutData copy;
    copy.CreateEQ(30, 32, 9, 20, 20000);
    Load(copy, bytes);
    EXPECT_EQ(copy.GetName(), "FL");
    EXPECT_EQ(copy.GetEnable(), 0);
    EXPECT_EQ(copy.GetPolarity(), 1);
    EXPECT_EQ(copy.GetGain(), 0x0102);
    EXPECT_EQ(copy.GetDelay(), 0x0304);
    EXPECT_EQ(copy.GetSpeakerType(), 4);
    EXPECT_EQ(copy.GetSourceA(), 1);
    EXPECT_EQ(copy.GetLimiterAttack(), 0x0506);
    EXPECT_EQ(copy.GetLimiterThreshold(), 0x0708);
    EXPECT_EQ(copy.GetLimiterRelease(), 0x090A);
    EXPECT_EQ(copy.GetHighPass()->GetFreq(), 500);
    EXPECT_EQ(copy.GetBand(6)->GetGainIndex(), 200); // bypassed
    EXPECT_EQ(Store(copy), bytes);
    copy.BypassAllBands(0);
    EXPECT_EQ(copy.GetBand(6)->GetGainIndex(), 250);
}

TEST_F(ChannelArchiveTest, OutputLoadedWithGainZeroIsMuted) {
    CKTV_OutData out;
    out.CreateEQ(30, 32, 9, 20, 20000);
    out.SetGain(0);
    const std::string bytes = Store(out);
    CKTV_OutData copy;
    copy.CreateEQ(30, 32, 9, 20, 20000);
    Load(copy, bytes);
    EXPECT_TRUE(copy.IsMuted());
    EXPECT_EQ(copy.GetGain(), 0);
}

TEST_F(ChannelArchiveTest, MusicRoundTripAndMute) {
    CMusic_InData in;
    in.InitEQ(30, 32, 20000);
    in.SetName("Music 2");
    in.SetOnOff(0);
    in.SetGain(0);
    in.SetThreshold(61);
    in.GetBand(20)->SetGainIndex(150);
    const std::string bytes = Store(in);
    // Name, then eight 32-bit values, then the 33 filters.
    ASSERT_EQ(bytes.size(), 8 + 8 * 4 + 33 * kFilterBytes);
    EXPECT_EQ(bytes.substr(8, 12), std::string("\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00", 12));

    CMusic_InData copy;
    copy.InitEQ(30, 32, 20000);
    Load(copy, bytes);
    EXPECT_EQ(copy.GetName(), "Music 2");
    EXPECT_EQ(copy.GetOnOff(), 0);
    EXPECT_EQ(copy.GetThreshold(), 61);
    EXPECT_EQ(copy.GetBand(20)->GetGainIndex(), 150);
    EXPECT_EQ(Store(copy), bytes);

    // Loaded with gain 0 it is muted, and a later gain does not unmute it.
    copy.SetGain(500);
    EXPECT_EQ(copy.GetEffectiveGain(), 0);
    g_DeviceImage[MusicRecordOffset(0) + 254] = 0xAA;
    copy.SendMain(false);
    EXPECT_EQ(g_DeviceImage[MusicRecordOffset(0) + 254], 0);
    // Until an archive with a gain arrives.
    Load(copy, Store(copy));
    EXPECT_EQ(copy.GetEffectiveGain(), 500);
}

TEST_F(ChannelArchiveTest, MicrophoneRoundTrip) {
    CMIC_InData mic;
    mic.InitEQ(8, 10, 20000);
    mic.SetName("Mic%1");
    mic.GetBand(2)->SetGainIndex(120);
    const std::string bytes = Store(mic);
    // Name, seven 32-bit values, one 16-bit word, three 32-bit values, 11 filters.
    ASSERT_EQ(bytes.size(), 6 + 7 * 4 + 2 + 3 * 4 + 11 * kFilterBytes);

    CMIC_InData copy;
    copy.InitEQ(8, 10, 20000);
    Load(copy, bytes);
    EXPECT_EQ(copy.GetName(), "Mic%1");
    EXPECT_EQ(copy.GetGain(), 400);
    EXPECT_EQ(copy.GetGroupBWord(), 500);
    EXPECT_EQ(copy.GetBand(2)->GetGainIndex(), 120);
    EXPECT_EQ(Store(copy), bytes);
}

TEST_F(ChannelArchiveTest, EffectRoundTripLeavesB5Out) {
    BYTE area[152] = {};
    area[128] = 11; // A1
    area[140] = 99; // B5
    area[143] = 12; // B6
    std::memcpy(area + 144, "Room", 4);
    CEffect_Data effect;
    effect.LoadFromDevice(area);
    const std::string bytes = Store(effect);
    ASSERT_EQ(bytes.size(), 5 + 11 * 4 + 5 * kFilterBytes);

    CEffect_Data copy;
    Load(copy, bytes);
    EXPECT_EQ(copy.GetName(), "Room");
    EXPECT_EQ(copy.GetA1(), 11);
    EXPECT_EQ(copy.GetB6(), 12);
    EXPECT_EQ(copy.GetB5(), 50);
    EXPECT_EQ(Store(copy), bytes);
}

TEST_F(ChannelArchiveTest, TruncatedArchiveIsRefused) {
    CKTV_OutData out;
    out.CreateEQ(30, 32, 9, 20, 20000);
    const std::string bytes = Store(out);
    CKTV_OutData copy;
    copy.CreateEQ(30, 32, 9, 20, 20000);
    EXPECT_THROW(Load(copy, bytes.substr(0, bytes.size() - 5)), CArchiveException);
}

} // namespace
