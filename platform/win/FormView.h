#pragma once

// A view whose content is a dialog template: a child window that fills its
// frame.  Unlike a dialog it has no OK or Cancel: Enter and Escape end
// nothing.

#include "platform/win/Dialog.h"

class CFormView : public CDialog {
public:
    explicit CFormView(UINT templateId) : m_nIDTemplate(templateId) {}

    // Makes the form from its template as a child of `frame`, covering the
    // frame's client area, shows it and runs OnInitialUpdate.
    BOOL CreateView(CWnd* frame);
    virtual void OnInitialUpdate() { UpdateData(FALSE); }
    // Resizes the form to the frame's client area.
    void FillFrame();

    void OnOK() override {}
    void OnCancel() override {}

    UINT m_nIDTemplate;
};
