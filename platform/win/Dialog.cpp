#include "platform/win/Dialog.h"

#include "platform/gdi/Dc.h"
#include "platform/sys/MessageBox.h"
#include "platform/win/DialogTemplate.h"
#include "platform/win/NonClient.h"
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

CSize DialogBaseUnits(const CFont& font) {
    const QFont f = font.GetHandle() ? font.GetHandle()->font : QFont();
    const QFontMetrics fm(f);
    const int width = fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return CSize((width / 26 + 1) / 2, fm.ascent() + fm.descent());
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
    // The system font's base units are fixed; templates that name it are laid
    // out on them whatever face stands in for it here.
    const CSize base = t->face == "System" ? CSize(8, 16) : DialogBaseUnits(*m_font);
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

INT_PTR CDialog::DoModal() {
    if (!CreateFromTemplate(m_nIDHelp, m_pParentWnd, true))
        return -1;
    // A parent that an outer modal loop disabled stays disabled when this
    // loop ends: the outer dialog is still running over it.
    const bool disabledParent = m_pParentWnd && m_pParentWnd->IsWindowEnabled();
    if (disabledParent)
        m_pParentWnd->EnableWindow(FALSE);
    ShowWindow(SW_SHOW);
    m_pOuterModal = s_activeModal;
    s_activeModal = this;
    QEventLoop loop;
    while (!m_ended && GetSafeHwnd())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    s_activeModal = m_pOuterModal;
    if (disabledParent)
        m_pParentWnd->EnableWindow(TRUE);
    DestroyWindow();
    return m_result;
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
