#include "tools/FactoryDefaultData.h"

#include "model/DeviceDefaults.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "model/PresetJson.h"

#include <cstring>
#include <mutex>

namespace {

constexpr const char* kUploadTime = "2020-01-01 00:00:00";

} // namespace

bool WriteFactoryDefaultData(const CString& path) {
    g_bOnline = 0;
    {
        // As at the program's start: what the defaults leave alone is zero.
        std::lock_guard lock(g_csModel);
        std::memset(g_DeviceImage, 0, sizeof g_DeviceImage);
        std::memset(g_PresetImages, 0, sizeof g_PresetImages);
        std::memset(&g_DeviceSettings, 0, sizeof g_DeviceSettings);
    }
    InitDefaultDeviceData();
    CKTV_Data model;
    model.PackToImage();
    {
        std::lock_guard lock(g_csModel);
        g_bPresetLocked = 0;
        for (auto& stored : g_PresetImages) {
            std::memcpy(stored, g_DeviceImage, kDeviceImageSize);
            std::memset(stored + kPresetNameOffset, ' ', kPresetNameSize - 1);
            stored[kPresetNameOffset + kPresetNameSize - 1] = 0;
        }
    }
    CPresetJson json;
    json.SetUploadTimeSource([] { return CString(kUploadTime); });
    return json.WriteAllPresetsFile(path);
}
