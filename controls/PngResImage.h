#pragma once

// A GDI+ bitmap made from a resource of the program (type "PNG"); a copy of
// the resource's bytes stays in a memory block of its own while the bitmap
// lives.

#include "controls/PngImage.h"

class CPngResImage final : public CPngImage {
public:
    CPngResImage() = default;
    ~CPngResImage() override;

    // TRUE when the bitmap was made; otherwise the holder is left empty.
    // `module` nullptr: the program's own resources.
    BOOL Load(UINT resourceId, const char* resourceType, HMODULE module = nullptr);

private:
    void Release();

    HGLOBAL m_hBuffer = nullptr;
};
