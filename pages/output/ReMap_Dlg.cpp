#include "pages/output/ReMap_Dlg.h"

#include "model/Globals.h"
#include "platform/sys/MessageBox.h"

BEGIN_MESSAGE_MAP(CReMap_Dlg, CDialog)
ON_BN_CLICKED(2768, &CReMap_Dlg::OnDefault)
END_MESSAGE_MAP()

void CReMap_Dlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, 2769, m_stText);
    DDX_Control(dx, IDOK, m_btnEmptied);
    DDX_Control(dx, 2768, m_btnDefault);
    DDX_Control(dx, IDCANCEL, m_btnCancel);
}

BOOL CReMap_Dlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (g_bChinese) {
        m_btnEmptied.SetWindowText("清空");
        m_btnDefault.SetWindowText("默认");
        m_btnCancel.SetWindowText("取消");
        m_stText.SetWindowText("输出配置清空或恢复默认");
        SetWindowText(g_strPromptZh);
    } else {
        m_btnEmptied.SetWindowText("Emptied");
        m_btnDefault.SetWindowText("Default");
        m_btnCancel.SetWindowText("Cancel");
        m_stText.SetWindowText("The output map emptied or restore default");
        SetWindowText(g_strPromptEn);
    }
    m_nResult = kEmptied;
    return TRUE;
}

BOOL CReMap_Dlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        if (msg->wParam == VK_ESCAPE) {
            OnCancel();
            return TRUE;
        }
        // Enter presses the focused button, else the default one.
        CWnd* focus = CWnd::GetFocus();
        const int id = focus && IsChild(focus) ? focus->GetDlgCtrlID() : 0;
        if (id == 2768 || id == IDCANCEL)
            SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        else
            OnOK();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

void CReMap_Dlg::OnOK() {
    m_nResult = kEmptied;
    CDialog::OnOK();
}

void CReMap_Dlg::OnDefault() {
    m_nResult = kDefault;
    CDialog::OnOK();
}

void CReMap_Dlg::OnCancel() {
    m_nResult = kCancelled;
    CDialog::OnCancel();
}
