// The view's settings in the registry, under the program's key.

#include "link/TALQ50View.h"
#include "model/Globals.h"
#include "platform/sys/Registry.h"
#include "platform/sys/ShellFolders.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

const CString kDspMcuKey = "Software\\KAVRO-TUNE-V2.03_2.exe\\DspMcu";
const CString kFolderKey = "Software\\KAVRO-TUNE-V2.03_2.exe\\PC_File";
// Values of the remembered folders 1..4.
const char* const kFolderValues[] = {"File_Path", "AllFile_Path", "Map_Path", "Hex"};
// Paths are read at any length; the limit only guards against nonsense.
constexpr DWORD kPathBuffer = 1u << 16;

} // namespace

int CTALQ50View::SaveDspMcuSettings() {
    HKEY key = nullptr;
    // A missing key is left missing: start-up creates it.
    if (RegOpenKey(HKEY_CURRENT_USER, kDspMcuKey, &key) != ERROR_SUCCESS)
        return 1;
    RegSetStringValue(key, "Name", g_strHexFile);
    RegSetStringValue(key, "Path", m_strFirmwareFolder);
    RegSetStringValue(key, "Language", g_strLanguage);
    RegCloseKey(key);
    return 1;
}

CString* CTALQ50View::FolderMember(int which) {
    switch (which) {
    case 1:
        return &m_strPresetFolder;
    case 2:
        return &m_strAllPresetsFolder;
    case 3:
        return &m_strMapFolder;
    case 4:
        return &m_strFirmwareFolder;
    default:
        return nullptr;
    }
}

// The folder key, created with the documents folder in all four values when
// it is missing; null in that case, since there is nothing more to read.
static HKEY OpenFolderKey(CTALQ50View& view) {
    HKEY key = nullptr;
    if (RegOpenKey(HKEY_CURRENT_USER, kFolderKey, &key) == ERROR_SUCCESS)
        return key;
    if (RegCreateKey(HKEY_CURRENT_USER, kFolderKey, &key) != ERROR_SUCCESS)
        return nullptr;
    const CString documents = platform::DocumentsFolder();
    for (int k = 1; k <= 4; ++k) {
        *view.FolderMember(k) = documents;
        RegSetStringValue(key, kFolderValues[k - 1], documents);
    }
    RegCloseKey(key);
    return nullptr;
}

int CTALQ50View::ReadFolderSetting(int which) {
    HKEY key = OpenFolderKey(*this);
    if (!key)
        return 1;
    if (CString* folder = FolderMember(which)) {
        CString value;
        const bool read =
            RegQueryStringValue(key, kFolderValues[which - 1], &value, kPathBuffer) == ERROR_SUCCESS;
        if (!read || IsMissingFolder(value)) {
            if (read && !value.empty() && value != platform::DocumentsFolder())
                std::fprintf(stderr,
                             "kavro-tune: settings: PC_File\\%s \"%s\" is not a folder; the documents folder "
                             "is used\n",
                             kFolderValues[which - 1], value.c_str());
            value = platform::DocumentsFolder();
            RegSetStringValue(key, kFolderValues[which - 1], value);
        }
        *folder = value;
    }
    RegCloseKey(key);
    return 1;
}

int CTALQ50View::SaveFolderSettings(int which) {
    HKEY key = OpenFolderKey(*this);
    if (!key)
        return 1;
    if (CString* folder = FolderMember(which)) {
        if (RegSetStringValue(key, kFolderValues[which - 1], *folder) != ERROR_SUCCESS) {
            *folder = platform::DocumentsFolder();
            RegSetStringValue(key, kFolderValues[which - 1], *folder);
        }
    }
    RegCloseKey(key);
    return 1;
}

BOOL CTALQ50View::IsMissingFolder(const CString& path) {
    std::error_code error;
    return path.empty() || !std::filesystem::is_directory(path, error);
}
