#include "platform/win/Menu.h"
#include "controls/SharedGdiObjects.h"
#include "platform/res/Resources.h"

#include <gtest/gtest.h>

namespace {

// Where the item of each speaker type sits: positions in the first popup,
// then in its popups.
std::vector<int> PathOf(int type) {
    if (type == 0)
        return {0};
    if (type <= 12)
        return {1, type <= 6 ? 0 : 1, (type - 1) % 6};
    if (type <= 18)
        return {2, type <= 15 ? 0 : 1, (type - 13) % 3};
    return {type <= 21 ? 3 : 4, (type - 19) % 3};
}

TEST(SpeakerTypeMenu, EveryTypeHasItsItemAtItsPlaceWithTheStringTableName) {
    for (const auto& [menuId, stringBase] : {std::pair{106u, 6300u}, std::pair{107u, 6200u}}) {
        CMenu menu;
        ASSERT_TRUE(menu.LoadMenu(menuId));
        CMenu* first = menu.GetSubMenu(0);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->GetMenuItemCount(), 5);
        for (int type = 0; type <= 24; ++type) {
            const std::vector<int> path = PathOf(type);
            CMenu* popup = first;
            for (std::size_t i = 0; i + 1 < path.size() && popup; ++i)
                popup = popup->GetSubMenu(path[i]);
            ASSERT_NE(popup, nullptr) << type;
            EXPECT_EQ(popup->GetMenuItemID(path.back()), 4100u + type) << menuId << " " << type;
            CString text;
            popup->GetMenuString(UINT(path.back()), text, MF_BYPOSITION);
            EXPECT_EQ(std::optional<CString>(text), platform::res::Provider().String(stringBase + type))
                << menuId << " " << type;
        }
    }
    CString name;
    CMenu english;
    ASSERT_TRUE(english.LoadMenu(107));
    english.GetMenuString(4104, name, MF_BYCOMMAND);
    EXPECT_EQ(name, "FL-M && T"); // shown as one ampersand
}

class RecordingOwner final : public CWnd {
public:
    std::vector<UINT> commands;
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        commands.push_back(LOWORD(wParam));
        return TRUE;
    }
};

class ChoosingTracker final : public platform::win::PopupMenuTracker {
public:
    ChoosingTracker() { m_previous = platform::win::InstallPopupMenuTracker(this); }
    ~ChoosingTracker() override { platform::win::InstallPopupMenuTracker(m_previous); }
    UINT Track(const platform::win::MenuData& menu, POINT screen, UINT, HWND) override {
        at = screen;
        shownItems = menu.items.size();
        return choice;
    }
    UINT choice = 0;
    POINT at{};
    std::size_t shownItems = 0;

private:
    platform::win::PopupMenuTracker* m_previous = nullptr;
};

TEST(SpeakerTypeMenu, StatesSetByPositionAndTheChoiceReachesTheOwner) {
    ASSERT_TRUE(g_menuSpkType.LoadMenu(106));
    ASSERT_TRUE(g_menuSpkType.DestroyMenu()); // the language changes
    ASSERT_TRUE(g_menuSpkType.LoadMenu(107));
    CMenu* front = g_menuSpkType.GetSubMenu(0)->GetSubMenu(1)->GetSubMenu(0);
    EXPECT_EQ(front->CheckMenuItem(2, MF_BYPOSITION | MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(front->EnableMenuItem(3, MF_BYPOSITION | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(g_menuSpkType.GetMenuState(4103, MF_BYCOMMAND), MF_CHECKED);
    EXPECT_EQ(g_menuSpkType.GetMenuState(4104, MF_BYCOMMAND), MF_GRAYED);
    EXPECT_EQ(front->CheckMenuItem(9, MF_BYPOSITION | MF_CHECKED), UINT(-1));

    RecordingOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, "AfxWnd", "", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
    ChoosingTracker tracker;
    tracker.choice = 4117;
    CMenu* popup = g_menuSpkType.GetSubMenu(0);
    EXPECT_TRUE(popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, 30, 42, &owner));
    EXPECT_EQ(tracker.shownItems, 5u);
    EXPECT_EQ(tracker.at.y, 42);
    EXPECT_TRUE(owner.commands.empty()); // posted: it arrives after the menu closed
    platform::PumpMessages();
    EXPECT_EQ(owner.commands, std::vector<UINT>{4117});

    EXPECT_EQ(popup->TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner), 4117);
    tracker.choice = 0;
    EXPECT_TRUE(popup->TrackPopupMenu(0, 0, 0, &owner));
    platform::PumpMessages();
    EXPECT_EQ(owner.commands.size(), 1u);
    g_menuSpkType.DestroyMenu();
}

TEST(MenuTemplate, MalformedTemplatesAreRefused) {
    const char* bad[] = {
        "POPUP \"x\"\nEND\n",                          // no MENU
        "MENU 1\nPOPUP \"x\"\nMENUITEM \"a\" 7\n",     // no END
        "MENU 1\nEND\n",                               // END without POPUP
        "MENU 1\nPOPUP \"x\"\nMENUITEM \"a\" 7b\nEND", // bad id
        "MENU 1\nSEPARATOR\n",
    };
    for (const char* source : bad) {
        CString error;
        EXPECT_FALSE(platform::win::ParseMenuTemplate(source, &error)) << source;
        EXPECT_FALSE(error.empty());
    }
    CMenu none;
    EXPECT_FALSE(none.LoadMenu(9999));
    EXPECT_EQ(none.GetSubMenu(0), nullptr);
}

} // namespace
