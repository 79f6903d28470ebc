#pragma once

// Tooltips: texts attached to windows (tools), shown as a Qt tooltip at the
// pointer when a relayed mouse move reaches a tool other than the last one.
// Creating the control again forgets the tools of the last creation.

#include "platform/win/Wnd.h"

#include <vector>

class CToolTipCtrl : public CWnd {
public:
    CToolTipCtrl() = default;

    using CWnd::Create;
    BOOL Create(CWnd* parent, DWORD style = 0);
    BOOL AddTool(CWnd* tool, const CString& text);
    // The owner's pre-translation hands it every message; mouse moves over a
    // tool show its text.
    void RelayEvent(MSG* msg);
    // The text of `tool`; empty for a window that is no tool.
    void GetText(CString& text, CWnd* tool) const;
    int GetToolCount() const { return int(m_tools.size()); }
    // The tool whose text is showing, nullptr for none.
    HWND GetShownTool() const { return m_hShown; }

private:
    struct Tool {
        HWND hwnd = nullptr;
        CString text;
    };
    CWnd* m_pOwner = nullptr;
    std::vector<Tool> m_tools;
    HWND m_hShown = nullptr;
};
