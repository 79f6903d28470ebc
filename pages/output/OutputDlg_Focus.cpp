// The walk of Enter and Tab through the page's edits.  Moving the focus
// makes the edit that loses it commit what was typed into it.

#include "pages/output/OutputDlg.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/CursorPos.h"
#include "platform/win/Edit.h"

namespace {

constexpr int kRightArrow = 39;

} // namespace

void COutputDlg::MoveFocusNext(int id) {
    const bool graphic = m_btnEqMode.GetCheck() != 0;
    auto focus = [this](int to) {
        if (CWnd* w = GetDlgItem(to))
            w->SetFocus();
    };
    // Where the walk starts over: the first frequency edit, or the first gain
    // edit in graphic mode, with band 1's label.
    auto restart = [&] {
        focus(graphic ? 5000 : 5200);
        FocusBandLabel(0);
    };
    if (id == 4002) {
        focus(1004);
        m_graph.Redraw(31);
    } else if (id == 1004) {
        focus(1005);
        m_graph.Redraw(32);
    } else if (id == 1005) {
        // The hidden gain and delay edits take no part: typing into an edit
        // nobody sees would switch an output on unseen.
        ClearSelection();
        restart();
    } else if (id == 4010 || id == 4011) {
        focus(id + 1);
    } else if (id == 4012) {
        restart();
    } else if (id >= 5200 && id <= 5229 && !graphic) {
        focus(id + 1);
        FocusBandLabel(id - 5199);
    } else if (id == 5230 && !graphic) {
        focus(4500);
        FocusBandLabel(0);
    } else if (id >= 4500 && id <= 4529 && !graphic) {
        focus(id + 1);
        FocusBandLabel(id - 4499);
    } else if (id == 4530 && !graphic) {
        focus(5000);
        FocusBandLabel(0);
    } else if (id >= 5000 && id <= 5029) {
        focus(id + 1);
        FocusBandLabel(id - 4999);
    } else if (id == 5030) {
        focus(1004);
        m_graph.Redraw(31);
    } else if (id == 5199 && !graphic) {
        focus(5200);
    } else if (id == 4999 && graphic) {
        focus(5000);
        FocusBandLabel(0);
    }
}

void COutputDlg::WarpPointerOffGraph() {
    POINT pointer{};
    ::GetCursorPos(&pointer);
    CRect graph;
    m_graph.GetWindowRect(&graph);
    if (!graph.PtInRect(pointer))
        return;
    // Just left of the graph, at the pointer's own height, so the graph
    // does not take the pointer's next move for a drag.
    SetCursorPos(graph.left - 1, pointer.y);
}

LRESULT COutputDlg::OnEditMoveFocus(WPARAM id, LPARAM key) {
    if (key == kRightArrow)
        MoveFocusNext(int(id));
    WarpPointerOffGraph();
    return 0;
}

LRESULT COutputDlg::OnEditNextRow(WPARAM wid, LPARAM) {
    const int id = int(wid);
    auto focus = [this](int to) {
        if (CWnd* w = GetDlgItem(to))
            w->SetFocus();
    };
    if (id >= 5200 && id <= 5230) {
        focus(4500 + id - 5200);
        FocusBandLabel(id - 5200);
    } else if (id >= 4500 && id <= 4530) {
        focus(5000 + id - 4500);
        FocusBandLabel(id - 4500);
    } else if (id >= 5000 && id <= 5029) {
        focus(5201 + id - 5000);
        FocusBandLabel(id - 5000 + 1);
    } else {
        MoveFocusNext(id);
    }
    return 0;
}

void COutputDlg::FocusBandEdit() {
    CWnd* focus = CWnd::GetFocus();
    if (focus && dynamic_cast<CEdit*>(focus))
        return;
    PostMessage(UM_EDIT_MOVE_FOCUS, m_btnEqMode.GetCheck() ? 4999 : 5199, kRightArrow);
    HighlightBandEdit(0, 0, 0);
}
