// The default procedures of the system's window classes.

#include "platform/gdi/Dc.h"
#include "platform/sys/Gbk.h"
#include "platform/sys/MessageBox.h"
#include "platform/win/Button.h"
#include "platform/win/Caret.h"
#include "platform/win/ClassProcs.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Cursor.h"
#include "platform/win/Edit.h"
#include "platform/win/KeyState.h"
#include "platform/win/PaintDC.h"
#include "platform/win/Static.h"
#include "platform/win/TabCtrl.h"
#include "platform/win/UpDown.h"
#include "platform/win/Window.h"

#include <QFontMetrics>
#include <QRegularExpression>
#include <QString>

#include <map>
#include <optional>

namespace platform::win {

namespace {

template <typename T> T& State(Window& w) {
    if (!w.classState)
        w.classState = std::make_shared<T>();
    return *static_cast<T*>(w.classState.get());
}

HDC PaintBegin(Window& w, PAINTSTRUCT& ps) {
    ps.hdc = BeginPaintDc(w, &ps.rcPaint, nullptr);
    if (w.font)
        CDC::FromHandle(ps.hdc)->SelectObject(HGDIOBJ(w.font));
    return ps.hdc;
}

void Notify(Window& w, UINT code) {
    if (w.parent)
        ::SendMessage(w.parent->hwnd, WM_COMMAND, MAKEWPARAM(w.id, code), LPARAM(w.hwnd));
}

HBRUSH AskColours(Window& w, UINT message, HDC dc) {
    if (!w.parent)
        return nullptr;
    return reinterpret_cast<HBRUSH>(::SendMessage(w.parent->hwnd, message, WPARAM(dc), LPARAM(w.hwnd)));
}

// Buttons.

struct ButtonState {
    int check = BST_UNCHECKED;
    bool pushed = false;
    bool tracking = false;
    bool focus = false;
};

class ButtonClass final : public WindowClass {
public:
    LRESULT Proc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) override {
        auto& s = State<ButtonState>(w);
        const DWORD type = w.style & BS_TYPEMASK;
        switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (type == BS_GROUPBOX)
                return 0;
            if (message == WM_LBUTTONDBLCLK && (type == BS_OWNERDRAW || type == BS_RADIOBUTTON ||
                                                type == BS_AUTORADIOBUTTON || (w.style & BS_NOTIFY)))
                Notify(w, BN_DOUBLECLICKED);
            if (::GetFocus() != w.hwnd)
                ::SetFocus(w.hwnd);
            ::SetCapture(w.hwnd);
            s.tracking = true;
            SetPushed(w, true);
            return 0;
        case WM_MOUSEMOVE:
            if (s.tracking)
                SetPushed(w, w.ClientRect().contains(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            return 0;
        case WM_LBUTTONUP: {
            if (!s.tracking)
                return 0;
            s.tracking = false;
            const bool click = s.pushed;
            SetPushed(w, false);
            const HWND hwnd = w.hwnd;
            ReleaseCapture();
            Window* x = Window::From(hwnd);
            if (click && x)
                Clicked(*x);
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (s.tracking && HWND(lParam) != w.hwnd) {
                s.tracking = false;
                SetPushed(w, false);
            }
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_SPACE)
                SetPushed(w, true);
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && s.pushed) {
                SetPushed(w, false);
                Clicked(w);
            }
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            s.focus = message == WM_SETFOCUS;
            w.Invalidate(w.ClientRect(), false);
            return 0;
        case WM_GETDLGCODE:
            if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
                return DLGC_BUTTON | DLGC_RADIOBUTTON;
            if (type == BS_DEFPUSHBUTTON)
                return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
            if (type == BS_PUSHBUTTON)
                return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
            return DLGC_BUTTON;
        case BM_GETCHECK:
            return s.check;
        case BM_SETCHECK:
            if (s.check != int(wParam)) {
                s.check = int(wParam);
                w.Invalidate(w.ClientRect(), false);
            }
            return 0;
        case BM_GETSTATE:
            return s.check | (s.pushed ? BST_PUSHED : 0) | (s.focus ? BST_FOCUS : 0);
        case BM_SETSTATE:
            SetPushed(w, wParam != 0);
            return 0;
        case BM_SETSTYLE:
            w.style = (w.style & 0xFFFF0000) | (DWORD(wParam) & 0xFFFF);
            if (lParam)
                w.Invalidate(w.ClientRect(), true);
            return 0;
        case BM_CLICK:
            Clicked(w);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint(w);
            return 0;
        default:
            return WindowClass::Proc(w, message, wParam, lParam);
        }
    }

private:
    static void SetPushed(Window& w, bool pushed) {
        auto& s = State<ButtonState>(w);
        if (s.pushed == pushed)
            return;
        s.pushed = pushed;
        w.Invalidate(w.ClientRect(), false);
        w.Update();
    }

    static void Clicked(Window& w) {
        const DWORD type = w.style & BS_TYPEMASK;
        auto& s = State<ButtonState>(w);
        if (type == BS_AUTOCHECKBOX) {
            s.check = s.check ? BST_UNCHECKED : BST_CHECKED;
            w.Invalidate(w.ClientRect(), false);
        } else if (type == BS_AUTORADIOBUTTON) {
            s.check = BST_CHECKED;
            w.Invalidate(w.ClientRect(), false);
            if (w.parent)
                for (Window* sib : w.parent->children)
                    if (sib != &w && sib->className == w.className &&
                        (sib->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                        ::SendMessage(sib->hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        Notify(w, BN_CLICKED);
    }

    static void Paint(Window& w) {
        auto& s = State<ButtonState>(w);
        PAINTSTRUCT ps;
        HDC hdc = PaintBegin(w, ps);
        CDC* dc = CDC::FromHandle(hdc);
        const DWORD type = w.style & BS_TYPEMASK;
        const bool checkLike = type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON && type != BS_OWNERDRAW;
        HBRUSH brush = AskColours(w, checkLike ? WM_CTLCOLORSTATIC : WM_CTLCOLORBTN, hdc);
        RECT rc{0, 0, w.rect.width(), w.rect.height()};
        if (type == BS_OWNERDRAW) {
            DRAWITEMSTRUCT dis;
            dis.CtlType = ODT_BUTTON;
            dis.CtlID = w.id;
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState =
                (s.pushed ? ODS_SELECTED : 0) | (w.Enabled() ? 0 : ODS_DISABLED) | (s.focus ? ODS_FOCUS : 0);
            dis.hwndItem = w.hwnd;
            dis.hDC = hdc;
            dis.rcItem = rc;
            if (w.parent)
                ::SendMessage(w.parent->hwnd, WM_DRAWITEM, w.id, LPARAM(&dis));
        } else if (!checkLike) {
            dc->FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
            if (s.pushed) {
                dc->Draw3dRect(&rc, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
            } else {
                dc->Draw3dRect(&rc, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
                RECT inner{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1};
                dc->Draw3dRect(&inner, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_BTNSHADOW));
            }
            dc->SetBkMode(TRANSPARENT);
            dc->SetTextColor(GetSysColor(w.Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
            CRect text(rc);
            if (s.pushed)
                text.OffsetRect(1, 1);
            dc->DrawText(w.text, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        } else if (type == BS_GROUPBOX) {
            if (brush)
                dc->FillRect(&rc, CBrush::FromHandle(brush));
            const CSize ext = dc->GetTextExtent(w.text);
            RECT frame{0, ext.cy / 2, rc.right, rc.bottom};
            dc->Draw3dRect(&frame, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
            RECT label{8, 0, 8 + ext.cx + 4, ext.cy};
            dc->DrawText(w.text, &label, DT_LEFT | DT_SINGLELINE);
        } else {
            // The colour request may answer a hollow brush: the parent's
            // picture then stays under the caption.
            if (brush)
                dc->FillRect(&rc, CBrush::FromHandle(brush));
            const int box = 13;
            const int top = (rc.bottom - box) / 2;
            RECT boxRect{0, top, box, top + box};
            const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
            CBrush white(RGB(255, 255, 255));
            CPen border(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
            CBrush* oldBrush = dc->SelectObject(&white);
            CPen* oldPen = dc->SelectObject(&border);
            if (radio)
                dc->Ellipse(boxRect.left, boxRect.top, boxRect.right, boxRect.bottom);
            else
                dc->Rectangle(&boxRect);
            if (s.check) {
                CBrush black(RGB(0, 0, 0));
                dc->SelectObject(&black);
                if (radio)
                    dc->Ellipse(4, top + 4, 9, top + 9);
                else
                    dc->FillSolidRect(3, top + 3, 7, 7, RGB(0, 0, 0));
                dc->SelectObject(&white);
            }
            dc->SelectObject(oldBrush);
            dc->SelectObject(oldPen);
            RECT text{box + 4, 0, rc.right, rc.bottom};
            dc->DrawText(w.text, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        }
        EndPaintDc(w, hdc);
    }
};

// Statics.

class StaticClass final : public WindowClass {
public:
    LRESULT Proc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC hdc = PaintBegin(w, ps);
            CDC* dc = CDC::FromHandle(hdc);
            HBRUSH brush = AskColours(w, WM_CTLCOLORSTATIC, hdc);
            RECT rc{0, 0, w.rect.width(), w.rect.height()};
            const DWORD type = w.style & SS_TYPEMASK;
            if (type == SS_OWNERDRAW) {
                DRAWITEMSTRUCT dis;
                dis.CtlType = ODT_STATIC;
                dis.CtlID = w.id;
                dis.itemAction = ODA_DRAWENTIRE;
                dis.hwndItem = w.hwnd;
                dis.hDC = hdc;
                dis.rcItem = rc;
                if (w.parent)
                    ::SendMessage(w.parent->hwnd, WM_DRAWITEM, w.id, LPARAM(&dis));
            } else if (type == SS_BLACKFRAME) {
                CBrush black(RGB(0, 0, 0));
                dc->FrameRect(&rc, &black);
            } else {
                if (brush)
                    dc->FillRect(&rc, CBrush::FromHandle(brush));
                UINT format = DT_WORDBREAK;
                if (type == SS_CENTER)
                    format |= DT_CENTER;
                else if (type == SS_RIGHT)
                    format |= DT_RIGHT;
                if (w.style & SS_CENTERIMAGE)
                    format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
                if (!w.Enabled())
                    dc->SetTextColor(GetSysColor(COLOR_GRAYTEXT));
                dc->DrawText(w.text, &rc, format);
            }
            EndPaintDc(w, hdc);
            return 0;
        }
        case WM_LBUTTONDOWN:
            if (w.style & SS_NOTIFY)
                Notify(w, STN_CLICKED);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            return WindowClass::Proc(w, message, wParam, lParam);
        }
    }
};

// Edits: text, caret and selection of their own, drawn by the layer.

// An edit's limit counts the bytes the text has in the program's 8-bit
// code page; a character that has none there counts two.
int EncodedLength(const QString& text) {
    int length = 0;
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            ++length;
        else if (const auto gbk = platform::GbkLength(QString(c).toStdString()))
            length += int(*gbk);
        else
            length += 2;
    }
    return length;
}

struct EditState {
    QString text;
    int caret = 0;
    int anchor = 0;
    int limit = 30000;
    bool focus = false;
    bool modified = false;
};

class EditClass final : public WindowClass {
public:
    bool WantsDoubleClicks() const override { return true; }
    void Created(Window& w) override {
        auto& s = State<EditState>(w);
        s.text = QString::fromStdString(w.text);
        s.caret = s.anchor = int(s.text.size());
    }

    LRESULT Proc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) override {
        auto& s = State<EditState>(w);
        switch (message) {
        case WM_SETTEXT:
            s.text = lParam ? QString::fromUtf8(reinterpret_cast<const char*>(lParam)) : QString();
            s.caret = s.anchor = int(s.text.size());
            s.modified = false;
            Changed(w, false);
            return TRUE;
        case EM_GETMODIFY:
            return s.modified ? TRUE : FALSE;
        case EM_SETMODIFY:
            s.modified = wParam != 0;
            return 0;
        case WM_GETTEXT: {
            auto* out = reinterpret_cast<CString*>(lParam);
            const CString t = s.text.toStdString();
            if (out)
                *out = t;
            return LRESULT(t.size());
        }
        case WM_GETTEXTLENGTH:
            return LRESULT(s.text.toStdString().size());
        case WM_CHAR: {
            if (w.style & ES_READONLY)
                return 0;
            const UINT ch = UINT(wParam);
            if (ch == VK_BACK) {
                if (s.caret != s.anchor)
                    DeleteSelection(s);
                else if (s.caret > 0) {
                    s.text.remove(s.caret - 1, 1);
                    s.anchor = --s.caret;
                } else
                    return 0; // nothing left of the caret: the text is unchanged
                Changed(w, true);
                return 0;
            }
            // Control characters (Enter, Escape, Tab, Ctrl with a letter, DEL)
            // are keys, never text.
            if (ch < 0x20 || ch == 0x7F)
                return 0;
            if ((w.style & ES_NUMBER) && (ch < '0' || ch > '9'))
                return 0;
            DeleteSelection(s);
            if (EncodedLength(s.text) + EncodedLength(QString(QChar(char16_t(ch)))) > s.limit)
                return 0;
            s.text.insert(s.caret, QChar(char16_t(ch)));
            s.anchor = ++s.caret;
            Changed(w, true);
            return 0;
        }
        case WM_PASTE: {
            if (w.style & ES_READONLY)
                return 0;
            QString pasted = QString::fromStdString(CurrentClipboard().Text());
            pasted = pasted.left(pasted.indexOf(QRegularExpression("[\\r\\n]")));
            DeleteSelection(s);
            // Whole characters, as many as the limit leaves room for.
            for (int room = s.limit - EncodedLength(s.text); EncodedLength(pasted) > room;)
                pasted.chop(1);
            s.text.insert(s.caret, pasted);
            s.caret = s.anchor = s.caret + int(pasted.size());
            Changed(w, true);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == 'V' && GetKeyState(VK_CONTROL) < 0)
                return Proc(w, WM_PASTE, 0, 0);
            switch (wParam) {
            case VK_UP:
            case VK_DOWN:
                // An up-down control with arrow keys steps through its buddy.
                if (const HWND upDown = UpDownOfBuddy(w.hwnd))
                    ::SendMessage(upDown, kUpDownBuddyKey, wParam, 0);
                return 0;
            case VK_LEFT:
                s.anchor = s.caret = std::max(0, s.caret - 1);
                break;
            case VK_RIGHT:
                s.anchor = s.caret = std::min(int(s.text.size()), s.caret + 1);
                break;
            case VK_HOME:
                s.anchor = s.caret = 0;
                break;
            case VK_END:
                s.anchor = s.caret = int(s.text.size());
                break;
            case VK_DELETE:
                if (w.style & ES_READONLY)
                    return 0;
                if (s.caret != s.anchor)
                    DeleteSelection(s);
                else if (s.caret < s.text.size())
                    s.text.remove(s.caret, 1);
                else
                    return 0; // nothing right of the caret
                Changed(w, true);
                return 0;
            default:
                return 0;
            }
            w.Invalidate(w.ClientRect(), true);
            return 0;
        case WM_LBUTTONDOWN: {
            const HWND hwnd = w.hwnd;
            if (::GetFocus() != hwnd)
                ::SetFocus(hwnd);
            Window* x = Window::From(hwnd);
            if (!x || ::GetFocus() != hwnd)
                return 0;
            auto& xs = State<EditState>(*x);
            xs.caret = xs.anchor = CharIndexAt(*x, GET_X_LPARAM(lParam));
            x->Invalidate(x->ClientRect(), true);
            return 0;
        }
        case WM_MOUSEMOVE:
            if ((wParam & MK_LBUTTON) && s.focus) {
                s.caret = CharIndexAt(w, GET_X_LPARAM(lParam));
                w.Invalidate(w.ClientRect(), true);
            }
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            s.focus = message == WM_SETFOCUS;
            if (s.focus) {
                ::CreateCaret(w.hwnd);
                ::ShowCaret(w.hwnd);
            } else if (platform::win::CaretOwner() == w.hwnd) {
                ::DestroyCaret();
            }
            const HWND hwnd = w.hwnd;
            Notify(w, message == WM_SETFOCUS ? EN_SETFOCUS : EN_KILLFOCUS);
            if (Window* x = Window::From(hwnd))
                x->Invalidate(x->ClientRect(), true);
            return 0;
        }
        case EM_GETSEL:
            if (wParam)
                *reinterpret_cast<int*>(wParam) = std::min(s.caret, s.anchor);
            if (lParam)
                *reinterpret_cast<int*>(lParam) = std::max(s.caret, s.anchor);
            return MAKELPARAM(std::min(s.caret, s.anchor), std::max(s.caret, s.anchor));
        case EM_SETSEL: {
            const int n = int(s.text.size());
            int a = int(wParam), b = int(lParam);
            if (a < 0) {
                a = b = s.caret;
            }
            if (b < 0 || b > n)
                b = n;
            s.anchor = std::clamp(a, 0, n);
            s.caret = std::clamp(b, 0, n);
            w.Invalidate(w.ClientRect(), true);
            return 0;
        }
        case EM_LINELENGTH:
            return LRESULT(s.text.size());
        case EM_LIMITTEXT:
            s.limit = wParam ? int(wParam) : 30000;
            return 0;
        case EM_SETREADONLY:
            if (wParam)
                w.style |= ES_READONLY;
            else
                w.style &= ~ES_READONLY;
            w.Invalidate(w.ClientRect(), true);
            return TRUE;
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
        case WM_SETCURSOR:
            ::SetCursor(LoadCursor(nullptr, IDC_IBEAM));
            return TRUE;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC hdc = PaintBegin(w, ps);
            CDC* dc = CDC::FromHandle(hdc);
            HBRUSH brush = AskColours(
                w, (w.style & ES_READONLY) || !w.Enabled() ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, hdc);
            // A disabled edit's text is grey whatever colour its parent chose.
            if (!w.Enabled())
                dc->SetTextColor(GetSysColor(COLOR_GRAYTEXT));
            RECT rc{0, 0, w.rect.width(), w.rect.height()};
            if (brush)
                dc->FillRect(&rc, CBrush::FromHandle(brush));
            if (w.exStyle & WS_EX_CLIENTEDGE)
                dc->Draw3dRect(&rc, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
            else if (w.style & WS_BORDER) {
                CBrush black(RGB(0, 0, 0));
                dc->FrameRect(&rc, &black);
            }
            const CString shown = s.text.toStdString();
            platform::gdi::FontData narrow;
            HGDIOBJ wide = nullptr;
            if (auto narrowed = Narrowed(w)) {
                narrow.font = *narrowed;
                wide = dc->SelectObject(HGDIOBJ(&narrow));
            }
            const int margin = TextMargin(w.rect.width(), dc->GetTextExtent(shown).cx);
            RECT text{margin, 0, rc.right - margin, rc.bottom};
            UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
            // Text wider than the box shows from its first character, as
            // after the program set it, whatever the alignment.
            const bool fits = dc->GetTextExtent(shown).cx <= text.right - text.left;
            if (fits && (w.style & 3) == ES_CENTER)
                format |= DT_CENTER;
            else if (fits && (w.style & 3) == ES_RIGHT)
                format |= DT_RIGHT;
            dc->SetBkMode(TRANSPARENT);
            dc->DrawText(shown, &text, format);
            if (wide)
                dc->SelectObject(wide);
            EndPaintDc(w, hdc);
            return 0;
        }
        default:
            return WindowClass::Proc(w, message, wParam, lParam);
        }
    }

private:
    // The gap kept between the text and the box's sides.  A narrow box gives
    // up its gap before its text: a value that fits the box shows whole.
    static int TextMargin(int boxWidth, int textWidth) {
        constexpr int kMargin = 2;
        if (textWidth > boxWidth - 2 * kMargin && textWidth <= boxWidth)
            return (boxWidth - textWidth) / 2;
        return kMargin;
    }
    // A value a little wider than the box, a number with its unit, is drawn
    // narrower rather than cut.  Text far wider (a long line being typed)
    // keeps its width and shows from its first character.
    static std::optional<QFont> Narrowed(Window& w) {
        constexpr int kNarrowest = 80; // percent of the font's own width
        const auto& s = State<EditState>(w);
        QFont font = w.font ? w.font->font : QFont();
        const int box = w.rect.width();
        const int width = QFontMetrics(font).horizontalAdvance(s.text);
        if (width <= box || width * kNarrowest > box * 100)
            return std::nullopt;
        for (int stretch = box * 100 / width; stretch >= kNarrowest; --stretch) {
            font.setStretch(stretch);
            if (QFontMetrics(font).horizontalAdvance(s.text) <= box)
                return font;
        }
        return std::nullopt;
    }
    static QFont ShownFont(Window& w) {
        if (auto narrowed = Narrowed(w))
            return *narrowed;
        return w.font ? w.font->font : QFont();
    }
    static void DeleteSelection(EditState& s) {
        const int a = std::min(s.caret, s.anchor), b = std::max(s.caret, s.anchor);
        s.text.remove(a, b - a);
        s.caret = s.anchor = a;
    }
    static void Changed(Window& w, bool byUser) {
        auto& s = State<EditState>(w);
        w.text = s.text.toStdString();
        if (byUser)
            s.modified = true;
        w.Invalidate(w.ClientRect(), true);
        const HWND hwnd = w.hwnd;
        Notify(w, EN_UPDATE);
        if (Window* x = Window::From(hwnd); x && byUser)
            Notify(*x, EN_CHANGE);
    }
    // The gap between characters nearest to client x.
    static int CharIndexAt(Window& w, int x) {
        const auto& s = State<EditState>(w);
        const QFontMetrics fm(ShownFont(w));
        const int width = fm.horizontalAdvance(s.text);
        const int margin = TextMargin(w.rect.width(), width);
        int left = margin;
        if ((w.style & 3) == ES_CENTER)
            left = (w.rect.width() - width) / 2;
        else if ((w.style & 3) == ES_RIGHT)
            left = w.rect.width() - margin - width;
        int best = 0;
        for (int i = 1; i <= s.text.size(); ++i) {
            const int edge = left + fm.horizontalAdvance(s.text.left(i));
            const int prev = left + fm.horizontalAdvance(s.text.left(best));
            if (std::abs(edge - x) < std::abs(prev - x))
                best = i;
        }
        return best;
    }
};

// Tab controls.

struct TabState {
    std::vector<TCITEM> items;
    int current = -1;
    QSize itemSize{0, 0}; // fixed size when set
};

class TabClass final : public WindowClass {
public:
    LRESULT Proc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) override {
        auto& s = State<TabState>(w);
        switch (message) {
        case TCM_INSERTITEM: {
            const auto* item = reinterpret_cast<const TCITEM*>(lParam);
            const int index = std::clamp(int(wParam), 0, int(s.items.size()));
            s.items.insert(s.items.begin() + index, *item);
            if (s.current < 0)
                s.current = 0;
            else if (index <= s.current && s.items.size() > 1)
                ++s.current;
            w.Invalidate(w.ClientRect(), true);
            return index;
        }
        case TCM_DELETEALLITEMS:
            s.items.clear();
            s.current = -1;
            w.Invalidate(w.ClientRect(), true);
            return TRUE;
        case TCM_GETITEMCOUNT:
            return LRESULT(s.items.size());
        case TCM_GETCURSEL:
            return s.current;
        case TCM_SETCURSEL: {
            const int old = s.current;
            if (int(wParam) >= int(s.items.size()))
                return -1;
            s.current = int(wParam);
            w.Invalidate(w.ClientRect(), true);
            return old;
        }
        case TCM_GETITEMRECT: {
            const int index = int(wParam);
            if (index < 0 || index >= int(s.items.size()))
                return FALSE;
            *reinterpret_cast<RECT*>(lParam) = ItemRect(w, index);
            return TRUE;
        }
        case TCM_SETITEMSIZE:
            s.itemSize = QSize(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            w.Invalidate(w.ClientRect(), true);
            return 0;
        case TCM_ADJUSTRECT: {
            auto* r = reinterpret_cast<RECT*>(lParam);
            const int row = RowHeight(w);
            if (wParam) {
                r->left -= 4;
                r->right += 4;
                r->bottom += 4;
                r->top -= row + 2;
            } else {
                r->left += 4;
                r->right -= 4;
                r->bottom -= 4;
                r->top += row + 2;
            }
            return 0;
        }
        case TCM_HITTEST: {
            auto* info = reinterpret_cast<TCHITTESTINFO*>(lParam);
            for (int i = 0; i < int(s.items.size()); ++i)
                if (CRect(ItemRect(w, i)).PtInRect(info->pt))
                    return i;
            return -1;
        }
        case WM_LBUTTONDOWN: {
            TCHITTESTINFO info{{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, 0};
            const int hit = int(Proc(w, TCM_HITTEST, 0, LPARAM(&info)));
            if (hit < 0 || hit == s.current)
                return 0;
            NMHDR hdr{w.hwnd, w.id, TCN_SELCHANGING};
            const HWND hwnd = w.hwnd;
            if (w.parent && ::SendMessage(w.parent->hwnd, WM_NOTIFY, w.id, LPARAM(&hdr)))
                return 0;
            Window* x = Window::From(hwnd);
            if (!x)
                return 0;
            State<TabState>(*x).current = hit;
            x->Invalidate(x->ClientRect(), true);
            hdr.code = TCN_SELCHANGE;
            if (x->parent)
                ::SendMessage(x->parent->hwnd, WM_NOTIFY, x->id, LPARAM(&hdr));
            return 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC hdc = PaintBegin(w, ps);
            CDC* dc = CDC::FromHandle(hdc);
            RECT page{0, 0, w.rect.width(), w.rect.height()};
            Proc(w, TCM_ADJUSTRECT, FALSE, LPARAM(&page));
            RECT frame{0, page.top - 2, w.rect.width(), w.rect.height()};
            dc->Draw3dRect(&frame, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
            for (int i = 0; i < int(s.items.size()); ++i) {
                CRect r(ItemRect(w, i));
                if (i == s.current)
                    r.InflateRect(2, 2);
                if (w.style & TCS_OWNERDRAWFIXED) {
                    DRAWITEMSTRUCT dis;
                    dis.CtlType = ODT_TAB;
                    dis.CtlID = w.id;
                    dis.itemID = UINT(i);
                    dis.itemAction = ODA_DRAWENTIRE;
                    dis.itemState = i == s.current ? ODS_SELECTED : 0;
                    dis.hwndItem = w.hwnd;
                    dis.hDC = hdc;
                    dis.rcItem = r;
                    dis.itemData = ULONG_PTR(s.items[i].lParam);
                    if (w.parent)
                        ::SendMessage(w.parent->hwnd, WM_DRAWITEM, w.id, LPARAM(&dis));
                } else {
                    dc->FillSolidRect(&r, GetSysColor(COLOR_BTNFACE));
                    dc->Draw3dRect(&r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
                    dc->SetBkMode(TRANSPARENT);
                    dc->SetTextColor(GetSysColor(COLOR_BTNTEXT));
                    dc->DrawText(s.items[i].text, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
                }
            }
            EndPaintDc(w, hdc);
            return 0;
        }
        case WM_ERASEBKGND: {
            CDC* dc = CDC::FromHandle(HDC(wParam));
            RECT rc{0, 0, w.rect.width(), w.rect.height()};
            dc->FillSolidRect(&rc, GetSysColor(COLOR_3DFACE));
            return 1;
        }
        default:
            return WindowClass::Proc(w, message, wParam, lParam);
        }
    }

private:
    static int RowHeight(Window& w) {
        auto& s = State<TabState>(w);
        if (s.itemSize.height() > 0)
            return s.itemSize.height();
        // A negative height folds the header row away: the display area
        // starts right under the frame's top edge.
        if (s.itemSize.height() < 0)
            return 0;
        const QFont f = w.font ? w.font->font : QFont();
        return QFontMetrics(f).height() + 6;
    }
    static RECT ItemRect(Window& w, int index) {
        auto& s = State<TabState>(w);
        const QFont f = w.font ? w.font->font : QFont();
        const QFontMetrics fm(f);
        int x = 2;
        const int h = RowHeight(w);
        for (int i = 0;; ++i) {
            const int width =
                s.itemSize.width() > 0
                    ? s.itemSize.width()
                    : std::max(fm.horizontalAdvance(QString::fromStdString(s.items[i].text)) + 12, 40);
            if (i == index)
                return RECT{x, 2, x + width, 2 + h};
            x += width;
        }
    }
};

// A dialog's close box cancels it, as Esc does.
class DialogClass final : public WindowClass {
public:
    LRESULT Proc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CLOSE) {
            ::SendMessage(w.hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
            return 0;
        }
        return WindowClass::Proc(w, message, wParam, lParam);
    }
};
class PlainClass final : public WindowClass {};

} // namespace

WindowClass& ClassByName(const CString& name) {
    static ButtonClass button;
    static StaticClass stat;
    static EditClass edit;
    static TabClass tab;
    static DialogClass dialog;
    static PlainClass plain;
    const QString n = QString::fromStdString(name);
    if (n.compare("Button", Qt::CaseInsensitive) == 0)
        return button;
    if (n.compare("Static", Qt::CaseInsensitive) == 0)
        return stat;
    if (n.compare("Edit", Qt::CaseInsensitive) == 0)
        return edit;
    if (n.compare("SysTabControl32", Qt::CaseInsensitive) == 0)
        return tab;
    if (n.compare("ListBox", Qt::CaseInsensitive) == 0)
        return ListBoxProc();
    if (n.compare("msctls_progress32", Qt::CaseInsensitive) == 0)
        return ProgressProc();
    if (n.compare(QLatin1String(UPDOWN_CLASS), Qt::CaseInsensitive) == 0)
        return UpDownClass();
    if (n == "#32770")
        return dialog;
    return plain;
}

} // namespace platform::win

// The wrappers.

BOOL CButton::Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("Button", caption, style, rect, parent, id);
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, result);
}

BOOL CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("Static", text, style, rect, parent, id);
}

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("Edit", "", style, rect, parent, id);
}

void CEdit::GetSel(int& start, int& end) const {
    const_cast<CEdit*>(this)->SendMessage(EM_GETSEL, WPARAM(&start), LPARAM(&end));
}

void CEdit::SetSel(int start, int end, BOOL) {
    SendMessage(EM_SETSEL, WPARAM(start), LPARAM(end));
}

void CEdit::ReplaceSel(const CString& text, BOOL) {
    for (QChar c : QString::fromStdString(text))
        SendMessage(WM_CHAR, c.unicode(), 1);
}

int CEdit::LineLength(int) const {
    return int(const_cast<CEdit*>(this)->SendMessage(EM_LINELENGTH));
}

BOOL CTabCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("SysTabControl32", "", style, rect, parent, id);
}

int CTabCtrl::InsertItem(int index, const char* text) {
    TCITEM item;
    item.text = text ? text : "";
    return InsertItem(index, &item);
}

int CTabCtrl::InsertItem(int index, const TCITEM* item) {
    return int(SendMessage(TCM_INSERTITEM, WPARAM(index), LPARAM(item)));
}

void CTabCtrl::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CTabCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, result);
}
