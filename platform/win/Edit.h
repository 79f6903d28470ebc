#pragma once

// Single-line edit boxes on QLineEdit.  Typed characters arrive as WM_CHAR
// (through the edit's message map); the default processing inserts them at
// the caret.

#include "platform/win/Wnd.h"

// The modification flag: set when the user types, deletes or pastes, cleared
// when the program sets the text.  EN_UPDATE announces every change of the
// text, the program's too; EN_CHANGE only the user's.  A focused edit owns
// the caret (Caret.h).
inline constexpr UINT EM_GETMODIFY = 0x00B8;
inline constexpr UINT EM_SETMODIFY = 0x00B9;
inline constexpr UINT EN_UPDATE = 0x0400;
// Inserts the clipboard's first line at the selection (also Ctrl+V).
inline constexpr UINT WM_PASTE = 0x0302;

class CEdit : public CWnd {
public:
    using CWnd::Create;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void GetSel(int& start, int& end) const;
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void ReplaceSel(const CString& text, BOOL canUndo = FALSE);
    void SetLimitText(UINT max) { SendMessage(EM_LIMITTEXT, max); }
    BOOL SetReadOnly(BOOL readOnly = TRUE) { return BOOL(SendMessage(EM_SETREADONLY, readOnly)); }
    void Paste() { SendMessage(WM_PASTE); }
    BOOL GetModify() const { return BOOL(const_cast<CEdit*>(this)->SendMessage(EM_GETMODIFY)); }
    void SetModify(BOOL modified = TRUE) { SendMessage(EM_SETMODIFY, WPARAM(modified)); }
    // Length of the text in characters.
    int LineLength(int line = -1) const;
};
