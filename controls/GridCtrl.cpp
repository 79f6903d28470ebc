// The grid's cells, rows and columns: construction, counts, cell access,
// sizes, fonts and notifications.

#include "controls/GridCtrl.h"

#include "model/Globals.h"
#include "platform/res/Resources.h"
#include "platform/sys/Debug.h"
#include "platform/win/WheelScrollLines.h"

BEGIN_MESSAGE_MAP(CGridCtrl, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_MOUSEWHEEL()
ON_WM_SETCURSOR()
ON_WM_GETDLGCODE()
ON_WM_KEYDOWN()
ON_WM_CHAR()
ON_WM_VSCROLL()
ON_WM_HSCROLL()
ON_WM_SIZE()
ON_MESSAGE(WM_SETFONT, &CGridCtrl::OnSetFont)
ON_MESSAGE(WM_GETFONT, &CGridCtrl::OnGetFont)
ON_MESSAGE(WM_SYSCOLORCHANGE, &CGridCtrl::OnSysColorChange)
END_MESSAGE_MAP()

CGridCtrl::CGridCtrl(int nRows, int nCols, int nFixedRows, int nFixedCols)
    : m_crTextColour(GetSysColor(COLOR_WINDOWTEXT)), m_crTextBkColour(GetSysColor(COLOR_WINDOW)),
      m_crBkColour(GetSysColor(COLOR_BTNSHADOW)), m_crFixedTextColour(GetSysColor(COLOR_WINDOWTEXT)),
      m_crFixedBkColour(GetSysColor(COLOR_BTNFACE)), m_crWindowText(GetSysColor(COLOR_WINDOWTEXT)),
      m_crWindowColour(GetSysColor(COLOR_WINDOW)), m_cr3DFace(GetSysColor(COLOR_BTNFACE)),
      m_crShadow(GetSysColor(COLOR_BTNSHADOW)) {
    RegisterWindowClass();
    m_nRowsPerWheelNotch = GetWheelScrollLines();
    CFont::FromHandle(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)))->GetLogFont(&m_Logfont);

    SetRowCount(nRows);
    SetColumnCount(nCols);
    SetFixedRowCount(nFixedRows);
    SetFixedColumnCount(nFixedCols);

    SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    SetTextBkColor(GetSysColor(COLOR_WINDOW));
    SetBkColor(GetSysColor(COLOR_BTNSHADOW));
    SetFixedTextColor(GetSysColor(COLOR_WINDOWTEXT));
    SetFixedBkColor(GetSysColor(COLOR_BTNFACE));
    m_SelectedCellMap.clear();
    m_PrevSelectedCellMap.clear();
    BuildPopupMenu();
}

CGridCtrl::~CGridCtrl() {
    m_menuPopup.DestroyMenu();
    DeleteAllItems();
    DestroyWindow();
    m_Font.DeleteObject();
}

// "MFCGridCtrl" is a plain window class of the layer that reports double
// clicks; a dialog template can name it before any grid exists.
BOOL CGridCtrl::RegisterWindowClass() {
    return TRUE;
}

BOOL CGridCtrl::SubclassWindow(HWND hWnd) {
    // Nothing is ever dropped on the grid, so there is no drop target to register.
    return CWnd::SubclassWindow(hWnd);
}

void CGridCtrl::PreSubclassWindow() {
    CWnd::PreSubclassWindow();
    CFont font;
    font.CreateFontIndirect(&m_Logfont);
    SendMessage(WM_SETFONT, WPARAM(font.GetHandle()), FALSE);
    font.DeleteObject();
    UpdateScrollBars();
}

void DDX_GridCtrl(CDataExchange* pDX, int nIDC, CGridCtrl& rGrid) {
    if (rGrid.GetSafeHwnd())
        return;
    ASSERT(!pDX->m_bSaveAndValidate);
    CWnd* item = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    const BOOL bound = item && rGrid.SubclassWindow(item->GetSafeHwnd());
    ASSERT(bound);
    (void)bound;
}

void CGridCtrl::BuildPopupMenu() {
    const auto text = [](UINT id) { return platform::res::Provider().String(id).value_or(""); };
    m_menuPopup.CreatePopupMenu();
    m_menuPopup.AppendMenu(MF_STRING, ID_GRID_LOAD_PRESET, text(g_bChinese ? 6100 : 6120));
    m_menuPopup.AppendMenu(MF_STRING, ID_GRID_SAVE_PRESET, text(g_bChinese ? 6101 : 6121));
    m_menuPopup.AppendMenu(MF_STRING, ID_GRID_DELETE_PRESET, "");
}

// Counts.

BOOL CGridCtrl::SetRowCount(int nRows) {
    if (nRows < 0)
        return FALSE;
    if (nRows == m_nRows)
        return TRUE;
    if (nRows < m_nFixedRows)
        m_nFixedRows = nRows;
    if (m_idCurrentCell.row >= nRows)
        SetFocusCell(-1, -1);

    const int oldRows = m_nRows;
    for (int row = nRows; row < oldRows; ++row) {
        for (int col = 0; col < m_nCols; ++col)
            if (CGridCell* cell = GetCell(row, col))
                EmptyCell(cell, row, col);
    }
    m_nRows = nRows;
    m_RowData.resize(std::size_t(nRows));
    m_arRowHeights.resize(std::size_t(nRows));
    for (int row = oldRows; row < nRows; ++row) {
        m_arRowHeights[std::size_t(row)] = UINT(m_nDefCellHeight);
        auto& cells = m_RowData[std::size_t(row)];
        cells.resize(std::size_t(m_nCols));
        for (int col = 0; col < m_nCols; ++col)
            cells[std::size_t(col)].reset(CreateCell(row, col));
    }
    if (GetSafeHwnd() && m_bAllowDraw) {
        UpdateScrollBars();
        Invalidate();
    }
    return TRUE;
}

BOOL CGridCtrl::SetColumnCount(int nCols) {
    if (nCols < 0)
        return FALSE;
    if (nCols == m_nCols)
        return TRUE;
    if (nCols < m_nFixedCols)
        m_nFixedCols = nCols;
    if (m_idCurrentCell.col >= nCols)
        SetFocusCell(-1, -1);

    const int oldCols = m_nCols;
    for (int row = 0; row < m_nRows; ++row) {
        for (int col = nCols; col < oldCols; ++col)
            if (CGridCell* cell = GetCell(row, col))
                EmptyCell(cell, row, col);
    }
    m_nCols = nCols;
    m_arColWidths.resize(std::size_t(nCols));
    for (int col = oldCols; col < nCols; ++col)
        m_arColWidths[std::size_t(col)] = UINT(m_nDefCellWidth);
    for (int row = 0; row < m_nRows; ++row) {
        auto& cells = m_RowData[std::size_t(row)];
        cells.resize(std::size_t(nCols));
        for (int col = oldCols; col < nCols; ++col)
            cells[std::size_t(col)].reset(CreateCell(row, col));
    }
    if (GetSafeHwnd() && m_bAllowDraw) {
        UpdateScrollBars();
        Invalidate();
    }
    return TRUE;
}

BOOL CGridCtrl::SetFixedRowCount(int nFixedRows) {
    if (nFixedRows < 0)
        return FALSE;
    if (m_nRows < nFixedRows && !SetRowCount(nFixedRows))
        return FALSE;
    if (m_idCurrentCell.row < nFixedRows)
        SetFocusCell(-1, -1);
    m_nFixedRows = nFixedRows;
    if (GetSafeHwnd() && m_bAllowDraw)
        Invalidate();
    return TRUE;
}

BOOL CGridCtrl::SetFixedColumnCount(int nFixedCols) {
    if (nFixedCols < 0)
        return FALSE;
    if (m_nCols < nFixedCols && !SetColumnCount(nFixedCols))
        return FALSE;
    if (m_idCurrentCell.col < nFixedCols)
        SetFocusCell(-1, -1);
    m_nFixedCols = nFixedCols;
    if (GetSafeHwnd() && m_bAllowDraw)
        Invalidate();
    return TRUE;
}

BOOL CGridCtrl::DeleteAllItems() {
    ResetSelectedRange();
    m_PrevSelectedCellMap.clear();
    m_idCurrentCell = CGridCellID();
    m_arRowHeights.clear();
    m_arColWidths.clear();
    for (int row = 0; row < int(m_RowData.size()); ++row) {
        auto& cells = m_RowData[std::size_t(row)];
        for (int col = 0; col < int(cells.size()); ++col)
            if (cells[std::size_t(col)])
                EmptyCell(cells[std::size_t(col)].get(), row, col);
    }
    m_RowData.clear();
    m_nRows = m_nFixedRows = m_nCols = m_nFixedCols = 0;
    return TRUE;
}

// Cells.

CGridCell* CGridCtrl::GetCell(int nRow, int nCol) const {
    if (nRow < 0 || nRow >= m_nRows || nCol < 0 || nCol >= m_nCols)
        return nullptr;
    if (std::size_t(nRow) >= m_RowData.size())
        return nullptr;
    const auto& cells = m_RowData[std::size_t(nRow)];
    return std::size_t(nCol) < cells.size() ? cells[std::size_t(nCol)].get() : nullptr;
}

BOOL CGridCtrl::IsValid(int nRow, int nCol) const {
    return nRow >= 0 && nRow < m_nRows && nCol >= 0 && nCol < m_nCols;
}

BOOL CGridCtrl::IsValid(const CGridCellRange& range) const {
    return range.IsValid() && range.GetMaxRow() < m_nRows && range.GetMaxCol() < m_nCols;
}

CGridCell* CGridCtrl::CreateCell(int nRow, int nCol) {
    auto* cell = new CGridCell;
    if (nRow > 0 && nCol >= 0 && nCol < m_nCols)
        if (const CGridCell* above = GetCell(nRow - 1, nCol))
            cell->nFormat = above->nFormat;
    cell->lfFont = m_Logfont;
    return cell;
}

void CGridCtrl::EmptyCell(CGridCell* cell, int nRow, int nCol) {
    SetItemState(nRow, nCol, 0);
    cell->szText.clear();
}

BOOL CGridCtrl::GetItem(GRID_ITEM* pItem) {
    if (!pItem)
        return FALSE;
    const CGridCell* cell = GetCell(pItem->row, pItem->col);
    if (!cell)
        return FALSE;
    if (pItem->mask & GIF_TEXT)
        pItem->szText = GetItemText(pItem->row, pItem->col);
    if (pItem->mask & GIF_IMAGE)
        pItem->iImage = cell->iImage;
    if (pItem->mask & GIF_PARAM)
        pItem->lParam = cell->lParam;
    if (pItem->mask & GIF_STATE)
        pItem->state = cell->state;
    if (pItem->mask & GIF_BKCLR)
        pItem->crBkClr = cell->crBkClr;
    if (pItem->mask & GIF_FGCLR)
        pItem->crFgClr = cell->crFgClr;
    if (pItem->mask & GIF_FORMAT)
        pItem->nFormat = cell->nFormat;
    if (pItem->mask & GIF_FONT)
        pItem->lfFont = cell->lfFont;
    return TRUE;
}

BOOL CGridCtrl::SetItemText(int nRow, int nCol, const CString& str) {
    CGridCell* cell = GetCell(nRow, nCol);
    if (!cell)
        return FALSE;
    cell->szText = str;
    if (GetSafeHwnd())
        Invalidate();
    return TRUE;
}

CString CGridCtrl::GetItemText(int nRow, int nCol) {
    const CGridCell* cell = GetCell(nRow, nCol);
    return cell ? cell->szText : CString();
}

BOOL CGridCtrl::SetItemState(int nRow, int nCol, UINT state) {
    CGridCell* cell = GetCell(nRow, nCol);
    ASSERT(cell);
    if (!cell)
        return FALSE;
    // The selected map mirrors the cells' GCS_SELECTED bits.
    const CellKey key = KeyOf(nRow, nCol);
    if (state & GCS_SELECTED)
        m_SelectedCellMap[key] = CGridCellID(nRow, nCol);
    else
        m_SelectedCellMap.erase(key);
    cell->state = state;
    return TRUE;
}

UINT CGridCtrl::GetItemState(int nRow, int nCol) const {
    const CGridCell* cell = GetCell(nRow, nCol);
    return cell ? cell->state : 0;
}

UINT CGridCtrl::GetItemFormat(int nRow, int nCol) const {
    const CGridCell* cell = GetCell(nRow, nCol);
    return cell ? cell->nFormat : 0;
}

BOOL CGridCtrl::SetItemFont(int nRow, int nCol, const LOGFONT* lf) {
    CGridCell* cell = GetCell(nRow, nCol);
    if (!cell || !lf)
        return FALSE;
    cell->lfFont = *lf;
    return TRUE;
}

const LOGFONT* CGridCtrl::GetItemFont(int nRow, int nCol) const {
    const CGridCell* cell = GetCell(nRow, nCol);
    return cell ? &cell->lfFont : &m_Logfont;
}

// Sizes.

int CGridCtrl::GetRowHeight(int nRow) const {
    if (nRow < 0 || nRow >= m_nRows)
        return -1;
    return int(m_arRowHeights[std::size_t(nRow)]);
}

int CGridCtrl::GetColumnWidth(int nCol) const {
    if (nCol < 0 || nCol >= m_nCols)
        return -1;
    return int(m_arColWidths[std::size_t(nCol)]);
}

BOOL CGridCtrl::SetColumnWidth(int nCol, int width) {
    if (nCol < 0 || nCol >= m_nCols || width < 0)
        return FALSE;
    m_arColWidths[std::size_t(nCol)] = UINT(width);
    return TRUE;
}

int CGridCtrl::GetFixedRowHeight() const {
    int height = 0;
    for (int row = 0; row < m_nFixedRows; ++row)
        height += GetRowHeight(row);
    return height;
}

int CGridCtrl::GetFixedColumnWidth() const {
    int width = 0;
    for (int col = 0; col < m_nFixedCols; ++col)
        width += GetColumnWidth(col);
    return width;
}

long CGridCtrl::GetVirtualHeight() const {
    long height = 0;
    for (int row = 0; row < m_nRows; ++row)
        height += GetRowHeight(row);
    return height;
}

long CGridCtrl::GetVirtualWidth() const {
    long width = 0;
    for (int col = 0; col < m_nCols; ++col)
        width += GetColumnWidth(col);
    return width;
}

// Flags.

void CGridCtrl::SetEditable(BOOL bEditable) {
    m_bEditable = bEditable != 0;
    SetFocusCell(m_idCurrentCell);
}

BOOL CGridCtrl::IsCellEditable(int nRow, int nCol) const {
    return m_bEditable && !(GetItemState(nRow, nCol) & GCS_READONLY);
}

// Fonts.

LRESULT CGridCtrl::OnSetFont(WPARAM hFont, LPARAM) {
    const LRESULT result = Default();
    LOGFONT lf;
    const auto font = reinterpret_cast<HFONT>(hFont);
    if (!font || !CFont::FromHandle(font)->GetLogFont(&lf))
        return result;
    m_Logfont = lf;
    for (auto& cells : m_RowData)
        for (auto& cell : cells)
            if (cell)
                cell->lfFont = lf;
    if (CDC* dc = GetDC()) {
        m_Font.DeleteObject();
        m_Font.CreateFontIndirect(&m_Logfont);
        CFont* old = dc->SelectObject(&m_Font);
        TEXTMETRIC tm;
        dc->GetTextMetrics(&tm);
        m_nMargin = dc->GetTextExtent(" ").cx;
        m_nDefCellHeight = tm.tmHeight + tm.tmExternalLeading + 2 * m_nMargin;
        m_nDefCellWidth = 12 * tm.tmAveCharWidth + 2 * m_nMargin;
        dc->SelectObject(old);
        ReleaseDC(dc);
    }
    if (GetSafeHwnd())
        Invalidate();
    return result;
}

LRESULT CGridCtrl::OnGetFont(WPARAM, LPARAM) {
    return LRESULT(m_Font.GetHandle());
}

// Notifications.

LRESULT CGridCtrl::NotifyParent(int nRow, int nCol, UINT nMessage) {
    if (!GetSafeHwnd())
        return 0;
    CWnd* owner = GetParent();
    if (!owner || !owner->GetSafeHwnd())
        return 0;
    GridNotify nm;
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = UINT_PTR(GetDlgCtrlID());
    nm.hdr.code = nMessage;
    nm.iRow = nRow;
    nm.iColumn = nCol;
    return owner->SendMessage(WM_NOTIFY, WPARAM(nm.hdr.idFrom), LPARAM(&nm));
}
