#pragma once

// The window record behind a handle: identity, style, text, font, rectangle,
// parent and children, the backing image and its invalid region, the CWnd
// attached to it, the default procedure of its class and the QWidget that
// shows it.  The widget never draws by itself: it turns Qt's events into
// messages and shows the backing image.

#include "platform/gdi/GdiObjects.h"
#include "platform/sys/MessageQueue.h"
#include "platform/win/ScrollInfo.h"
#include "platform/win/WinDefs.h"

#include <QImage>
#include <QRegion>

#include <memory>
#include <vector>

class QWidget;
class CWnd;

namespace platform::win {

struct Window;

// The default behaviour of a window class.
class WindowClass {
public:
    virtual ~WindowClass() = default;
    virtual LRESULT Proc(Window& w, UINT message, WPARAM wParam, LPARAM lParam);
    // Double presses become WM_?BUTTONDBLCLK.
    virtual bool WantsDoubleClicks() const { return true; }
    virtual void Created(Window&) {}
};

// Finds the procedure of a class name ("Button", "Static", "Edit",
// "SysTabControl32", "#32770"; anything else is a plain window).
WindowClass& ClassByName(const CString& name);

struct Window final : platform::MessageTarget {
    Window();
    ~Window() override;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
        return cls->Proc(*this, message, wParam, lParam);
    }

    static Window* From(HWND hwnd);

    // WS_POPUP wins over WS_CHILD: such a window is a top-level window owned
    // by its parent, placed in screen coordinates (a drop-down list's frame).
    bool IsChild() const { return (style & WS_CHILD) != 0 && (style & WS_POPUP) == 0 && parent; }
    bool IsOwnedPopup() const { return (style & (WS_POPUP | WS_CHILD)) == (WS_POPUP | WS_CHILD) && parent; }
    bool Visible() const { return (style & WS_VISIBLE) != 0; }
    bool Enabled() const { return (style & WS_DISABLED) == 0; }
    QPoint ScreenOrigin() const;
    QRect ClientRect() const { return QRect(0, 0, rect.width(), rect.height()); }

    void Invalidate(const QRegion& region, bool erase);
    // Sends WM_PAINT when something is invalid.
    void Update();
    void SetRect(const QRect& r, bool repaint);
    void SetVisible(bool visible);
    void SyncWidget();

    HWND hwnd = nullptr;
    CString className;
    WindowClass* cls = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT id = 0;
    CString text;
    HFONT font = nullptr; // a reference
    QRect rect;           // in the parent's client coordinates; screen coordinates for a top-level window
    Window* parent = nullptr;
    std::vector<Window*> children; // bottom of the Z order first
    QImage backing;
    QRegion invalid;
    bool eraseNeeded = false;
    bool redrawOff = false;
    CWnd* wnd = nullptr;              // the attached object
    std::unique_ptr<CWnd> wrapper;    // handed out by CWnd::FromHandle when none is attached
    QWidget* widget = nullptr;        // the host; owned by Qt's parent chain or by the record
    std::shared_ptr<void> classState; // state of the class's default procedure
    DWORD trackFlags = 0;             // TME_LEAVE / TME_HOVER requested
    UINT_PTR hoverTimer = 0;          // thread timer of a pending hover notice
    DWORD hoverTime = 1;
    bool destroying = false;
    int paints = 0;               // BeginPaint calls so far
    ScrollBarState scrollBars[2]; // SB_HORZ, SB_VERT
};

// A backing image is at most this many pixels on a side; a larger window
// shows nothing beyond it.
inline constexpr int kMaxBackingSide = 4096;

// Creates a window; the attached object (if any) gets every message from
// WM_CREATE on.
HWND CreateWindowRecord(DWORD exStyle, const CString& className, const CString& text, DWORD style,
                        const QRect& rect, HWND parent, UINT id, CWnd* attach);
void DestroyWindowRecord(HWND hwnd);

// Makes the top-level window of `hwnd` the desktop's active window, the one
// the keys go to; a disabled one hands that on to the window holding it.
void ActivateTopLevel(HWND hwnd);

// Paints every window of the tree that needs it (parents first) and returns
// the picture of the window with its visible children over it.
QImage RenderWindow(HWND hwnd);

// A paint in progress: BeginPaint prepares the DC on the backing image
// clipped to the invalid region (erasing first when asked) and validates.
HDC BeginPaintDc(Window& w, RECT* paintRect, bool* erased);
void EndPaintDc(Window& w, HDC dc);
// A DC on the whole client area outside painting.
HDC ClientDc(Window& w);

} // namespace platform::win
