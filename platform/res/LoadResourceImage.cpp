#include "platform/res/LoadResourceImage.h"

#include <cstring>

bool LoadResourceImage(UINT resourceId, const char* resourceType, Gdiplus::Image*& image) {
    image = nullptr;
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC found = FindResource(module, resourceId, resourceType);
    if (!found)
        return false;
    const DWORD size = SizeofResource(module, found);
    const void* bytes = LockResource(LoadResource(module, found));
    if (size == 0 || !bytes)
        return false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return false;
    std::memcpy(GlobalLock(block), bytes, size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    // The stream frees the block when the image lets it go.
    if (CreateStreamOnHGlobal(block, TRUE, &stream) != S_OK) {
        GlobalFree(block);
        return false;
    }
    auto* decoded = Gdiplus::Image::FromStream(stream);
    stream->Release(); // the decoded image holds its own pixels
    if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok) {
        delete decoded;
        return false;
    }
    image = decoded;
    return true;
}
