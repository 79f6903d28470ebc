#include "controls/NumEdit.h"

void CNumEdit::SetHighlight(BOOL highlight) {
    if (highlight == m_bHighlight)
        return;
    m_bHighlight = highlight;
    CWnd* parent = GetParent();
    if (!parent)
        return;
    CRect rect;
    GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    parent->InvalidateRect(&rect, TRUE);
}
