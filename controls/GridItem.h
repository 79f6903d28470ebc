#pragma once

// Reading and writing several properties of a grid cell at once, and the
// record of the grid's notifications to its owner.

#include "platform/gdi/GdiObjects.h"
#include "platform/win/WinDefs.h"

#include <cstdint>

inline constexpr UINT GIF_TEXT = 0x01;
inline constexpr UINT GIF_IMAGE = 0x02;
inline constexpr UINT GIF_PARAM = 0x04;
inline constexpr UINT GIF_STATE = 0x08;
inline constexpr UINT GIF_BKCLR = 0x10;
inline constexpr UINT GIF_FGCLR = 0x20;
inline constexpr UINT GIF_FORMAT = 0x40;
inline constexpr UINT GIF_FONT = 0x80;

struct GRID_ITEM {
    int row = 0;
    int col = 0;
    UINT mask = 0; // GIF_ bits: the properties read or written
    UINT state = 0;
    UINT nFormat = 0;
    CString szText;
    int iImage = -1;
    COLORREF crBkClr = CLR_DEFAULT;
    COLORREF crFgClr = CLR_DEFAULT;
    std::uint32_t lParam = 0;
    LOGFONT lfFont;
};

inline constexpr UINT NM_DBLCLK = UINT(-3);
inline constexpr UINT GRIDN_FOCUSCHANGING = UINT(-100);
inline constexpr UINT GRIDN_FOCUSCHANGED = UINT(-101);
inline constexpr UINT GRIDN_CELLCLEARED = UINT(-103);

struct GridNotify {
    NMHDR hdr;
    int iRow = -1;
    int iColumn = -1;
};
