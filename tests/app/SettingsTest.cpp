// The registry settings: the first start, the stored language, folders that
// went away and the program's key deleted while it runs.

#include "tests/app/AppFixture.h"

#include <QFile>

namespace {

using apptest::AppFixture;

class Settings : public AppFixture {
protected:
    CString Folder(const char* name) {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(path);
        return path.toStdString();
    }
};

TEST_F(Settings, TheFirstStartTakesTheSystemsLanguageAndCreatesEveryKey) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"en_US", 0, "English"}, {"zh_CN", 1, "Chinese"}, {"de_DE", 0, "English"}, {"zh_TW", 0, "English"}};
    for (const auto& [locale, chinese, language] : cases) {
        SCOPED_TRACE(locale);
        platform::SetRegistryFile(m_dir.filePath(QString(locale) + ".ini").toStdString());
        platform::SetSystemLocaleName(locale);
        g_strLanguage.clear();
        ASSERT_TRUE(Start());
        EXPECT_EQ(g_bChinese, chinese);
        EXPECT_EQ(Value("DspMcu", "Language"), language);
        EXPECT_EQ(Value("DspMcu", "Name"), "");
        EXPECT_EQ(Value("DspMcu", "Path"), documents);
        for (const char* name : {"File_Path", "AllFile_Path", "Map_Path", "Hex"})
            EXPECT_EQ(Value("PC_File", name), documents) << name;
        EXPECT_EQ(Value("Line_Set", "Line_Set"), "1");
        Stop();
    }
}

TEST_F(Settings, AStoredLanguageWinsAndAnythingButChineseMeansEnglish) {
    const std::tuple<const char*, const char*, int, const char*> cases[] = {
        {"Chinese", "en_US", 1, "Chinese"},
        {"English", "zh_CN", 0, "English"},
        {"english", "zh_CN", 0, "English"},
        {"Deutsch", "zh_CN", 0, "English"},
        // Too long to be read: as if none was stored.
        {"ChineseChinese", "zh_CN", 1, "Chinese"},
    };
    for (const auto& [stored, locale, chinese, after] : cases) {
        SCOPED_TRACE(stored);
        platform::SetSystemLocaleName(locale);
        g_strLanguage.clear();
        SetValue("DspMcu", "Language", stored);
        ASSERT_TRUE(Start());
        EXPECT_EQ(g_bChinese, chinese);
        EXPECT_EQ(Value("DspMcu", "Language"), after);
        Stop();
    }
}

TEST_F(Settings, AFolderThatIsNoLongerThereIsReplacedByTheDocumentsFolderAndWrittenBack) {
    ASSERT_TRUE(Start());
    const CString gone = Folder("gone");
    QDir(QString::fromStdString(gone)).removeRecursively();
    const CString file = m_dir.filePath("a-file").toStdString();
    QFile(QString::fromStdString(file)).open(QIODevice::WriteOnly);
    const CString deep = Folder(QString(40, 'd').append("/").repeated(9).toStdString().c_str());
    ASSERT_GT(deep.size(), 300u);
    const std::pair<CString, CString> cases[] = {{gone, documents}, {file, documents}, {deep, deep}};
    for (const auto& [stored, expected] : cases) {
        SCOPED_TRACE(stored);
        SetValue("PC_File", "File_Path", stored);
        testing::internal::CaptureStderr();
        View()->ReadFolderSetting(1);
        const std::string warning = testing::internal::GetCapturedStderr();
        EXPECT_EQ(View()->GetFolder(1), expected);
        // The folder the single-preset file dialog opens in.
        EXPECT_EQ(View()->GetLink().m_strPresetFolder, expected);
        EXPECT_EQ(Value("PC_File", "File_Path"), expected);
        EXPECT_EQ(warning.find(stored) != std::string::npos, stored != deep) << warning;
    }
    // Each folder is stored under its own value only.
    const CString maps = Folder("maps");
    View()->SetFolder(3, maps);
    View()->SaveFolderSettings(3);
    EXPECT_EQ(Value("PC_File", "Map_Path"), maps);
    EXPECT_EQ(Value("PC_File", "AllFile_Path"), documents);
    EXPECT_EQ(Value("PC_File", "File_Path"), deep);
}

TEST_F(Settings, TheKeyDeletedWhileRunningComesBackForTheFoldersButNotForTheFirmware) {
    ASSERT_TRUE(Start());
    for (const char* key : {"PC_File", "DspMcu", "Line_Set", "USB"})
        RegDeleteKey(HKEY_CURRENT_USER, apptest::kProgramKey + "\\" + key);
    ASSERT_EQ(RegDeleteKey(HKEY_CURRENT_USER, apptest::kProgramKey), ERROR_SUCCESS);
    View()->SetFolder(1, Folder("elsewhere"));

    View()->ReadFolderSetting(1);
    EXPECT_EQ(View()->GetFolder(1), documents);
    for (const char* name : {"File_Path", "AllFile_Path", "Map_Path", "Hex"})
        EXPECT_EQ(Value("PC_File", name), documents) << name;

    View()->SwitchLanguage(1);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, apptest::kProgramKey + "\\DspMcu", &key), ERROR_FILE_NOT_FOUND);
}

} // namespace
