#include "controls/PngImage.h"

CPngImage::~CPngImage() {
    ReleaseBitmap();
}

void CPngImage::ReleaseBitmap() {
    delete m_pBitmap;
    m_pBitmap = nullptr;
}
