#pragma once

// Panels and pages paint a background picture of their own size.

class CBitmap;
class CDC;

// Copies the whole bitmap onto `dc` with its top-left corner at the origin.
// False, with nothing drawn, when the bitmap holds no picture.
bool PaintBitmap(CDC& dc, CBitmap& bitmap);
