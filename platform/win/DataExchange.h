#pragma once

// Dialog data exchange: attaches member controls to the template's controls.

#include "platform/win/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Attaches `control` to the dialog's control `id` (once) and lets the
// control see its window first (PreSubclassWindow).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
