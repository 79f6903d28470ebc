#pragma once

// DCs of a window: painting (WM_PAINT handlers) and drawing outside
// painting.  Both draw on the window's backing image, which the window shows.

#include "platform/gdi/Dc.h"
#include "platform/win/Wnd.h"

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;
    RECT rcPaint{};
};

class CPaintDC final : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;

private:
    HWND m_hWndPaint;
};

class CClientDC final : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
};

using CWindowDC = CClientDC;

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
