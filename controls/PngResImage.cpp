#include "controls/PngResImage.h"

#include <cstring>

CPngResImage::~CPngResImage() {
    Release();
}

void CPngResImage::Release() {
    ReleaseBitmap();
    if (m_hBuffer) {
        GlobalUnlock(m_hBuffer);
        GlobalFree(m_hBuffer);
        m_hBuffer = nullptr;
    }
}

BOOL CPngResImage::Load(UINT resourceId, const char* resourceType, HMODULE module) {
    Release();
    if (!module)
        module = AfxGetResourceHandle();
    HRSRC found = FindResource(module, resourceId, resourceType);
    if (!found)
        return FALSE;
    const DWORD size = SizeofResource(module, found);
    if (size == 0)
        return FALSE;
    const void* bytes = LockResource(LoadResource(module, found));
    if (!bytes)
        return FALSE;
    m_hBuffer = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!m_hBuffer)
        return FALSE;
    std::memcpy(GlobalLock(m_hBuffer), bytes, size);
    // The stream leaves the block to this holder when it is released.
    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(m_hBuffer, FALSE, &stream) == S_OK) {
        m_pBitmap = Gdiplus::Bitmap::FromStream(stream, FALSE);
        stream->Release();
    }
    if (m_pBitmap && m_pBitmap->GetLastStatus() == Gdiplus::Ok)
        return TRUE;
    Release();
    return FALSE;
}
