#include "controls/NumEdit.h"

#include "controls/BitmapSlider.h"
#include "controls/NumSpin.h"
#include "model/Globals.h"
#include "platform/win/Caret.h"

#include <cstdint>

BEGIN_MESSAGE_MAP(CNumEdit, CEdit)
ON_EN_UPDATE_REFLECT(&CNumEdit::OnUpdate)
ON_WM_KILLFOCUS()
ON_WM_CTLCOLOR_REFLECT()
ON_WM_CHAR()
ON_EN_SETFOCUS_REFLECT(&CNumEdit::OnSetFocusReflect)
ON_WM_LBUTTONDOWN()
ON_WM_KEYDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CNumEdit::CNumEdit() = default;

CNumEdit::~CNumEdit() {
    m_brHighlight.DeleteObject();
}

NumDisplayFields CNumEdit::Fields() const {
    return NumDisplayFields{m_nType, m_nMin, m_nMax, m_dStep, m_dOffset};
}

void CNumEdit::InvalidateInParent() {
    CWnd* parent = GetParent();
    if (!parent)
        return;
    CRect rect;
    GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    parent->InvalidateRect(&rect, TRUE);
}

void CNumEdit::NotifyOwner() {
    CWnd* parent = GetParent();
    if (!parent)
        return;
    // The handle's low word, as the owners have always been given it.
    const auto handle = LPARAM(reinterpret_cast<std::uintptr_t>(GetSafeHwnd()) & 0xFFFF);
    parent->SendMessage(WM_COMMAND, MAKEWPARAM(UINT(GetDlgCtrlID()), 0), handle);
}

void CNumEdit::SetRange(int minimum, int maximum) {
    m_nMin = minimum;
    m_nMax = maximum;
    m_nValue = minimum;
}

void CNumEdit::SetType(int type, CString unit) {
    m_nType = type;
    m_strUnit = std::move(unit);
    Refresh();
}

void CNumEdit::SetValue(int value) {
    if (value > m_nMax || value < m_nMin)
        return;
    m_nValue = value;
    Refresh();
}

int CNumEdit::GetValue() {
    if (m_bDirty) {
        m_nValue = ParseNumText(Fields(), m_nValue, GetWindowText());
        m_bDirty = 0;
    }
    return m_nValue;
}

int CNumEdit::Refresh() {
    if (!GetSafeHwnd())
        return 1;
    if (const auto text = FormatNumValue(Fields(), m_nValue, g_bChinese != 0))
        SetWindowText(*text);
    if (m_bHasSpin && m_spinBtn.GetSafeHwnd())
        m_spinBtn.SetWindowText(GetWindowText());
    InvalidateInParent();
    return 1;
}

int CNumEdit::Show(int command) {
    m_bShowChanged = 0;
    const bool shown = (GetStyle() & WS_VISIBLE) != 0;
    if ((m_bVisible == 1 && command == SW_HIDE) || (m_bVisible == 0 && command == SW_SHOW)) {
        m_bVisible = command == SW_SHOW ? 1 : 0;
        m_bShowChanged = 1;
        return ShowWindow(command);
    }
    if ((m_bVisible == 1 && !shown && command == SW_SHOW) ||
        (m_bVisible == 0 && shown && command == SW_HIDE)) {
        m_bShowChanged = 1;
        return ShowWindow(command);
    }
    return m_bVisible;
}

BOOL CNumEdit::Enable(BOOL enable) {
    return EnableWindow(enable);
}

BOOL CNumEdit::SetReadOnly(BOOL readOnly) {
    InvalidateInParent();
    if (m_bHasSpin)
        m_spinBtn.ShowWindow(readOnly ? SW_SHOW : SW_HIDE);
    return CEdit::SetReadOnly(readOnly);
}

void CNumEdit::SetHighlight(BOOL highlight) {
    if (highlight == m_bHighlight)
        return;
    m_bHighlight = highlight;
    InvalidateInParent();
}

void CNumEdit::RefreshLanguage() {
    if (m_nType == 0 || m_nType == 1 || m_nType == 2) {
        Refresh();
        return;
    }
    CString text = GetWindowText();
    if (g_bChinese) {
        if (text == "OFF")
            text = "关闭";
    } else if (text == "关闭") {
        text = "OFF";
    }
    SetWindowText(text);
}

void CNumEdit::CreateSpin(UINT id) {
    CRect client;
    GetClientRect(&client);
    if (!m_spinBtn.Create("", WS_CHILD | WS_VISIBLE | BS_TOP, client, this, id))
        return;
    // Creating a window does not run the subclassing step by itself.
    m_spinBtn.PreSubclassWindow();
    m_spinBtn.ShowWindow(SW_HIDE);
    m_spinBtn.SetFont(GetFont());
    m_bHasSpin = 1;
}

void CNumEdit::AttachSpin(UINT id, CNumSpin* spin) {
    if (m_bHasSpin)
        m_spinBtn.SetTarget(id, spin);
}

void CNumEdit::OnUpdate() {
    if (GetModify())
        m_bDirty = 1;
}

void CNumEdit::OnKillFocus(CWnd*) {
    const HWND self = GetSafeHwnd();
    Default();
    const NumCommit commit = CommitNumText(Fields(), m_nValue, GetWindowText(), m_bDirty != 0);
    m_nValue = commit.value;
    // Text without a number was thrown away for the value's own text: nothing
    // typed is left, so the next exit must not report it as a commit.
    if (commit.rewrite && !commit.notify)
        m_bDirty = 0;
    if (commit.rewrite)
        Refresh();
    if (commit.notify)
        NotifyOwner();
    if (!::IsWindow(self))
        return;
    if (m_bHasSpin)
        m_spinBtn.SetActive(FALSE);
    m_bHighlight = FALSE;
    InvalidateInParent();
    if (m_pSlider)
        m_pSlider->SetFocusMark(FALSE);
}

HBRUSH CNumEdit::CtlColor(CDC* dc, UINT) {
    if (m_bHighlight) {
        dc->SetTextColor(RGB(0, 0, 0));
        dc->SetBkColor(m_crHighlight);
        return static_cast<HBRUSH>(m_brHighlight.GetSafeHandle());
    }
    // Transparent: the parent's background shows through, which is why
    // every change repaints the edit's rectangle in the parent.
    dc->SetTextColor(RGB(255, 255, 255));
    dc->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CNumEdit::OnChar(UINT ch, UINT, UINT) {
    // Numbers are plain ASCII; anything wider (an input method's characters)
    // never reaches the text.
    if (ch > 0x7F)
        return;
    InvalidateInParent();
    Default();
}

void CNumEdit::OnSetFocusReflect() {
    m_bHighlight = TRUE;
    InvalidateInParent();
    if (m_pSlider)
        m_pSlider->SetFocusMark(TRUE);
    if (GetStyle() & ES_READONLY) {
        ::HideCaret(GetSafeHwnd());
        if (m_bHasSpin)
            m_spinBtn.SetActive(TRUE);
    } else {
        SetSel(0, -1, FALSE);
    }
}

void CNumEdit::OnLButtonDown(UINT, CPoint) {
    const HWND self = GetSafeHwnd();
    if (GetParent())
        NotifyOwner();
    if (!::IsWindow(self))
        return;
    if (::GetFocus() != self) {
        // The click only brings the focus; it places no caret.
        SetFocus();
        return;
    }
    Default();
    if (GetStyle() & ES_READONLY)
        ::HideCaret(self);
}

void CNumEdit::OnKeyDown(UINT, UINT, UINT) {
    Default();
}

void CNumEdit::OnLButtonDblClk(UINT, CPoint) {
    Default();
    // The edit announces its focus again, which selects the whole text (or
    // switches the spin button on).
    PostMessage(WM_SETFOCUS, 0, 0);
}

void CNumEdit::OnMouseMove(UINT, CPoint) {
    if (GetStyle() & ES_READONLY) {
        ::HideCaret(GetSafeHwnd());
        return;
    }
    Default();
}
