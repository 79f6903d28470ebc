#pragma once

// The output-map prompt: empty every output's speaker type, restore the
// factory assignment, or leave everything as it is.  The caller reads the
// choice from m_nResult after the dialog ends.

#include "platform/win/Button.h"
#include "platform/win/Dialog.h"
#include "platform/win/Static.h"

class CReMap_Dlg : public CDialog {
public:
    static constexpr UINT kTemplate = 711;
    enum Result { kCancelled = 0, kEmptied = 1, kDefault = 2 };

    explicit CReMap_Dlg(CWnd* parent = nullptr) : CDialog(kTemplate, parent) {}

    CStatic m_stText;
    CButton m_btnEmptied;
    CButton m_btnDefault;
    CButton m_btnCancel;
    // Set when the dialog initialises and by its buttons; a prompt that could
    // not be shown at all counts as cancelled.
    int m_nResult = kCancelled;

    // Enter presses the focused button or Emptied; Escape cancels.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnDefault();
    DECLARE_MESSAGE_MAP()
};
