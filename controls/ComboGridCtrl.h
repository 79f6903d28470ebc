#pragma once

// The grid of the device preset dialog: a CGridCtrl whose owner fills the
// cells field by field with SetItemValidated.

#include "controls/GridCtrl.h"

class CComboGridCtrl : public CGridCtrl {
public:
    CComboGridCtrl() = default;

    BOOL SetItemText(int nRow, int nCol, const CString& str) override;
    // Sets the fields of the item's cell that its mask names, without a
    // redraw; FALSE for no item or no such cell.
    virtual BOOL SetItemValidated(const GRID_ITEM* pItem);
    // No messages of its own: the grid's message map serves.
};
