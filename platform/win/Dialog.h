#pragma once

// Dialogs built from templates in res/ (see DialogTemplate.h).  Creating one
// makes the dialog window and its controls, gives them the template's font,
// then sends WM_INITDIALOG: OnInitDialog runs the data exchange, which
// attaches member controls to the template's controls.  A modal dialog runs
// a nested event loop until EndDialog.

#include "platform/win/DataExchange.h"
#include "platform/win/Wnd.h"

#include <memory>

class CFont;

class CDialog : public CWnd {
public:
    CDialog() = default;
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_nIDHelp(templateId), m_pParentWnd(parent) {}
    ~CDialog() override;

    using CWnd::Create;
    // Modeless.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    INT_PTR DoModal();
    void EndDialog(int result);
    // The innermost dialog whose modal loop is running; null when none is.
    static CDialog* ActiveModal();

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // The dialog's keys: Enter presses the focused push button, else the
    // default one (IDOK when none is marked); Escape presses Cancel.  A
    // control that asks for every key keeps them; a disabled button is not
    // pressed.
    BOOL PreTranslateMessage(MSG* msg) override;

    UINT m_nIDHelp = 0; // the template
    CWnd* m_pParentWnd = nullptr;

protected:
    DECLARE_MESSAGE_MAP()
    LRESULT HandleInitDialog(WPARAM, LPARAM);
    void OnOkCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }

private:
    BOOL CreateFromTemplate(UINT templateId, CWnd* parent, bool modal);
    int DefaultButtonId() const;
    std::unique_ptr<CFont> m_font;
    int m_result = 0;
    bool m_ended = false;
    bool m_modal = false;
    CDialog* m_pOuterModal = nullptr;
};

// Dialog base units of a dialog font: the average character width and the
// height, from which dialog units map to pixels.
CSize DialogBaseUnits(const CFont& font);
