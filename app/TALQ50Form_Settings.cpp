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
const CString kDspMcuKey = kProgramKey + "\\DspMcu";
const CString kLineSetKey = kProgramKey + "\\Line_Set";

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

// The folders live in the link, whose file commands use them; the view
// reads and stores them through it so there is one copy of each.
CString CTALQ50Form::GetFolder(int which) {
    const CString* folder = m_link.FolderMember(which);
    return folder ? *folder : CString();
}

void CTALQ50Form::SetFolder(int which, const CString& folder) {
    if (CString* member = m_link.FolderMember(which))
        *member = folder;
}

int CTALQ50Form::ReadFolderSetting(int which) {
    return m_link.ReadFolderSetting(which);
}

int CTALQ50Form::SaveFolderSettings(int which) {
    return m_link.SaveFolderSettings(which);
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
