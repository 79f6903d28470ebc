#include "platform/win/ToolTipCtrl.h"

#include <QCursor>
#include <QString>
#include <QToolTip>

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD) {
    m_pOwner = parent;
    m_tools.clear();
    m_hShown = nullptr;
    return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd* tool, const CString& text) {
    if (!tool || !tool->GetSafeHwnd())
        return FALSE;
    for (Tool& t : m_tools) {
        if (t.hwnd == tool->GetSafeHwnd()) {
            t.text = text;
            return TRUE;
        }
    }
    m_tools.push_back({tool->GetSafeHwnd(), text});
    return TRUE;
}

void CToolTipCtrl::GetText(CString& text, CWnd* tool) const {
    text.clear();
    if (!tool)
        return;
    for (const Tool& t : m_tools)
        if (t.hwnd == tool->GetSafeHwnd())
            text = t.text;
}

void CToolTipCtrl::RelayEvent(MSG* msg) {
    if (!msg || msg->message != WM_MOUSEMOVE)
        return;
    const Tool* hit = nullptr;
    for (const Tool& t : m_tools)
        if (t.hwnd == msg->hwnd)
            hit = &t;
    if (!hit) {
        if (m_hShown)
            QToolTip::hideText();
        m_hShown = nullptr;
        return;
    }
    if (hit->hwnd == m_hShown)
        return;
    m_hShown = hit->hwnd;
    QToolTip::showText(QCursor::pos(), QString::fromStdString(hit->text));
}
