#pragma once

// Static text: painted with the colours its parent answers to
// WM_CTLCOLORSTATIC.

#include "platform/win/Wnd.h"

class CStatic : public CWnd {
public:
    using CWnd::Create;
    BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
};
