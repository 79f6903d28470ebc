#include "platform/win/PaintDC.h"

#include "platform/win/DataExchange.h"
#include "platform/win/Window.h"

using platform::win::Window;

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    Window* w = Window::From(hwnd);
    if (!w)
        return nullptr;
    bool erased = false;
    ps->hdc = platform::win::BeginPaintDc(*w, &ps->rcPaint, &erased);
    ps->fErase = erased ? FALSE : TRUE;
    return ps->hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (Window* w = Window::From(hwnd))
        platform::win::EndPaintDc(*w, ps->hdc);
    else
        DeleteDC(ps->hdc);
    return TRUE;
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWndPaint(wnd->GetSafeHwnd()) {
    Attach(BeginPaint(m_hWndPaint, &m_ps));
}

CPaintDC::~CPaintDC() {
    Detach();
    if (m_ps.hdc)
        EndPaint(m_hWndPaint, &m_ps);
}

CClientDC::CClientDC(CWnd* wnd) {
    if (Window* w = Window::From(wnd ? wnd->GetSafeHwnd() : nullptr)) {
        Attach(platform::win::ClientDc(*w));
        m_ownsDc = true;
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.GetSafeHwnd())
        return;
    CWnd* item = dx->m_pDlgWnd->GetDlgItem(id);
    if (item)
        control.SubclassWindow(item->GetSafeHwnd());
}
