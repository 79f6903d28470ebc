#include "app/MessageBox.h"

#include "model/Globals.h"

BEGIN_MESSAGE_MAP(CMessageBox, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {

constexpr UINT kTextId = 1001;

} // namespace

CMessageBox::CMessageBox(const CString& text, UINT type, const CString& caption, int code, CWnd* parent)
    : CDialog(kTemplateId, parent), m_strText(text), m_nType(type), m_nCode(code), m_strCaption(caption) {
    // A box that cannot be shown answers as if it was dismissed, never as a yes.
    m_nResult = CancelResult();
}

void CMessageBox::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDCANCEL, m_btnCancel);
    DDX_Control(dx, IDOK, m_btnOK);
    DDX_Control(dx, kTextId, m_stText);
}

BOOL CMessageBox::OnInitDialog() {
    CDialog::OnInitDialog();
    m_stText.ModifyStyle(SS_RIGHT, SS_CENTER);
    m_stText.SetWindowText(m_strText);

    CString caption = m_strCaption;
    if (m_nCode > 0) {
        if (m_nCode == 2000)
            caption = g_bChinese ? g_strPromptZh : g_strPromptEn;
        else if (m_nCode == 2001)
            caption = g_bChinese ? g_strWarnZh : g_strWarnEn;
        SetTimer(kCloseTimer, UINT(m_nCode));
    } else if (m_nCode == -2) {
        caption = g_strPromptZh;
    } else if (m_nCode == -3) {
        caption = g_strPromptEn;
    } else if (m_nCode == -4) {
        caption = g_strWarnZh;
    } else if (m_nCode == -5) {
        caption = g_strWarnEn;
    }
    SetWindowText(caption);

    if (m_nType == MB_YESNO) {
        m_btnOK.SetWindowText(g_bChinese ? "是" : "YES");
        m_btnCancel.SetWindowText(g_bChinese ? "否" : "NO");
    } else if (m_nType == MB_QUIT) {
        m_btnCancel.SetWindowText(g_bChinese ? "退出" : "Quit");
        m_btnOK.ShowWindow(SW_HIDE);
        CentreButton(m_btnCancel);
    } else {
        m_btnOK.SetWindowText(g_bChinese ? "确定" : "OK");
        m_btnCancel.ShowWindow(SW_HIDE);
        CentreButton(m_btnOK);
    }
    CenterWindow();
    return TRUE;
}

void CMessageBox::CentreButton(CWnd& button) {
    GetWindowRect(&m_rcDialog);
    button.GetWindowRect(&m_rcButton);
    ScreenToClient(&m_rcButton);
    const int x = (m_rcDialog.Width() - m_rcButton.Width()) / 2;
    button.MoveWindow(x, m_rcButton.top, m_rcButton.Width(), m_rcButton.Height());
}

int CMessageBox::CancelResult() const {
    if (m_nType == MB_YESNO)
        return IDNO;
    if (m_nType == MB_QUIT)
        return IDCANCEL;
    return IDOK;
}

void CMessageBox::OnOK() {
    m_nResult = m_nType == MB_YESNO ? IDYES : IDOK;
    EndDialog(IDOK);
}

void CMessageBox::OnCancel() {
    m_nResult = CancelResult();
    EndDialog(IDCANCEL);
}

void CMessageBox::OnTimer(UINT_PTR id) {
    if (id != kCloseTimer)
        return;
    KillTimer(kCloseTimer);
    m_nResult = CancelResult();
    EndDialog(IDOK);
}

BOOL CMessageBox::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN)
        return CDialog::PreTranslateMessage(msg);
    if (msg->wParam == VK_RETURN) {
        // Enter is the box's visible first button: OK or YES, and in the
        // one-button Quit box that button.
        if (m_nType == MB_QUIT)
            OnCancel();
        else
            OnOK();
        return TRUE;
    }
    if (msg->wParam == VK_ESCAPE) {
        OnCancel();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

int TimedMessageBox(CWnd*, const CString& text, const CString&, UINT type, int, int code) {
    return AfxMessageBox(text, type, code);
}
