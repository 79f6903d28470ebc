// The default procedure of progress bars.

#include "platform/win/ClassProcs.h"
#include "platform/win/ProgressCtrl.h"
#include "platform/win/Window.h"

#include <algorithm>

namespace platform::win {

namespace {

struct ProgressState {
    int low = 0;
    int high = 100;
    int pos = 0;
};

class ProgressClass final : public WindowClass {
public:
    bool WantsDoubleClicks() const override { return false; }

    LRESULT Proc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (!w.classState)
            w.classState = std::make_shared<ProgressState>();
        auto& s = *static_cast<ProgressState*>(w.classState.get());
        switch (message) {
        case PBM_SETRANGE: {
            const LRESULT old = MAKELPARAM(s.low, s.high);
            s.low = LOWORD(lParam);
            s.high = HIWORD(lParam);
            s.pos = std::clamp(s.pos, s.low, std::max(s.low, s.high));
            w.Invalidate(w.ClientRect(), true);
            return old;
        }
        case PBM_SETPOS: {
            const int old = s.pos;
            s.pos = std::clamp(int(wParam), s.low, std::max(s.low, s.high));
            w.Invalidate(w.ClientRect(), true);
            return old;
        }
        case PBM_GETPOS:
            return s.pos;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            HDC hdc = BeginPaintDc(w, nullptr, nullptr);
            CDC* dc = CDC::FromHandle(hdc);
            const RECT all{0, 0, w.rect.width(), w.rect.height()};
            dc->FillSolidRect(&all, GetSysColor(COLOR_BTNFACE));
            const int span = s.high - s.low;
            if (span > 0) {
                const RECT bar{0, 0, int(std::int64_t(w.rect.width()) * (s.pos - s.low) / span),
                               w.rect.height()};
                // The classic scheme's selection colour.
                dc->FillSolidRect(&bar, RGB(10, 36, 106));
            }
            EndPaintDc(w, hdc);
            return 0;
        }
        default:
            return WindowClass::Proc(w, message, wParam, lParam);
        }
    }
};

} // namespace

WindowClass& ProgressProc() {
    static ProgressClass cls;
    return cls;
}

} // namespace platform::win

BOOL CProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("msctls_progress32", "", style, rect, parent, id);
}
