// Menus the program builds item by item instead of loading a template.

#include "platform/win/Menu.h"

using platform::win::MenuData;
using platform::win::MenuItem;

BOOL CMenu::CreatePopupMenu() {
    if (m_hMenu)
        return FALSE;
    m_hMenu = new MenuData;
    m_bOwns = true;
    return TRUE;
}

BOOL CMenu::AppendMenu(UINT flags, UINT id, const CString& text) {
    if (!m_hMenu || (flags & MF_POPUP))
        return FALSE;
    MenuItem item;
    item.id = id;
    item.text = text;
    item.state = flags & (MF_CHECKED | MF_GRAYED | MF_DISABLED);
    m_hMenu->items.push_back(std::move(item));
    return TRUE;
}
