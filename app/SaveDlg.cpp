#include "app/SaveDlg.h"

#include "model/DataDefine.h"
#include "model/Globals.h"
#include "platform/sys/MessageBox.h"

#include <mutex>

void CSaveDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_btnOk);
    DDX_Control(dx, IDCANCEL, m_btnCancel);
    DDX_Control(dx, 2726, m_editName);
    DDX_Control(dx, 2725, m_labelNumber);
}

BOOL CSaveDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_editName.SetLimitText(kNameLimit);
    m_editName.SetEvenAlign(FALSE);
    CString name;
    if (m_nPreset >= 1 && m_nPreset <= kPresetCount) {
        std::lock_guard lock(g_csModel);
        name = BytesToString(g_PresetImages[m_nPreset - 1] + kPresetNameOffset, kPresetNameSize);
    }
    m_editName.SetWindowText(name);
    m_editName.SetFocus();
    const bool zh = g_bChinese != 0;
    m_strLabel = (zh ? "序号:" : "No.") + std::to_string(m_nPreset);
    m_labelNumber.SetWindowText(m_strLabel);
    m_btnOk.SetWindowText(zh ? "确定" : "OK");
    m_btnCancel.SetWindowText(zh ? "取消" : "Cancel");
    SetWindowText(zh ? "请输入场景名" : "Please enter the preset name");
    return FALSE; // the focus is in the edit
}

void CSaveDlg::OnOK() {
    m_strName = m_editName.GetWindowText();
    CDialog::OnOK();
}

void CSaveDlg::OnCancel() {
    CDialog::OnCancel();
}
