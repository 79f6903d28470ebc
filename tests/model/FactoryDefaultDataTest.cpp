#include "PresetFileFixture.h"

#include "model/DataDefine.h"
#include "tools/FactoryDefaultData.h"

namespace {

const std::filesystem::path kResourceFile = KT_SOURCE_DIR "/res/json/Default_Data_K3Q7.bdfa";

class FactoryDefaultData : public PresetFileFixture {};

// The resource is what the maker writes from today's defaults.
TEST_F(FactoryDefaultData, ResourceIsTheDefaultsAsTheyAre) {
    const std::string resource = ReadRaw(kResourceFile.string());
    ASSERT_FALSE(resource.empty()) << kResourceFile;
    ASSERT_TRUE(WriteFactoryDefaultData(Path("again.bdfa")));
    EXPECT_TRUE(ReadRaw(Path("again.bdfa")) == resource)
        << "rebuild and run: kt_make_default_data res/json/Default_Data_K3Q7.bdfa";
}

TEST_F(FactoryDefaultData, LoadsAsAllPresets) {
    ASSERT_TRUE(WriteFactoryDefaultData(Path("defaults.bdfa")));
    const Memories defaults = Snapshot();
    EXPECT_EQ(BytesToStringN(g_PresetImages[2], kPresetNameSize), "");

    Fill(9);
    g_bPresetLocked = 1;
    CPresetJson json;
    ASSERT_TRUE(json.ReadAllPresetsFile(kResourceFile.string()));
    const Memories read = Snapshot();
    EXPECT_EQ(read.locked, 0);
    // Each image as far as a file carries it.
    for (int p = 0; p <= kPresetCount; ++p) {
        const BYTE* got = p == 0 ? read.live.data() : &read.stored[std::size_t(p - 1) * kDeviceImageSize];
        const BYTE* want =
            p == 0 ? defaults.live.data() : &defaults.stored[std::size_t(p - 1) * kDeviceImageSize];
        EXPECT_EQ(std::memcmp(got, want, kPresetNameSize), 0) << "preset " << p;
        for (int c = 0; c < kMusicInputCount; ++c)
            EXPECT_EQ(std::memcmp(got + MusicRecordOffset(c), want + MusicRecordOffset(c), 112), 0);
        EXPECT_EQ(std::memcmp(got + kOutputRecordOffset, want + kOutputRecordOffset,
                              kDeviceImageSize - kOutputRecordOffset),
                  0)
            << "preset " << p;
    }
    EXPECT_EQ(std::memcmp(g_DeviceSettings.SpeakerTypes,
                          &defaults.settings[offsetof(DeviceSettingsArea, SpeakerTypes)], 16),
              0);
    EXPECT_EQ(std::memcmp(g_DeviceSettings.SystemData,
                          &defaults.settings[offsetof(DeviceSettingsArea, SystemData)], 8),
              0);
    EXPECT_EQ(json.GetInfo().dataTexts[PresetFileInfo::UploadTime], "2020-01-01 00:00:00");
}

} // namespace
