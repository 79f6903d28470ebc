#include "platform/win/Dialog.h"

#include "platform/gdi/Dc.h"
#include "platform/sys/MessageBox.h"
#include "platform/win/DialogTemplate.h"
#include "platform/win/NonClient.h"
#include "platform/win/WinApp.h"
#include "platform/win/Window.h"
#include "platform/win/WorkArea.h"

#include <QEventLoop>
#include <QFontMetrics>

#include <cmath>

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
ON_COMMAND(IDOK, &CDialog::OnOkCommand)
ON_COMMAND(IDCANCEL, &CDialog::OnCancelCommand)
END_MESSAGE_MAP()

namespace {

// The original platform's bitmap faces come in fixed sizes with fixed base
// units, whatever outline face stands in for them here.
struct BitmapFaceUnits {
    const char* face;
    int emHeight; // 0: every size
    int cx, cy;
};
constexpr BitmapFaceUnits kBitmapFaces[] = {{"System", 0, 8, 16}, {"MS Sans Serif", 11, 6, 13}};

} // namespace

CSize DialogBaseUnits(const CFont& font) {
    const auto* data = font.GetHandle();
    if (data)
        for (const auto& b : kBitmapFaces)
            if (QString::fromStdString(data->face).compare(b.face, Qt::CaseInsensitive) == 0 &&
                (b.emHeight == 0 || -data->height == b.emHeight))
                return CSize(b.cx, b.cy);
    const QFont f = data ? data->font : QFont();
    const QFontMetricsF fm(f);
    const int width =
        int(std::lround(fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")));
    // The text height counts the ascent and the descent each rounded up to
    // whole pixels. The original outline faces carry vertical device metrics
    // that put one more row under them at dialog sizes than their
    // metric-compatible stand-ins do; the templates were laid out on those.
    const int height = int(std::ceil(fm.ascent())) + int(std::ceil(fm.descent())) + 1;
    return CSize((width / 26 + 1) / 2, height);
}

CDialog::~CDialog() {
    DestroyWindow();
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    return CreateFromTemplate(templateId, parent, false);
}

BOOL CDialog::CreateFromTemplate(UINT templateId, CWnd* parent, bool modal) {
    auto t = platform::win::LoadDialogTemplate(templateId);
    if (!t)
        return FALSE;
    m_nIDHelp = templateId;
    m_pParentWnd = parent;
    m_font = std::make_unique<CFont>();
    m_font->CreateFont(-int(std::lround(t->pointSize * 96.0 / 72.0)), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                       DEFAULT_CHARSET, 0, 0, 0, 0, t->face.c_str());
    const CSize base = DialogBaseUnits(*m_font);
    auto px = [&](int x, int y, int cx, int cy) {
        const int l = x * base.cx / 4, tp = y * base.cy / 8;
        return QRect(l, tp, (x + cx) * base.cx / 4 - l, (y + cy) * base.cy / 8 - tp);
    };
    DWORD style = t->style;
    const bool visible = (style & WS_VISIBLE) != 0;
    style &= ~WS_VISIBLE; // shown after the initialisation
    QRect rect = px(t->x, t->y, t->cx, t->cy);
    // The template gives the client area's size and the window's position:
    // the frame goes around the client area.
    const QMargins frame = style & WS_CHILD ? QMargins() : platform::win::TopLevelFrameMargins(style, true);
    rect.translate(frame.left(), frame.top());
    if (style & WS_CHILD) {
        // A child dialog (a page) sits in its parent's client area.
    } else if (style & DS_CENTER) {
        RECT area{};
        const QSize outer = rect.marginsAdded(frame).size();
        if (SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0))
            rect.moveTopLeft(QPoint(area.left + (area.right - area.left - outer.width()) / 2 + frame.left(),
                                    area.top + (area.bottom - area.top - outer.height()) / 2 + frame.top()));
    } else if (parent) {
        RECT pr;
        parent->GetWindowRect(&pr);
        rect.translate(pr.left, pr.top);
    }
    const HWND hwnd = platform::win::CreateWindowRecord(0, "#32770", t->caption, style, rect,
                                                        parent ? parent->GetSafeHwnd() : nullptr, 0, this);
    if (!hwnd)
        return FALSE;
    SetFont(m_font.get(), FALSE);
    for (const auto& item : t->items) {
        const HWND child =
            platform::win::CreateWindowRecord(item.exStyle, item.className, item.text, item.style,
                                              px(item.x, item.y, item.cx, item.cy), hwnd, item.id, nullptr);
        if (child)
            ::SendMessage(child, WM_SETFONT, WPARAM(m_font->GetHandle()), FALSE);
    }
    m_modal = modal;
    m_ended = false;
    if (SendMessage(WM_INITDIALOG, 0, 0) && GetSafeHwnd()) {
        // The focus goes to the first control that takes it.
        if (auto* w = platform::win::Window::From(m_hWnd))
            for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
                if (((*it)->style & WS_TABSTOP) && (*it)->Visible() && (*it)->Enabled()) {
                    ::SetFocus((*it)->hwnd);
                    break;
                }
    }
    if (visible && GetSafeHwnd())
        ShowWindow(SW_SHOW);
    return GetSafeHwnd() != nullptr;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

namespace {

// Modal loops run on the GUI thread only, nested innermost last.
CDialog* s_activeModal = nullptr;

} // namespace

CDialog* CDialog::ActiveModal() {
    return s_activeModal;
}

namespace {

// The window a modal dialog belongs to: the top-level window of the parent
// it was given; without one, the innermost running modal dialog, else the
// main window.
CWnd* ModalOwner(CWnd* parent) {
    if (!parent) {
        CDialog* active = CDialog::ActiveModal();
        if (active && active->GetSafeHwnd())
            parent = active;
        else if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd && app->m_pMainWnd->GetSafeHwnd())
            parent = app->m_pMainWnd;
    }
    return parent && parent->GetSafeHwnd() ? parent->GetTopLevelParent() : nullptr;
}

} // namespace

INT_PTR CDialog::DoModal() {
    const HWND focus = ::GetFocus();
    CWnd* owner = ModalOwner(m_pParentWnd);
    const HWND ownerHwnd = owner ? owner->GetSafeHwnd() : nullptr;
    CWnd* const given = m_pParentWnd;
    const BOOL created = CreateFromTemplate(m_nIDHelp, owner, true);
    m_pParentWnd = given; // the caller's, for the next run
    if (!created)
        return -1;
    // An owner that an outer modal loop disabled stays disabled when this
    // loop ends: the outer dialog is still running over it.
    const bool disabledOwner = owner && owner->IsWindowEnabled();
    if (disabledOwner)
        owner->EnableWindow(FALSE);
    ShowWindow(SW_SHOW);
    m_pOuterModal = s_activeModal;
    s_activeModal = this;
    QEventLoop loop;
    while (!m_ended && GetSafeHwnd())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    s_activeModal = m_pOuterModal;
    // The owner may have gone while the dialog ran (closed under it).
    if (disabledOwner && platform::win::Window::From(ownerHwnd))
        CWnd::FromHandle(ownerHwnd)->EnableWindow(TRUE);
    DestroyWindow();
    // The owner is the desktop's active window again, and its keys go back
    // to the control that had them before the dialog took them.
    if (platform::win::Window::From(ownerHwnd))
        platform::win::ActivateTopLevel(ownerHwnd);
    if (!::GetFocus() && focus && platform::win::Window::From(focus))
        ::SetFocus(focus);
    return m_result;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN || (msg->wParam != VK_RETURN && msg->wParam != VK_ESCAPE))
        return CWnd::PreTranslateMessage(msg);
    // Only keys for the dialog itself or a control inside it; an owned
    // window's keys are that window's.
    platform::win::Window* target = platform::win::Window::From(msg->hwnd);
    platform::win::Window* in = target;
    while (in && in->hwnd != m_hWnd && in->IsChild())
        in = in->parent;
    if (!in || in->hwnd != m_hWnd)
        return CWnd::PreTranslateMessage(msg);
    const auto code = UINT(::SendMessage(msg->hwnd, WM_GETDLGCODE, msg->wParam, LPARAM(msg)));
    if (code & DLGC_WANTALLKEYS)
        return FALSE;
    HWND to = m_hWnd;
    int id = IDCANCEL;
    if (msg->wParam == VK_RETURN) {
        if ((code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) && target != in) {
            id = int(target->id);
            to = target->parent->hwnd;
        } else {
            id = DefaultButtonId();
        }
    }
    // Escape cancels whatever state (or absence) of a Cancel button: a dialog
    // that hides and disables its buttons still ends on Escape.  Only Enter
    // skips a disabled button.
    CWnd* button = CWnd::FromHandle(to)->GetDlgItem(id);
    if (msg->wParam == VK_ESCAPE || !button || button->IsWindowEnabled())
        ::SendMessage(to, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      LPARAM(button ? button->GetSafeHwnd() : nullptr));
    return TRUE;
}

int CDialog::DefaultButtonId() const {
    if (auto* w = platform::win::Window::From(m_hWnd))
        for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
            if ((*it)->IsChild() && (*it)->className == "Button" &&
                ((*it)->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                return int((*it)->id);
    return IDOK;
}

void CDialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    if (!m_modal)
        ShowWindow(SW_HIDE);
}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}
