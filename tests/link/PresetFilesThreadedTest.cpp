// Preset files against the simulated processor over the in-process USB
// device: a loaded one-preset file and its name reach the processor, and the
// all-presets file written after a read holds the processor's presets.

#include "tests/link/DistinctPresets.h"
#include "tests/link/FakePing.h"
#include "tests/link/PresetFilesFixture.h"

#include "model/DataDefine.h"

namespace {

class PresetFilesThreaded : public linktest::PresetFiles {
protected:
    void SetUp() override {
        PresetFiles::SetUp();
        ping.Answer(true);
        processor.UpdateMemory([](sim::SimMemory& m) { linktest::FillDistinctPresets(m, 1); });
        Bus().Plug();
        view->InitLink();
        ASSERT_TRUE(PumpUntil([&] { return g_bOnline != 0 && syncForm.allControlsUpdated > 0; }));
        // Idle: the connect's reads are done once the status polls begin.
        processor.ClearRequests();
        ASSERT_TRUE(
            PumpUntil([&] { return std::ranges::count_if(processor.Requests(), sim::IsStatusPoll) >= 2; }));
        processor.ClearRequests();
    }
    void TearDown() override {
        view->StopCommThread(1);
        PresetFiles::TearDown();
    }

    bool PumpUntil(const std::function<bool()>& done) {
        return platform::WaitHandlingSentMessages(
            [&] {
                platform::PumpMessages();
                return done();
            },
            20000);
    }
    static bool SameRecords(const BYTE* a, const BYTE* b) {
        return std::memcmp(a + kMusicRecordOffset, b + kMusicRecordOffset,
                           kDeviceImageSize - kMusicRecordOffset) == 0;
    }

    linktest::FakePingRunner ping;
};

TEST_F(PresetFilesThreaded, ALoadedPresetAndItsNameReachTheProcessor) {
    const CString file = Path("Presets/Front stage A2.rdds");
    model.GetOutput(2)->SetDelay(0x31);
    std::vector<BYTE> saved;
    {
        // The file holds the model as it is now.
        dialogs.Answer(file);
        ASSERT_EQ(view->SavePresetFile(), 1);
        CModelLock lock(true);
        saved.assign(g_DeviceImage, g_DeviceImage + kDeviceImageSize);
    }
    ASSERT_TRUE(PumpUntil([&] { return g_bPresetNamePending == 0; }));
    model.GetOutput(2)->SetDelay(0);
    // The processor's records never were the file's, so they do not show
    // when the edit went out: its block must be taken before the load.
    ASSERT_TRUE(PumpUntil([&] {
        CModelLock lock(true);
        return !model.GetOutput(2)->GetBasicDirty();
    }));

    dialogs.Answer(file);
    ASSERT_EQ(view->LoadPresetFile(), 1);
    ASSERT_TRUE(PumpUntil([&] {
        const sim::SimMemory m = processor.Memory();
        return SameRecords(m.live.data(), saved.data()) &&
               BytesToString(m.live.data(), kPresetNameSize) == "Front stage A";
    }));
    ASSERT_TRUE(PumpUntil([&] { return g_bTransferBusy == 0 && g_bPresetNamePending == 0; }));
    EXPECT_EQ(BytesToString(processor.Memory().live.data(), kPresetNameSize), "Front stage A");
    EXPECT_EQ(processor.Memory().settings.currentPreset[0], 0);
    EXPECT_EQ(g_DeviceSettings.CurrentPreset[0], 0);
    EXPECT_TRUE(boxes.Entries().empty());
}

TEST_F(PresetFilesThreaded, TheAllPresetsFileHoldsTheProcessorsPresets) {
    // The form's choice of the file, then the read it starts.
    dialogs.Answer(Path("Presets/backup"));
    ASSERT_EQ(view->ChooseAllPresetsFile(), 1);
    ASSERT_EQ(view->ReadAllPresets(), 1);
    ASSERT_TRUE(PumpUntil([&] { return syncForm.allPresetsSaved == 1; }));
    // The form's handler writes the file.
    ASSERT_EQ(view->SaveAllPresetsFile(), 1);
    EXPECT_EQ(g_strAllPresetsPath, Path("Presets/backup.rdda"));

    // What the file carries of each stored image, beside what a file made
    // from the processor's memory carries.
    const auto readBack = [](const CString& path) {
        {
            CModelLock lock(true);
            std::memset(g_PresetImages, 0, sizeof g_PresetImages);
        }
        CPresetJson json;
        EXPECT_TRUE(json.ReadAllPresetsFile(path));
        CModelLock lock(true);
        return std::vector<BYTE>(&g_PresetImages[0][0], &g_PresetImages[0][0] + sizeof g_PresetImages);
    };
    const std::vector<BYTE> fromFile = readBack(g_strAllPresetsPath);
    {
        const sim::SimMemory memory = processor.Memory();
        CModelLock lock(true);
        for (int p = 1; p <= kPresetCount; ++p)
            std::memcpy(g_PresetImages[p - 1], memory.Image(p), kDeviceImageSize);
    }
    CPresetJson json;
    ASSERT_TRUE(json.WriteAllPresetsFile(Path("Presets/expected.rdda")));
    EXPECT_TRUE(fromFile == readBack(Path("Presets/expected.rdda")));
    for (int p = 1; p <= kPresetCount; ++p)
        EXPECT_EQ(BytesToString(&fromFile[(p - 1) * kDeviceImageSize], kPresetNameSize),
                  "Stored " + std::to_string(p));
    EXPECT_TRUE(boxes.Entries().empty());
}

} // namespace
