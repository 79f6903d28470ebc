#include "PresetFileFixture.h"

#include "platform/sys/FullDisk.h"
#include "platform/sys/Gbk.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace {

std::vector<BYTE> Range(const BYTE* base, int offset, int count) {
    return std::vector<BYTE>(base + offset, base + offset + count);
}

const BYTE* Output0(const BYTE* image) {
    return image + OutputRecordOffset(0);
}

class PresetJsonTest : public PresetFileFixture {
protected:
    void SetUp() override {
        PresetFileFixture::SetUp();
        m_json.SetUploadTimeSource([] { return CString("2020-01-02 03:04:05"); });
    }

    CPresetJson m_json;
};

TEST_F(PresetJsonTest, ScrambledByPositionWithNoTrailingByte) {
    ASSERT_TRUE(m_json.WritePresetFile(g_DeviceSettings, g_DeviceImage, Path("a.rdds")));
    const std::string raw = ReadRaw(Path("a.rdds"));
    const std::string text = ReadText(Path("a.rdds"));
    ASSERT_GT(raw.size(), 300u);
    EXPECT_EQ(raw[0], '{'); // 0x7B XOR 0
    EXPECT_EQ(BYTE(raw[1]), BYTE(text[1] ^ 1));
    EXPECT_EQ(raw[256], text[256]);
    EXPECT_EQ(BYTE(raw[257]), BYTE(text[257] ^ 1));
    EXPECT_EQ(text.back(), '}');
    EXPECT_EQ(text.find('\0'), std::string::npos);
    // Formatted, and in the order the files keep.
    EXPECT_NE(text.find("\n\t\"qzv\":"), std::string::npos);
    EXPECT_LT(text.find("\"qzv\""), text.find("\"client\""));
    EXPECT_LT(text.find("\"data_info\""), text.find("\"data\""));
    EXPECT_LT(text.find("\"data\""), text.find("\"fileType\":\t\"single\""));
    EXPECT_NE(text.find("\"data_upload_time\":\t\"2020-01-02 03:04:05\""), std::string::npos);
    EXPECT_NE(text.find("\"data_encryption_bool\":\tfalse"), std::string::npos);
}

TEST_F(PresetJsonTest, SinglePresetRoundTrip) {
    const Memories written = Snapshot();
    ASSERT_TRUE(m_json.WritePresetFile(g_DeviceSettings, g_DeviceImage, Path("a.rdds")));
    Memories expected = Snapshot();
    EXPECT_EQ(Output0(g_DeviceImage)[288], 0x20); // the writer marks the live image unlocked
    expected.live[OutputRecordOffset(0) + 288] = 0x20;

    Fill(99);
    g_bPresetLocked = 1;
    const Memories before = Snapshot();
    ASSERT_TRUE(m_json.ReadPresetFile(g_DeviceSettings, g_DeviceImage, Path("a.rdds")));
    const Memories read = Snapshot();
    EXPECT_EQ(read.locked, 0);
    EXPECT_EQ(read.stored, before.stored);
    for (int i = 0; i < kDeviceImageSize; ++i) {
        const bool musicTail = i >= kMusicRecordOffset && i < kOutputRecordOffset &&
                               (i - kMusicRecordOffset) % kMusicRecordSize >= 112;
        const bool unsaved = (i >= 16 && i < kMusicRecordOffset) || musicTail;
        ASSERT_EQ(read.live[i], unsaved ? before.live[i] : expected.live[i]) << "image byte " << i;
    }
    // The file carries the settings but the version label, the lock block
    // and sound-delay bytes 50-97.
    DeviceSettingsArea expectedSettings, writtenSettings;
    std::memcpy(&expectedSettings, before.settings.data(), sizeof expectedSettings);
    std::memcpy(&writtenSettings, written.settings.data(), sizeof writtenSettings);
    std::memcpy(expectedSettings.SoundDelay, writtenSettings.SoundDelay, 50);
    for (auto field : {&DeviceSettingsArea::InputSettings, &DeviceSettingsArea::SystemData,
                       &DeviceSettingsArea::CurrentPreset})
        std::memcpy(expectedSettings.*field, writtenSettings.*field, 8);
    std::memcpy(expectedSettings.SpeakerTypes, writtenSettings.SpeakerTypes, 16);
    EXPECT_EQ(std::memcmp(&g_DeviceSettings, &expectedSettings, sizeof expectedSettings), 0);
}

TEST_F(PresetJsonTest, AllPresetsRoundTrip) {
    ASSERT_TRUE(m_json.WriteAllPresetsFile(Path("a.rdda")));
    const Memories written = Snapshot();
    Fill(42);
    ASSERT_TRUE(m_json.ReadAllPresetsFile(Path("a.rdda")));
    const Memories read = Snapshot();
    for (int p = 0; p <= kPresetCount; ++p) {
        const BYTE* image = p == 0 ? read.live.data() : read.stored.data() + (p - 1) * kDeviceImageSize;
        const BYTE* expected =
            p == 0 ? written.live.data() : written.stored.data() + (p - 1) * kDeviceImageSize;
        EXPECT_EQ(Range(image, 0, 16), Range(expected, 0, 16)) << "group " << p;
        for (int c = 0; c < kMusicInputCount; ++c)
            EXPECT_EQ(Range(image, MusicRecordOffset(c), 112), Range(expected, MusicRecordOffset(c), 112));
        EXPECT_EQ(Range(image, kOutputRecordOffset, kOutputCount * kOutputRecordSize),
                  Range(expected, kOutputRecordOffset, kOutputCount * kOutputRecordSize))
            << "group " << p;
    }
    EXPECT_EQ(std::vector<BYTE>(g_DeviceSettings.SpeakerTypes, g_DeviceSettings.SpeakerTypes + 16),
              Range(written.settings.data(), offsetof(DeviceSettingsArea, SpeakerTypes), 16));
    const Tree tree = ReadTree(Path("a.rdda"));
    EXPECT_STREQ(cJSON_GetObjectItem(tree.get(), "fileType")->valuestring, "complete");
    EXPECT_EQ(cJSON_GetArraySize(cJSON_GetObjectItem(tree.get(), "data")), 7);
}

// A locked live preset: the file carries its outputs XORed with 0x5E except
// bytes 288 (0x21) and 289, and its password; the live image keeps plain
// bytes, gets the lock bytes, and nothing beyond byte 295 of record 0.
TEST_F(PresetJsonTest, LockedLivePresetExactBytes) {
    g_bPresetLocked = 1;
    g_strPresetPassword = "AB12cd";
    BYTE* out0 = g_DeviceImage + OutputRecordOffset(0);
    out0[289] = 0x9C;
    const std::vector<BYTE> before(g_DeviceImage, g_DeviceImage + kDeviceImageSize);
    const std::vector<BYTE> stored1 = Range(g_PresetImages[0], 0, kDeviceImageSize);

    for (const char* name : {"a.rdds", "a.rdda"}) {
        const bool single = name[3] == 's';
        ASSERT_TRUE(single ? m_json.WritePresetFile(g_DeviceSettings, g_DeviceImage, Path(name))
                           : m_json.WriteAllPresetsFile(Path(name)));
        std::vector<BYTE> live = before;
        live[OutputRecordOffset(0) + 288] = 0x21;
        std::memcpy(&live[OutputRecordOffset(0) + 290], "AB12cd", 6);
        ASSERT_EQ(std::vector<BYTE>(g_DeviceImage, g_DeviceImage + kDeviceImageSize), live);

        const Tree tree = ReadTree(Path(name));
        const cJSON* group = single ? cJSON_GetObjectItem(tree.get(), "data")
                                    : cJSON_GetArrayItem(cJSON_GetObjectItem(tree.get(), "data"), 0);
        const cJSON* outputs = cJSON_GetObjectItem(cJSON_GetObjectItem(group, "output"), "output");
        for (int c = 0; c < kOutputCount; ++c) {
            const auto items = Items(cJSON_GetArrayItem(outputs, c));
            ASSERT_EQ(items.size(), std::size_t(kOutputRecordSize));
            for (int i = 0; i < kOutputRecordSize; ++i) {
                const BYTE plain = live[OutputRecordOffset(c) + i];
                const BYTE want = c == 0 && i == 288 ? 0x21 : c == 0 && i == 289 ? 0x9C : BYTE(plain ^ 0x5E);
                ASSERT_EQ(items[i], want) << "output " << c << " byte " << i;
            }
        }
        EXPECT_EQ(Items(cJSON_GetObjectItem(group, "group_name")), Range(g_DeviceImage, 0, 16));
        const cJSON* music0 =
            cJSON_GetArrayItem(cJSON_GetObjectItem(cJSON_GetObjectItem(group, "music"), "music"), 0);
        EXPECT_EQ(Items(music0), Range(g_DeviceImage, kMusicRecordOffset, 112));
        if (!single) {
            const cJSON* stored = cJSON_GetArrayItem(cJSON_GetObjectItem(tree.get(), "data"), 1);
            EXPECT_EQ(Items(cJSON_GetArrayItem(
                          cJSON_GetObjectItem(cJSON_GetObjectItem(stored, "output"), "output"), 0)),
                      Range(stored1.data(), kOutputRecordOffset, kOutputRecordSize));
        }

        Fill(5);
        g_bPresetLocked = 0;
        ASSERT_TRUE(single ? m_json.ReadPresetFile(g_DeviceSettings, g_DeviceImage, Path(name))
                           : m_json.ReadAllPresetsFile(Path(name)));
        EXPECT_EQ(g_bPresetLocked, 1);
        EXPECT_EQ(Range(g_DeviceImage, kOutputRecordOffset, kOutputCount * kOutputRecordSize),
                  Range(live.data(), kOutputRecordOffset, kOutputCount * kOutputRecordSize));
        std::memcpy(g_DeviceImage, before.data(), before.size());
    }
}

// Only the file's own byte 288 of output record 0 decides, and only 0x21 locks.
TEST_F(PresetJsonTest, LockDecidedByTheFilesOwnMark) {
    ASSERT_TRUE(m_json.WritePresetFile(g_DeviceSettings, g_DeviceImage, Path("a.rdds")));
    struct Case {
        const char* what;
        int items;  // of the first output array
        BYTE mark;  // the file's byte 288
        BYTE live;  // byte 288 in the live image before the read
        int locked; // after the read
    } cases[] = {
        {"0x21 locks", 296, 0x21, 0x20, 1},
        {"0x20 unlocks", 296, 0x20, 0x21, 0},
        {"any other byte unlocks", 296, 0x41, 0x21, 0},
        {"a short array unlocks", 200, 0, 0x21, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Tree tree = ReadTree(Path("a.rdds"));
        cJSON* out0 = cJSON_GetArrayItem(
            cJSON_GetObjectItem(cJSON_GetObjectItem(cJSON_GetObjectItem(tree.get(), "data"), "output"),
                                "output"),
            0);
        cJSON_SetNumberValue(cJSON_GetArrayItem(out0, 288), c.mark);
        while (cJSON_GetArraySize(out0) > c.items)
            cJSON_DeleteItemFromArray(out0, cJSON_GetArraySize(out0) - 1);
        const BYTE first = BYTE(cJSON_GetArrayItem(out0, 0)->valueint);
        WriteTree(Path("b.rdds"), tree);
        g_DeviceImage[OutputRecordOffset(0) + 288] = c.live;
        g_bPresetLocked = 1 - c.locked;
        ASSERT_TRUE(m_json.ReadPresetFile(g_DeviceSettings, g_DeviceImage, Path("b.rdds")));
        EXPECT_EQ(g_bPresetLocked, c.locked);
        EXPECT_EQ(Output0(g_DeviceImage)[0], c.locked ? BYTE(first ^ 0x5E) : first);
    }
}

// A change to the text of a good file, and the file kind it is read as.
struct Refusal {
    const char* what;
    bool all;
    std::function<void(cJSON* root)> change;
    std::function<void(std::string& text)> changeText;
};

cJSON* Group0(cJSON* root) {
    cJSON* data = cJSON_GetObjectItem(root, "data");
    return cJSON_IsArray(data) ? cJSON_GetArrayItem(data, 0) : data;
}
void SetText(cJSON* object, const char* key, const char* text) {
    cJSON_ReplaceItemInObject(object, key, cJSON_CreateString(text));
}

TEST_F(PresetJsonTest, RefusedFilesChangeNothing) {
    const auto lastGroup = [](cJSON* root) {
        return cJSON_GetArrayItem(cJSON_GetObjectItem(root, "data"), 6);
    };
    const Refusal cases[] = {
        {"client brand",
         false,
         [](cJSON* r) { SetText(cJSON_GetObjectItem(r, "client"), "company_brand", "20"); },
         {}},
        {"machine type",
         false,
         [](cJSON* r) { SetText(cJSON_GetObjectItem(r, "data_info"), "data_machine_type", "KAVRO"); },
         {}},
        {"\"Single\"", false, [](cJSON* r) { SetText(r, "fileType", "Single"); }, {}},
        {"all presets read as one", false, [](cJSON* r) { SetText(r, "fileType", "complete"); }, {}},
        {"one read as all presets", true, [](cJSON* r) { SetText(r, "fileType", "single"); }, {}},
        {"no brand",
         false,
         [](cJSON* r) { cJSON_DeleteItemFromObject(cJSON_GetObjectItem(r, "client"), "company_brand"); },
         {}},
        {"no fileType", false, [](cJSON* r) { cJSON_DeleteItemFromObject(r, "fileType"); }, {}},
        {"no maker block", false, [](cJSON* r) { cJSON_DeleteItemFromObject(r, "qzv"); }, {}},
        {"no data block", false, [](cJSON* r) { cJSON_DeleteItemFromObject(r, "data_info"); }, {}},
        {"no data", false, [](cJSON* r) { cJSON_DeleteItemFromObject(r, "data"); }, {}},
        {"no group name", false, [](cJSON* r) { cJSON_DeleteItemFromObject(Group0(r), "group_name"); }, {}},
        {"no music array",
         false,
         [](cJSON* r) { cJSON_DeleteItemFromObject(cJSON_GetObjectItem(Group0(r), "music"), "music"); },
         {}},
        {"no output", false, [](cJSON* r) { cJSON_DeleteItemFromObject(Group0(r), "output"); }, {}},
        {"no system", false, [](cJSON* r) { cJSON_DeleteItemFromObject(Group0(r), "system"); }, {}},
        {"no top system", true, [](cJSON* r) { cJSON_DeleteItemFromObject(r, "system"); }, {}},
        {"last group without output",
         true,
         [&](cJSON* r) { cJSON_DeleteItemFromObject(lastGroup(r), "output"); },
         {}},
        {"text item in an output array",
         true,
         [&](cJSON* r) {
             cJSON* out = cJSON_GetArrayItem(
                 cJSON_GetObjectItem(cJSON_GetObjectItem(lastGroup(r), "output"), "output"), 11);
             cJSON_ReplaceItemInArray(out, 5, cJSON_CreateString("5"));
         },
         {}},
        {"text item in a system array",
         false,
         [](cJSON* r) {
             cJSON* types = cJSON_GetObjectItem(cJSON_GetObjectItem(Group0(r), "system"), "system_spk_type");
             cJSON_ReplaceItemInArray(types, 0, cJSON_CreateNull());
         },
         {}},
        {"number as a text",
         false,
         [](cJSON* r) {
             cJSON_ReplaceItemInObject(cJSON_GetObjectItem(r, "qzv"), "company_qq", cJSON_CreateNumber(5));
         },
         {}},
        {"cut short", false, {}, [](std::string& t) { t.resize(t.size() / 2); }},
        {"empty", false, {}, [](std::string& t) { t.clear(); }},
    };
    g_bPresetLocked = 1;
    g_strPresetPassword = "123456";
    ASSERT_TRUE(m_json.WritePresetFile(g_DeviceSettings, g_DeviceImage, Path("good.rdds")));
    ASSERT_TRUE(m_json.WriteAllPresetsFile(Path("good.rdda")));
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.what);
        const CString good = Path(c.all ? "good.rdda" : "good.rdds");
        if (c.change) {
            Tree tree = ReadTree(good);
            c.change(tree.get());
            WriteTree(Path("bad"), tree);
        } else {
            std::string text = ReadText(good);
            c.changeText(text);
            WriteText(Path("bad"), text);
        }
        Fill(77);
        g_bPresetLocked = 0;
        const Memories before = Snapshot();
        const PresetFileInfo info = m_json.GetInfo();
        EXPECT_FALSE(c.all ? m_json.ReadAllPresetsFile(Path("bad"))
                           : m_json.ReadPresetFile(g_DeviceSettings, g_DeviceImage, Path("bad")));
        EXPECT_TRUE(Snapshot() == before);
        EXPECT_TRUE(m_json.GetInfo() == info);
    }
    EXPECT_FALSE(m_json.ReadPresetFile(g_DeviceSettings, g_DeviceImage, Path("missing.rdds")));
}

// Other tools end their files with a terminator; what follows the object is
// not looked at.
TEST_F(PresetJsonTest, BytesAfterTheObjectAreIgnored) {
    ASSERT_TRUE(m_json.WriteAllPresetsFile(Path("good.rdda")));
    Fill(77);
    ASSERT_TRUE(m_json.ReadAllPresetsFile(Path("good.rdda")));
    const Memories expected = Snapshot();
    for (const std::string& tail : {std::string(1, '\0'), std::string("\x1a"), std::string(" {} x")}) {
        SCOPED_TRACE(int(BYTE(tail[0])));
        WriteText(Path("tail.rdda"), ReadText(Path("good.rdda")) + tail);
        Fill(77);
        EXPECT_TRUE(m_json.ReadAllPresetsFile(Path("tail.rdda")));
        EXPECT_TRUE(Snapshot() == expected);
    }
}

// The writer's text is exactly what the JSON library prints for the same
// tree, escapes and Chinese texts included, so other tools see the same files.
TEST_F(PresetJsonTest, WrittenTextIsTheLibrarysFormatting) {
    ASSERT_TRUE(m_json.WritePresetFile(g_DeviceSettings, g_DeviceImage, Path("good.rdds")));
    Tree tree = ReadTree(Path("good.rdds"));
    SetText(cJSON_GetObjectItem(tree.get(), "qzv"), "company_qq", "q\"uo\\te\ttab\x01\n话筒");
    SetText(cJSON_GetObjectItem(tree.get(), "client"), "company_qq", "");
    WriteTree(Path("texts.rdds"), tree);
    ASSERT_TRUE(m_json.ReadPresetFile(g_DeviceSettings, g_DeviceImage, Path("texts.rdds")));
    ASSERT_TRUE(m_json.WritePresetFile(g_DeviceSettings, g_DeviceImage, Path("again.rdds")));
    const std::string written = ReadText(Path("again.rdds"));
    ASSERT_NE(written.find("q\\\"uo\\\\te\\ttab\\u0001\\n话筒"), std::string::npos);
    Tree parsed(cJSON_Parse(written.c_str()));
    ASSERT_TRUE(parsed);
    char* printed = cJSON_Print(parsed.get());
    EXPECT_EQ(written, printed);
    cJSON_free(printed);
}

// An array that is missing or empty is accepted and leaves its field as it
// was; nothing is copied from an empty array.
TEST_F(PresetJsonTest, MissingOrEmptyArraysLeaveTheirFields) {
    const auto system = [](cJSON* r) {
        return cJSON_GetObjectItem(cJSON_GetObjectItem(r, "data"), "system");
    };
    const auto group = [](cJSON* r) { return cJSON_GetObjectItem(r, "data"); };
    const auto empty = [](cJSON* parent, const char* key) {
        cJSON_ReplaceItemInObject(parent, key, cJSON_CreateArray());
    };
    const struct {
        const char* what;
        std::function<void(cJSON*)> change;
        std::size_t offset; // of the unchanged field in the settings (kept) or the live image
        std::size_t size;
        bool inSettings;
    } cases[] = {
        {"no system_data", [&](cJSON* r) { cJSON_DeleteItemFromObject(system(r), "system_data"); },
         offsetof(DeviceSettingsArea, SystemData), 8, true},
        {"empty system_spk_type", [&](cJSON* r) { empty(system(r), "system_spk_type"); },
         offsetof(DeviceSettingsArea, SpeakerTypes), 16, true},
        {"every settings array missing",
         [&](cJSON* r) {
             for (const char* key : {"cur_password_data", "pc_source_set", "sound_delay_field", "system_data",
                                     "system_spk_type"})
                 cJSON_DeleteItemFromObject(system(r), key);
         },
         offsetof(DeviceSettingsArea, InputSettings), 8, true},
        {"empty group_name", [&](cJSON* r) { empty(group(r), "group_name"); }, kPresetNameOffset,
         kPresetNameSize, false},
        {"empty output record",
         [&](cJSON* r) {
             cJSON* outputs = cJSON_GetObjectItem(cJSON_GetObjectItem(group(r), "output"), "output");
             cJSON_ReplaceItemInArray(outputs, 3, cJSON_CreateArray());
         },
         std::size_t(OutputRecordOffset(3)), kOutputRecordSize, false},
    };
    ASSERT_TRUE(m_json.WritePresetFile(g_DeviceSettings, g_DeviceImage, Path("good.rdds")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Tree tree = ReadTree(Path("good.rdds"));
        c.change(tree.get());
        WriteTree(Path("part.rdds"), tree);
        Fill(77);
        const Memories before = Snapshot();
        ASSERT_TRUE(m_json.ReadPresetFile(g_DeviceSettings, g_DeviceImage, Path("part.rdds")));
        const Memories after = Snapshot();
        const auto& was = c.inSettings ? before.settings : before.live;
        const auto& is = c.inSettings ? after.settings : after.live;
        EXPECT_TRUE(
            std::equal(was.begin() + c.offset, was.begin() + c.offset + c.size, is.begin() + c.offset));
    }
}

// Keys in any case; texts in GBK in the file and UTF-8 in the program; the
// record takes the values of an accepted file and writes them out again.
TEST_F(PresetJsonTest, KeysInAnyCaseAndChineseTextsAsGbk) {
    ASSERT_TRUE(m_json.WritePresetFile(g_DeviceSettings, g_DeviceImage, Path("a.rdds")));
    const std::string gbkCarType = *platform::Utf8ToGbk("示例车型");
    EXPECT_NE(ReadText(Path("a.rdds")).find("\"data_car_type\":\t\"" + gbkCarType + "\""), std::string::npos);

    Tree tree = ReadTree(Path("a.rdds"));
    SetText(cJSON_GetObjectItem(tree.get(), "data_info"), "data_user_name",
            platform::Utf8ToGbk("李雷")->c_str());
    std::function<void(cJSON*)> upper = [&](cJSON* node) {
        for (cJSON* child = node->child; child; child = child->next) {
            if (child->string)
                for (char* p = child->string; *p; ++p)
                    *p = char(std::toupper(BYTE(*p)));
            upper(child);
        }
    };
    upper(tree.get());
    WriteTree(Path("upper.rdds"), tree);
    EXPECT_NE(ReadText(Path("upper.rdds")).find("\"FILETYPE\""), std::string::npos);

    Fill(3);
    const Memories before = Snapshot();
    ASSERT_TRUE(m_json.ReadPresetFile(g_DeviceSettings, g_DeviceImage, Path("upper.rdds")));
    EXPECT_NE(Snapshot().live, before.live);
    EXPECT_EQ(m_json.GetInfo().dataTexts[PresetFileInfo::UserName], "李雷");
    ASSERT_TRUE(m_json.WritePresetFile(g_DeviceSettings, g_DeviceImage, Path("again.rdds")));
    EXPECT_NE(ReadText(Path("again.rdds")).find(*platform::Utf8ToGbk("李雷")), std::string::npos);
}

TEST_F(PresetJsonTest, WriterReportsAFileItCouldNotWrite) {
    EXPECT_FALSE(m_json.WritePresetFile(g_DeviceSettings, g_DeviceImage, Path("no/such/folder/a.rdds")));
    EXPECT_FALSE(m_json.WriteAllPresetsFile(Path("no/such/folder/a.rdda")));
    // A disk that fills up part-way keeps the file that was there.
    ASSERT_TRUE(m_json.WriteAllPresetsFile(Path("a.rdda")));
    const std::string earlier = ReadRaw(Path("a.rdda"));
    Fill(2);
    platform::FullDisk disk(1000);
    EXPECT_FALSE(m_json.WriteAllPresetsFile(Path("a.rdda")));
    EXPECT_FALSE(m_json.WritePresetFile(g_DeviceSettings, g_DeviceImage, Path("a.rdda")));
    EXPECT_EQ(disk.saves, 2);
    EXPECT_TRUE(ReadRaw(Path("a.rdda")) == earlier);
}

} // namespace
