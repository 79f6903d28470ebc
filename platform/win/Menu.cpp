#include "platform/win/Menu.h"

#include "platform/res/Resources.h"
#include "platform/win/DialogTemplate.h"

#include <QAction>
#include <QMenu>

#include <atomic>
#include <charconv>

namespace platform::win {

MenuData::MenuData() = default;
MenuData::~MenuData() = default;

std::optional<std::unique_ptr<MenuData>> ParseMenuTemplate(const CString& source, CString* error) {
    auto root = std::make_unique<MenuData>();
    std::vector<MenuData*> open{root.get()};
    bool haveMenu = false;
    int lineNo = 0;
    auto fail = [&](const CString& why) -> std::optional<std::unique_ptr<MenuData>> {
        if (error)
            *error = "line " + std::to_string(lineNo) + ": " + why;
        return std::nullopt;
    };
    std::size_t start = 0;
    while (start <= source.size()) {
        std::size_t end = source.find('\n', start);
        if (end == CString::npos)
            end = source.size();
        const std::vector<CString> f = SplitTemplateLine(source.substr(start, end - start));
        start = end + 1;
        ++lineNo;
        if (f.empty() || f[0].starts_with('#'))
            continue;
        if (f[0] == "MENU") {
            haveMenu = true;
        } else if (!haveMenu) {
            return fail("no MENU statement");
        } else if (f[0] == "POPUP" && f.size() >= 2) {
            MenuItem item;
            item.text = f[1];
            item.popup = std::make_unique<MenuData>();
            MenuData* popup = item.popup.get();
            open.back()->items.push_back(std::move(item));
            open.push_back(popup);
        } else if (f[0] == "MENUITEM" && f.size() == 2 && f[1] == "SEPARATOR") {
            MenuItem item;
            item.state = MF_SEPARATOR;
            open.back()->items.push_back(std::move(item));
        } else if (f[0] == "MENUITEM" && f.size() >= 3) {
            MenuItem item;
            item.text = f[1];
            const auto [rest, ec] = std::from_chars(f[2].data(), f[2].data() + f[2].size(), item.id);
            if (ec != std::errc() || rest != f[2].data() + f[2].size())
                return fail("bad command id " + f[2]);
            open.back()->items.push_back(std::move(item));
        } else if (f[0] == "END") {
            if (open.size() == 1)
                return fail("END without POPUP");
            open.pop_back();
        } else {
            return fail("unknown statement " + f[0]);
        }
    }
    if (!haveMenu)
        return fail("no MENU statement");
    if (open.size() != 1)
        return fail("POPUP without END");
    return root;
}

namespace {

// The program's tracker: a Qt menu, run until it closes.
class QtMenuTracker final : public PopupMenuTracker {
public:
    UINT Track(const MenuData& menu, POINT screen, UINT, HWND) override {
        QMenu qmenu;
        Fill(qmenu, menu);
        QAction* chosen = qmenu.exec(QPoint(screen.x, screen.y));
        return chosen ? chosen->data().toUInt() : 0;
    }

private:
    static void Fill(QMenu& qmenu, const MenuData& menu) {
        for (const MenuItem& item : menu.items) {
            const QString text = QString::fromStdString(item.text);
            if (item.popup) {
                QMenu* sub = qmenu.addMenu(text);
                Fill(*sub, *item.popup);
                continue;
            }
            if (item.state & MF_SEPARATOR) {
                qmenu.addSeparator();
                continue;
            }
            QAction* action = qmenu.addAction(text);
            action->setData(item.id);
            action->setEnabled((item.state & MF_GRAYED) == 0);
            action->setCheckable((item.state & MF_CHECKED) != 0);
            action->setChecked((item.state & MF_CHECKED) != 0);
        }
    }
};

std::atomic<PopupMenuTracker*> s_tracker{nullptr};

PopupMenuTracker& Tracker() {
    static QtMenuTracker qt;
    PopupMenuTracker* t = s_tracker.load();
    return t ? *t : qt;
}

MenuItem* FindById(MenuData& menu, UINT id) {
    for (MenuItem& item : menu.items) {
        if (item.popup) {
            if (MenuItem* inner = FindById(*item.popup, id))
                return inner;
        } else if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

} // namespace

bool RemoveById(MenuData& menu, UINT id) {
    for (auto it = menu.items.begin(); it != menu.items.end(); ++it) {
        if (!it->popup && it->id == id) {
            menu.items.erase(it);
            return true;
        }
        if (it->popup && RemoveById(*it->popup, id))
            return true;
    }
    return false;
}

PopupMenuTracker* InstallPopupMenuTracker(PopupMenuTracker* tracker) {
    return s_tracker.exchange(tracker);
}

} // namespace platform::win

using platform::win::MenuData;
using platform::win::MenuItem;

CMenu::~CMenu() {
    DestroyMenu();
}

BOOL CMenu::LoadMenu(UINT id) {
    if (m_hMenu)
        return FALSE;
    auto source = platform::res::Provider().Source(id, "MENU");
    if (!source)
        return FALSE;
    auto menu = platform::win::ParseMenuTemplate(*source);
    if (!menu)
        return FALSE;
    m_hMenu = menu->release();
    m_bOwns = true;
    return TRUE;
}

BOOL CMenu::DestroyMenu() {
    if (!m_hMenu)
        return FALSE;
    if (m_bOwns)
        delete m_hMenu;
    m_hMenu = nullptr;
    m_bOwns = false;
    return TRUE;
}

int CMenu::GetMenuItemCount() const {
    return m_hMenu ? int(m_hMenu->items.size()) : -1;
}

UINT CMenu::GetMenuItemID(int pos) const {
    const MenuItem* item = Find(UINT(pos), MF_BYPOSITION);
    return item && !item->popup ? item->id : UINT(-1);
}

CMenu* CMenu::GetSubMenu(int pos) const {
    MenuItem* item = Find(UINT(pos), MF_BYPOSITION);
    if (!item || !item->popup)
        return nullptr;
    MenuData& popup = *item->popup;
    if (!popup.wrapper) {
        popup.wrapper = std::make_unique<CMenu>();
        popup.wrapper->m_hMenu = &popup;
    }
    return popup.wrapper.get();
}

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const {
    const MenuItem* found = Find(item, flags);
    text = found ? found->text : CString();
    return int(text.size());
}

UINT CMenu::CheckMenuItem(UINT item, UINT check) {
    MenuItem* found = Find(item, check);
    if (!found)
        return UINT(-1);
    const UINT old = found->state & MF_CHECKED;
    found->state = (found->state & ~MF_CHECKED) | (check & MF_CHECKED);
    return old;
}

UINT CMenu::EnableMenuItem(UINT item, UINT enable) {
    MenuItem* found = Find(item, enable);
    if (!found)
        return UINT(-1);
    const UINT mask = MF_GRAYED | MF_DISABLED;
    const UINT old = found->state & mask;
    found->state = (found->state & ~mask) | (enable & mask);
    return old;
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const {
    const MenuItem* found = Find(item, flags);
    if (!found)
        return UINT(-1);
    return found->state | (found->popup ? MF_POPUP : 0);
}

BOOL CMenu::ModifyMenu(UINT item, UINT flags, UINT newId, const CString& text) {
    MenuItem* found = Find(item, flags);
    if (!found)
        return FALSE;
    found->id = newId;
    found->text = text;
    found->state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    found->popup.reset();
    return TRUE;
}

BOOL CMenu::RemoveMenu(UINT item, UINT flags) {
    if (!m_hMenu)
        return FALSE;
    if (flags & MF_BYPOSITION) {
        if (item >= m_hMenu->items.size())
            return FALSE;
        m_hMenu->items.erase(m_hMenu->items.begin() + item);
        return TRUE;
    }
    return platform::win::RemoveById(*m_hMenu, item) ? TRUE : FALSE;
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT*) {
    if (!m_hMenu || !owner || !owner->GetSafeHwnd())
        return FALSE;
    const HWND hwnd = owner->GetSafeHwnd();
    UINT chosen = platform::win::Tracker().Track(*m_hMenu, POINT{x, y}, flags, hwnd);
    // A disabled item can be clicked (MF_DISABLED alone looks enabled) but chooses nothing.
    if (const MenuItem* item = chosen ? platform::win::FindById(*m_hMenu, chosen) : nullptr;
        item && (item->state & (MF_GRAYED | MF_DISABLED)))
        chosen = 0;
    if (flags & TPM_RETURNCMD)
        return BOOL(chosen);
    if (chosen)
        ::PostMessage(hwnd, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    return TRUE;
}

MenuItem* CMenu::Find(UINT item, UINT flags) const {
    if (!m_hMenu)
        return nullptr;
    if (flags & MF_BYPOSITION)
        return item < m_hMenu->items.size() ? &m_hMenu->items[item] : nullptr;
    return platform::win::FindById(*m_hMenu, item);
}
