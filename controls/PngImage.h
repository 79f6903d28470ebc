#pragma once

// Holds one GDI+ bitmap (or none) and deletes it with itself.

#include "platform/gdi/Gdiplus.h"

class CPngImage {
public:
    CPngImage() = default;
    virtual ~CPngImage();
    CPngImage(const CPngImage&) = delete;
    CPngImage& operator=(const CPngImage&) = delete;

    Gdiplus::Bitmap* GetBitmap() const { return m_pBitmap; }
    operator Gdiplus::Bitmap*() const { return m_pBitmap; }

protected:
    void ReleaseBitmap();

    Gdiplus::Bitmap* m_pBitmap = nullptr;
};
