#pragma once

// The program's own message box: buttons in the current language, a caption
// and an optional auto-close time chosen by one code, and the answer kept in
// m_nResult whichever way the box ends.

#include "platform/sys/MessageBox.h"
#include "platform/win/Button.h"
#include "platform/win/Dialog.h"
#include "platform/win/Static.h"

// The single-button "Quit" box.
inline constexpr UINT MB_QUIT = 6;

class CMessageBox : public CDialog {
public:
    CMessageBox(const CString& text, UINT type, const CString& caption, int code, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void DoDataExchange(CDataExchange* dx) override;

    // The answer: IDOK, IDCANCEL, IDYES or IDNO.
    int GetResult() const { return m_nResult; }

    static constexpr UINT kTemplateId = 115;
    static constexpr UINT_PTR kCloseTimer = 300;

protected:
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    int CancelResult() const;
    void CentreButton(CWnd& button);

    CButton m_btnCancel;
    CButton m_btnOK;
    CStatic m_stText;
    CRect m_rcDialog;
    CRect m_rcButton;
    CString m_strText;
    UINT m_nType = MB_OK;
    int m_nCode = 0;
    CString m_strCaption;
    // What a box that never got to a button reports.
    int m_nResult = IDCANCEL;
};

// The call most link and status messages go through; the owner, caption and
// language are not used: the code decides the caption.
int TimedMessageBox(CWnd* owner, const CString& text, const CString& caption, UINT type, int language,
                    int code);
