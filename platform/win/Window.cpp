#include "platform/win/Window.h"

#include "platform/sys/Clock.h"
#include "platform/win/Cursor.h"
#include "platform/win/Input.h"
#include "platform/win/KeyState.h"
#include "platform/win/NonClient.h"
#include "platform/win/Wnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>

namespace platform::win {

namespace {

struct InputState {
    HWND focus = nullptr;
    HWND capture = nullptr;
    HWND mouseWindow = nullptr; // under the mouse
    QPoint mouseScreen;
    HWND lastPressWindow = nullptr;
    UINT lastPressMessage = 0;
    std::int64_t lastPressTime = 0;
    QPoint lastPressPoint;
    HCURSOR cursor = nullptr;
};

InputState& Input() {
    static InputState state;
    return state;
}

UINT VirtualKeyOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: // Shift+Tab
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    default:
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return UINT(qtKey);
        if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
            return UINT(qtKey);
        if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
            return VK_F1 + UINT(qtKey - Qt::Key_F1);
        return 0;
    }
}

// The characters a key types, as the system's translation of a key-down
// makes them: BackSpace, Tab, Enter and Escape their control characters,
// Ctrl with a letter its control character (Ctrl+A is 1), any other key the
// printable text it carries.  Keys that move or delete (arrows, Home, End,
// Delete, the function keys) type nothing, whatever text Qt gives them
// (Delete's is DEL).  With Alt held a key is a system key and types nothing.
QString CharactersOf(const QKeyEvent& e) {
    const Qt::KeyboardModifiers mods = e.modifiers();
    if (mods & Qt::AltModifier)
        return {};
    switch (e.key()) {
    case Qt::Key_Backspace:
        return QString(QChar(char16_t(0x08)));
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return QString(QChar(char16_t(0x09)));
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QString(QChar(char16_t(0x0D)));
    case Qt::Key_Escape:
        return QString(QChar(char16_t(0x1B)));
    default:
        break;
    }
    if (mods & Qt::ControlModifier) {
        if (e.key() >= Qt::Key_A && e.key() <= Qt::Key_Z)
            return QString(QChar(char16_t(e.key() - Qt::Key_A + 1)));
        return {};
    }
    QString typed;
    for (const QChar c : e.text()) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && !(u >= 0x7F && u < 0xA0))
            typed += c;
    }
    return typed;
}

UINT KeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    UINT keys = 0;
    if (buttons & Qt::LeftButton)
        keys |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        keys |= MK_RBUTTON;
    if (mods & Qt::ShiftModifier)
        keys |= MK_SHIFT;
    if (mods & Qt::ControlModifier)
        keys |= MK_CONTROL;
    return keys;
}

void SyncModifierKeys(Qt::KeyboardModifiers mods) {
    SetKeyDown(VK_SHIFT, (mods & Qt::ShiftModifier) != 0);
    SetKeyDown(VK_CONTROL, (mods & Qt::ControlModifier) != 0);
}

void PressKey(UINT virtualKey, const QString& chars);

// Shows a window's backing image and turns Qt's events into messages.
class HostWidget final : public QWidget {
public:
    HostWidget(Window* w, QWidget* parent) : QWidget(parent), m_window(w) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setMouseTracking(true);
        setFocusPolicy(Qt::ClickFocus);
    }
    void Forget() { m_window = nullptr; }
    Window* Record() const { return m_window; }

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent*) override {
        if (!m_window)
            return;
        const HWND hwnd = m_window->hwnd;
        m_window->Update();
        Window* w = Window::From(hwnd);
        if (!w)
            return;
        QPainter p(this);
        p.drawImage(0, 0, w->backing);
    }
    void mousePressEvent(QMouseEvent* e) override {
        Mouse(e, e->button() == Qt::RightButton ? WM_RBUTTONDOWN : WM_LBUTTONDOWN);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        Mouse(e, e->button() == Qt::RightButton ? WM_RBUTTONUP : WM_LBUTTONUP);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        // The layer finds double clicks itself, from the press times.
        Mouse(e, e->button() == Qt::RightButton ? WM_RBUTTONDOWN : WM_LBUTTONDOWN);
    }
    void mouseMoveEvent(QMouseEvent* e) override { Mouse(e, WM_MOUSEMOVE); }
    void leaveEvent(QEvent*) override {
        if (m_window && Input().mouseWindow == m_window->hwnd && !Input().capture)
            MouseLeftWindows();
    }
    void wheelEvent(QWheelEvent* e) override {
        if (!m_window)
            return;
        const QPoint p = e->position().toPoint();
        WheelInput(m_window->hwnd, e->angleDelta().y(), POINT{p.x(), p.y()},
                   KeyFlags(e->buttons(), e->modifiers()));
    }
    void keyReleaseEvent(QKeyEvent* e) override { SyncModifierKeys(e->modifiers()); }
    // The caption's close box is the system command SC_CLOSE, whose default
    // asks the window to close (a dialog cancels); a window may take the
    // command itself.
    void closeEvent(QCloseEvent* e) override {
        e->ignore();
        if (m_window)
            ::PostMessage(m_window->hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    void keyPressEvent(QKeyEvent* e) override {
        SyncModifierKeys(e->modifiers());
        PressKey(VirtualKeyOf(e->key()), CharactersOf(*e));
    }

    void changeEvent(QEvent* e) override {
        QWidget::changeEvent(e);
        if (!m_window || e->type() != QEvent::WindowStateChange || !isWindow())
            return;
        const UINT kind = isMinimized() ? SIZE_MINIMIZED : isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
        ::SendMessage(m_window->hwnd, WM_SIZE, kind,
                      MAKELPARAM(m_window->rect.width(), m_window->rect.height()));
    }

private:
    void Mouse(QMouseEvent* e, UINT message) {
        if (!m_window)
            return;
        SyncModifierKeys(e->modifiers());
        const QPoint p = e->position().toPoint();
        MouseInput(m_window->hwnd, message, POINT{p.x(), p.y()}, KeyFlags(e->buttons(), e->modifiers()));
    }
    Window* m_window;
};

struct Registry {
    std::unordered_map<HWND, Window*> windows;
};

Registry& Windows() {
    static Registry r;
    return r;
}

// PreTranslateMessage of the target window and then of its parents.
bool WalkPreTranslateTree(MSG& msg) {
    for (Window* w = Window::From(msg.hwnd); w; w = w->parent) {
        const HWND hwnd = w->hwnd;
        if (w->wnd && w->wnd->PreTranslateMessage(&msg))
            return true;
        w = Window::From(hwnd);
        if (!w)
            return false;
    }
    return false;
}

// False when PreTranslateMessage took the message.
bool Deliver(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) {
    MSG msg{hwnd, message, wp, lp, DWORD(GetTickCount64Ms())};
    return DeliverQueuedMessage(msg);
}

// A key press as the system's message loop makes it: the key-down, then the
// characters the key types, to the window that had the key-down, unless
// PreTranslateMessage took the key-down (a dialog's Enter types nothing
// after it closed the dialog), then the key-up.  A key without a virtual
// key only types.
void PressKey(UINT virtualKey, const QString& chars) {
    const HWND focus = Input().focus;
    if (!focus)
        return;
    const bool translated = !virtualKey || Deliver(focus, WM_KEYDOWN, virtualKey, 1);
    for (const QChar c : chars) {
        if (!translated || !Window::From(focus))
            break;
        Deliver(focus, WM_CHAR, c.unicode(), 1);
    }
    if (virtualKey && Window::From(focus))
        Deliver(focus, WM_KEYUP, virtualKey, LPARAM(0xC0000001u));
}

// The top-level window a window sits in (itself when it is one).
Window* TopLevelOf(Window* w) {
    while (w && w->IsChild())
        w = w->parent;
    return w;
}

// The owned popup that holds `w`, if any.
Window* PopupOf(Window* w) {
    for (; w; w = w->IsChild() ? w->parent : nullptr)
        if (w->IsOwnedPopup())
            return w;
    return nullptr;
}

// A press outside an owned popup that holds the focus activates another
// window: the popup's control loses the focus (to the popup's owner) before
// the press arrives, as it would at the activation of a top-level window.
void LeavePopupFocus(HWND pressed) {
    Window* popup = PopupOf(Window::From(Input().focus));
    if (popup && popup != PopupOf(Window::From(pressed)))
        ::SetFocus(popup->parent->hwnd);
}

// A frameless tool window above its owner's window that takes no grab:
// clicks elsewhere still reach the program's other windows.
void MakeOwnedPopup(Window& w) {
    Window* owner = TopLevelOf(w.parent);
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint;
    if (w.exStyle & WS_EX_TOPMOST)
        flags |= Qt::WindowStaysOnTopHint;
    w.widget->setParent(owner ? owner->widget : nullptr, flags);
    w.widget->setAttribute(Qt::WA_ShowWithoutActivating);
    // Another application taking the keyboard is the popup's loss of focus.
    static const bool hooked = [] {
        if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QObject::connect(app, &QGuiApplication::applicationStateChanged, app,
                             [](Qt::ApplicationState state) {
                                 if (state != Qt::ApplicationActive)
                                     LeavePopupFocus(nullptr);
                             });
        return true;
    }();
    (void)hooked;
}

// A window owned by another top-level window stays above its owner, as the
// desktop keeps a transient window above the one it belongs to.
void MakeOwnedWindow(Window& w) {
    Window* owner = TopLevelOf(w.parent);
    if (owner && owner->widget)
        w.widget->setParent(owner->widget, Qt::Dialog | TopLevelWindowFlags(w.style, w.exStyle));
}

// Qt disables the windows that belong to a disabled window with it, while an
// owned window keeps its own state: a modal dialog stays usable over the
// owner it disables.
void SyncOwnedEnabled(QWidget* owner) {
    for (QObject* child : owner->children()) {
        auto* host = dynamic_cast<HostWidget*>(child);
        if (!host || !host->isWindow() || !host->Record())
            continue;
        host->setEnabled(host->Record()->Enabled());
        SyncOwnedEnabled(host);
    }
}

// The window that takes the keys while `top` is disabled: the enabled window
// it owns, directly or through owned windows that are disabled in turn (a
// message box over a dialog over the main window); the latest first.
Window* HolderOf(Window* top) {
    if (!top || !top->widget)
        return nullptr;
    const QObjectList owned = top->widget->children();
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
        auto* host = dynamic_cast<HostWidget*>(*it);
        Window* w = host && host->isWindow() ? host->Record() : nullptr;
        if (!w || w->IsOwnedPopup() || !w->Visible())
            continue;
        if (w->Enabled())
            return w;
        if (Window* inner = HolderOf(w))
            return inner;
    }
    return nullptr;
}

// Brings the holder of a disabled top-level window forward as the desktop's
// active window, the one the keys go to.
void ActivateHolder(Window* top) {
    Window* holder = HolderOf(top);
    if (!holder || !holder->widget)
        return;
    holder->widget->raise();
    holder->widget->activateWindow();
}

// A disabled window takes neither the keys nor a click: the window that
// disabled it is waiting for an answer and comes forward with the keys,
// whether the desktop activated the disabled window (a click on it) or the
// click reached it first.
bool HostWidget::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (Window* top = TopLevelOf(m_window); top && !top->Enabled()) {
            ActivateHolder(top);
            return true;
        }
        break;
    case QEvent::WindowActivate:
        if (m_window && isWindow() && !m_window->Enabled())
            ActivateHolder(m_window);
        break;
    default:
        break;
    }
    return QWidget::event(e);
}

// White, at least one pixel, and never larger than any screen shows: a
// window's size may come from outside and must not decide what is allocated.
QImage BackingImage(const QSize& size) {
    QImage image(std::clamp(size.width(), 1, kMaxBackingSide), std::clamp(size.height(), 1, kMaxBackingSide),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

Window::Window() = default;

Window::~Window() {
    if (font)
        font->Release();
}

Window* Window::From(HWND hwnd) {
    auto& reg = Windows();
    auto it = reg.windows.find(hwnd);
    return it == reg.windows.end() ? nullptr : it->second;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (wnd)
        return wnd->WindowProc(message, wParam, lParam);
    return DefaultProc(message, wParam, lParam);
}

QPoint Window::ScreenOrigin() const {
    QPoint p = rect.topLeft();
    for (const Window* w = IsChild() ? parent : nullptr; w; w = w->IsChild() ? w->parent : nullptr)
        p += w->rect.topLeft();
    return p;
}

void Window::Invalidate(const QRegion& region, bool erase) {
    const QRegion r = region.intersected(ClientRect());
    if (r.isEmpty())
        return;
    invalid |= r;
    eraseNeeded = eraseNeeded || erase;
    // Without WS_CLIPCHILDREN the parent's paint covers its children, so they
    // are painted again over it.
    if (!(style & WS_CLIPCHILDREN)) {
        for (Window* c : children) {
            if (c->Visible() && c->IsChild() && r.intersects(c->rect))
                c->Invalidate(r.translated(-c->rect.topLeft()), true);
        }
    }
    if (widget && !redrawOff)
        widget->update();
}

void Window::Update() {
    if (invalid.isEmpty() || !Visible() || redrawOff)
        return;
    const HWND self = hwnd;
    const int before = paints;
    ::SendMessage(self, WM_PAINT, 0, 0);
    // A paint handler that does not validate must not loop forever.
    if (Window* w = From(self); w && w->paints == before)
        w->invalid = QRegion();
}

void Window::SetRect(const QRect& r, bool repaint) {
    const QSize old = rect.size();
    const QRect oldRect = rect;
    rect = r;
    if (old != r.size()) {
        QImage next = BackingImage(r.size());
        if (!backing.isNull()) {
            QPainter p(&next);
            p.drawImage(0, 0, backing);
        }
        backing = next;
        Invalidate(ClientRect(), true);
        ::SendMessage(hwnd, WM_SIZE, 0, MAKELPARAM(r.width(), r.height()));
    }
    if (parent && repaint && oldRect != r && IsChild())
        parent->Invalidate(QRegion(oldRect), true);
    SyncWidget();
}

void Window::SetVisible(bool visible) {
    if (visible == Visible())
        return;
    ::SendMessage(hwnd, WM_SHOWWINDOW, visible, 0);
    if (visible) {
        style |= WS_VISIBLE;
        Invalidate(ClientRect(), true);
    } else {
        style &= ~WS_VISIBLE;
        if (Input().focus && (Input().focus == hwnd))
            ::SetFocus(parent ? parent->hwnd : nullptr);
        else if (IsOwnedPopup() && Input().focus)
            // The keys must not go on to a control of a popup no one sees.
            for (Window* f = From(Input().focus); f; f = f->IsChild() ? f->parent : nullptr)
                if (f == this) {
                    ::SetFocus(parent->hwnd);
                    break;
                }
    }
    if (parent && IsChild())
        parent->Invalidate(QRegion(rect), true);
    SyncWidget();
}

void Window::SyncWidget() {
    if (!widget)
        return;
    // The desktop neither sizes nor maximises a top-level window: it keeps
    // the size the program gives it.
    if (widget->isWindow())
        widget->setFixedSize(rect.size());
    widget->setGeometry(rect);
    // A popup made visible before it was placed keeps that state without a
    // Qt window of no size.
    widget->setVisible(Visible() && !(IsOwnedPopup() && rect.isEmpty()));
    widget->setEnabled(Enabled());
    if (widget->isWindow())
        SyncOwnedEnabled(widget);
}

LRESULT WindowClass::Proc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        bool erased = false;
        HDC dc = BeginPaintDc(w, nullptr, &erased);
        EndPaintDc(w, dc);
        return 0;
    }
    case WM_ERASEBKGND: {
        // Plain windows and dialogs erase with the dialog colour.
        HBRUSH brush = GetSysColorBrush(COLOR_3DFACE);
        if (w.className == "#32770") {
            HBRUSH asked =
                reinterpret_cast<HBRUSH>(::SendMessage(w.hwnd, WM_CTLCOLORDLG, wParam, LPARAM(w.hwnd)));
            if (asked)
                brush = asked;
        }
        CDC* dc = CDC::FromHandle(HDC(wParam));
        RECT rc{0, 0, w.rect.width(), w.rect.height()};
        dc->FillRect(&rc, CBrush::FromHandle(brush));
        return 1;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        CDC* dc = CDC::FromHandle(HDC(wParam));
        if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX) {
            dc->SetBkColor(GetSysColor(COLOR_WINDOW));
            dc->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
            return LRESULT(GetSysColorBrush(COLOR_WINDOW));
        }
        dc->SetBkColor(GetSysColor(COLOR_3DFACE));
        dc->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        return LRESULT(GetSysColorBrush(COLOR_3DFACE));
    }
    case WM_SETCURSOR:
        // The parent may decide first; else the arrow.
        if (w.IsChild() && w.parent && ::SendMessage(w.parent->hwnd, WM_SETCURSOR, wParam, lParam))
            return TRUE;
        ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
    case WM_SETTEXT: {
        w.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        if (w.widget && w.widget->isWindow())
            w.widget->setWindowTitle(QString::fromStdString(w.text));
        w.Invalidate(w.ClientRect(), true);
        return TRUE;
    }
    case WM_GETTEXT: {
        auto* out = reinterpret_cast<CString*>(lParam);
        if (out)
            *out = w.text;
        return LRESULT(w.text.size());
    }
    case WM_GETTEXTLENGTH:
        return LRESULT(w.text.size());
    case WM_SETFONT: {
        HFONT f = reinterpret_cast<HFONT>(wParam);
        if (f)
            f->AddRef();
        if (w.font)
            w.font->Release();
        w.font = f;
        if (lParam)
            w.Invalidate(w.ClientRect(), true);
        return 0;
    }
    case WM_GETFONT:
        return LRESULT(w.font);
    case WM_ENABLE:
        w.Invalidate(w.ClientRect(), true);
        return 0;
    case WM_MOUSEWHEEL:
        // Unhandled wheel turns go up to the parent.
        if (w.IsChild() && w.parent)
            return ::SendMessage(w.parent->hwnd, message, wParam, lParam);
        return 0;
    case WM_CLOSE:
        DestroyWindowRecord(w.hwnd);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            ::SendMessage(w.hwnd, WM_CLOSE, 0, 0);
        } else if ((wParam & 0xFFF0) == SC_MINIMIZE && w.widget && w.widget->isWindow()) {
            w.widget->showMinimized();
        }
        return 0;
    case WM_GETDLGCODE:
        return 0;
    default:
        return 0;
    }
}

HDC BeginPaintDc(Window& w, RECT* paintRect, bool* erased) {
    const QRegion region = w.invalid.isEmpty() ? QRegion() : w.invalid;
    w.invalid = QRegion();
    ++w.paints;
    auto* dc = new gdi::DcData;
    dc->windowSurface = &w.backing;
    dc->baseClip = region;
    const HWND hwnd = w.hwnd;
    dc->onDrawn = [hwnd] {
        if (Window* x = Window::From(hwnd); x && x->widget)
            x->widget->update();
    };
    // What the parent shows under a child is what the child paints over.
    if (w.IsChild() && w.parent && !w.parent->backing.isNull()) {
        QPainter p(&w.backing);
        p.setClipRegion(region);
        p.drawImage(-w.rect.topLeft(), w.parent->backing);
    }
    const bool erase = w.eraseNeeded;
    w.eraseNeeded = false;
    bool done = false;
    if (erase)
        done = ::SendMessage(w.hwnd, WM_ERASEBKGND, WPARAM(dc), 0) != 0;
    if (erased)
        *erased = done;
    if (paintRect) {
        const QRect b = region.boundingRect();
        *paintRect = b.isEmpty() ? RECT{} : RECT{b.left(), b.top(), b.right() + 1, b.bottom() + 1};
    }
    return dc;
}

void EndPaintDc(Window& w, HDC dc) {
    delete dc;
    if (w.widget)
        w.widget->update();
}

HDC ClientDc(Window& w) {
    auto* dc = new gdi::DcData;
    dc->windowSurface = &w.backing;
    const HWND hwnd = w.hwnd;
    dc->onDrawn = [hwnd] {
        if (Window* x = Window::From(hwnd); x && x->widget)
            x->widget->update();
    };
    return dc;
}

HWND CreateWindowRecord(DWORD exStyle, const CString& className, const CString& text, DWORD style,
                        const QRect& rect, HWND parentHwnd, UINT id, CWnd* attach) {
    static const bool hooked = [] {
        SetPreTranslateHook(&WalkPreTranslateTree);
        return true;
    }();
    (void)hooked;
    auto* w = new Window;
    w->className = className;
    w->cls = &ClassByName(className);
    w->exStyle = exStyle;
    w->style = style;
    w->id = id;
    w->text = text;
    w->rect = rect;
    w->parent = Window::From(parentHwnd);
    w->backing = BackingImage(rect.size());
    w->invalid = QRegion(w->ClientRect());
    w->eraseNeeded = true;
    w->hwnd = RegisterMessageTarget(w);
    Windows().windows[w->hwnd] = w;
    if (w->parent) {
        // A new child goes to the bottom of its siblings.
        auto& c = w->parent->children;
        c.insert(c.begin(), w);
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QWidget* parentWidget = w->parent && w->IsChild() ? w->parent->widget : nullptr;
        w->widget = new HostWidget(w, parentWidget);
        if (w->IsOwnedPopup())
            MakeOwnedPopup(*w);
        else if (w->parent && !w->IsChild())
            MakeOwnedWindow(*w);
        else if (!w->IsChild())
            w->widget->setWindowFlags(Qt::Window | TopLevelWindowFlags(style, exStyle));
        if (!parentWidget && !text.empty())
            w->widget->setWindowTitle(QString::fromStdString(text));
        w->widget->setGeometry(rect);
        if (parentWidget)
            w->widget->lower();
    }
    w->cls->Created(*w);
    if (attach) {
        attach->m_hWnd = w->hwnd;
        w->wnd = attach;
    }
    const HWND hwnd = w->hwnd;
    if (::SendMessage(hwnd, WM_CREATE, 0, 0) == -1) {
        DestroyWindowRecord(hwnd);
        return nullptr;
    }
    if (Window* x = Window::From(hwnd)) {
        ::SendMessage(hwnd, WM_SIZE, 0, MAKELPARAM(rect.width(), rect.height()));
        x->SyncWidget();
    }
    return hwnd;
}

void DestroyWindowRecord(HWND hwnd) {
    Window* w = Window::From(hwnd);
    if (!w || w->destroying)
        return;
    w->destroying = true;
    auto& input = Input();
    if (input.capture == hwnd)
        ReleaseCapture();
    ::SendMessage(hwnd, WM_DESTROY, 0, 0);
    while (!w->children.empty())
        DestroyWindowRecord(w->children.back()->hwnd);
    ::SendMessage(hwnd, WM_NCDESTROY, 0, 0);
    if (input.focus == hwnd)
        input.focus = nullptr;
    if (input.mouseWindow == hwnd)
        input.mouseWindow = nullptr;
    if (input.lastPressWindow == hwnd)
        input.lastPressWindow = nullptr;
    if (w->hoverTimer)
        KillTimer(nullptr, w->hoverTimer);
    UnregisterMessageTarget(hwnd);
    Windows().windows.erase(hwnd);
    if (w->parent) {
        auto& c = w->parent->children;
        c.erase(std::remove(c.begin(), c.end(), w), c.end());
        if (w->Visible() && w->IsChild())
            w->parent->Invalidate(QRegion(w->rect), true);
    }
    if (w->wnd) {
        CWnd* attached = w->wnd;
        w->wnd = nullptr;
        attached->m_hWnd = nullptr;
    }
    if (w->widget) {
        static_cast<HostWidget*>(w->widget)->Forget();
        w->widget->hide();
        w->widget->deleteLater();
        w->widget->setParent(nullptr);
    }
    delete w;
}

namespace {
void PaintTree(Window* w) {
    if (!w->Visible())
        return;
    const HWND hwnd = w->hwnd;
    // A paint may invalidate again (a control that resizes itself to its picture).
    for (int i = 0; i < 3 && w && !w->invalid.isEmpty(); ++i) {
        w->Update();
        w = Window::From(hwnd);
    }
    if (!w)
        return;
    const std::vector<Window*> children = w->children;
    for (Window* c : children)
        PaintTree(c);
}

// A child shows only inside its parent, as on the screen.
void Compose(QPainter& p, const Window* w, QPoint at) {
    p.save();
    p.setClipRect(QRect(at, w->backing.size()), Qt::IntersectClip);
    p.drawImage(at, w->backing);
    for (const Window* c : w->children) {
        if (c->Visible() && c->IsChild())
            Compose(p, c, at + c->rect.topLeft());
    }
    p.restore();
}
} // namespace

QImage RenderWindow(HWND hwnd) {
    Window* w = Window::From(hwnd);
    if (!w)
        return {};
    const bool wasVisible = w->Visible();
    w->style |= WS_VISIBLE; // a hidden top-level window is rendered as if shown
    PaintTree(w);
    w = Window::From(hwnd);
    if (!w)
        return {};
    if (!wasVisible)
        w->style &= ~WS_VISIBLE;
    QImage out(w->backing.size(), QImage::Format_RGB32);
    QPainter p(&out);
    Compose(p, w, QPoint(0, 0));
    return out;
}

// Input.

void MouseInput(HWND hwnd, UINT message, POINT point, UINT keys) {
    Window* w = Window::From(hwnd);
    if (!w)
        return;
    auto& input = Input();
    const QPoint screen = w->ScreenOrigin() + QPoint(point.x, point.y);
    input.mouseScreen = screen;
    if (input.mouseWindow != hwnd) {
        const HWND left = input.mouseWindow;
        input.mouseWindow = hwnd;
        if (Window* old = Window::From(left); old && (old->trackFlags & TME_LEAVE)) {
            old->trackFlags = 0;
            ::PostMessage(left, WM_MOUSELEAVE, 0, 0);
        }
    }
    HWND target = hwnd;
    if (input.capture && Window::From(input.capture))
        target = input.capture;
    else
        ::SendMessage(hwnd, WM_SETCURSOR, WPARAM(hwnd), MAKELPARAM(HTCLIENT, message));
    Window* t = Window::From(target);
    // A disabled window takes no input: the one that disabled it (a modal
    // dialog over it) is still waiting for an answer.
    if (!t || !TopLevelOf(t)->Enabled())
        return;
    const QPoint client = screen - t->ScreenOrigin();
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
        LeavePopupFocus(target);
        t = Window::From(target);
        if (!t)
            return;
        if (message == WM_LBUTTONDOWN)
            keys |= MK_LBUTTON;
        else
            keys |= MK_RBUTTON;
        const std::int64_t now = GetTickCount64Ms();
        const bool dbl = t->cls->WantsDoubleClicks() && input.lastPressWindow == target &&
                         input.lastPressMessage == message &&
                         now - input.lastPressTime <= GetDoubleClickTime() &&
                         (client - input.lastPressPoint).manhattanLength() <= 4;
        if (dbl) {
            message = message == WM_LBUTTONDOWN ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK;
            input.lastPressWindow = nullptr;
        } else {
            input.lastPressWindow = target;
            input.lastPressMessage = message;
            input.lastPressTime = now;
            input.lastPressPoint = client;
        }
    }
    Deliver(target, message, keys, MAKELPARAM(client.x(), client.y()));
}

void WheelInput(HWND hwnd, int delta, POINT point, UINT keys) {
    Window* w = Window::From(hwnd);
    if (!w)
        return;
    const QPoint screen = w->ScreenOrigin() + QPoint(point.x, point.y);
    const HWND target = Input().focus ? Input().focus : hwnd;
    Deliver(target, WM_MOUSEWHEEL, MAKEWPARAM(keys, unsigned(std::int16_t(delta))),
            MAKELPARAM(screen.x(), screen.y()));
}

void MouseLeftWindows() {
    auto& input = Input();
    const HWND left = input.mouseWindow;
    input.mouseWindow = nullptr;
    if (Window* old = Window::From(left); old && (old->trackFlags & TME_LEAVE)) {
        old->trackFlags = 0;
        ::PostMessage(left, WM_MOUSELEAVE, 0, 0);
    }
}

void KeyInput(UINT virtualKey, UINT ch) {
    PressKey(virtualKey, ch ? QString(QChar(char16_t(ch))) : QString());
}

void CharInput(UINT ch) {
    if (const HWND focus = Input().focus)
        Deliver(focus, WM_CHAR, ch, 1);
}

const CursorData* CurrentCursor() {
    return Input().cursor;
}

void ActivateTopLevel(HWND hwnd) {
    Window* top = TopLevelOf(Window::From(hwnd));
    if (top && !top->Enabled()) {
        ActivateHolder(top);
        return;
    }
    if (top && top->widget && top->Visible())
        top->widget->activateWindow();
}

} // namespace platform::win

using platform::win::Input;
using platform::win::Window;

UINT GetDoubleClickTime() {
    return 500;
}

BOOL IsWindowEnabled(HWND hwnd) {
    Window* w = Window::From(hwnd);
    return w && w->Enabled();
}

BOOL IsWindowVisible(HWND hwnd) {
    for (Window* w = Window::From(hwnd); w; w = w->IsChild() ? w->parent : nullptr)
        if (!w->Visible())
            return FALSE;
    return Window::From(hwnd) != nullptr;
}

HWND GetParent(HWND hwnd) {
    Window* w = Window::From(hwnd);
    return w && w->parent ? w->parent->hwnd : nullptr;
}

HWND GetFocus() {
    return Input().focus;
}

HWND SetFocus(HWND hwnd) {
    auto& input = Input();
    const HWND old = input.focus;
    if (old == hwnd)
        return old;
    if (hwnd && !Window::From(hwnd))
        return nullptr;
    input.focus = hwnd;
    if (old && Window::From(old))
        ::SendMessage(old, WM_KILLFOCUS, WPARAM(hwnd), 0);
    if (hwnd && input.focus == hwnd)
        ::SendMessage(hwnd, WM_SETFOCUS, WPARAM(old), 0);
    return old;
}

HWND GetCapture() {
    return Input().capture;
}

HWND SetCapture(HWND hwnd) {
    auto& input = Input();
    const HWND old = input.capture;
    input.capture = hwnd;
    if (old && old != hwnd && Window::From(old))
        ::SendMessage(old, WM_CAPTURECHANGED, 0, LPARAM(hwnd));
    if (Window* w = Window::From(hwnd); w && w->widget)
        w->widget->grabMouse();
    return old;
}

BOOL ReleaseCapture() {
    auto& input = Input();
    const HWND old = input.capture;
    input.capture = nullptr;
    if (Window* w = Window::From(old)) {
        if (w->widget)
            w->widget->releaseMouse();
        ::SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    Window* w = Window::From(hwnd);
    if (!w)
        return FALSE;
    const QRect r = rect ? QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1))
                         : w->ClientRect();
    w->Invalidate(QRegion(r), erase != 0);
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    Window* w = Window::From(hwnd);
    if (!w)
        return FALSE;
    w->Update();
    return TRUE;
}

namespace {

// A thread timer, so the notice comes from this thread's queue even when a
// test's clock is advanced by another thread.
void HoverTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    Window* x = nullptr;
    for (auto& [hwnd, w] : platform::win::Windows().windows) {
        if (w->hoverTimer == id) {
            x = w;
            break;
        }
    }
    if (!x)
        return;
    x->hoverTimer = 0;
    if (!(x->trackFlags & TME_HOVER) || Input().mouseWindow != x->hwnd)
        return;
    x->trackFlags &= ~TME_HOVER;
    const QPoint p = Input().mouseScreen - x->ScreenOrigin();
    ::PostMessage(x->hwnd, WM_MOUSEHOVER, 0, MAKELPARAM(p.x(), p.y()));
}

} // namespace

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track) {
    Window* w = track ? Window::From(track->hwndTrack) : nullptr;
    if (!w)
        return FALSE;
    if (track->dwFlags & TME_CANCEL) {
        w->trackFlags &= ~track->dwFlags;
        return TRUE;
    }
    const HWND hwnd = w->hwnd;
    // Leaving is reported only for the window under the mouse; one that the
    // mouse already left hears of it at once.
    if ((track->dwFlags & TME_LEAVE) && Input().mouseWindow != hwnd) {
        ::PostMessage(hwnd, WM_MOUSELEAVE, 0, 0);
    } else {
        w->trackFlags |= track->dwFlags & (TME_LEAVE | TME_HOVER);
    }
    if (track->dwFlags & TME_HOVER) {
        if (w->hoverTimer)
            KillTimer(nullptr, w->hoverTimer);
        w->hoverTime = track->dwHoverTime == HOVER_DEFAULT ? 400 : track->dwHoverTime;
        w->hoverTimer = SetTimer(nullptr, 0, w->hoverTime, HoverTimerProc);
    }
    return TRUE;
}

BOOL GetCursorPos(POINT* point) {
    const QPoint p = Input().mouseScreen;
    *point = POINT{p.x(), p.y()};
    return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor) {
    auto& input = Input();
    const HCURSOR old = input.cursor;
    input.cursor = cursor;
    if (Window* w = Window::From(input.mouseWindow); w && w->widget && cursor)
        w->widget->setCursor(cursor->cursor);
    return old;
}

HCURSOR GetCursor() {
    return Input().cursor;
}
