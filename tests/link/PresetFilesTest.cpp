// Presets and the output map as files: the dialogs and the folders they
// remember, the extension rule, refused and failed files, and the name a
// one-preset file gives the live preset.  No thread runs: what a command
// sends is read from the queue.

#include "tests/link/PresetFilesFixture.h"

#include "model/DataDefine.h"
#include "platform/sys/Archive.h"
#include "platform/sys/FullDisk.h"

#include <filesystem>
#include <regex>
#include <sstream>

namespace {

using linktest::PresetFiles;

TEST_F(PresetFiles, SaveDialogsAppendTheKindsExtensionUnlessTheFileHasExactlyIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"Mix", "Mix.rdds"}, {"Mix.RDDS", "Mix.RDDS.rdds"}, {"a.txt", "a.txt.rdds"}, {"b.rdds", "b.rdds"}};
    for (const auto& [typed, saved] : cases) {
        SCOPED_TRACE(typed);
        dialogs.Answer(Path(CString("Presets/") + typed));
        ASSERT_EQ(view->SavePresetFile(), 1);
        EXPECT_TRUE(QFile::exists(QString::fromStdString(Path(CString("Presets/") + saved))));
    }
    const platform::FileDialogRequest& request = dialogs.requests.back();
    EXPECT_FALSE(request.open);
    EXPECT_EQ(request.defaultExt, "rdds");
    EXPECT_EQ(request.filter, ".rdds|*.rdds||");
    EXPECT_EQ(request.flags, DWORD(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST)) << "a save takes a new name";
    EXPECT_TRUE(boxes.Entries().empty());
}

// The dialog asks about the name as typed; a file the extension rule names
// instead is not replaced unless the user says so.
TEST_F(PresetFiles, ANameTheExtensionRuleMadeIsNotReplacedUnasked) {
    const CString presets = Path("Presets");
    struct Case {
        CString typed, made;
        std::function<int()> run;
    };
    const Case cases[] = {
        {"/Mix.RDDS", "/Mix.RDDS.rdds", [&] { return view->SavePresetFile(); }},
        {"/all.txt", "/all.txt.rdda", [&] { return view->BrowseAllPresetsFile(); }},
        {"/map.RDDS", "/map.RDDS.vxvc", [&] { return view->SaveOutputMapFile(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.made);
        {
            QFile existing(QString::fromStdString(presets + c.made));
            ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
            existing.write("kept");
        }
        g_strAllPresetsPath = "before";
        {
            platform::RecordingMessageBox no(IDNO);
            dialogs.Answer(presets + c.typed);
            EXPECT_EQ(c.run(), 0);
            ASSERT_EQ(no.Entries().size(), 1u);
            EXPECT_EQ(no.Entries()[0].text, "The file already exists. Replace it?");
            EXPECT_EQ(no.Entries()[0].type, UINT(MB_YESNO));
        }
        QFile kept(QString::fromStdString(presets + c.made));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), "kept");
        EXPECT_EQ(g_strAllPresetsPath, "before");
        // Yes replaces it.
        dialogs.Answer(presets + c.typed);
        platform::RecordingMessageBox yes(IDYES);
        EXPECT_EQ(c.run(), 1);
        EXPECT_EQ(yes.Entries().size(), 1u);
    }
}

TEST_F(PresetFiles, EachCommandStartsInItsFolderAndRemembersTheChosenOneButTheOnePresetSave) {
    const CString documents = Path("Documents"), presets = Path("Presets");
    struct Case {
        const char* name;
        std::function<int()> run;
        const char* value;
        CString file;
        bool remembers;
    };
    {
        CPresetJson json;
        ASSERT_TRUE(json.WritePresetFile(g_DeviceSettings, g_DeviceImage, presets + "/in.rdds"));
        ASSERT_TRUE(json.WriteAllPresetsFile(presets + "/in.rdda"));
    }
    const Case cases[] = {
        {"save one", [&] { return view->SavePresetFile(); }, "File_Path", presets + "/one", false},
        {"load one", [&] { return view->LoadPresetFile(); }, "File_Path", presets + "/in.rdds", true},
        {"browse all", [&] { return view->BrowseAllPresetsFile(); }, "AllFile_Path", presets + "/all", true},
        {"load all", [&] { return view->LoadAllPresetsFile(); }, "AllFile_Path", presets + "/in.rdda", true},
        {"save map", [&] { return view->SaveOutputMapFile(); }, "Map_Path", presets + "/map", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A fresh key: every folder starts as the documents folder.
        RegDeleteKey(HKEY_CURRENT_USER, linktest::kFolderKey);
        dialogs.Answer(c.file);
        ASSERT_EQ(c.run(), 1);
        EXPECT_EQ(dialogs.requests.back().initialDir, documents);
        EXPECT_EQ(Folder(c.value), c.remembers ? presets : documents);
    }
    EXPECT_EQ(g_strAllPresetsPath, presets + "/all.rdda");
    // A remembered folder deleted since is replaced by the documents folder.
    dialogs.Answer(presets + "/in.rdds");
    ASSERT_EQ(view->LoadPresetFile(), 1);
    std::filesystem::remove_all(presets);
    dialogs.Answer("");
    view->LoadPresetFile();
    EXPECT_EQ(dialogs.requests.back().initialDir, documents);
    EXPECT_EQ(Folder("File_Path"), documents);
}

TEST_F(PresetFiles, RefusedFilesGiveTheirMessageAndChangeNothing) {
    ConnectWithoutThread();
    const CString presets = Path("Presets");
    CPresetJson json;
    ASSERT_TRUE(json.WritePresetFile(g_DeviceSettings, g_DeviceImage, presets + "/one.rdds"));
    ASSERT_TRUE(json.WriteAllPresetsFile(presets + "/all.rdda"));
    dialogs.Answer(presets + "/map.vxvc");
    ASSERT_EQ(view->SaveOutputMapFile(), 1);
    const QByteArray one = FileBytes(presets + "/one.rdds");
    {
        // Another maker's file: the same preset under another brand.
        std::string text = one.toStdString();
        CPresetJson::Scramble(text);
        const std::string before = text;
        text = std::regex_replace(text, std::regex("(\"company_brand\":\\s*\")19\""), "$0120\"");
        ASSERT_NE(text, before);
        CPresetJson::Scramble(text);
        WriteBytes(presets + "/brand.rdds", QByteArray::fromStdString(text));
    }
    WriteBytes(presets + "/garbage.rdds", "{ this is no preset");
    WriteBytes(presets + "/truncated.rdds", one.left(one.size() / 2));
    WriteBytes(presets + "/one-as-all.rdda", one);
    WriteBytes(presets + "/all-as-one.rdds", FileBytes(presets + "/all.rdda"));
    WriteBytes(presets + "/short.vxvc", FileBytes(presets + "/map.vxvc").left(20));
    WriteBytes(presets + "/preset.vxvc", one);
    std::filesystem::create_directory(presets + "/folder.rdds");

    // Distinct memories, so anything a refused file wrote would show.
    {
        CModelLock lock(true);
        for (int i = 0; i < kDeviceImageSize; ++i)
            g_DeviceImage[i] = BYTE(i * 13);
        g_PresetImages[3][100] = 0x5A;
        g_DeviceSettings.SpeakerTypes[2] = 9;
        g_CrossoverTable[4][0] = 0x77;
    }
    const auto before = Snapshot();
    const int updates = syncForm.allControlsUpdated;
    struct Case {
        CString file;
        int (CTALQ50View::*load)();
        const char* message;
    };
    const Case cases[] = {
        {"garbage.rdds", &CTALQ50View::LoadPresetFile, "Read presets file  error!"},
        {"truncated.rdds", &CTALQ50View::LoadPresetFile, "Read presets file  error!"},
        {"brand.rdds", &CTALQ50View::LoadPresetFile, "Read presets file  error!"},
        {"all-as-one.rdds", &CTALQ50View::LoadPresetFile, "Read presets file  error!"},
        {"folder.rdds", &CTALQ50View::LoadPresetFile, "Read presets file  error!"},
        {"missing.rdds", &CTALQ50View::LoadPresetFile, "Read presets file  error!"},
        {"one-as-all.rdda", &CTALQ50View::LoadAllPresetsFile, "Read all presets file error!"},
        {"truncated.rdds", &CTALQ50View::LoadAllPresetsFile, "Read all presets file error!"},
        {"short.vxvc", &CTALQ50View::LoadOutputMapFile, "Read output map error!"},
        {"preset.vxvc", &CTALQ50View::LoadOutputMapFile, "Read output map error!"},
        {"folder.rdds", &CTALQ50View::LoadOutputMapFile, "Read output map error!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::size_t shown = boxes.Entries().size();
        dialogs.Answer(presets + "/" + c.file);
        EXPECT_EQ((view.get()->*c.load)(), 0);
        ASSERT_EQ(boxes.Entries().size(), shown + 1);
        EXPECT_EQ(boxes.Entries().back().text, c.message);
        EXPECT_EQ(boxes.Entries().back().helpId, -3);
        EXPECT_TRUE(Snapshot() == before);
        EXPECT_EQ(syncForm.allControlsUpdated, updates);
        EXPECT_TRUE(TakeQueue().empty());
    }
    g_bChinese = 1;
    dialogs.Answer(presets + "/garbage.rdds");
    view->LoadPresetFile();
    EXPECT_EQ(boxes.Entries().back().text, "读场景文件错误!");
    EXPECT_EQ(boxes.Entries().back().helpId, -2);
}

TEST_F(PresetFiles, FailedSavesSayWhichFileWasNotWrittenAndKeepTheEarlierFile) {
    const CString presets = Path("Presets");
    struct Case {
        const char* file;
        std::function<int()> run;
        const char* message;
    };
    const Case cases[] = {
        {"one.rdds", [&] { return view->SavePresetFile(); }, "Save presets file error!"},
        {"all.rdda", [&] { return view->BrowseAllPresetsFile() && view->SaveAllPresetsFile(); },
         "Save all presets file error!"},
        {"map.vxvc", [&] { return view->SaveOutputMapFile(); }, "Save output map error!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto failsWithItsMessage = [&] {
            const std::size_t shown = boxes.Entries().size();
            EXPECT_EQ(c.run(), 0);
            ASSERT_EQ(boxes.Entries().size(), shown + 1);
            EXPECT_EQ(boxes.Entries().back().text, c.message);
        };
        dialogs.Answer(Path("gone/x"));
        failsWithItsMessage();

        // The user's earlier file, then a save the disk runs out of room
        // for: at its first byte or part-way.
        const CString path = presets + "/" + c.file;
        dialogs.Answer(path);
        ASSERT_EQ(c.run(), 1);
        const QByteArray earlier = FileBytes(path);
        ASSERT_GT(earlier.size(), 20);
        const QStringList entries =
            QDir(QString::fromStdString(presets)).entryList(QDir::Files | QDir::Hidden);
        for (const std::size_t room : {std::size_t(0), std::size_t(earlier.size() / 2)}) {
            SCOPED_TRACE(room);
            model.GetOutput(1)->SetDelay(int(room % 200) + 3); // new bytes to save
            platform::FullDisk disk(room);
            dialogs.Answer(path);
            failsWithItsMessage();
            EXPECT_EQ(disk.saves, 1);
            EXPECT_EQ(FileBytes(path), earlier);
            EXPECT_EQ(QDir(QString::fromStdString(presets)).entryList(QDir::Files | QDir::Hidden), entries)
                << "nothing left beside the file";
        }
    }
}

// The map is built whole before its file is written: the file holds the
// document's archive byte for byte.
TEST_F(PresetFiles, ASavedOutputMapHoldsTheDocumentsArchive) {
    g_DeviceSettings.SpeakerTypes[4] = 7;
    std::ostringstream expected(std::ios::binary);
    {
        CArchive ar(expected);
        ASSERT_TRUE(doc.SerializeOutputMap(ar));
    }
    dialogs.Answer(Path("Presets/map.vxvc"));
    ASSERT_EQ(view->SaveOutputMapFile(), 1);
    EXPECT_EQ(FileBytes(Path("Presets/map.vxvc")).toStdString(), expected.str());
}

TEST_F(PresetFiles, CancelledDialogsChangeNothing) {
    ConnectWithoutThread();
    g_strAllPresetsPath = "kept";
    g_bPresetNamePending = 0;
    view->ReadFolderSetting(1); // the key exists
    const auto before = Snapshot();
    const CString folders[] = {Folder("File_Path"), Folder("AllFile_Path"), Folder("Map_Path")};
    for (int (CTALQ50View::*command)() :
         {&CTALQ50View::SavePresetFile, &CTALQ50View::LoadPresetFile, &CTALQ50View::BrowseAllPresetsFile,
          &CTALQ50View::LoadAllPresetsFile, &CTALQ50View::SaveOutputMapFile, &CTALQ50View::LoadOutputMapFile})
        EXPECT_EQ((view.get()->*command)(), 0);
    EXPECT_EQ(dialogs.requests.size(), 6u);
    EXPECT_TRUE(boxes.Entries().empty());
    EXPECT_TRUE(Snapshot() == before);
    EXPECT_EQ(g_strAllPresetsPath, "kept");
    EXPECT_EQ(g_bPresetNamePending, 0);
    EXPECT_TRUE(TakeQueue().empty());
    EXPECT_EQ((std::array{Folder("File_Path"), Folder("AllFile_Path"), Folder("Map_Path")}),
              (std::array{folders[0], folders[1], folders[2]}));
}

TEST_F(PresetFiles, OfflineALoadedPresetReachesTheFormAndSendsNothing) {
    const CString file = Path("Presets/Sub bass 2024 final.rdds");
    model.GetOutput(5)->SetDelay(0x22);
    dialogs.Answer(file);
    ASSERT_EQ(view->SavePresetFile(), 1);
    model.GetOutput(5)->SetDelay(0);
    model.PackToImage();
    dialogs.Answer(file);
    ASSERT_EQ(view->LoadPresetFile(), 1);
    EXPECT_EQ(model.GetOutput(5)->GetDelay(), 0x22);
    EXPECT_EQ(syncForm.allControlsUpdated, 1);
    EXPECT_EQ(BytesToString(g_DeviceImage, kPresetNameSize), "Sub bass 2024");
    EXPECT_TRUE(TakeQueue().empty());
    EXPECT_TRUE(boxes.Entries().empty());
}

TEST_F(PresetFiles, AFileTitleNamesTheLivePresetByItsWholeCharactersInThirteenBytes) {
    struct Case {
        const char* title;
        const char* name; // in the live image
        const char* shown;
    };
    const Case cases[] = {
        {"Front stage A", "Front stage A", "Front stage A"},
        {"Front stage A2", "Front stage A", "Front stage A"},
        {"前台舞台", "Custom", "前台舞台"},
        {"Club 低音 bass", "Club  bas", "Club 低音 bas"},
        {"abcdefghijkl低", "abcdefghijkl", "abcdefghijkl"}, // a character cut by the limit
        {"A時B", "AB", "A時B"},                             // 時 is 95 72: no stray "r"
        {"", "Custom", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        g_bPresetNamePending = 0;
        view->SetPresetNameFromFile(c.title);
        EXPECT_EQ(BytesToString(g_DeviceImage, kPresetNameSize), c.name);
        EXPECT_EQ(GetShownPresetName(), c.shown);
        EXPECT_EQ(g_bPresetNamePending, 1);
    }
    // The change tracking renamed the live preset: its notice asks for the name once more.
    g_bPresetNamePending = 0;
    view->HandleMessage(UM_PRESET_NAME_CHANGED, 0, 0);
    EXPECT_EQ(g_bPresetNamePending, 1);
}

TEST_F(PresetFiles, ANameFromAFileOutlivesTheRenameAnEarlierEditAskedFor) {
    // An edit of the live preset was sent just before the file was saved or
    // loaded; the communication thread picks again before the load's own
    // transfer is queued.
    g_bNameCheckPending = 1;
    view->SetPresetNameFromFile("Front stage A");
    for (int pick = 0; pick < 3; ++pick)
        model.SendNextDirtyBlock();
    EXPECT_EQ(BytesToString(g_DeviceImage, kPresetNameSize), "Front stage A");
    EXPECT_EQ(GetShownPresetName(), "Front stage A");
}

} // namespace
