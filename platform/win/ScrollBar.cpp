// The scroll bars of a window and ScrollWindow.

#include "platform/win/Window.h"
#include "platform/win/Wnd.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

using platform::win::ScrollBarState;
using platform::win::Window;

namespace {

ScrollBarState* Bar(Window* w, int bar) {
    if (!w || (bar != SB_HORZ && bar != SB_VERT))
        return nullptr;
    return &w->scrollBars[bar];
}

// The platform's rules: the position keeps a whole page inside the range;
// an empty range or one that fits in a page hides the bar.
// The page as set, cut to the range; a page set before its range keeps.
UINT EffectivePage(const ScrollBarState& s) {
    const long long span = (long long)s.max - s.min + 1;
    return span <= 0 ? 0 : UINT(std::min<long long>(s.page, span));
}

void Settle(Window& w, int bar) {
    ScrollBarState& s = w.scrollBars[bar];
    const UINT page = EffectivePage(s);
    const int last = s.max - std::max(int(page) - 1, 0);
    s.pos = std::max(s.min, std::min(s.pos, last));
    s.trackPos = s.pos;
    s.shown = s.max > s.min && (page == 0 || (long long)page < (long long)s.max - s.min + 1);
    const DWORD style = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    if (s.shown)
        w.style |= style;
    else
        w.style &= ~style;
}

} // namespace

int CWnd::SetScrollInfo(int bar, const SCROLLINFO* info, BOOL) {
    Window* w = Record();
    ScrollBarState* s = Bar(w, bar);
    if (!s || !info)
        return 0;
    if (info->fMask & SIF_RANGE) {
        s->min = info->nMin;
        s->max = info->nMax;
    }
    if (info->fMask & SIF_PAGE)
        s->page = info->nPage;
    if (info->fMask & SIF_POS)
        s->pos = info->nPos;
    Settle(*w, bar);
    return s->pos;
}

BOOL CWnd::GetScrollInfo(int bar, SCROLLINFO* info, UINT mask) const {
    const ScrollBarState* s = Bar(Record(), bar);
    if (!s || !info)
        return FALSE;
    info->fMask = mask;
    if (mask & SIF_RANGE) {
        info->nMin = s->min;
        info->nMax = s->max;
    }
    if (mask & SIF_PAGE)
        info->nPage = EffectivePage(*s);
    if (mask & SIF_POS)
        info->nPos = s->pos;
    if (mask & SIF_TRACKPOS)
        info->nTrackPos = s->trackPos;
    return TRUE;
}

void CWnd::SetScrollRange(int bar, int min, int max, BOOL redraw) {
    SCROLLINFO info;
    info.fMask = SIF_RANGE;
    info.nMin = min;
    info.nMax = max;
    SetScrollInfo(bar, &info, redraw);
}

void CWnd::GetScrollRange(int bar, int* min, int* max) const {
    SCROLLINFO info;
    GetScrollInfo(bar, &info, SIF_RANGE);
    if (min)
        *min = info.nMin;
    if (max)
        *max = info.nMax;
}

int CWnd::SetScrollPos(int bar, int pos, BOOL redraw) {
    const int old = GetScrollPos(bar);
    SCROLLINFO info;
    info.fMask = SIF_POS;
    info.nPos = pos;
    SetScrollInfo(bar, &info, redraw);
    return old;
}

int CWnd::GetScrollPos(int bar) const {
    const ScrollBarState* s = Bar(Record(), bar);
    return s ? s->pos : 0;
}

void CWnd::ScrollWindow(int dx, int dy, const RECT* scrollRect, const RECT* clipRect) {
    Window* w = Record();
    if (!w || (dx == 0 && dy == 0))
        return;
    const QRect client = w->ClientRect();
    auto toQRect = [&](const RECT* r) {
        return r ? QRect(QPoint(r->left, r->top), QPoint(r->right - 1, r->bottom - 1)) & client : client;
    };
    const QRect area = toQRect(scrollRect);
    const QRect clip = toQRect(clipRect);
    if (area.isEmpty())
        return;
    const QImage moved = w->backing.copy(area);
    {
        QPainter p(&w->backing);
        p.setClipRect(clip);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(area.topLeft() + QPoint(dx, dy), moved);
    }
    const QRegion inside = w->invalid & QRegion(area);
    w->invalid = (w->invalid - inside) | (inside.translated(dx, dy) & QRegion(clip));
    const QRegion uncovered = (QRegion(area) & QRegion(clip)) - QRegion(area.translated(dx, dy));
    w->Invalidate(uncovered, true);
    if (w->widget)
        w->widget->update();
}
