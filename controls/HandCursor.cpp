#include "controls/HandCursor.h"

HandCursor::HandCursor() {
    if (HCURSOR loaded = LoadCursor(AfxGetResourceHandle(), IDC_HAND_CURSOR))
        m_cursor = CopyCursor(loaded);
}

HandCursor::~HandCursor() {
    if (m_cursor)
        DestroyCursor(m_cursor);
}

BOOL HandCursor::Show() const {
    ::SetCursor(m_cursor ? m_cursor : LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}
