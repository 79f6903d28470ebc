#pragma once

// CWnd: a program object attached to a window of the layer.  Messages reach
// the window's procedure, which looks them up in the class's message map
// (MessageMap.h) and falls back to the default procedure of the window's
// class ("Button", "Static", "Edit", "SysTabControl32", "#32770", or the
// generic one).  Handlers of the base class call Default(), so a derived
// handler that calls its base handler gets the default processing.

#include "platform/sys/MessageQueue.h"
#include "platform/sys/Object.h"
#include "platform/win/MessageMap.h"
#include "platform/win/ScrollInfo.h"
#include "platform/win/WinDefs.h"

class CDC;
class CFont;
class CDataExchange;

namespace platform::win {
struct Window;
}

class CWnd : public CObject {
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Handles.
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }
    // The object attached to `hwnd`, or a wrapper owned by the window when
    // none is attached; nullptr for no window.
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);
    BOOL Attach(HWND hwnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow() { return Detach(); }

    // Creation and destruction.
    virtual BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id);
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id);
    virtual BOOL DestroyWindow();

    // Messages.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT Default();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The message being handled on this thread (for Default).
    static const MSG* GetCurrentMessage();

    // Identity, style and text.
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int id);
    CWnd* GetDlgItem(int id) const;
    CWnd* GetParent() const;
    CWnd* GetTopLevelParent() const;
    BOOL IsChild(const CWnd* wnd) const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    void SetWindowText(const CString& text);
    void GetWindowText(CString& text) const;
    CString GetWindowText() const;
    int GetWindowTextLength() const;
    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const;

    // Geometry: window rectangles in screen coordinates, client ones from 0.
    void GetWindowRect(RECT* rect) const;
    void GetClientRect(RECT* rect) const;
    void ScreenToClient(POINT* point) const;
    void ScreenToClient(RECT* rect) const;
    void ClientToScreen(POINT* point) const;
    void ClientToScreen(RECT* rect) const;
    void MapWindowPoints(CWnd* to, RECT* rect) const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(const RECT* rect, BOOL repaint = TRUE);
    // `insertAfter`: &wndTop, &wndBottom or a sibling; ignored with SWP_NOZORDER.
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void CenterWindow(CWnd* alternateOwner = nullptr);
    static const CWnd wndTop;
    static const CWnd wndBottom;
    // A top-level window above all others (a hint: a window system may ignore it).
    static const CWnd wndTopMost;

    // State.
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    void SetRedraw(BOOL redraw = TRUE);

    // Painting.
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
    void ValidateRect(const RECT* rect);
    void UpdateWindow();
    BOOL RedrawWindow(const RECT* rect = nullptr, void* region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    CDC* GetDC();
    int ReleaseDC(CDC* dc);

    // Scroll bars (ScrollInfo.h).  SetScrollInfo and SetScrollPos return the
    // new position; SetScrollPos the old one.
    int SetScrollInfo(int bar, const SCROLLINFO* info, BOOL redraw = TRUE);
    BOOL GetScrollInfo(int bar, SCROLLINFO* info, UINT mask = SIF_ALL) const;
    void SetScrollRange(int bar, int min, int max, BOOL redraw = TRUE);
    void GetScrollRange(int bar, int* min, int* max) const;
    int SetScrollPos(int bar, int pos, BOOL redraw = TRUE);
    int GetScrollPos(int bar) const;
    // Moves the pixels of `scrollRect` (the client area when null) by dx, dy,
    // within `clipRect` (the client area when null), together with what was
    // still to be painted there, and invalidates what they uncovered.
    void ScrollWindow(int dx, int dy, const RECT* scrollRect = nullptr, const RECT* clipRect = nullptr);

    // Timers.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc = nullptr);
    BOOL KillTimer(UINT_PTR id);

    // Data exchange.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* dx);

    HWND m_hWnd = nullptr;

    // Handlers of the standard messages (default processing unless overridden).
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnRButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseHover(UINT flags, CPoint point);
    void OnMouseLeave();
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnTimer(UINT_PTR id);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnKeyUp(UINT key, UINT repeat, UINT flags);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    UINT OnGetDlgCode();
    int OnCreate(void* createStruct);
    void OnDestroy();
    void OnNcDestroy();
    void OnSize(UINT type, int cx, int cy);
    void OnShowWindow(BOOL show, UINT status);
    void OnEnable(BOOL enable);
    void OnClose();
    void OnCaptureChanged(CWnd* wnd);
    // Reflects the request to the control first; without an answer from it,
    // the class's default colours.
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    // Reflects the drawing to the control (its DrawItem).
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);

protected:
    virtual void PreSubclassWindow();
    virtual BOOL PreCreateWindow(void* createStruct);
    virtual void PostNcDestroy();
    DECLARE_MESSAGE_MAP_BASE()

private:
    friend struct platform::win::Window;
    platform::win::Window* Record() const;
};

// The window under the layer's own handle checks.
BOOL IsWindowEnabled(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
HWND GetParent(HWND hwnd);
HWND GetFocus();
HWND SetFocus(HWND hwnd);
HWND GetCapture();
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track);
BOOL GetCursorPos(POINT* point);
