#include "controls/ComboGridCtrl.h"

BOOL CComboGridCtrl::SetItemText(int nRow, int nCol, const CString& str) {
    return CGridCtrl::SetItemText(nRow, nCol, str);
}

BOOL CComboGridCtrl::SetItemValidated(const GRID_ITEM* pItem) {
    if (!pItem)
        return FALSE;
    CGridCell* cell = GetCell(pItem->row, pItem->col);
    if (!cell)
        return FALSE;
    if (pItem->mask & GIF_TEXT)
        cell->szText = pItem->szText;
    if (pItem->mask & GIF_IMAGE)
        cell->iImage = pItem->iImage;
    if (pItem->mask & GIF_PARAM)
        cell->lParam = pItem->lParam;
    // Through SetItemState, so the selected cells stay those with GCS_SELECTED.
    if (pItem->mask & GIF_STATE)
        SetItemState(pItem->row, pItem->col, pItem->state);
    if (pItem->mask & GIF_BKCLR)
        cell->crBkClr = pItem->crBkClr;
    if (pItem->mask & GIF_FGCLR)
        cell->crFgClr = pItem->crFgClr;
    if (pItem->mask & GIF_FORMAT)
        cell->nFormat = pItem->nFormat;
    if (pItem->mask & GIF_FONT)
        cell->lfFont = pItem->lfFont;
    return TRUE;
}
