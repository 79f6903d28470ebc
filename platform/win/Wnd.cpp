#include "platform/win/Wnd.h"

#include "platform/gdi/Dc.h"
#include "platform/win/DataExchange.h"
#include "platform/win/NonClient.h"
#include "platform/win/Window.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <vector>

using platform::win::Window;
using platform::win::WM_CTLCOLOR_ANY;
using platform::win::WM_REFLECT_BASE;

namespace {

thread_local std::vector<MSG> t_current;

struct CurrentMessage {
    CurrentMessage(HWND hwnd, UINT m, WPARAM wp, LPARAM lp) { t_current.push_back({hwnd, m, wp, lp, 0}); }
    ~CurrentMessage() { t_current.pop_back(); }
};

bool IsCtlColor(UINT m) {
    return m >= WM_CTLCOLORMSGBOX && m <= WM_CTLCOLORSTATIC;
}

const platform::win::MessageMapEntry* FindEntry(const platform::win::MessageMap* map, UINT message, UINT code,
                                                UINT id) {
    for (; map; map = map->base ? map->base() : nullptr) {
        for (const auto* e = map->entries; e && e->thunk; ++e) {
            if (message == WM_COMMAND || message == WM_NOTIFY) {
                if (e->message == message && e->code == code && id >= e->firstId && id <= e->lastId)
                    return e;
            } else if (IsCtlColor(message)) {
                if (e->message == WM_CTLCOLORMSGBOX && e->lastId == WM_CTLCOLOR_ANY)
                    return e;
            } else if (e->message == message) {
                return e;
            }
        }
    }
    return nullptr;
}

} // namespace

const CWnd CWnd::wndTop;
const CWnd CWnd::wndBottom;
const CWnd CWnd::wndTopMost;

const platform::win::MessageMap* CWnd::GetThisMessageMap() {
    static const platform::win::MessageMapEntry entries[] = {{0, 0, 0, 0, nullptr}};
    static const platform::win::MessageMap map{nullptr, entries};
    return &map;
}

const platform::win::MessageMap* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (Window* w = Record(); w && w->wnd == this) {
        // The object is going away: the window loses it first, so its last
        // messages go to the class's default procedure.
        w->wnd = nullptr;
        const HWND hwnd = m_hWnd;
        m_hWnd = nullptr;
        platform::win::DestroyWindowRecord(hwnd);
    }
}

Window* CWnd::Record() const {
    return Window::From(m_hWnd);
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    Window* w = Window::From(hwnd);
    if (!w)
        return nullptr;
    if (w->wnd)
        return w->wnd;
    if (!w->wrapper) {
        w->wrapper = std::make_unique<CWnd>();
        w->wrapper->m_hWnd = hwnd;
    }
    return w->wrapper.get();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    Window* w = Window::From(hwnd);
    return w ? w->wnd : nullptr;
}

BOOL CWnd::Attach(HWND hwnd) {
    Window* w = Window::From(hwnd);
    if (!w || m_hWnd || w->wnd)
        return FALSE;
    m_hWnd = hwnd;
    w->wnd = this;
    return TRUE;
}

HWND CWnd::Detach() {
    const HWND hwnd = m_hWnd;
    if (Window* w = Record(); w && w->wnd == this)
        w->wnd = nullptr;
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!Attach(hwnd))
        return FALSE;
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    CWnd* item = parent ? parent->GetDlgItem(int(id)) : nullptr;
    return item ? SubclassWindow(item->m_hWnd) : FALSE;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::PreCreateWindow(void*) {
    return TRUE;
}

void CWnd::PostNcDestroy() {}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id) {
    if (m_hWnd)
        return FALSE;
    PreCreateWindow(nullptr);
    const QRect r(QPoint(rect.left, rect.top), QSize(rect.right - rect.left, rect.bottom - rect.top));
    const HWND hwnd = platform::win::CreateWindowRecord(exStyle, className ? className : "AfxWnd",
                                                        windowName ? windowName : "", style, r,
                                                        parent ? parent->m_hWnd : nullptr, id, this);
    return hwnd ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd)
        return FALSE;
    platform::win::DestroyWindowRecord(m_hWnd);
    return TRUE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

const MSG* CWnd::GetCurrentMessage() {
    return t_current.empty() ? nullptr : &t_current.back();
}

LRESULT CWnd::Default() {
    const MSG* m = GetCurrentMessage();
    return m ? DefWindowProc(m->message, m->wParam, m->lParam) : 0;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Record();
    return w ? w->DefaultProc(message, wParam, lParam) : 0;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    CurrentMessage current(m_hWnd, message, wParam, lParam);
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* map = GetMessageMap();
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            *result = 0;
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_NOTIFY) {
        LRESULT r = 0;
        if (OnNotify(wParam, lParam, &r)) {
            *result = r;
            return TRUE;
        }
        return FALSE;
    }
    if (const auto* e = FindEntry(map, message, 0, 0)) {
        LRESULT r = 0;
        if (e->thunk(this, message, wParam, lParam, r)) {
            *result = r;
            return TRUE;
        }
        return FALSE;
    }
    // Without a handler of their own, windows hand these to the control.
    if (IsCtlColor(message)) {
        *result = LRESULT(OnCtlColor(CDC::FromHandle(HDC(wParam)), CWnd::FromHandle(HWND(lParam)),
                                     message - WM_CTLCOLORMSGBOX));
        return TRUE;
    }
    if (message == WM_DRAWITEM) {
        auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        CWnd* child = dis ? FromHandlePermanent(dis->hwndItem) : nullptr;
        LRESULT r = 0;
        if (child && child->OnChildNotify(message, wParam, lParam, &r)) {
            *result = TRUE;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (lParam) {
        if (CWnd* child = FromHandlePermanent(HWND(lParam))) {
            LRESULT r = 0;
            if (child->OnChildNotify(WM_COMMAND, wParam, lParam, &r))
                return TRUE;
        }
    }
    if (const auto* e = FindEntry(GetMessageMap(), WM_COMMAND, code, id)) {
        LRESULT r = 0;
        return e->thunk(this, WM_COMMAND, wParam, lParam, r) ? TRUE : FALSE;
    }
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (!hdr)
        return FALSE;
    if (CWnd* child = FromHandlePermanent(hdr->hwndFrom)) {
        if (child->OnChildNotify(WM_NOTIFY, 0, lParam, result))
            return TRUE;
    }
    if (const auto* e = FindEntry(GetMessageMap(), WM_NOTIFY, hdr->code, UINT(hdr->idFrom)))
        return e->thunk(this, WM_NOTIFY, 0, lParam, *result) ? TRUE : FALSE;
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    return ReflectChildNotify(message, wParam, lParam, result);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* map = GetMessageMap();
    UINT reflected = WM_REFLECT_BASE + message;
    if (IsCtlColor(message))
        reflected = WM_REFLECT_BASE + WM_CTLCOLOR_ANY;
    for (; map; map = map->base ? map->base() : nullptr) {
        for (const auto* e = map->entries; e && e->thunk; ++e) {
            if (e->message != reflected)
                continue;
            if (message == WM_COMMAND && e->code != HIWORD(wParam))
                continue;
            if (message == WM_NOTIFY && (!lParam || e->code != reinterpret_cast<const NMHDR*>(lParam)->code))
                continue;
            LRESULT r = 0;
            if (e->thunk(this, message, wParam, lParam, r)) {
                if (result)
                    *result = r;
                return TRUE;
            }
            return FALSE;
        }
    }
    return FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

// Identity, style and text.

int CWnd::GetDlgCtrlID() const {
    Window* w = Record();
    return w ? int(w->id) : 0;
}

int CWnd::SetDlgCtrlID(int id) {
    Window* w = Record();
    if (!w)
        return 0;
    const int old = int(w->id);
    w->id = UINT(id);
    return old;
}

CWnd* CWnd::GetDlgItem(int id) const {
    Window* w = Record();
    if (!w)
        return nullptr;
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
        if ((*it)->id == UINT(id))
            return FromHandle((*it)->hwnd);
    return nullptr;
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

CWnd* CWnd::GetTopLevelParent() const {
    Window* w = Record();
    while (w && w->IsChild())
        w = w->parent;
    return w ? FromHandle(w->hwnd) : nullptr;
}

BOOL CWnd::IsChild(const CWnd* wnd) const {
    for (Window* w = wnd ? wnd->Record() : nullptr; w; w = w->parent)
        if (w->parent && w->parent->hwnd == m_hWnd)
            return TRUE;
    return FALSE;
}

DWORD CWnd::GetStyle() const {
    Window* w = Record();
    return w ? w->style : 0;
}

DWORD CWnd::GetExStyle() const {
    Window* w = Record();
    return w ? w->exStyle : 0;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
    Window* w = Record();
    if (!w)
        return FALSE;
    const DWORD old = w->style;
    w->style = (w->style & ~remove) | add;
    if (flags & SWP_FRAMECHANGED)
        w->Invalidate(w->ClientRect(), true);
    return old != w->style;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT) {
    Window* w = Record();
    if (!w)
        return FALSE;
    const DWORD old = w->exStyle;
    w->exStyle = (w->exStyle & ~remove) | add;
    return old != w->exStyle;
}

void CWnd::SetWindowText(const CString& text) {
    ::SendMessage(m_hWnd, WM_SETTEXT, 0, LPARAM(text.c_str()));
}

void CWnd::GetWindowText(CString& text) const {
    text.clear();
    ::SendMessage(m_hWnd, WM_GETTEXT, 0, LPARAM(&text));
}

CString CWnd::GetWindowText() const {
    CString text;
    GetWindowText(text);
    return text;
}

int CWnd::GetWindowTextLength() const {
    return int(::SendMessage(m_hWnd, WM_GETTEXTLENGTH, 0, 0));
}

void CWnd::SetFont(CFont* font, BOOL redraw) {
    ::SendMessage(m_hWnd, WM_SETFONT, WPARAM(font ? font->GetHandle() : nullptr), redraw);
}

CFont* CWnd::GetFont() const {
    return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0)));
}

// Geometry.

void CWnd::GetWindowRect(RECT* rect) const {
    Window* w = Record();
    if (!w) {
        *rect = RECT{};
        return;
    }
    const QRect r = platform::win::OuterRect(*w);
    *rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void CWnd::GetClientRect(RECT* rect) const {
    Window* w = Record();
    *rect = w ? RECT{0, 0, w->rect.width(), w->rect.height()} : RECT{};
}

void CWnd::ScreenToClient(POINT* point) const {
    if (Window* w = Record()) {
        const QPoint o = w->ScreenOrigin();
        point->x -= o.x();
        point->y -= o.y();
    }
}

void CWnd::ScreenToClient(RECT* rect) const {
    POINT tl{rect->left, rect->top}, br{rect->right, rect->bottom};
    ScreenToClient(&tl);
    ScreenToClient(&br);
    *rect = RECT{tl.x, tl.y, br.x, br.y};
}

void CWnd::ClientToScreen(POINT* point) const {
    if (Window* w = Record()) {
        const QPoint o = w->ScreenOrigin();
        point->x += o.x();
        point->y += o.y();
    }
}

void CWnd::ClientToScreen(RECT* rect) const {
    POINT tl{rect->left, rect->top}, br{rect->right, rect->bottom};
    ClientToScreen(&tl);
    ClientToScreen(&br);
    *rect = RECT{tl.x, tl.y, br.x, br.y};
}

void CWnd::MapWindowPoints(CWnd* to, RECT* rect) const {
    ClientToScreen(rect);
    if (to)
        to->ScreenToClient(rect);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    if (Window* w = Record())
        w->SetRect(platform::win::ClientRectFor(*w, QRect(x, y, width, height)), repaint != 0);
}

void CWnd::MoveWindow(const RECT* rect, BOOL repaint) {
    MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    Window* w = Record();
    if (!w)
        return FALSE;
    if (!(flags & SWP_NOZORDER) && insertAfter == &wndTopMost && !w->IsChild() && w->widget &&
        !(w->exStyle & WS_EX_TOPMOST)) {
        w->exStyle |= WS_EX_TOPMOST;
        // Changing a window's flags hides it; it comes back as it was.
        const bool shown = w->widget->isVisible();
        w->widget->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        if (shown)
            w->widget->show();
    }
    if (!(flags & SWP_NOZORDER) && w->parent && (insertAfter == &wndTop || insertAfter == &wndBottom)) {
        auto& c = w->parent->children;
        c.erase(std::remove(c.begin(), c.end(), w), c.end());
        if (insertAfter == &wndTop) {
            c.push_back(w);
            if (w->widget)
                w->widget->raise();
        } else {
            c.insert(c.begin(), w);
            if (w->widget)
                w->widget->lower();
        }
        if (w->IsChild())
            w->parent->Invalidate(QRegion(w->rect), true);
    }
    // Position and size are the window's, frame included.
    QRect outer = w->rect.marginsAdded(platform::win::FrameMargins(*w));
    if (!(flags & SWP_NOMOVE))
        outer.moveTo(x, y);
    if (!(flags & SWP_NOSIZE))
        outer.setSize(QSize(cx, cy));
    const QRect r = platform::win::ClientRectFor(*w, outer);
    if (r != w->rect)
        w->SetRect(r, !(flags & SWP_NOREDRAW));
    if (flags & SWP_FRAMECHANGED)
        w->Invalidate(w->ClientRect(), true);
    if (flags & SWP_SHOWWINDOW)
        w->SetVisible(true);
    if (flags & SWP_HIDEWINDOW)
        w->SetVisible(false);
    return TRUE;
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
    Window* w = Record();
    if (!w || w->IsChild())
        return;
    // On the owner when there is one, else on the desktop's work area.
    QRect area(0, 0, 1920, 1080);
    Window* owner = alternateOwner ? Window::From(alternateOwner->GetSafeHwnd()) : w->parent;
    if (owner) {
        area = platform::win::OuterRect(*owner);
    } else if (QGuiApplication::primaryScreen()) {
        area = QGuiApplication::primaryScreen()->availableGeometry();
    }
    const QRect outer = platform::win::OuterRect(*w);
    const QPoint topLeft(area.left() + (area.width() - outer.width()) / 2,
                         area.top() + (area.height() - outer.height()) / 2);
    w->SetRect(platform::win::ClientRectFor(*w, QRect(topLeft, outer.size())), false);
}

// State.

BOOL CWnd::ShowWindow(int command) {
    Window* w = Record();
    if (!w)
        return FALSE;
    const bool was = w->Visible();
    w->SetVisible(command != SW_HIDE);
    if (w->widget && w->widget->isWindow()) {
        if (command == SW_MINIMIZE)
            w->widget->showMinimized();
        else if (command == SW_RESTORE && w->widget->isMinimized())
            w->widget->showNormal();
    }
    return was;
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::EnableWindow(BOOL enable) {
    Window* w = Record();
    if (!w)
        return FALSE;
    const bool wasDisabled = !w->Enabled();
    if (bool(enable) == !wasDisabled)
        return wasDisabled;
    if (enable)
        w->style &= ~WS_DISABLED;
    else
        w->style |= WS_DISABLED;
    if (!enable && ::GetFocus() == m_hWnd)
        ::SetFocus(nullptr);
    w->SyncWidget();
    ::SendMessage(m_hWnd, WM_ENABLE, enable, 0);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}

CWnd* CWnd::GetFocus() {
    return FromHandle(::GetFocus());
}

CWnd* CWnd::SetCapture() {
    return FromHandle(::SetCapture(m_hWnd));
}

CWnd* CWnd::GetCapture() {
    return FromHandle(::GetCapture());
}

void CWnd::SetRedraw(BOOL redraw) {
    if (Window* w = Record()) {
        w->redrawOff = !redraw;
        if (redraw && w->widget)
            w->widget->update();
    }
}

// Painting.

void CWnd::Invalidate(BOOL erase) {
    ::InvalidateRect(m_hWnd, nullptr, erase);
}

void CWnd::InvalidateRect(const RECT* rect, BOOL erase) {
    ::InvalidateRect(m_hWnd, rect, erase);
}

void CWnd::ValidateRect(const RECT* rect) {
    Window* w = Record();
    if (!w)
        return;
    if (!rect)
        w->invalid = QRegion();
    else
        w->invalid -=
            QRegion(QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1)));
}

void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}

BOOL CWnd::RedrawWindow(const RECT* rect, void*, UINT flags) {
    Window* w = Record();
    if (!w)
        return FALSE;
    if (flags & RDW_INVALIDATE)
        InvalidateRect(rect, (flags & RDW_ERASE) ? TRUE : FALSE);
    if (flags & RDW_VALIDATE)
        ValidateRect(rect);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
        std::function<void(Window*)> update = [&](Window* x) {
            const HWND h = x->hwnd;
            x->Update();
            if (!(flags & RDW_ALLCHILDREN))
                return;
            if (Window* y = Window::From(h))
                for (Window* c : std::vector<Window*>(y->children))
                    update(c);
        };
        update(w);
    }
    return TRUE;
}

namespace {
// A DC made by GetDC: the object is returned to ReleaseDC.
class WindowDc final : public CDC {
public:
    explicit WindowDc(HDC dc) {
        Attach(dc);
        m_ownsDc = true;
    }
};
} // namespace

CDC* CWnd::GetDC() {
    Window* w = Record();
    if (!w)
        return nullptr;
    return new WindowDc(platform::win::ClientDc(*w));
}

int CWnd::ReleaseDC(CDC* dc) {
    delete dc;
    return 1;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    return ::SetTimer(m_hWnd, id, elapseMs, proc);
}

BOOL CWnd::KillTimer(UINT_PTR id) {
    return ::KillTimer(m_hWnd, id);
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

// Default handlers.

void CWnd::OnPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*) {
    return BOOL(Default());
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseHover(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseLeave() {
    Default();
}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) {
    return BOOL(Default());
}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) {
    return BOOL(Default());
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnKeyUp(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSetFocus(CWnd*) {
    Default();
}
void CWnd::OnKillFocus(CWnd*) {
    Default();
}
UINT CWnd::OnGetDlgCode() {
    return UINT(Default());
}
int CWnd::OnCreate(void*) {
    return int(Default());
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnNcDestroy() {
    Default();
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnShowWindow(BOOL, UINT) {
    Default();
}
void CWnd::OnEnable(BOOL) {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnCaptureChanged(CWnd*) {
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
    const UINT message = WM_CTLCOLORMSGBOX + ctlColor;
    if (wnd && wnd != this) {
        if (CWnd* child = FromHandlePermanent(wnd->m_hWnd)) {
            LRESULT r = 0;
            if (child->OnChildNotify(message, WPARAM(dc->GetSafeHdc()), LPARAM(m_hWnd), &r))
                return reinterpret_cast<HBRUSH>(r);
        }
    }
    return reinterpret_cast<HBRUSH>(
        DefWindowProc(message, WPARAM(dc->GetSafeHdc()), LPARAM(wnd ? wnd->m_hWnd : nullptr)));
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT dis) {
    if (CWnd* child = dis ? FromHandlePermanent(dis->hwndItem) : nullptr) {
        LRESULT r = 0;
        if (child->OnChildNotify(WM_DRAWITEM, 0, LPARAM(dis), &r))
            return;
    }
    Default();
}
