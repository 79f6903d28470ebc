#include "platform/sys/Registry.h"
#include "platform/sys/Process.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

const CString kUsbKey = "Software\\KAVRO-TUNE-V2.03_2.exe\\USB";

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        platform::SetRegistryFile(m_dir.filePath("registry.ini").toStdString());
    }
    void TearDown() override { platform::SetRegistryFile({}); }

    HKEY Create(const CString& path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKey(HKEY_CURRENT_USER, path, &key), ERROR_SUCCESS) << path;
        return key;
    }
    LONG OpenResult(const CString& path) {
        HKEY key = nullptr;
        const LONG result = RegOpenKey(HKEY_CURRENT_USER, path, &key);
        if (result == ERROR_SUCCESS)
            RegCloseKey(key);
        return result;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(Registry, KeysExistFromCreationToDeletionEvenWhenEmpty) {
    EXPECT_EQ(OpenResult(kUsbKey), ERROR_FILE_NOT_FOUND);
    RegCloseKey(Create(kUsbKey));
    EXPECT_EQ(OpenResult(kUsbKey), ERROR_SUCCESS) << "an empty key must still exist";
    EXPECT_EQ(OpenResult("software\\kavro-tune-v2.03_2.EXE"), ERROR_SUCCESS) << "parents are created too";
    EXPECT_EQ(OpenResult("Software\\KAVRO-TUNE-V2.03_2.exe\\DspMcu"), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Software\\KAVRO-TUNE-V2.03_2.exe"), ERROR_ACCESS_DENIED)
        << "a key with subkeys is refused";
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, kUsbKey), ERROR_SUCCESS);
    EXPECT_EQ(OpenResult(kUsbKey), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenResult("Software\\KAVRO-TUNE-V2.03_2.exe"), ERROR_SUCCESS);
}

TEST_F(Registry, StringValuesRoundTripWhateverTheirNameOrText) {
    struct Case {
        CString name;
        CString text;
    };
    const Case cases[] = {
        {"/dev/hidraw3", "0"},
        {"/dev/hidraw3/x", "1"},
        {"Name", ""},
        {"Path", "/home/user/固件, 2/a\\b"},
        {"", "the unnamed value"},
        {"%2F", "looks encoded"},
        {"@", "at"},
    };
    HKEY key = Create(kUsbKey);
    for (const auto& c : cases)
        ASSERT_EQ(RegSetStringValue(key, c.name, c.text), ERROR_SUCCESS) << c.name;
    for (const auto& c : cases) {
        CString read = "unchanged";
        EXPECT_EQ(RegQueryStringValue(key, c.name, &read, 300), ERROR_SUCCESS) << c.name;
        EXPECT_EQ(read, c.text) << c.name;
    }
    CString read;
    EXPECT_EQ(RegQueryStringValue(key, "NAME", &read, 300), ERROR_SUCCESS) << "names ignore case";
    EXPECT_EQ(RegDeleteValue(key, "/dev/hidraw3"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryStringValue(key, "/dev/hidraw3", &read, 300), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryStringValue(key, "/dev/hidraw3/x", &read, 300), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(key, "/dev/hidraw3"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(Registry, ReadsHonourTheBufferSizeWithTheTerminator) {
    HKEY key = Create("Software\\KAVRO-TUNE-V2.03_2.exe\\DspMcu");
    ASSERT_EQ(RegSetStringValue(key, "Language", "Chinese"), ERROR_SUCCESS);
    CString read = "kept";
    EXPECT_EQ(RegQueryStringValue(key, "Language", &read, 7), ERROR_MORE_DATA);
    EXPECT_EQ(read, "kept");
    EXPECT_EQ(RegQueryStringValue(key, "Language", &read, 8), ERROR_SUCCESS);
    EXPECT_EQ(read, "Chinese");
    RegCloseKey(key);
}

TEST_F(Registry, AHandleToADeletedKeyNoLongerWrites) {
    HKEY key = Create("Software\\KAVRO-TUNE-V2.03_2.exe\\DspMcu");
    ASSERT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Software\\KAVRO-TUNE-V2.03_2.exe\\DspMcu"), ERROR_SUCCESS);
    EXPECT_EQ(RegSetStringValue(key, "Name", "x"), ERROR_KEY_DELETED);
    EXPECT_EQ(OpenResult("Software\\KAVRO-TUNE-V2.03_2.exe\\DspMcu"), ERROR_FILE_NOT_FOUND)
        << "the write must not bring the key back";
    RegCloseKey(key);
}

// In-use marks hold the owner's process id, so the mark of an instance that
// ended without deleting it does not lock the device out.
TEST_F(Registry, UsbMarksCountOnlyWhileTheirOwnerRuns) {
    const pid_t ended = fork();
    if (ended == 0)
        _exit(0);
    ASSERT_GT(ended, 0);
    ASSERT_EQ(waitpid(ended, nullptr, 0), ended);

    const pid_t zombie = fork();
    if (zombie == 0)
        _exit(0);
    ASSERT_GT(zombie, 0);
    siginfo_t info{};
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(zombie), &info, WEXITED | WNOWAIT), 0);

    struct Case {
        CString path;
        CString owner;
        bool inUse;
    };
    const Case cases[] = {
        {"/dev/hidraw0", std::to_string(GetCurrentProcessId()), true},
        {"/dev/hidraw1", std::to_string(ended), false},
        {"/dev/hidraw2", std::to_string(zombie), false},
        {"/dev/hidraw3", "0", false},
        {"/dev/hidraw4", "12x", false},
        {"/dev/hidraw5", "", false},
    };
    HKEY key = Create(kUsbKey);
    for (const auto& c : cases)
        ASSERT_EQ(RegSetStringValue(key, c.path, c.owner), ERROR_SUCCESS);
    RegCloseKey(key);

    ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, kUsbKey, &key), ERROR_SUCCESS);
    for (const auto& c : cases) {
        CString owner;
        ASSERT_EQ(RegQueryStringValue(key, c.path, &owner, 64), ERROR_SUCCESS);
        EXPECT_EQ(platform::IsProcessAlive(owner), c.inUse) << c.path << " owner '" << owner << "'";
    }
    RegCloseKey(key);
    waitpid(zombie, nullptr, 0);
}
