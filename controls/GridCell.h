#pragma once

// One cell of a CGridCtrl: what it shows and how.

#include "platform/gdi/GdiObjects.h"
#include "platform/sys/Object.h"

#include <cstdint>

inline constexpr UINT GCS_FOCUSED = 0x01;
inline constexpr UINT GCS_SELECTED = 0x02;
inline constexpr UINT GCS_READONLY = 0x08;

class CGridCell final : public CObject {
public:
    UINT state = 0;
    UINT nFormat = 0; // DrawText flags
    CString szText;
    int iImage = -1; // kept for the owner; the grid has no image list
    COLORREF crBkClr = CLR_DEFAULT;
    COLORREF crFgClr = CLR_DEFAULT;
    LOGFONT lfFont;
    std::uint32_t lParam = 0;
};
