#include "controls/PaintBitmap.h"

#include "platform/gdi/Dc.h"

bool PaintBitmap(CDC& dc, CBitmap& bitmap) {
    BITMAP info{};
    if (!bitmap.GetSafeHandle() || !bitmap.GetBitmap(&info))
        return false;
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    CBitmap* old = memory.SelectObject(&bitmap);
    dc.BitBlt(0, 0, info.bmWidth, info.bmHeight, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    return true;
}
