#include "controls/SizedPicture.h"

void DrawSizedPicture(CWnd& button, CDC& dc, CBitmap& picture, CRect& window, CRect& client) {
    BITMAP info{};
    picture.GetBitmap(&info);
    button.SetWindowPos(nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
    button.GetWindowRect(&window);
    button.GetClientRect(&client);
    CDC memDC;
    memDC.CreateCompatibleDC(&dc);
    CBitmap* old = memDC.SelectObject(&picture);
    dc.SetStretchBltMode(COLORONCOLOR);
    dc.StretchBlt(0, 0, window.Width(), client.Height(), &memDC, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    memDC.SelectObject(old);
}
