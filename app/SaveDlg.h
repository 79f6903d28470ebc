#pragma once

// The prompt for the name a stored preset is saved under.

#include "controls/ChEnEdit.h"
#include "platform/win/Button.h"
#include "platform/win/Dialog.h"
#include "platform/win/Static.h"

class CSaveDlg : public CDialog {
public:
    static constexpr UINT IDD = 666;
    // GBK bytes the name may have.
    static constexpr int kNameLimit = 13;

    explicit CSaveDlg(CWnd* parent = nullptr) : CDialog(IDD, parent) {}

    CButton m_btnOk;
    CButton m_btnCancel;
    CChEnEdit m_editName;
    CStatic m_labelNumber;
    CString m_strName;  // the edit's text once OK was pressed
    CString m_strLabel; // the number label's text
    int m_nPreset = 1;  // 1..6, set before the prompt runs

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
};
