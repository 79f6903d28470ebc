// The view's settings in the registry, under the program's key.

#include "link/TALQ50View.h"
#include "model/Globals.h"
#include "platform/sys/Registry.h"

namespace {

const CString kDspMcuKey = "Software\\KAVRO-TUNE-V2.03_2.exe\\DspMcu";

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
