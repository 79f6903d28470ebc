// How the grid reacts to the user: focus cell and selection, clicks, the
// right-click menu, keys, the wheel, scrolling and copying.

#include "controls/GridCtrl.h"

#include "model/Globals.h"
#include "platform/win/Cursor.h"
#include "platform/win/KeyState.h"
#include "platform/win/OleDataSource.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

bool ShiftHeld() {
    return GetKeyState(VK_SHIFT) < 0;
}

bool CtrlHeld() {
    return GetKeyState(VK_CONTROL) < 0;
}

// The first of the rows or columns first..end-1, laid out from start, that
// reaches past p; -1 when none does.
template <typename Extent> int LineAt(int p, int start, int first, int end, Extent extent) {
    for (int i = first; i < end; ++i) {
        start += extent(i);
        if (start > p)
            return i;
    }
    return -1;
}

// Lays the rows or columns first..end-1 out from start until one reaches
// limit: that one (end when none does) and where the laid-out ones end.
template <typename Extent>
std::pair<int, int> LineReaching(int start, int first, int end, int limit, Extent extent) {
    int i = first;
    for (; i < end; ++i) {
        start += extent(i);
        if (start >= limit)
            break;
    }
    return {i, start};
}

} // namespace

CRect CGridCtrl::ClientRect() const {
    CRect rect;
    if (GetSafeHwnd())
        GetClientRect(&rect);
    return rect;
}

int CGridCtrl::GetScrollPos32(int nBar, BOOL bGetTrackPos) const {
    SCROLLINFO si;
    if (!GetSafeHwnd() || !GetScrollInfo(nBar, &si, bGetTrackPos ? SIF_TRACKPOS : SIF_POS))
        return 0;
    return bGetTrackPos ? si.nTrackPos : si.nPos;
}

BOOL CGridCtrl::SetScrollPos32(int nBar, int nPos, BOOL bRedraw) {
    if (!GetSafeHwnd())
        return FALSE;
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = nPos;
    SetScrollInfo(nBar, &si, bRedraw);
    return TRUE;
}

// Geometry.

CGridCellID CGridCtrl::GetTopLeftScrolledCell() const {
    const int vert = GetScrollPos32(SB_VERT);
    const int horz = GetScrollPos32(SB_HORZ);
    CGridCellID cell(m_nFixedRows, m_nFixedCols);
    for (int right = 0; right < horz && cell.col < m_nCols - 1;)
        right += GetColumnWidth(cell.col++);
    for (int top = 0; top < vert && cell.row < m_nRows - 1;)
        top += GetRowHeight(cell.row++);
    return cell;
}

CGridCellRange CGridCtrl::GetVisibleCellRange(RECT* pRect) const {
    const CRect client = ClientRect();
    const CGridCellID topLeft = GetTopLeftScrolledCell();
    const auto [row, bottom] = LineReaching(GetFixedRowHeight(), topLeft.row, m_nRows, client.bottom,
                                            [this](int r) { return GetRowHeight(r); });
    const auto [col, right] = LineReaching(GetFixedColumnWidth(), topLeft.col, m_nCols, client.right,
                                           [this](int c) { return GetColumnWidth(c); });
    // A row or column that reached the edge is cut there.
    if (pRect)
        *pRect = RECT{0, 0, col < m_nCols ? client.right : right, row < m_nRows ? client.bottom : bottom};
    return CGridCellRange(topLeft.row, topLeft.col, std::min(row, m_nRows - 1), std::min(col, m_nCols - 1));
}

CGridCellRange CGridCtrl::GetFullyVisibleCellRange() const {
    const CRect client = ClientRect();
    const CGridCellID topLeft = GetTopLeftScrolledCell();
    const auto [row, bottom] = LineReaching(GetFixedRowHeight(), topLeft.row, m_nRows, client.bottom,
                                            [this](int r) { return GetRowHeight(r); });
    const auto [col, right] = LineReaching(GetFixedColumnWidth(), topLeft.col, m_nCols, client.right,
                                           [this](int c) { return GetColumnWidth(c); });
    // A last row or column cut by the edge is not fully visible.
    int maxRow = std::min(row, m_nRows - 1);
    if (maxRow > 0 && bottom > client.bottom)
        --maxRow;
    int maxCol = std::min(col, m_nCols - 1);
    if (maxCol > 0 && right > client.right)
        --maxCol;
    return CGridCellRange(topLeft.row, topLeft.col, maxRow, maxCol);
}

CGridCellID CGridCtrl::CellFromPoint(CPoint point, BOOL bAllowFixedCellCheck) const {
    const CGridCellID topLeft = GetTopLeftScrolledCell();
    const int W = GetFixedColumnWidth();
    const int H = GetFixedRowHeight();
    CGridCellID cell;

    const auto width = [this](int col) { return GetColumnWidth(col); };
    const auto height = [this](int row) { return GetRowHeight(row); };
    if (point.x < 0 || (!bAllowFixedCellCheck && point.x < W))
        cell.col = -1;
    else if (point.x < W)
        cell.col = LineAt(point.x, 0, 0, m_nFixedCols, width);
    else
        cell.col = LineAt(point.x, W, topLeft.col, m_nCols, width);

    if (point.y < 0 || (!bAllowFixedCellCheck && point.y < H))
        cell.row = -1;
    else if (point.y < H)
        cell.row = LineAt(point.y, 0, 0, m_nFixedRows, height);
    else
        cell.row = LineAt(point.y, H, topLeft.row, m_nRows, height);
    return cell;
}

CGridCellRange CGridCtrl::GetSelectedCellRange() const {
    int minRow = m_nRows, minCol = m_nCols, maxRow = -1, maxCol = -1;
    for (const auto& [key, cell] : m_SelectedCellMap) {
        minRow = std::min(minRow, cell.row);
        minCol = std::min(minCol, cell.col);
        maxRow = std::max(maxRow, cell.row);
        maxCol = std::max(maxCol, cell.col);
    }
    return CGridCellRange(minRow, minCol, maxRow, maxCol);
}

BOOL CGridCtrl::GetCellOrigin(int nRow, int nCol, POINT* p) const {
    if (!IsValid(nRow, nCol))
        return FALSE;
    CGridCellID topLeft;
    if (nCol >= m_nFixedCols || nRow >= m_nFixedRows)
        topLeft = GetTopLeftScrolledCell();
    if ((nRow >= m_nFixedRows && nRow < topLeft.row) || (nCol >= m_nFixedCols && nCol < topLeft.col))
        return FALSE;
    p->x = 0;
    if (nCol < m_nFixedCols) {
        for (int col = 0; col < nCol; ++col)
            p->x += GetColumnWidth(col);
    } else {
        p->x = GetFixedColumnWidth();
        for (int col = topLeft.col; col < nCol; ++col)
            p->x += GetColumnWidth(col);
    }
    p->y = 0;
    if (nRow < m_nFixedRows) {
        for (int row = 0; row < nRow; ++row)
            p->y += GetRowHeight(row);
    } else {
        p->y = GetFixedRowHeight();
        for (int row = topLeft.row; row < nRow; ++row)
            p->y += GetRowHeight(row);
    }
    return TRUE;
}

// A cell counts as visible when its top-left corner is in the client area.
BOOL CGridCtrl::IsCellVisible(int nRow, int nCol) const {
    if (!GetSafeHwnd() || !IsValid(nRow, nCol))
        return FALSE;
    CGridCellID topLeft;
    if (nCol >= m_nFixedCols || nRow >= m_nFixedRows) {
        topLeft = GetTopLeftScrolledCell();
        if ((nCol >= m_nFixedCols && nCol < topLeft.col) || (nRow >= m_nFixedRows && nRow < topLeft.row))
            return FALSE;
    }
    const CRect client = ClientRect();
    int x = nCol < m_nFixedCols ? 0 : GetFixedColumnWidth();
    for (int col = nCol < m_nFixedCols ? 0 : topLeft.col; col <= nCol; ++col) {
        if (x >= client.right)
            return FALSE;
        x += GetColumnWidth(col);
    }
    int y = nRow < m_nFixedRows ? 0 : GetFixedRowHeight();
    for (int row = nRow < m_nFixedRows ? 0 : topLeft.row; row <= nRow; ++row) {
        if (y >= client.bottom)
            return FALSE;
        y += GetRowHeight(row);
    }
    return TRUE;
}

// Focus and selection.

void CGridCtrl::RedrawFixedCellsOf(int nRow, int nCol, bool rowChanged, bool colChanged) {
    if (colChanged)
        for (int row = 0; row < m_nFixedRows; ++row)
            RedrawCell(row, nCol);
    if (rowChanged)
        for (int col = 0; col < m_nFixedCols; ++col)
            RedrawCell(nRow, col);
}

CGridCellID CGridCtrl::SetFocusCell(CGridCellID cell) {
    if (cell == m_idCurrentCell) {
        if (IsValid(cell)) {
            SetItemState(cell.row, cell.col, GCS_SELECTED);
            RedrawCell(cell);
            RedrawFixedCellsOf(cell.row, cell.col, true, true);
        }
        return cell;
    }
    const CGridCellID prev = m_idCurrentCell;
    m_idCurrentCell = cell;
    if (IsValid(prev)) {
        NotifyParent(prev.row, prev.col, GRIDN_FOCUSCHANGING);
        SetItemState(prev.row, prev.col, GetItemState(prev.row, prev.col) & ~GCS_FOCUSED);
        RedrawCell(prev);
        RedrawFixedCellsOf(prev.row, prev.col, prev.row != cell.row, prev.col != cell.col);
    }
    if (IsValid(cell)) {
        SetItemState(cell.row, cell.col, GCS_SELECTED);
        RedrawCell(cell);
        RedrawFixedCellsOf(cell.row, cell.col, prev.row != cell.row, prev.col != cell.col);
        NotifyParent(cell.row, cell.col, GRIDN_FOCUSCHANGED);
    }
    return prev;
}

void CGridCtrl::SetSelectedRange(const CGridCellRange& range, BOOL bForceRepaint) {
    SetSelectedRange(range.GetMinRow(), range.GetMinCol(), range.GetMaxRow(), range.GetMaxCol(),
                     bForceRepaint);
}

void CGridCtrl::SetSelectedRange(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol, BOOL bForceRepaint) {
    if (!m_bEnableSelection)
        return;
    CDC* pDC = bForceRepaint ? GetDC() : nullptr;
    const auto repaint = [&](const CGridCellID& cell) {
        if (pDC)
            RedrawCell(cell, pDC);
        else
            InvalidateCellRect(cell);
    };
    const CGridCellRange range(nMinRow, nMinCol, nMaxRow, nMaxCol);

    // The map changes under SetItemState: walk copies.
    const auto selected = m_SelectedCellMap;
    for (const auto& [key, cell] : selected) {
        if (!IsValid(cell))
            continue;
        SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) & ~GCS_SELECTED);
        if (!range.InRange(cell.row, cell.col))
            repaint(cell);
    }
    if (!m_bSingleRowSelection) {
        const auto previous = m_PrevSelectedCellMap;
        for (const auto& [key, cell] : previous) {
            if (!IsValid(cell))
                continue;
            SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | GCS_SELECTED);
            repaint(cell);
        }
    }

    const bool valid = nMinRow >= 0 && nMinCol >= 0 && nMaxRow >= 0 && nMaxCol >= 0 && nMaxRow < m_nRows &&
                       nMaxCol < m_nCols && nMinRow <= nMaxRow && nMinCol <= nMaxCol;
    if (valid) {
        for (int row = nMinRow; row <= nMaxRow; ++row)
            for (int col = nMinCol; col <= nMaxCol; ++col) {
                const UINT state = GetItemState(row, col);
                if (state & GCS_SELECTED)
                    continue;
                SetItemState(row, col, state | GCS_SELECTED);
                repaint(CGridCellID(row, col));
            }
    }
    if (pDC)
        ReleaseDC(pDC);
}

void CGridCtrl::ResetSelectedRange() {
    for (const auto& [key, id] : m_SelectedCellMap)
        if (CGridCell* cell = GetCell(id.row, id.col))
            cell->state &= ~GCS_SELECTED;
    m_SelectedCellMap.clear();
}

void CGridCtrl::SelectAllCells() {
    if (!m_bEnableSelection)
        return;
    SetSelectedRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1);
}

void CGridCtrl::SelectByMouseMode(CGridCellID cell) {
    if (!m_bEnableSelection)
        return;
    if (m_MouseMode == MOUSE_SELECT_ROW)
        SelectRows(cell);
    else if (m_MouseMode == MOUSE_SELECT_CELLS)
        SelectCells(cell);
}

void CGridCtrl::SelectCells(CGridCellID cell) {
    if (!m_bEnableSelection || cell.row < m_nFixedRows || cell.col < m_nFixedCols || !IsValid(cell))
        return;
    SetSelectedRange(
        std::min(m_SelectionStartCell.row, cell.row), std::min(m_SelectionStartCell.col, cell.col),
        std::max(m_SelectionStartCell.row, cell.row), std::max(m_SelectionStartCell.col, cell.col));
}

void CGridCtrl::SelectRows(CGridCellID cell) {
    if (!m_bEnableSelection || cell.row < m_nFixedRows || !IsValid(cell))
        return;
    if (m_bListMode && m_bSingleRowSelection)
        SetSelectedRange(cell.row, m_nFixedCols, cell.row, m_nCols - 1);
    else
        SetSelectedRange(std::min(m_SelectionStartCell.row, cell.row), m_nFixedCols,
                         std::max(m_SelectionStartCell.row, cell.row), m_nCols - 1);
}

// Mouse.

void CGridCtrl::OnLButtonDown(UINT nFlags, CPoint point) {
    m_MouseMode = MOUSE_SELECT_ROW;
    m_LeftClickDownPoint = point;
    m_LeftClickDownCell = CellFromPoint(point);
    // The header row only ever reports the click on release.
    if (m_LeftClickDownCell.row == 0)
        return;
    // The number column stands for its row's name.
    if (m_LeftClickDownCell.col == 0)
        m_LeftClickDownCell.col = 1;
    if (!IsValid(m_LeftClickDownCell))
        return;

    m_SelectionStartCell = (nFlags & MK_SHIFT) ? m_idCurrentCell : m_LeftClickDownCell;
    SetFocus();
    SetFocusCell(-1, -1);
    SetFocusCell(m_LeftClickDownCell);
    SetItemState(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GCS_SELECTED);
    Invalidate();
    SetCapture();

    m_PrevSelectedCellMap.clear();
    if (nFlags & MK_CONTROL)
        m_PrevSelectedCellMap = m_SelectedCellMap;
    m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
    SelectByMouseMode(m_LeftClickDownCell);
}

void CGridCtrl::OnLButtonUp(UINT nFlags, CPoint point) {
    CWnd::OnLButtonUp(nFlags, point);
    if (GetCapture() == this)
        ReleaseCapture();
    if (m_MouseMode == MOUSE_PREPARE_EDIT)
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, VK_LBUTTON);
    m_MouseMode = MOUSE_NOTHING;
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    if (!IsValid(m_LeftClickDownCell))
        return;
    CWnd* owner = GetParent();
    if (owner && owner->GetSafeHwnd())
        owner->PostMessage(WM_COMMAND, MAKEWPARAM(UINT(GetDlgCtrlID()), 0), LPARAM(GetSafeHwnd()));
}

void CGridCtrl::OnLButtonDblClk(UINT nFlags, CPoint point) {
    const CGridCellID cell = CellFromPoint(point);
    if (IsValid(cell) && m_MouseMode == MOUSE_NOTHING && cell.row >= m_nFixedRows &&
        cell.col <= m_nFixedCols) {
        OnEditCell(cell.row, cell.col, VK_LBUTTON);
        m_idCurrentCell = m_LeftClickDownCell;
        NotifyParent(cell.row, cell.col, NM_DBLCLK);
    }
    CWnd::OnLButtonDblClk(nFlags, point);
}

void CGridCtrl::OnRButtonDown(UINT nFlags, CPoint point) {
    m_MouseMode = MOUSE_SELECT_ROW;
    m_LeftClickDownPoint = point;
    m_LeftClickDownCell = CellFromPoint(point);
    if (m_LeftClickDownCell.row == 0 || !IsValid(m_LeftClickDownCell))
        return;

    m_SelectionStartCell = (nFlags & MK_SHIFT) ? m_idCurrentCell : m_LeftClickDownCell;
    SetFocus();
    if (m_LeftClickDownCell == m_idCurrentCell) {
        m_MouseMode = MOUSE_PREPARE_EDIT;
    } else {
        SetFocusCell(-1, -1);
        SelectByMouseMode(m_LeftClickDownCell);
    }
    m_RightClickDownCell = m_LeftClickDownCell;
    ShowPopupMenu(point);
}

void CGridCtrl::ShowPopupMenu(CPoint) {
    m_menuPopup.ModifyMenu(ID_GRID_DELETE_PRESET, MF_BYCOMMAND | MF_STRING, ID_GRID_DELETE_PRESET,
                           g_bChinese ? "删除 机器预置场景(&D)" : "Delete Machine Preset(&D)");
    POINT screen;
    GetCursorPos(&screen);
    m_menuPopup.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, GetParent());
}

// Moving the mouse selects nothing and drags nothing.
void CGridCtrl::OnMouseMove(UINT, CPoint) {}

BOOL CGridCtrl::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) {
    if (m_nRowsPerWheelNotch == -1) {
        const int pages = zDelta / 120;
        for (int i = 0; i < std::abs(pages); ++i)
            PostMessage(WM_VSCROLL, pages > 0 ? SB_PAGEUP : SB_PAGEDOWN, 0);
    } else {
        const int lines = zDelta * m_nRowsPerWheelNotch / 120;
        for (int i = 0; i < std::abs(lines); ++i)
            PostMessage(WM_VSCROLL, lines > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
    }
    return CWnd::OnMouseWheel(nFlags, zDelta, pt);
}

BOOL CGridCtrl::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (nHitTest == HTCLIENT) {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

// Keyboard.

UINT CGridCtrl::OnGetDlgCode() {
    UINT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (m_bHandleTabKey && !CtrlHeld())
        code |= DLGC_WANTTAB;
    return code;
}

void CGridCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (!IsValid(m_idCurrentCell)) {
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        return;
    }
    const CGridCellID focus = m_idCurrentCell;
    CGridCellID next = focus;
    bool wrapped = false;

    if (CtrlHeld()) {
        switch (nChar) {
        case 'A':
            OnEditSelectAll();
            break;
        case 'C':
            OnEditCopy();
            break;
        case 'V':
            OnEditPaste();
            break;
        case 'X':
            OnEditCut();
            break;
        default:
            break;
        }
    }

    switch (nChar) {
    case VK_DELETE:
        if (!(GetItemState(focus.row, focus.col) & GCS_READONLY)) {
            SetItemText(focus.row, focus.col, "");
            NotifyParent(focus.row, focus.col, GRIDN_CELLCLEARED);
            RedrawCell(focus);
        }
        break;
    case VK_TAB:
        if (ShiftHeld()) {
            if (next.col > m_nFixedCols) {
                next.col--;
            } else if (next.col == m_nFixedCols && next.row > m_nFixedRows) {
                next.row--;
                next.col = m_nCols - 1;
                wrapped = true;
            }
        } else {
            if (next.col < m_nCols - 1) {
                next.col++;
            } else if (next.row < m_nRows - 1) {
                next.row++;
                next.col = m_nFixedCols;
                wrapped = true;
            } else {
                next.row = 1;
                next.col = m_nFixedCols;
                wrapped = true;
            }
        }
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        break;
    case VK_PRIOR: {
        const int before = GetTopLeftScrolledCell().row;
        SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
        const int change = GetTopLeftScrolledCell().row - before;
        next.row = change == 0 ? m_nFixedRows : std::max(next.row + change, m_nFixedRows);
        break;
    }
    case VK_NEXT: {
        const int before = GetTopLeftScrolledCell().row;
        SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
        const int change = GetTopLeftScrolledCell().row - before;
        next.row = change == 0 ? m_nRows - 1 : std::min(next.row + change, m_nRows - 1);
        break;
    }
    case VK_HOME:
        SendMessage(WM_VSCROLL, SB_TOP, 0);
        next.row = m_nFixedRows;
        break;
    case VK_END:
        SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
        next.row = m_nRows - 1;
        break;
    case VK_LEFT:
        if (next.col > m_nFixedCols)
            next.col--;
        break;
    case VK_RIGHT:
        if (next.col < m_nCols - 1)
            next.col++;
        break;
    case VK_UP:
        next.row = next.row > m_nFixedRows ? next.row - 1 : m_nRows - 1;
        break;
    case VK_DOWN:
        next.row = next.row < m_nRows - 1 ? next.row + 1 : 1;
        break;
    default:
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        break;
    }

    if (next == focus)
        return;
    // After a right click the focus stays until the next left-button release.
    if (m_MouseMode == MOUSE_NOTHING) {
        m_PrevSelectedCellMap.clear();
        m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
        m_SelectionStartCell = next;
        SetFocusCell(-1, -1);
        m_idCurrentCell = next;
        SelectByMouseMode(next);
        m_MouseMode = MOUSE_NOTHING;
    }
    if (IsCellVisible(next))
        return;
    EnsureVisible(next);
    // A wrap from one end to the other is already in view; one more line in
    // the key's direction would scroll the new focus cell out again.
    const bool turnedBack = next.row < focus.row ? (nChar == VK_DOWN || (nChar == VK_TAB && !ShiftHeld()))
                                                 : (next.row > focus.row && nChar == VK_UP);
    switch (nChar) {
    case VK_TAB:
        if (ShiftHeld()) {
            if (wrapped) {
                SendMessage(WM_VSCROLL, SB_LINEUP, 0);
                SetScrollPos32(SB_HORZ, m_nHScrollMax);
            } else {
                SendMessage(WM_HSCROLL, SB_LINELEFT, 0);
            }
        } else if (wrapped) {
            if (!turnedBack)
                SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
            SetScrollPos32(SB_HORZ, 0);
        } else {
            SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
        }
        break;
    case VK_LEFT:
        SendMessage(WM_HSCROLL, SB_LINELEFT, 0);
        break;
    case VK_RIGHT:
        SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
        break;
    case VK_UP:
        if (!turnedBack)
            SendMessage(WM_VSCROLL, SB_LINEUP, 0);
        break;
    case VK_DOWN:
        if (!turnedBack)
            SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
        break;
    default:
        break;
    }
    Invalidate();
}

void CGridCtrl::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (!CtrlHeld() && m_MouseMode == MOUSE_NOTHING && (!m_bHandleTabKey || nChar != VK_TAB))
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, nChar);
    CWnd::OnChar(nChar, nRepCnt, nFlags);
}

// Cells are never edited in place: starting an edit only brings the cell into view.
void CGridCtrl::OnEditCell(int nRow, int nCol, UINT) {
    EnsureVisible(nRow, nCol);
}

// Scrolling.

void CGridCtrl::EnsureVisible(int nRow, int nCol) {
    const CGridCellRange visible = GetVisibleCellRange();
    for (int right = nCol - visible.GetMaxCol(); right > 0; --right)
        SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
    for (int left = visible.GetMinCol() - nCol; left > 0; --left)
        SendMessage(WM_HSCROLL, SB_LINELEFT, 0);
    for (int down = nRow - visible.GetMaxRow(); down > 0; --down)
        SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    for (int up = visible.GetMinRow() - nRow; up > 0; --up)
        SendMessage(WM_VSCROLL, SB_LINEUP, 0);

    CRect cell;
    if (GetCellRect(nRow, nCol, &cell)) {
        const CRect client = ClientRect();
        if (cell.right > client.right)
            SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
        if (cell.bottom > client.bottom)
            SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    }
}

void CGridCtrl::OnVScroll(UINT nSBCode, UINT, CScrollBar*) {
    ScrollAlong(SB_VERT, nSBCode);
}

void CGridCtrl::OnHScroll(UINT nSBCode, UINT, CScrollBar*) {
    ScrollAlong(SB_HORZ, nSBCode);
}

// The scroll codes of both bars share their values (SB_LINEDOWN == SB_LINERIGHT, SB_TOP == SB_LEFT, ...),
// so one walk serves both: "lead" is the top or left edge, "trail" the bottom or right one.
void CGridCtrl::ScrollAlong(int nBar, UINT nSBCode) {
    if (GetFocus() != this)
        SetFocus();
    const bool vertical = nBar == SB_VERT;
    const int pos = GetScrollPos32(nBar);
    const CGridCellID topLeftCell = GetTopLeftScrolledCell();
    const int first = vertical ? topLeftCell.row : topLeftCell.col;
    const int fixedCount = vertical ? m_nFixedRows : m_nFixedCols;
    const int fixedExtent = vertical ? GetFixedRowHeight() : GetFixedColumnWidth();
    const int scrollMax = vertical ? m_nVScrollMax : m_nHScrollMax;
    const auto lineExtent = [&](int index) { return vertical ? GetRowHeight(index) : GetColumnWidth(index); };
    CRect rect = ClientRect();
    int& lead = vertical ? rect.top : rect.left;
    int& trail = vertical ? rect.bottom : rect.right;
    const auto scrollBy = [&](int d) {
        if (vertical)
            ScrollWindow(0, d, &rect);
        else
            ScrollWindow(d, 0, &rect);
    };

    switch (nSBCode) {
    case SB_LINEDOWN:
        if (pos < scrollMax) {
            const int d = lineExtent(first);
            SetScrollPos32(nBar, pos + d);
            if (GetScrollPos32(nBar) == pos)
                break;
            lead = fixedExtent + d;
            scrollBy(-d);
            lead = trail - d;
            InvalidateRect(&rect, TRUE);
        }
        break;
    case SB_LINEUP:
        if (pos > 0 && first > fixedCount) {
            const int d = lineExtent(first - 1);
            SetScrollPos32(nBar, std::max(0, pos - d));
            lead = fixedExtent;
            scrollBy(d);
            trail = lead + d;
            InvalidateRect(&rect, TRUE);
        }
        break;
    case SB_PAGEDOWN:
        if (pos < scrollMax) {
            lead = fixedExtent;
            SetScrollPos32(nBar, std::min(scrollMax, pos + (trail - lead)));
            InvalidateRect(&rect, TRUE);
        }
        break;
    case SB_PAGEUP:
        if (pos > 0) {
            lead = fixedExtent;
            SetScrollPos32(nBar, std::max(0, pos - (trail - lead)));
            InvalidateRect(&rect, TRUE);
        }
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        SetScrollPos32(nBar, GetScrollPos32(nBar, TRUE));
        const CGridCellID now = GetTopLeftScrolledCell();
        if ((vertical ? now.row : now.col) != first) {
            lead = fixedExtent;
            InvalidateRect(&rect, TRUE);
        }
        break;
    }
    case SB_TOP:
        if (pos > 0) {
            SetScrollPos32(nBar, 0);
            Invalidate();
        }
        break;
    case SB_BOTTOM:
        if (pos < scrollMax) {
            SetScrollPos32(nBar, scrollMax);
            Invalidate();
        }
        break;
    default:
        break;
    }
}

void CGridCtrl::UpdateScrollBars() {
    if (!m_bAllowDraw || !GetSafeHwnd())
        return;
    const CRect client = ClientRect();
    const int H = GetFixedRowHeight();
    const int W = GetFixedColumnWidth();
    const CRect visible(W, H, client.right, client.bottom);
    if (visible.Width() <= 0 || visible.Height() <= 0)
        return;
    const long virtualWidth = GetVirtualWidth() - W;
    const long virtualHeight = GetVirtualHeight() - H;
    if (!IsValid(GetFullyVisibleCellRange()))
        return;

    SCROLLINFO si;
    si.fMask = SIF_PAGE;
    si.nPage = UINT(visible.Width());
    SetScrollInfo(SB_HORZ, &si, FALSE);
    si.nPage = UINT(visible.Height());
    SetScrollInfo(SB_VERT, &si, FALSE);

    m_nVScrollMax = visible.Height() < virtualHeight ? int(virtualHeight - 1) : 0;
    m_nHScrollMax = visible.Width() < virtualWidth ? int(virtualWidth - 1) : 0;
    SetScrollRange(SB_VERT, 0, m_nVScrollMax, TRUE);
    SetScrollRange(SB_HORZ, 0, m_nHScrollMax, TRUE);
}

void CGridCtrl::OnSize(UINT nType, int cx, int cy) {
    // Showing or hiding a bar resizes the client area and comes back here.
    if (m_bInOnSize)
        return;
    m_bInOnSize = true;
    SetFocus();
    CWnd::OnSize(nType, cx, cy);
    UpdateScrollBars();
    m_bInOnSize = false;
}

// Clipboard.

COleDataSource* CGridCtrl::CopyTextFromGrid() {
    const CGridCellRange selection = GetSelectedCellRange();
    if (!IsValid(selection))
        return nullptr;
    CString text;
    for (int row = selection.GetMinRow(); row <= selection.GetMaxRow(); ++row) {
        for (int col = selection.GetMinCol(); col <= selection.GetMaxCol(); ++col) {
            const CGridCell* cell = GetCell(row, col);
            if (cell && (cell->state & GCS_SELECTED))
                text += cell->szText.empty() ? CString(" ") : cell->szText;
            if (col != selection.GetMaxCol())
                text += "\t";
        }
        if (row != selection.GetMaxRow())
            text += "\n";
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!block)
        return nullptr;
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    auto* source = new COleDataSource;
    source->CacheGlobalData(CF_TEXT, block);
    return source;
}

void CGridCtrl::OnEditCopy() {
    if (COleDataSource* source = CopyTextFromGrid())
        source->SetClipboard();
}

void CGridCtrl::OnEditSelectAll() {
    SelectAllCells();
}

// A read-only grid neither cuts nor pastes.
void CGridCtrl::OnEditCut() {}

void CGridCtrl::OnEditPaste() {}
