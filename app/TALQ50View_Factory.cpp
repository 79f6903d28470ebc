// The factory restore of the view: the factory data travel inside the
// program as an all-presets file, which is written to the documents folder
// and read from there like any all-presets file.  The link part of the view
// builds without the program's resources; this part needs them.

#include "link/SyncForm.h"
#include "link/SyncModel.h"
#include "link/TALQ50View.h"
#include "link/ViewTexts.h"
#include "model/Globals.h"
#include "model/PresetJson.h"
#include "platform/res/ResourceApi.h"
#include "platform/sys/SaveFile.h"
#include "platform/sys/ShellFolders.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace {

constexpr UINT kDefaultDataResource = 1251;
const char* const kDefaultDataFile = "/Default_Data_K3Q7.bdfa";

} // namespace

void CTALQ50View::RestoreFactoryData() {
    std::error_code error;
    // Written anew at the first restore of a run, so a file damaged or
    // replaced since the last run is repaired.  When that write fails, an
    // older file in its place is no factory data: it is not read instead.
    const bool extract =
        m_strDefaultDataPath.empty() || !std::filesystem::exists(m_strDefaultDataPath, error);
    const bool extracted = !extract || ExtractDefaultDataFile();
    if (!extracted)
        m_strDefaultDataPath.clear(); // the next restore writes it again
    CPresetJson file;
    if (!extracted || m_strDefaultDataPath.empty() || !file.ReadAllPresetsFile(m_strDefaultDataPath)) {
        LangMessageBox("读整机场景文件错误!", "Read all presets file error!");
        return;
    }
    ApplyAllPresetsImages();
    // The change tracking names the live preset "Custom" and sends the name.
    g_bNameCheckPending = 1;
}

bool CTALQ50View::ExtractDefaultDataFile() {
    namespace fs = std::filesystem;
    const CString folder = platform::DocumentsFolder();
    std::error_code error;
    if (!fs::is_directory(folder, error))
        fs::create_directories(folder, error);
    m_strDefaultDataPath = folder + kDefaultDataFile;

    HMODULE module = AfxGetResourceHandle();
    HRSRC found = FindResource(module, kDefaultDataResource, "JSON");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return false;
    const DWORD size = SizeofResource(module, found);

    return platform::SaveFileWhole(m_strDefaultDataPath,
                                   std::string_view(static_cast<const char*>(bytes), size));
}
