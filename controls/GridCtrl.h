#pragma once

// A scrollable, read-only table of text cells in a child window: fixed
// header rows and columns that do not scroll, a focus cell, a set of
// selected cells, per-row heights and per-column widths, notifications to the
// owner (WM_NOTIFY with a GridNotify record) and a right-click menu of preset
// commands sent to the parent.  The window class is "MFCGridCtrl", which a
// dialog template names for its custom control; DDX_GridCtrl binds it.

#include "controls/GridCell.h"
#include "controls/GridCellID.h"
#include "controls/GridCellRange.h"
#include "controls/GridItem.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/win/DataExchange.h"
#include "platform/win/Menu.h"
#include "platform/win/Wnd.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class COleDataSource;

// Mouse gestures in progress.
enum GridMouseMode {
    MOUSE_NOTHING = 0,
    MOUSE_SELECT_ROW = 3,
    MOUSE_SELECT_CELLS = 4,
    MOUSE_PREPARE_EDIT = 10,
};

// Commands of the right-click menu, sent to the grid's parent.
inline constexpr UINT ID_GRID_SAVE_PRESET = 713;
inline constexpr UINT ID_GRID_LOAD_PRESET = 714;
inline constexpr UINT ID_GRID_DELETE_PRESET = 715;

class CGridCtrl : public CWnd {
public:
    explicit CGridCtrl(int nRows = 0, int nCols = 0, int nFixedRows = 0, int nFixedCols = 0);
    ~CGridCtrl() override;

    static BOOL RegisterWindowClass();
    BOOL SubclassWindow(HWND hWnd);

    // Counts.  Negative counts are refused (FALSE, nothing changes).
    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetFixedRowCount() const { return m_nFixedRows; }
    int GetFixedColumnCount() const { return m_nFixedCols; }
    BOOL SetRowCount(int nRows);
    BOOL SetColumnCount(int nCols);
    BOOL SetFixedRowCount(int nFixedRows);
    BOOL SetFixedColumnCount(int nFixedCols);
    BOOL DeleteAllItems();

    // Cells.
    CGridCell* GetCell(int nRow, int nCol) const;
    BOOL IsValid(int nRow, int nCol) const;
    BOOL IsValid(const CGridCellID& cell) const { return IsValid(cell.row, cell.col); }
    BOOL IsValid(const CGridCellRange& range) const;

    BOOL GetItem(GRID_ITEM* pItem);
    virtual BOOL SetItemText(int nRow, int nCol, const CString& str);
    virtual CString GetItemText(int nRow, int nCol);
    BOOL SetItemState(int nRow, int nCol, UINT state);
    UINT GetItemState(int nRow, int nCol) const;
    UINT GetItemFormat(int nRow, int nCol) const;
    BOOL SetItemFont(int nRow, int nCol, const LOGFONT* lf);
    const LOGFONT* GetItemFont(int nRow, int nCol) const;

    // Sizes in pixels.
    int GetRowHeight(int nRow) const;
    int GetColumnWidth(int nCol) const;
    BOOL SetColumnWidth(int nCol, int width);
    int GetFixedRowHeight() const;
    int GetFixedColumnWidth() const;
    long GetVirtualHeight() const;
    long GetVirtualWidth() const;

    // Colours; none of them redraws.
    void SetTextColor(COLORREF clr) { m_crTextColour = clr; }
    COLORREF GetTextColor() const { return m_crTextColour; }
    void SetTextBkColor(COLORREF clr) { m_crTextBkColour = clr; }
    COLORREF GetTextBkColor() const { return m_crTextBkColour; }
    void SetBkColor(COLORREF clr) { m_crBkColour = clr; }
    COLORREF GetBkColor() const { return m_crBkColour; }
    void SetFixedTextColor(COLORREF clr) { m_crFixedTextColour = clr; }
    COLORREF GetFixedTextColor() const { return m_crFixedTextColour; }
    void SetFixedBkColor(COLORREF clr) { m_crFixedBkColour = clr; }
    COLORREF GetFixedBkColor() const { return m_crFixedBkColour; }
    void SetGridColor(COLORREF clr) { m_crGridColour = clr; }

    // Flags.
    void SetEditable(BOOL bEditable = TRUE);
    BOOL IsEditable() const { return m_bEditable; }
    void SetSingleRowSelection(BOOL bSing = TRUE) { m_bSingleRowSelection = bSing != 0; }
    BOOL IsCellEditable(int nRow, int nCol) const;

    // Focus and selection.
    CGridCellID GetFocusCell() const { return m_idCurrentCell; }
    CGridCellID GetRightClickCell() const { return m_RightClickDownCell; }
    CGridCellID SetFocusCell(CGridCellID cell);
    CGridCellID SetFocusCell(int nRow, int nCol) { return SetFocusCell(CGridCellID(nRow, nCol)); }
    void SetSelectedRange(const CGridCellRange& range, BOOL bForceRepaint = FALSE);
    void SetSelectedRange(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol, BOOL bForceRepaint = FALSE);
    void SelectAllCells();
    CGridCellRange GetSelectedCellRange() const;

    // Geometry and scrolling.
    void EnsureVisible(CGridCellID cell) { EnsureVisible(cell.row, cell.col); }
    void EnsureVisible(int nRow, int nCol);
    CGridCellID GetTopLeftScrolledCell() const;
    CGridCellRange GetVisibleCellRange(RECT* pRect = nullptr) const;
    CGridCellRange GetFullyVisibleCellRange() const;
    CGridCellID CellFromPoint(CPoint point, BOOL bAllowFixedCellCheck = TRUE) const;
    BOOL GetCellOrigin(int nRow, int nCol, POINT* p) const;
    BOOL GetCellOrigin(const CGridCellID& cell, POINT* p) const {
        return GetCellOrigin(cell.row, cell.col, p);
    }
    BOOL GetCellRect(int nRow, int nCol, RECT* pRect) const;
    BOOL GetCellRect(const CGridCellID& cell, RECT* pRect) const {
        return GetCellRect(cell.row, cell.col, pRect);
    }
    BOOL IsCellVisible(int nRow, int nCol) const;
    BOOL IsCellVisible(const CGridCellID& cell) const { return IsCellVisible(cell.row, cell.col); }
    void UpdateScrollBars();

    // Drawing.
    BOOL RedrawCell(int nRow, int nCol, CDC* pDC = nullptr);
    BOOL RedrawCell(const CGridCellID& cell, CDC* pDC = nullptr) {
        return RedrawCell(cell.row, cell.col, pDC);
    }
    BOOL InvalidateCellRect(const CGridCellID& cell);

    // Clipboard and editing.  Copying offers the selected cells' texts.
    virtual COleDataSource* CopyTextFromGrid();
    virtual void OnEditCut();
    virtual void OnEditCopy();
    virtual void OnEditPaste();
    virtual void OnEditSelectAll();
    virtual void OnEditCell(int nRow, int nCol, UINT nChar);

    virtual void OnDraw(CDC* pDC);
    virtual BOOL DrawFixedCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL bEraseBk = FALSE);
    virtual BOOL DrawCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL bEraseBk = FALSE);
    virtual CGridCell* CreateCell(int nRow, int nCol);
    virtual void EmptyCell(CGridCell* cell, int nRow, int nCol);

    // Handlers.
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    UINT OnGetDlgCode();
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnSize(UINT nType, int cx, int cy);

protected:
    void PreSubclassWindow() override;
    LRESULT OnSetFont(WPARAM hFont, LPARAM lParam);
    LRESULT OnGetFont(WPARAM, LPARAM);
    LRESULT OnSysColorChange(WPARAM, LPARAM);
    LRESULT NotifyParent(int nRow, int nCol, UINT nMessage);
    DECLARE_MESSAGE_MAP()

    // Every cell whose state has GCS_SELECTED, and the selection a Ctrl-click keeps.
    using CellKey = std::uint64_t;
    static CellKey KeyOf(int nRow, int nCol) {
        return (CellKey(std::uint32_t(nCol)) << 32) | std::uint32_t(nRow);
    }
    std::map<CellKey, CGridCellID> m_SelectedCellMap;
    std::map<CellKey, CGridCellID> m_PrevSelectedCellMap;

private:
    void EraseBkgnd(CDC* pDC);
    void RedrawFixedCellsOf(int nRow, int nCol, bool rowChanged, bool colChanged);
    void SelectByMouseMode(CGridCellID cell);
    void SelectCells(CGridCellID cell);
    void SelectRows(CGridCellID cell);
    void ResetSelectedRange();
    void BuildPopupMenu();
    void ShowPopupMenu(CPoint point);
    int GetScrollPos32(int nBar, BOOL bGetTrackPos = FALSE) const;
    BOOL SetScrollPos32(int nBar, int nPos, BOOL bRedraw = TRUE);
    void ScrollAlong(int nBar, UINT nSBCode);
    CRect ClientRect() const;

    // Colours.
    COLORREF m_crTextColour;
    COLORREF m_crTextBkColour;
    COLORREF m_crBkColour;
    COLORREF m_crFixedTextColour;
    COLORREF m_crFixedBkColour;
    COLORREF m_crGridColour = RGB(192, 192, 192);
    // The system colours each follows while it still equals them.
    COLORREF m_crWindowText;
    COLORREF m_crWindowColour;
    COLORREF m_cr3DFace;
    COLORREF m_crShadow;

    // Flags.
    bool m_bEditable = true;
    bool m_bListMode = false;
    bool m_bSingleRowSelection = false;
    bool m_bAllowDraw = true;
    bool m_bEnableSelection = true;
    bool m_bHandleTabKey = true;
    bool m_bDoubleBuffer = true;
    bool m_bInOnSize = false;

    CMenu m_menuPopup;

    // Shape.
    int m_nRows = 0;
    int m_nFixedRows = 0;
    int m_nCols = 0;
    int m_nFixedCols = 0;
    std::vector<UINT> m_arRowHeights;
    std::vector<UINT> m_arColWidths;
    int m_nMargin = 0;
    int m_nDefCellWidth = 30;
    int m_nDefCellHeight = 10;
    int m_nVScrollMax = 0;
    int m_nHScrollMax = 0;

    LOGFONT m_Logfont;
    CFont m_Font;
    std::vector<std::vector<std::unique_ptr<CGridCell>>> m_RowData;

    // Mouse and selection.
    int m_MouseMode = MOUSE_NOTHING;
    CPoint m_LeftClickDownPoint;
    CGridCellID m_LeftClickDownCell;
    CGridCellID m_SelectionStartCell;
    CGridCellID m_RightClickDownCell;
    CGridCellID m_idCurrentCell;
    int m_nRowsPerWheelNotch = 3;
};

// Binds `rGrid` to the dialog's control `nIDC` (once).
void DDX_GridCtrl(CDataExchange* pDX, int nIDC, CGridCtrl& rGrid);
