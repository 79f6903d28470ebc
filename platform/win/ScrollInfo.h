#pragma once

// Scroll bars of a window (WS_VSCROLL, WS_HSCROLL): range, page, position
// and the thumb's track position, with the platform's rules: the position
// stays within min..max - page + 1, and a bar whose range is empty (0..0)
// or fits in one page is hidden.  The bars keep their state and send their
// codes; the layer draws no bar and takes no room from the client area.

#include "platform/sys/WinTypes.h"

inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;

inline constexpr UINT SB_LINEUP = 0;
inline constexpr UINT SB_LINELEFT = 0;
inline constexpr UINT SB_LINEDOWN = 1;
inline constexpr UINT SB_LINERIGHT = 1;
inline constexpr UINT SB_PAGEUP = 2;
inline constexpr UINT SB_PAGELEFT = 2;
inline constexpr UINT SB_PAGEDOWN = 3;
inline constexpr UINT SB_PAGERIGHT = 3;
inline constexpr UINT SB_THUMBPOSITION = 4;
inline constexpr UINT SB_THUMBTRACK = 5;
inline constexpr UINT SB_TOP = 6;
inline constexpr UINT SB_LEFT = 6;
inline constexpr UINT SB_BOTTOM = 7;
inline constexpr UINT SB_RIGHT = 7;
inline constexpr UINT SB_ENDSCROLL = 8;

inline constexpr UINT SIF_RANGE = 0x01;
inline constexpr UINT SIF_PAGE = 0x02;
inline constexpr UINT SIF_POS = 0x04;
inline constexpr UINT SIF_TRACKPOS = 0x10;
inline constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct SCROLLINFO {
    UINT cbSize = sizeof(SCROLLINFO);
    UINT fMask = 0;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};
using LPSCROLLINFO = SCROLLINFO*;

class CScrollBar; // the bars are part of their window: handlers get nullptr

namespace platform::win {

struct ScrollBarState {
    int min = 0;
    int max = 0;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
    bool shown = false;
};

} // namespace platform::win

// void OnVScroll(UINT code, UINT pos, CScrollBar*), and the same for OnHScroll.
#define ON_WM_VSCROLL()                                                                                      \
    KT_MSG_ENTRY(WM_VSCROLL, self->OnVScroll(LOWORD(wp), HIWORD(wp), reinterpret_cast<CScrollBar*>(lp)))
#define ON_WM_HSCROLL()                                                                                      \
    KT_MSG_ENTRY(WM_HSCROLL, self->OnHScroll(LOWORD(wp), HIWORD(wp), reinterpret_cast<CScrollBar*>(lp)))
