#pragma once

// The skinned buttons take the size of the picture they show.

#include "platform/gdi/Dc.h"
#include "platform/win/Wnd.h"

// Sizes the button to the picture and stretches the picture over it. window and
// client are read again after the resize, for the text drawn on top.
void DrawSizedPicture(CWnd& button, CDC& dc, CBitmap& picture, CRect& window, CRect& client);
