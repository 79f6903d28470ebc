#pragma once

// The program's preset menu as a user chooses from it, and what an
// all-presets file holds of the six stored presets.

#include "model/Globals.h"
#include "model/PresetJson.h"
#include "platform/win/Menu.h"
#include "sim/lib/SimMemory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace apptest {

constexpr UINT kPresetMenuButton = 8801;
constexpr UINT kLoadAllPresetsItem = 724;
constexpr UINT kSaveAllPresetsItem = 726;

// Any popup menu shown meanwhile answered with `choose`, as a click on that
// item would.
class MenuChoice final : public platform::win::PopupMenuTracker {
public:
    explicit MenuChoice(UINT item = 0) : choose(item) {
        m_previous = platform::win::InstallPopupMenuTracker(this);
    }
    ~MenuChoice() override { platform::win::InstallPopupMenuTracker(m_previous); }
    MenuChoice(const MenuChoice&) = delete;
    MenuChoice& operator=(const MenuChoice&) = delete;
    UINT Track(const platform::win::MenuData&, POINT, UINT, HWND) override { return choose; }

    UINT choose;

private:
    platform::win::PopupMenuTracker* m_previous = nullptr;
};

// The stored presets an all-presets file holds, as reading it leaves them
// in the model.
inline std::vector<BYTE> StoredPresetsIn(const CString& path) {
    {
        CModelLock lock(true);
        std::memset(g_PresetImages, 0, sizeof g_PresetImages);
    }
    CPresetJson json;
    EXPECT_TRUE(json.ReadAllPresetsFile(path));
    CModelLock lock(true);
    return {&g_PresetImages[0][0], &g_PresetImages[0][0] + sizeof g_PresetImages};
}

// What a file made from the processor's stored presets holds of them (the
// files carry only part of some records); `scratch` takes the file.
inline std::vector<BYTE> StoredPresetsOf(const sim::SimMemory& memory, const CString& scratch) {
    {
        CModelLock lock(true);
        for (int p = 1; p <= kPresetCount; ++p)
            std::memcpy(g_PresetImages[p - 1], memory.Image(p), kDeviceImageSize);
    }
    EXPECT_TRUE(CPresetJson().WriteAllPresetsFile(scratch));
    return StoredPresetsIn(scratch);
}

} // namespace apptest
