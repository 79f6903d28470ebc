// The factory restore of the view: the factory data written to the
// documents folder (anew at the first restore of a run), read back as an
// all-presets file into the model, the form and, with a link, the processor.

#include "tests/link/FakePing.h"
#include "tests/link/PresetFilesFixture.h"

#include "model/DataDefine.h"
#include "platform/res/ResourceApi.h"
#include "platform/sys/FullDisk.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace {

class FactoryRestore : public linktest::PresetFiles {
protected:
    CString DataFile() { return Path("Documents/Default_Data_K3Q7.bdfa"); }
    static QByteArray FactoryBytes() {
        HRSRC found = FindResource(nullptr, 1251, "JSON");
        const void* bytes = LockResource(LoadResource(nullptr, found));
        return QByteArray(static_cast<const char*>(bytes), qsizetype(SizeofResource(nullptr, found)));
    }
    static CString LiveName() {
        CModelLock lock(true);
        return BytesToString(g_DeviceImage, kPresetNameSize);
    }
};

TEST_F(FactoryRestore, TheFirstRestoreOfARunWritesTheFileLaterOnesReadIt) {
    ASSERT_FALSE(FactoryBytes().isEmpty());
    WriteBytes(DataFile(), "left by an older run");
    view->RestoreFactoryData();
    EXPECT_EQ(FileBytes(DataFile()), FactoryBytes());
    EXPECT_EQ(view->m_strDefaultDataPath, DataFile());
    EXPECT_EQ(syncForm.allControlsUpdated, 1);
    EXPECT_EQ(g_bNameCheckPending, 1);
    EXPECT_TRUE(TakeQueue().empty()) << "no link: nothing is sent";

    // An all-presets file of other presets in its place is read as it is.
    {
        CModelLock lock(true);
        StringToBytesZ(g_DeviceImage, kPresetNameSize, "Replaced");
    }
    CPresetJson json;
    ASSERT_TRUE(json.WriteAllPresetsFile(DataFile()));
    StringToBytesZ(g_DeviceImage, kPresetNameSize, "Before");
    view->RestoreFactoryData();
    EXPECT_EQ(LiveName(), "Replaced");

    // Deleted meanwhile: written again.
    std::filesystem::remove(DataFile());
    view->RestoreFactoryData();
    EXPECT_EQ(FileBytes(DataFile()), FactoryBytes());
    EXPECT_TRUE(boxes.Entries().empty());
}

TEST_F(FactoryRestore, AFailedRestoreSaysSoAndChangesNothing) {
    // An all-presets file of other presets, as an older run or someone else
    // may have left where the factory data go.
    QByteArray older;
    const auto olderFile = [&] {
        CPresetJson json;
        ASSERT_TRUE(json.WriteAllPresetsFile(DataFile()));
        older = FileBytes(DataFile());
    };
    std::unique_ptr<platform::FullDisk> disk;
    struct Case {
        const char* name;
        std::function<void()> arrange;
        CString folder;
    };
    const Case cases[] = {
        {"documents folder not creatable",
         [&] {
             // A file stands where the folder would be.
             WriteBytes(Path("blocker"), "a file");
             platform::SetDocumentsFolder(Path("blocker/Documents"));
         },
         Path("")},
        {"disk full part-way through the factory data, an older file in place",
         [&] {
             platform::SetDocumentsFolder(Path("Documents"));
             olderFile();
             disk = std::make_unique<platform::FullDisk>(FactoryBytes().size() / 2);
         },
         Path("Documents")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view->m_strDefaultDataPath.clear(); // the first restore of a run
        c.arrange();
        const QStringList entries = QDir(QString::fromStdString(c.folder))
                                        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        {
            CModelLock lock(true);
            g_DeviceImage[OutputRecordOffset(3) + 10] = 0x44;
            g_PresetImages[1][500] = 0x45;
        }
        const auto before = Snapshot();
        const std::size_t shown = boxes.Entries().size();
        view->RestoreFactoryData();
        ASSERT_EQ(boxes.Entries().size(), shown + 1);
        EXPECT_EQ(boxes.Entries().back().text, "Read all presets file error!");
        EXPECT_TRUE(Snapshot() == before);
        EXPECT_EQ(syncForm.allControlsUpdated, 0);
        EXPECT_EQ(QDir(QString::fromStdString(c.folder))
                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  entries)
            << "nothing left beside the file";
        if (disk) {
            EXPECT_EQ(disk->saves, 1);
            EXPECT_EQ(FileBytes(DataFile()), older);
        }
    }
}

class FactoryRestoreThreaded : public FactoryRestore {
protected:
    void SetUp() override {
        FactoryRestore::SetUp();
        ping.Answer(true);
        Bus().Plug();
        view->InitLink();
        ASSERT_TRUE(WaitOnline());
        // Idle: the connect's reads are done once the status polls begin.
        processor.ClearRequests();
        ASSERT_TRUE(
            PumpUntil([&] { return std::ranges::count_if(processor.Requests(), sim::IsStatusPoll) >= 2; }));
    }
    void TearDown() override {
        view->StopCommThread(1);
        FactoryRestore::TearDown();
    }
    bool WaitOnline() {
        return PumpUntil([&] { return g_bOnline != 0 && syncForm.allControlsUpdated > 0; });
    }
    bool PumpUntil(const std::function<bool()>& done) {
        return platform::WaitHandlingSentMessages(
            [&] {
                platform::PumpMessages();
                return done();
            },
            20000);
    }
    linktest::FakePingRunner ping;
};

TEST_F(FactoryRestoreThreaded, TheProcessorsLivePresetAndSixPresetsBecomeTheFactoryData) {
    processor.UpdateMemory([](sim::SimMemory& m) {
        for (int p = 0; p <= kPresetCount; ++p)
            std::memset(m.Image(p) + kMusicRecordOffset, 0x3C, sim::kImageSize - kMusicRecordOffset);
    });
    view->RestoreFactoryData();
    ASSERT_EQ(syncForm.popupMode, 1);
    ASSERT_TRUE(PumpUntil([&] { return g_bTransferBusy == 0; }));
    // The factory data as the program holds them after reading the file.
    std::vector<BYTE> factory[kPresetCount + 1];
    {
        CModelLock lock(true);
        factory[0].assign(g_DeviceImage, g_DeviceImage + kDeviceImageSize);
        for (int p = 1; p <= kPresetCount; ++p)
            factory[p].assign(g_PresetImages[p - 1], g_PresetImages[p - 1] + kDeviceImageSize);
    }
    // Every byte a record transfer carries.
    const sim::SimMemory memory = processor.Memory();
    for (int p = 0; p <= kPresetCount; ++p) {
        for (BYTE type : {BYTE(DATA_MUSIC_INPUT), BYTE(DATA_OUTPUT)}) {
            const sim::SimRecordLayout layout = *sim::RecordLayoutOf(type);
            for (int c = 0; c < layout.channels; ++c) {
                SCOPED_TRACE(testing::Message()
                             << "preset " << p << " type " << int(type) << " channel " << c);
                const std::size_t at = layout.offset + layout.stride * std::size_t(c);
                EXPECT_EQ(std::memcmp(memory.Image(p) + at, factory[p].data() + at, layout.size), 0);
            }
        }
    }
    EXPECT_TRUE(boxes.Entries().empty());
}

} // namespace
