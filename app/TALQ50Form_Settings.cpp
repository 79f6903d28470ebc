// The view's settings in the registry: the folders of the file dialogs, the
// firmware file and folder, the language, and the line setting.  Paths are
// read whatever their length.

#include "app/TALQ50Form.h"

#include "model/Globals.h"
#include "platform/sys/Registry.h"
#include "platform/sys/Shell.h"
#include "platform/sys/ShellFolders.h"

#include <cstdio>
#include <cstdlib>

namespace {

const CString kProgramKey = "Software\\KAVRO-TUNE-V2.03_2.exe";
const CString kPcFileKey = kProgramKey + "\\PC_File";
const CString kDspMcuKey = kProgramKey + "\\DspMcu";
const CString kLineSetKey = kProgramKey + "\\Line_Set";

const char* const kFolderValues[] = {"File_Path", "AllFile_Path", "Map_Path", "Hex"};

// Paths have no length limit here; the language value keeps its small one.
constexpr DWORD kPathBuffer = 1u << 20;
constexpr DWORD kLanguageBuffer = 10;
constexpr DWORD kLineBuffer = 10;

void Warn(const CString& line) {
    std::fprintf(stderr, "kavro-tune: %s\n", line.c_str());
}

} // namespace

BOOL CTALQ50Form::IsMissingFolder(const CString& path) {
    return !IsExistingFolder(path);
}

CString CTALQ50Form::GetFolder(int which) const {
    if (which >= 1 && which <= 3)
        return m_strFolders[which - 1];
    if (which == 4)
        return m_link.m_strFirmwareFolder;
    return {};
}

void CTALQ50Form::SetFolder(int which, const CString& folder) {
    if (which >= 1 && which <= 3)
        m_strFolders[which - 1] = folder;
    else if (which == 4)
        m_link.m_strFirmwareFolder = folder;
}

// Opens PC_File; a missing key is created with the documents folder in all
// four values, and then the caller does nothing more (`created`).
CString CTALQ50Form::EnsurePcFileKey(bool* created) {
    HKEY key = nullptr;
    *created = false;
    if (RegOpenKey(HKEY_CURRENT_USER, kPcFileKey, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        return kPcFileKey;
    }
    *created = true;
    if (RegCreateKey(HKEY_CURRENT_USER, kPcFileKey, &key) != ERROR_SUCCESS)
        return kPcFileKey;
    const CString documents = platform::DocumentsFolder();
    for (int k = 1; k <= 4; ++k) {
        SetFolder(k, documents);
        RegSetStringValue(key, kFolderValues[k - 1], documents);
    }
    RegCloseKey(key);
    return kPcFileKey;
}

int CTALQ50Form::ReadFolderSetting(int which) {
    bool created = false;
    EnsurePcFileKey(&created);
    if (created || which < 1 || which > 4)
        return 1;
    HKEY key = nullptr;
    if (RegOpenKey(HKEY_CURRENT_USER, kPcFileKey, &key) != ERROR_SUCCESS)
        return 1;
    const char* name = kFolderValues[which - 1];
    CString folder;
    const bool read = RegQueryStringValue(key, name, &folder, kPathBuffer) == ERROR_SUCCESS;
    if (!read || IsMissingFolder(folder)) {
        if (read && folder != platform::DocumentsFolder())
            Warn("settings: PC_File\\" + CString(name) + " \"" + folder +
                 "\" is not a folder; the documents folder is used");
        folder = platform::DocumentsFolder();
        RegSetStringValue(key, name, folder);
    }
    SetFolder(which, folder);
    RegCloseKey(key);
    return 1;
}

int CTALQ50Form::SaveFolderSettings(int which) {
    bool created = false;
    EnsurePcFileKey(&created);
    if (created || which < 1 || which > 4)
        return 1;
    HKEY key = nullptr;
    if (RegOpenKey(HKEY_CURRENT_USER, kPcFileKey, &key) != ERROR_SUCCESS)
        return 1;
    const char* name = kFolderValues[which - 1];
    if (RegSetStringValue(key, name, GetFolder(which)) != ERROR_SUCCESS) {
        SetFolder(which, platform::DocumentsFolder());
        RegSetStringValue(key, name, GetFolder(which));
    }
    RegCloseKey(key);
    return 1;
}

int CTALQ50Form::ReadDspMcuSettings() {
    HKEY key = nullptr;
    if (RegOpenKey(HKEY_CURRENT_USER, kDspMcuKey, &key) != ERROR_SUCCESS) {
        if (RegCreateKey(HKEY_CURRENT_USER, kDspMcuKey, &key) == ERROR_SUCCESS) {
            RegSetStringValue(key, "Name", g_strHexFile);
            RegSetStringValue(key, "Path", m_link.m_strFirmwareFolder);
            RegSetStringValue(key, "Language", g_strLanguage);
            RegCloseKey(key);
        }
        return 1;
    }
    RegQueryStringValue(key, "Name", &g_strHexFile, kPathBuffer);
    CString folder;
    const bool read = RegQueryStringValue(key, "Path", &folder, kPathBuffer) == ERROR_SUCCESS;
    if (!read || IsMissingFolder(folder)) {
        if (read && !folder.empty() && folder != platform::DocumentsFolder())
            Warn("settings: DspMcu\\Path \"" + folder + "\" is not a folder; the documents folder is used");
        folder = platform::DocumentsFolder();
    }
    m_link.m_strFirmwareFolder = folder;
    CString language;
    const LONG result = RegQueryStringValue(key, "Language", &language, kLanguageBuffer);
    if (result == ERROR_SUCCESS) {
        if (!language.empty() && language != "Chinese" && language != "English")
            Warn("settings: DspMcu\\Language \"" + language +
                 "\" is not Chinese or English; English is used");
        g_strLanguage = language;
    } else if (result == ERROR_MORE_DATA) {
        Warn("settings: DspMcu\\Language is too long; the system's language is used");
    }
    RegCloseKey(key);
    return 1;
}

int CTALQ50Form::ReadLineSetting() {
    HKEY key = nullptr;
    if (RegOpenKey(HKEY_CURRENT_USER, kLineSetKey, &key) != ERROR_SUCCESS) {
        if (RegCreateKey(HKEY_CURRENT_USER, kLineSetKey, &key) == ERROR_SUCCESS) {
            RegSetStringValue(key, "Line_Set", "1");
            RegCloseKey(key);
        }
        return 1;
    }
    CString value;
    RegQueryStringValue(key, "Line_Set", &value, kLineBuffer);
    // Nothing uses the number; it is only read.
    [[maybe_unused]] const long number = std::strtol(value.c_str(), nullptr, 10);
    RegCloseKey(key);
    return 1;
}
