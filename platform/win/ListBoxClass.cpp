// The default procedure of list boxes.

#include "platform/win/ClassProcs.h"
#include "platform/win/ListBox.h"
#include "platform/win/Window.h"

#include <QFontMetrics>

#include <algorithm>

namespace platform::win {

namespace {

struct ListEntry {
    CString text;
    LPARAM data = 0;
};

struct ListState {
    std::vector<ListEntry> entries;
    int current = -1;
    int top = 0;
    int itemHeight = 0; // 0 until set: from the font
    bool focus = false;
    int wheelSum = 0;
};

ListState& State(Window& w) {
    if (!w.classState)
        w.classState = std::make_shared<ListState>();
    return *static_cast<ListState*>(w.classState.get());
}

int ItemHeight(Window& w) {
    const auto& s = State(w);
    if (s.itemHeight > 0)
        return s.itemHeight;
    return QFontMetrics(w.font ? w.font->font : QFont()).height();
}

int VisibleRows(Window& w) {
    return std::max(1, w.rect.height() / std::max(1, ItemHeight(w)));
}

int MaxTop(Window& w) {
    return std::max(0, int(State(w).entries.size()) - VisibleRows(w));
}

void SetTop(Window& w, int top) {
    auto& s = State(w);
    top = std::clamp(top, 0, MaxTop(w));
    if (top != s.top) {
        s.top = top;
        w.Invalidate(w.ClientRect(), true);
    }
}

void EnsureVisible(Window& w, int index) {
    const auto& s = State(w);
    if (index < 0)
        return;
    if (index < s.top)
        SetTop(w, index);
    else if (index >= s.top + VisibleRows(w))
        SetTop(w, index - VisibleRows(w) + 1);
}

RECT ItemRect(Window& w, int index) {
    const int h = ItemHeight(w);
    const int y = (index - State(w).top) * h;
    return RECT{0, y, w.rect.width(), y + h};
}

void NotifyParent(Window& w, UINT code) {
    if ((w.style & LBS_NOTIFY) && w.parent)
        ::SendMessage(w.parent->hwnd, WM_COMMAND, MAKEWPARAM(w.id, code), LPARAM(w.hwnd));
}

bool Select(Window& w, int index) {
    auto& s = State(w);
    if (index == s.current)
        return false;
    s.current = index;
    EnsureVisible(w, index);
    w.Invalidate(w.ClientRect(), true);
    return true;
}

void Paint(Window& w) {
    auto& s = State(w);
    bool erased = false;
    HDC hdc = BeginPaintDc(w, nullptr, &erased);
    CDC* dc = CDC::FromHandle(hdc);
    if (w.font)
        dc->SelectObject(HGDIOBJ(w.font));
    HBRUSH brush = w.parent ? reinterpret_cast<HBRUSH>(::SendMessage(w.parent->hwnd, WM_CTLCOLORLISTBOX,
                                                                     WPARAM(hdc), LPARAM(w.hwnd)))
                            : nullptr;
    const RECT all{0, 0, w.rect.width(), w.rect.height()};
    dc->FillRect(&all, CBrush::FromHandle(brush ? brush : GetSysColorBrush(COLOR_WINDOW)));
    const HWND self = w.hwnd;
    const int last = std::min(int(s.entries.size()), s.top + VisibleRows(w) + 1);
    for (int i = s.top; i < last; ++i) {
        const RECT r = ItemRect(w, i);
        const bool selected = i == s.current;
        if (w.style & LBS_OWNERDRAWFIXED) {
            DRAWITEMSTRUCT dis;
            dis.CtlType = ODT_LISTBOX;
            dis.CtlID = w.id;
            dis.itemID = UINT(i);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = (selected ? ODS_SELECTED : 0) | (selected && s.focus ? ODS_FOCUS : 0);
            dis.hwndItem = w.hwnd;
            dis.hDC = hdc;
            dis.rcItem = r;
            dis.itemData = ULONG_PTR(s.entries[size_t(i)].data);
            // The owner draws each entry clipped to its own row, so an entry
            // never paints over its neighbour's descenders.
            const int saved = dc->SaveDC();
            dc->IntersectClipRect(&r);
            if (w.parent)
                ::SendMessage(w.parent->hwnd, WM_DRAWITEM, w.id, LPARAM(&dis));
            if (!Window::From(self))
                return;
            dc->RestoreDC(saved);
        } else {
            // The classic scheme's selection colours.
            if (selected)
                dc->FillSolidRect(&r, RGB(10, 36, 106));
            dc->SetBkMode(TRANSPARENT);
            dc->SetTextColor(selected ? RGB(255, 255, 255) : GetSysColor(COLOR_WINDOWTEXT));
            RECT text{r.left + 2, r.top, r.right, r.bottom};
            dc->DrawText(s.entries[size_t(i)].text, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
    }
    EndPaintDc(w, hdc);
}

class ListBoxClass final : public WindowClass {
public:
    LRESULT Proc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) override {
        auto& s = State(w);
        const int count = int(s.entries.size());
        const bool valid = int(wParam) >= 0 && int(wParam) < count;
        switch (message) {
        case LB_ADDSTRING:
        case LB_INSERTSTRING: {
            const CString text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            int index = count;
            if (message == LB_INSERTSTRING && int(wParam) >= 0)
                index = std::min(int(wParam), count);
            else if (message == LB_ADDSTRING && (w.style & LBS_SORT))
                index =
                    int(std::upper_bound(s.entries.begin(), s.entries.end(), text,
                                         [](const CString& t, const ListEntry& e) { return t < e.text; }) -
                        s.entries.begin());
            s.entries.insert(s.entries.begin() + index, ListEntry{text, 0});
            if (s.current >= index)
                ++s.current;
            w.Invalidate(w.ClientRect(), true);
            return index;
        }
        case LB_DELETESTRING:
            if (!valid)
                return LB_ERR;
            s.entries.erase(s.entries.begin() + int(wParam));
            if (s.current == int(wParam))
                s.current = -1;
            else if (s.current > int(wParam))
                --s.current;
            s.top = std::min(s.top, MaxTop(w));
            w.Invalidate(w.ClientRect(), true);
            return LRESULT(s.entries.size());
        case LB_RESETCONTENT:
            s.entries.clear();
            s.current = -1;
            s.top = 0;
            w.Invalidate(w.ClientRect(), true);
            return 0;
        case LB_GETCOUNT:
            return count;
        case LB_GETCURSEL:
            return s.current;
        case LB_SETCURSEL:
            Select(w, valid ? int(wParam) : -1);
            return valid ? LRESULT(wParam) : LB_ERR;
        case LB_GETTEXT:
            if (!valid)
                return LB_ERR;
            if (lParam)
                *reinterpret_cast<CString*>(lParam) = s.entries[wParam].text;
            return LRESULT(s.entries[wParam].text.size());
        case LB_GETTEXTLEN:
            return valid ? LRESULT(s.entries[wParam].text.size()) : LB_ERR;
        case LB_GETITEMDATA:
            return valid ? s.entries[wParam].data : LB_ERR;
        case LB_SETITEMDATA:
            if (!valid)
                return LB_ERR;
            s.entries[wParam].data = lParam;
            return 0;
        case LB_GETTOPINDEX:
            return s.top;
        case LB_SETTOPINDEX:
            if (!valid && count)
                return LB_ERR;
            SetTop(w, int(wParam));
            return 0;
        case LB_GETITEMRECT:
            if (!valid && !(int(wParam) == 0 && count == 0))
                return LB_ERR;
            *reinterpret_cast<RECT*>(lParam) = ItemRect(w, int(wParam));
            return 1;
        case LB_GETITEMHEIGHT:
            return ItemHeight(w);
        case LB_SETITEMHEIGHT:
            if (LOWORD(lParam) == 0 || LOWORD(lParam) > 255)
                return LB_ERR;
            s.itemHeight = LOWORD(lParam);
            s.top = std::min(s.top, MaxTop(w));
            w.Invalidate(w.ClientRect(), true);
            return 0;
        case WM_SIZE:
            s.top = std::min(s.top, MaxTop(w));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const HWND self = w.hwnd;
            if (::GetFocus() != self)
                ::SetFocus(self);
            Window* x = Window::From(self);
            if (!x)
                return 0;
            const int index = State(*x).top + GET_Y_LPARAM(lParam) / std::max(1, ItemHeight(*x));
            if (GET_Y_LPARAM(lParam) < 0 || index >= int(State(*x).entries.size()))
                return 0;
            Select(*x, index);
            NotifyParent(*x, LBN_SELCHANGE);
            // The pick may have destroyed the list.
            if (message == WM_LBUTTONDBLCLK && (x = Window::From(self)))
                NotifyParent(*x, LBN_DBLCLK);
            return 0;
        }
        case WM_KEYDOWN: {
            if (!count)
                return 0;
            int next = s.current;
            switch (wParam) {
            case VK_UP:
                next = std::max(0, s.current - 1);
                break;
            case VK_DOWN:
                next = std::min(count - 1, s.current + 1);
                break;
            case VK_PRIOR:
                next = std::max(0, s.current - VisibleRows(w) + 1);
                break;
            case VK_NEXT:
                next = std::min(count - 1, std::max(0, s.current) + VisibleRows(w) - 1);
                break;
            case VK_HOME:
                next = 0;
                break;
            case VK_END:
                next = count - 1;
                break;
            default:
                return 0;
            }
            if (Select(w, next))
                NotifyParent(w, LBN_SELCHANGE);
            return 0;
        }
        case WM_MOUSEWHEEL: {
            s.wheelSum += GET_WHEEL_DELTA_WPARAM(wParam);
            const int steps = s.wheelSum / WHEEL_DELTA;
            s.wheelSum -= steps * WHEEL_DELTA;
            SetTop(w, s.top - steps * 3);
            return 0;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            s.focus = message == WM_SETFOCUS;
            w.Invalidate(w.ClientRect(), false);
            NotifyParent(w, message == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint(w);
            return 0;
        default:
            return WindowClass::Proc(w, message, wParam, lParam);
        }
    }
};

} // namespace

WindowClass& ListBoxProc() {
    static ListBoxClass cls;
    return cls;
}

} // namespace platform::win

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("ListBox", "", style, rect, parent, id);
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}

void CListBox::MeasureItem(void*) {}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, result);
}
