#pragma once

// Single-line edit boxes on QLineEdit.  Typed characters arrive as WM_CHAR
// (through the edit's message map); the default processing inserts them at
// the caret.

#include "platform/win/Wnd.h"

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void GetSel(int& start, int& end) const;
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void ReplaceSel(const CString& text, BOOL canUndo = FALSE);
    void SetLimitText(UINT max) { SendMessage(EM_LIMITTEXT, max); }
    BOOL SetReadOnly(BOOL readOnly = TRUE) { return BOOL(SendMessage(EM_SETREADONLY, readOnly)); }
    // Length of the text in characters.
    int LineLength(int line = -1) const;
};
