#include "platform/win/UpDown.h"

#include "platform/gdi/Dc.h"
#include "platform/sys/MessageQueue.h"

#include <algorithm>
#include <unordered_map>

namespace platform::win {

namespace {

// Far from the small ids that controls give their own timers on the same window.
constexpr UINT_PTR kRepeatTimer = 0xFD01;
constexpr UINT kFirstRepeatMs = 500;
constexpr UINT kRepeatMs = 50;

struct UpDownState {
    HWND buddy = nullptr;
    int lower = 0;
    int upper = 100;
    int pos = 0;
    int pressed = 0; // +1 the up arrow is held, -1 the down arrow, 0 none
    bool over = false;
    bool repeating = false;
};

UpDownState& StateOf(Window& w) {
    if (!w.classState)
        w.classState = std::make_shared<UpDownState>();
    return *static_cast<UpDownState*>(w.classState.get());
}

// Buddy -> its up-down control, for the buddy's arrow keys.
std::unordered_map<HWND, HWND>& Buddies() {
    static std::unordered_map<HWND, HWND> map;
    return map;
}

void Forget(HWND upDown) {
    auto& map = Buddies();
    for (auto it = map.begin(); it != map.end();)
        it = it->second == upDown ? map.erase(it) : std::next(it);
}

int Clamp(const UpDownState& s, int pos) {
    return std::clamp(pos, std::min(s.lower, s.upper), std::max(s.lower, s.upper));
}

// Which arrow a client point is on: +1 up (right), -1 down (left).
int ArrowAt(const Window& w, int x, int y) {
    if (w.style & UDS_HORZ)
        return x >= w.rect.width() / 2 ? 1 : -1;
    return y < w.rect.height() / 2 ? 1 : -1;
}

QRect ArrowRect(const Window& w, int arrow) {
    const int cx = w.rect.width(), cy = w.rect.height();
    if (w.style & UDS_HORZ)
        return arrow > 0 ? QRect(cx / 2, 0, cx - cx / 2, cy) : QRect(0, 0, cx / 2, cy);
    return arrow > 0 ? QRect(0, 0, cx, cy / 2) : QRect(0, cy / 2, cx, cy - cy / 2);
}

void Step(Window& w, int delta) {
    auto& s = StateOf(w);
    NMUPDOWN nm;
    nm.hdr = NMHDR{w.hwnd, w.id, UDN_DELTAPOS};
    nm.iPos = s.pos;
    nm.iDelta = delta;
    const HWND hwnd = w.hwnd;
    const LRESULT refused = w.parent ? ::SendMessage(w.parent->hwnd, WM_NOTIFY, w.id, LPARAM(&nm)) : 0;
    Window* x = Window::From(hwnd);
    if (!x || refused)
        return;
    auto& xs = StateOf(*x);
    xs.pos = Clamp(xs, xs.pos + nm.iDelta);
}

void Release(Window& w) {
    auto& s = StateOf(w);
    if (!s.pressed)
        return;
    s.pressed = 0;
    s.over = false;
    s.repeating = false;
    ::KillTimer(w.hwnd, kRepeatTimer);
    w.Invalidate(w.ClientRect(), false);
}

void PaintArrow(CDC* dc, const QRect& r, int arrow, bool horizontal, bool sunk, bool enabled) {
    const RECT rc{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    dc->FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
    if (sunk) {
        dc->Draw3dRect(&rc, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    } else {
        dc->Draw3dRect(&rc, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
        const RECT inner{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1};
        dc->Draw3dRect(&inner, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_BTNSHADOW));
    }
    // A small solid triangle, one row (or column) per pixel.
    const COLORREF ink = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    const int size = std::max(1, std::min(r.width(), r.height()) / 4);
    const QPoint c = r.center() + (sunk ? QPoint(1, 1) : QPoint(0, 0));
    for (int i = 0; i < size; ++i) {
        const int half = (arrow > 0) ? i : size - 1 - i;
        if (horizontal) {
            const int x = c.x() - size / 2 + i;
            dc->FillSolidRect(x, c.y() - half, 1, 2 * half + 1, ink);
        } else {
            const int y = c.y() - size / 2 + i;
            dc->FillSolidRect(c.x() - half, y, 2 * half + 1, 1, ink);
        }
    }
}

class UpDownProc final : public WindowClass {
public:
    bool WantsDoubleClicks() const override { return false; }

    LRESULT Proc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) override {
        auto& s = StateOf(w);
        switch (message) {
        case UDM_SETBUDDY: {
            const HWND old = s.buddy;
            Forget(w.hwnd);
            s.buddy = HWND(wParam);
            if (s.buddy)
                Buddies()[s.buddy] = w.hwnd;
            return LRESULT(old);
        }
        case UDM_GETBUDDY:
            return LRESULT(s.buddy);
        case UDM_SETRANGE32:
            s.lower = int(wParam);
            s.upper = int(lParam);
            s.pos = Clamp(s, s.pos);
            return 0;
        case UDM_GETRANGE32:
            if (wParam)
                *reinterpret_cast<int*>(wParam) = s.lower;
            if (lParam)
                *reinterpret_cast<int*>(lParam) = s.upper;
            return 0;
        case UDM_SETPOS32: {
            const int old = s.pos;
            s.pos = Clamp(s, int(lParam));
            return old;
        }
        case UDM_GETPOS32:
            if (lParam)
                *reinterpret_cast<BOOL*>(lParam) = FALSE;
            return s.pos;
        case kUpDownBuddyKey:
            if (w.Enabled())
                Step(w, wParam == VK_UP ? 1 : -1);
            return 0;
        case WM_LBUTTONDOWN: {
            if (!w.Enabled() || s.pressed)
                return 0;
            const HWND hwnd = w.hwnd;
            ::SetCapture(hwnd);
            s.pressed = ArrowAt(w, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            s.over = true;
            s.repeating = false;
            w.Invalidate(w.ClientRect(), false);
            const int arrow = s.pressed;
            ::SetTimer(hwnd, kRepeatTimer, kFirstRepeatMs);
            Step(w, arrow);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (s.pressed) {
                const bool over =
                    ArrowRect(w, s.pressed).contains(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                if (over != s.over) {
                    s.over = over;
                    w.Invalidate(w.ClientRect(), false);
                }
            }
            return 0;
        case WM_TIMER:
            if (wParam != kRepeatTimer)
                return 0;
            if (!s.pressed) {
                ::KillTimer(w.hwnd, kRepeatTimer);
                return 0;
            }
            if (!s.repeating) {
                s.repeating = true;
                ::SetTimer(w.hwnd, kRepeatTimer, kRepeatMs);
            }
            if (s.over)
                Step(w, s.pressed);
            return 0;
        case WM_LBUTTONUP:
            if (s.pressed) {
                const HWND hwnd = w.hwnd;
                Release(w);
                if (::GetCapture() == hwnd)
                    ::ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (HWND(lParam) != w.hwnd)
                Release(w);
            return 0;
        case WM_ENABLE:
            if (!wParam)
                Release(w);
            w.Invalidate(w.ClientRect(), true);
            return 0;
        case WM_DESTROY:
            Forget(w.hwnd);
            ::KillTimer(w.hwnd, kRepeatTimer);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            HDC hdc = BeginPaintDc(w, nullptr, nullptr);
            CDC* dc = CDC::FromHandle(hdc);
            const bool horizontal = (w.style & UDS_HORZ) != 0;
            for (int arrow : {1, -1})
                PaintArrow(dc, ArrowRect(w, arrow), arrow, horizontal, s.pressed == arrow && s.over,
                           w.Enabled());
            EndPaintDc(w, hdc);
            return 0;
        }
        default:
            return WindowClass::Proc(w, message, wParam, lParam);
        }
    }
};

} // namespace

WindowClass& UpDownClass() {
    static UpDownProc proc;
    return proc;
}

HWND UpDownOfBuddy(HWND buddy) {
    auto& map = Buddies();
    auto it = map.find(buddy);
    if (it == map.end())
        return nullptr;
    Window* w = Window::From(it->second);
    if (!w) {
        map.erase(it);
        return nullptr;
    }
    return (w->style & UDS_ARROWKEYS) ? w->hwnd : nullptr;
}

} // namespace platform::win

BOOL CSpinButtonCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create(UPDOWN_CLASS, "", style, rect, parent, id);
}

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* buddy) {
    return CWnd::FromHandle(HWND(SendMessage(UDM_SETBUDDY, WPARAM(buddy ? buddy->GetSafeHwnd() : nullptr))));
}

CWnd* CSpinButtonCtrl::GetBuddy() const {
    return CWnd::FromHandle(HWND(const_cast<CSpinButtonCtrl*>(this)->SendMessage(UDM_GETBUDDY)));
}

void CSpinButtonCtrl::GetRange32(int& lower, int& upper) const {
    const_cast<CSpinButtonCtrl*>(this)->SendMessage(UDM_GETRANGE32, WPARAM(&lower), LPARAM(&upper));
}

int CSpinButtonCtrl::GetPos32(BOOL* error) const {
    return int(const_cast<CSpinButtonCtrl*>(this)->SendMessage(UDM_GETPOS32, 0, LPARAM(error)));
}
