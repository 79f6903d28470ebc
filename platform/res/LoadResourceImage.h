#pragma once

// A GDI+ image from a typed resource of the program ("PNG").  The image owns
// a copy of the bytes for its whole life; the caller deletes it.

#include "platform/gdi/Gdiplus.h"

// False, and no image, when the resource is missing or does not decode.
bool LoadResourceImage(UINT resourceId, const char* resourceType, Gdiplus::Image*& image);
