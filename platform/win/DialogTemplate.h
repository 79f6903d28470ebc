#pragma once

// Dialog templates as text, one statement a line ("#" starts a comment):
//
//   DIALOG 9001 0 0 260 180               id, position and size in dialog units
//   STYLE WS_POPUP|WS_CAPTION|DS_SETFONT  optional; names or numbers joined by |
//   CAPTION "Controls"
//   FONT 8 "MS Sans Serif"                point size and face
//   CONTROL 1001 Button WS_CHILD|WS_VISIBLE|BS_PUSHBUTTON 7 7 50 14 "OK"
//                                         id, class, style, x y cx cy, text
//
// Dialog units map to pixels by the base units of the template's font.

#include "platform/sys/WinTypes.h"

#include <optional>
#include <vector>

namespace platform::win {

struct DialogItem {
    UINT id = 0;
    CString className;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    CString text;
};

struct DialogTemplate {
    UINT id = 0;
    DWORD style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    CString caption;
    int pointSize = 8;
    CString face = "MS Sans Serif";
    std::vector<DialogItem> items;
};

// The words and "quoted strings" of one template line ("" inside a string
// is one quote); menu templates share the syntax.
std::vector<CString> SplitTemplateLine(const CString& line);

// nullopt when the text is not a template; `error` says why.
std::optional<DialogTemplate> ParseDialogTemplate(const CString& source, CString* error = nullptr);
// The template resource `id` of the program (or the installed provider).
std::optional<DialogTemplate> LoadDialogTemplate(UINT id);

} // namespace platform::win
