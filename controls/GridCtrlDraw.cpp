// How the grid paints: background areas, fixed cells with raised or sunken
// edges, normal cells plain or highlighted, and the lines between them.

#include "controls/GridCtrl.h"
#include "controls/MemDC.h"
#include "platform/win/PaintDC.h"

#include <algorithm>

void CGridCtrl::OnPaint() {
    CPaintDC dc(this);
    if (m_bDoubleBuffer) {
        CMemDC memDC(&dc);
        OnDraw(&memDC);
    } else {
        OnDraw(&dc);
    }
}

// Everything is erased inside OnDraw, so nothing flickers between the two.
BOOL CGridCtrl::OnEraseBkgnd(CDC*) {
    return TRUE;
}

void CGridCtrl::EraseBkgnd(CDC* pDC) {
    CRect clip;
    if (pDC->GetClipBox(&clip) == RGN_ERROR)
        return;
    CRect vis;
    GetVisibleCellRange(&vis);
    const int W = GetFixedColumnWidth();
    const int H = GetFixedRowHeight();
    CBrush fixedBack(GetFixedBkColor());
    CBrush textBack(GetTextBkColor());
    CBrush back(GetBkColor());

    if (clip.left < W && clip.top < vis.bottom) {
        const CRect r(clip.left, clip.top, W, vis.bottom);
        pDC->FillRect(&r, &fixedBack);
    }
    if (clip.top < H && clip.right > W && clip.left < vis.right) {
        const CRect r(W - 1, clip.top, vis.right, H);
        pDC->FillRect(&r, &fixedBack);
    }
    CRect inside;
    if (inside.IntersectRect(vis, clip)) {
        const CRect r(std::max(inside.left, W), std::max(inside.top, H), inside.right, inside.bottom);
        pDC->FillRect(&r, &textBack);
    }
    if (vis.right < clip.right) {
        const CRect r(vis.right, clip.top, clip.right, clip.bottom);
        pDC->FillRect(&r, &back);
    }
    if (vis.bottom < clip.bottom && clip.left < vis.right) {
        const CRect r(clip.left, vis.bottom, vis.right, clip.bottom);
        pDC->FillRect(&r, &back);
    }
}

void CGridCtrl::OnDraw(CDC* pDC) {
    CRect clip;
    if (pDC->GetClipBox(&clip) == RGN_ERROR)
        return;
    EraseBkgnd(pDC);

    const int H = GetFixedRowHeight();
    const int W = GetFixedColumnWidth();
    const CGridCellID topLeft = GetTopLeftScrolledCell();
    const int minRow = topLeft.row;
    const int minCol = topLeft.col;
    CRect vis;
    const CGridCellRange visible = GetVisibleCellRange(&vis);
    const int maxRow = visible.GetMaxRow();
    const int maxCol = visible.GetMaxCol();

    CRect rect;
    // The corner: headers of headers, never clipped away.
    rect.bottom = -1;
    for (int row = 0; row < m_nFixedRows; ++row) {
        rect.top = rect.bottom + 1;
        rect.bottom = rect.top + GetRowHeight(row) - 1;
        rect.right = -1;
        for (int col = 0; col < m_nFixedCols; ++col) {
            rect.left = rect.right + 1;
            rect.right = rect.left + GetColumnWidth(col) - 1;
            DrawFixedCell(pDC, row, col, rect);
        }
    }

    // Walks rows from `firstRow`, top edge below `top`, and columns likewise,
    // skipping cells outside the clip box.
    const auto walk = [&](int firstRow, int lastRow, int top, int firstCol, int lastCol, int left,
                          auto draw) {
        CRect r;
        r.bottom = top - 1;
        for (int row = firstRow; row <= lastRow; ++row) {
            r.top = r.bottom + 1;
            r.bottom = r.top + GetRowHeight(row) - 1;
            if (r.top > clip.bottom)
                break;
            if (r.bottom < clip.top)
                continue;
            r.right = left - 1;
            for (int col = firstCol; col <= lastCol; ++col) {
                r.left = r.right + 1;
                r.right = r.left + GetColumnWidth(col) - 1;
                if (r.left > clip.right)
                    break;
                if (r.right < clip.left)
                    continue;
                draw(row, col, r);
            }
        }
    };
    const auto fixed = [&](int row, int col, const CRect& r) { DrawFixedCell(pDC, row, col, r); };
    walk(minRow, maxRow, H, 0, m_nFixedCols - 1, 0, fixed);
    walk(0, m_nFixedRows - 1, 0, minCol, maxCol, W, fixed);
    walk(minRow, maxRow, H, minCol, maxCol, W,
         [&](int row, int col, const CRect& r) { DrawCell(pDC, row, col, r); });

    CPen pen;
    if (pen.CreatePen(PS_SOLID, 0, m_crGridColour)) {
        pDC->SelectObject(&pen);
        int x = W;
        for (int col = minCol; col <= maxCol; ++col) {
            x += GetColumnWidth(col);
            pDC->MoveTo(x - 1, H);
            pDC->LineTo(x - 1, vis.bottom);
        }
        int y = H;
        for (int row = minRow; row <= maxRow; ++row) {
            y += GetRowHeight(row);
            pDC->MoveTo(W, y - 1);
            pDC->LineTo(vis.right, y - 1);
        }
        pDC->SelectStockObject(NULL_PEN);
        pen.DeleteObject();
    }
}

BOOL CGridCtrl::DrawFixedCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL) {
    if (!m_bAllowDraw)
        return FALSE;
    GRID_ITEM item;
    item.mask = GIF_TEXT | GIF_FORMAT | GIF_IMAGE | GIF_BKCLR | GIF_FGCLR;
    item.row = nRow;
    item.col = nCol;
    if (!GetItem(&item))
        return FALSE;

    if (!pDC->IsPrinting())
        pDC->FillSolidRect(&rect, item.crBkClr == CLR_DEFAULT ? GetFixedBkColor() : item.crBkClr);
    pDC->SetTextColor(item.crFgClr == CLR_DEFAULT ? GetFixedTextColor() : item.crFgClr);

    const int saved = pDC->SaveDC();
    CFont font;
    font.CreateFontIndirect(GetItemFont(nRow, nCol));
    pDC->SelectObject(&font);

    // The headers of the focus cell's row and column look pressed in.
    const CGridCellID focus = GetFocusCell();
    if (!IsValid(focus) || (focus.row != nRow && focus.col != nCol)) {
        CPen light(PS_SOLID, 1, GetSysColor(COLOR_3DHIGHLIGHT));
        CPen dark(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW));
        CPen* old = pDC->SelectObject(&light);
        pDC->MoveTo(rect.right, rect.top);
        pDC->LineTo(rect.left, rect.top);
        pDC->LineTo(rect.left, rect.bottom);
        pDC->SelectObject(&dark);
        pDC->MoveTo(rect.right, rect.top);
        pDC->LineTo(rect.right, rect.bottom);
        pDC->LineTo(rect.left, rect.bottom);
        pDC->SelectObject(old);
        rect.DeflateRect(1, 1);
    } else {
        rect.right++;
        rect.bottom++;
        pDC->DrawEdge(&rect, BDR_SUNKENINNER, BF_RECT);
        rect.DeflateRect(1, 1);
    }

    pDC->SetBkMode(TRANSPARENT);
    rect.DeflateRect(m_nMargin, 0);
    pDC->DrawText(item.szText, &rect, item.nFormat);

    pDC->RestoreDC(saved);
    font.DeleteObject();
    return TRUE;
}

BOOL CGridCtrl::DrawCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL) {
    if (!m_bAllowDraw)
        return FALSE;
    GRID_ITEM item;
    item.mask = GIF_TEXT | GIF_FORMAT | GIF_STATE | GIF_IMAGE | GIF_BKCLR | GIF_FGCLR;
    item.row = nRow;
    item.col = nCol;
    if (!GetItem(&item))
        return FALSE;
    const COLORREF back = item.crBkClr == CLR_DEFAULT ? GetTextBkColor() : item.crBkClr;
    const COLORREF text = item.crFgClr == CLR_DEFAULT ? GetTextColor() : item.crFgClr;

    const int saved = pDC->SaveDC();
    pDC->SetBkMode(TRANSPARENT);
    // The fill covers the inclusive right and bottom edges; the grid lines
    // are drawn over them afterwards.
    const CRect fill(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
    if ((item.state & GCS_SELECTED) && !pDC->IsPrinting()) {
        pDC->FillSolidRect(&fill, GetSysColor(COLOR_HIGHLIGHT));
        pDC->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        pDC->FillSolidRect(&fill, back);
        pDC->SetTextColor(text);
    }

    CFont font;
    font.CreateFontIndirect(GetItemFont(nRow, nCol));
    pDC->SelectObject(&font);
    rect.DeflateRect(m_nMargin, 0);
    pDC->DrawText(item.szText, &rect, item.nFormat);

    pDC->RestoreDC(saved);
    font.DeleteObject();
    return TRUE;
}

BOOL CGridCtrl::RedrawCell(int nRow, int nCol, CDC* pDC) {
    if (!m_bAllowDraw || !IsCellVisible(nRow, nCol))
        return FALSE;
    CRect rect;
    if (!GetCellRect(nRow, nCol, &rect))
        return FALSE;
    bool release = false;
    if (!pDC) {
        pDC = GetDC();
        release = pDC != nullptr;
    }
    BOOL result = TRUE;
    if (pDC) {
        if (nRow < m_nFixedRows || nCol < m_nFixedCols) {
            result = DrawFixedCell(pDC, nRow, nCol, rect, TRUE);
        } else {
            result = DrawCell(pDC, nRow, nCol, rect, TRUE);
            CPen pen(PS_SOLID, 0, m_crGridColour);
            CPen* old = pDC->SelectObject(&pen);
            pDC->MoveTo(rect.left, rect.bottom);
            pDC->LineTo(rect.right + 1, rect.bottom);
            pDC->MoveTo(rect.right, rect.top);
            pDC->LineTo(rect.right, rect.bottom + 1);
            pDC->SelectObject(old);
        }
    } else {
        const CRect r(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
        InvalidateRect(&r, TRUE);
    }
    if (release)
        ReleaseDC(pDC);
    return result;
}

BOOL CGridCtrl::InvalidateCellRect(const CGridCellID& cell) {
    if (!GetSafeHwnd() || !m_bAllowDraw || !IsCellVisible(cell))
        return FALSE;
    CRect rect;
    if (!GetCellRect(cell, &rect))
        return FALSE;
    rect.right++;
    rect.bottom++;
    InvalidateRect(&rect, TRUE);
    return TRUE;
}

BOOL CGridCtrl::GetCellRect(int nRow, int nCol, RECT* pRect) const {
    POINT origin;
    if (!GetCellOrigin(nRow, nCol, &origin))
        return FALSE;
    pRect->left = origin.x;
    pRect->top = origin.y;
    pRect->right = origin.x + GetColumnWidth(nCol) - 1;
    pRect->bottom = origin.y + GetRowHeight(nRow) - 1;
    return TRUE;
}

LRESULT CGridCtrl::OnSysColorChange(WPARAM, LPARAM) {
    const LRESULT result = Default();
    // Only the colours the owner left at the system's follow it.
    if (m_crTextColour == m_crWindowText)
        m_crTextColour = GetSysColor(COLOR_WINDOWTEXT);
    if (m_crTextBkColour == m_crWindowColour)
        m_crTextBkColour = GetSysColor(COLOR_WINDOW);
    if (m_crBkColour == m_crShadow)
        m_crBkColour = GetSysColor(COLOR_BTNSHADOW);
    if (m_crFixedTextColour == m_crWindowText)
        m_crFixedTextColour = GetSysColor(COLOR_WINDOWTEXT);
    if (m_crFixedBkColour == m_cr3DFace)
        m_crFixedBkColour = GetSysColor(COLOR_BTNFACE);
    m_crWindowText = GetSysColor(COLOR_WINDOWTEXT);
    m_crWindowColour = GetSysColor(COLOR_WINDOW);
    m_cr3DFace = GetSysColor(COLOR_BTNFACE);
    m_crShadow = GetSysColor(COLOR_BTNSHADOW);
    return result;
}
