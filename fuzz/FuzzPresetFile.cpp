// The preset-file readers fed any text (scrambled as the files are before it
// is written out): a refused file changes nothing.

#include "FuzzCheck.h"
#include "model/DeviceDefaults.h"
#include "model/Globals.h"
#include "model/PresetJson.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<BYTE> Memories() {
    std::vector<BYTE> all(g_DeviceImage, g_DeviceImage + kDeviceImageSize);
    const auto* stored = &g_PresetImages[0][0];
    all.insert(all.end(), stored, stored + sizeof g_PresetImages);
    const auto* settings = reinterpret_cast<const BYTE*>(&g_DeviceSettings);
    all.insert(all.end(), settings, settings + sizeof g_DeviceSettings);
    all.push_back(BYTE(g_bPresetLocked));
    return all;
}

const std::string& FilePath() {
    static const std::string path = "/tmp/kt_fuzz_preset_" + std::to_string(::getpid());
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = [] {
        InitDefaultDeviceData();
        return true;
    }();
    (void)ready;
    if (size < 1)
        return 0;
    const bool all = data[0] & 1;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    CPresetJson::Scramble(text);
    std::FILE* file = std::fopen(FilePath().c_str(), "wb");
    FUZZ_REQUIRE(file);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);

    CPresetJson json;
    const std::vector<BYTE> before = Memories();
    const PresetFileInfo info = json.GetInfo();
    const bool read =
        all ? json.ReadAllPresetsFile(FilePath()) : json.ReadPresetFile(g_DeviceSettings, g_DeviceImage, FilePath());
    if (!read) {
        FUZZ_REQUIRE(Memories() == before);
        FUZZ_REQUIRE(json.GetInfo() == info);
    }
    std::remove(FilePath().c_str());
    return 0;
}
