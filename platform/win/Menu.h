#pragma once

// Popup menus: loaded from menu templates in res/ and shown with
// TrackPopupMenu.  A menu resource is a bar whose items are popups:
//
//   MENU 107
//   POPUP "Speaker"
//       MENUITEM "NULL" 4100
//       MENUITEM SEPARATOR
//       POPUP "Front"
//           MENUITEM "FL-Tweeter" 4101
//       END
//   END
//
// "&&" in a text shows as one "&".  Items are addressed by command id
// (MF_BYCOMMAND, searched through the popups too) or by position in their
// own menu (MF_BYPOSITION).  MF_GRAYED items look and are disabled;
// MF_DISABLED alone looks enabled but choosing it does nothing.  The chosen command reaches the owner window
// as WM_COMMAND, posted after the menu has closed.

#include "platform/win/Wnd.h"

#include <memory>
#include <optional>
#include <vector>

class CMenu;

namespace platform::win {

struct MenuData;

struct MenuItem {
    UINT id = 0;
    CString text;
    UINT state = 0; // MF_CHECKED, MF_GRAYED, MF_DISABLED, MF_SEPARATOR
    std::unique_ptr<MenuData> popup;
};

struct MenuData {
    MenuData();
    ~MenuData();
    std::vector<MenuItem> items;
    std::unique_ptr<CMenu> wrapper; // what GetSubMenu hands out for this popup
};

// nullopt when the text is not a menu template; `error` says why.
std::optional<std::unique_ptr<MenuData>> ParseMenuTemplate(const CString& source, CString* error = nullptr);

// Shows a popup menu at a screen point and returns the chosen command, 0
// when the user chose nothing.  The program shows a Qt menu; tests install
// their own tracker.
class PopupMenuTracker {
public:
    virtual ~PopupMenuTracker() = default;
    virtual UINT Track(const MenuData& menu, POINT screen, UINT flags, HWND owner) = 0;
};
// Installs `tracker` (nullptr: the Qt menu) and returns the previous one.
PopupMenuTracker* InstallPopupMenuTracker(PopupMenuTracker* tracker);
// Removes the command item `id`, searching the popups too.
bool RemoveById(MenuData& menu, UINT id);

} // namespace platform::win

using HMENU = platform::win::MenuData*;

inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
inline constexpr UINT TPM_NONOTIFY = 0x0080;
inline constexpr UINT TPM_RETURNCMD = 0x0100;

class CMenu final {
public:
    CMenu() = default;
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }

    // The menu resource `id`; FALSE when there is none or this object
    // already holds a menu.
    BOOL LoadMenu(UINT id);
    BOOL DestroyMenu();
    // An empty popup menu owned by this object; FALSE when it holds a menu.
    BOOL CreatePopupMenu();
    // MF_STRING items only: a command with its text.
    BOOL AppendMenu(UINT flags, UINT id, const CString& text);

    int GetMenuItemCount() const;
    // The command of the item at `pos`; UINT(-1) for a popup or no item.
    UINT GetMenuItemID(int pos) const;
    // The popup at `pos` (owned by the menu), or nullptr.
    CMenu* GetSubMenu(int pos) const;
    int GetMenuString(UINT item, CString& text, UINT flags) const;
    // Each returns the item's previous state, UINT(-1) when there is no item.
    UINT CheckMenuItem(UINT item, UINT check);
    UINT EnableMenuItem(UINT item, UINT enable);
    UINT GetMenuState(UINT item, UINT flags) const;
    // Makes the item a plain string item with the command `newId` and `text`
    // (its popup, if any, goes); the state bits of `flags` replace its own.
    BOOL ModifyMenu(UINT item, UINT flags, UINT newId, const CString& text);
    // Takes the item out of its menu.
    BOOL RemoveMenu(UINT item, UINT flags);

    // Shows the menu with its top-left corner at the screen point (x, y).
    // With TPM_RETURNCMD the chosen command is returned and nothing is sent;
    // otherwise it is posted to `owner` and the result is TRUE.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rect = nullptr);

    HMENU m_hMenu = nullptr;

private:
    platform::win::MenuItem* Find(UINT item, UINT flags) const;
    bool m_bOwns = false;
};
