#pragma once

// Tab controls: a row of tabs over a page area.  With TCS_OWNERDRAWFIXED the
// parent draws each tab (WM_DRAWITEM, ODT_TAB), reflected to DrawItem.

#include "platform/win/Wnd.h"

inline constexpr UINT TCIF_TEXT = 0x0001;
inline constexpr UINT TCIF_PARAM = 0x0008;

struct TCITEM {
    UINT mask = TCIF_TEXT;
    CString text;
    LPARAM lParam = 0;
};

struct TCHITTESTINFO {
    POINT pt{};
    UINT flags = 0;
};

class CTabCtrl : public CWnd {
public:
    using CWnd::Create;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int InsertItem(int index, const char* text);
    int InsertItem(int index, const TCITEM* item);
    BOOL DeleteAllItems() { return BOOL(SendMessage(TCM_DELETEALLITEMS)); }
    int GetItemCount() const { return int(const_cast<CTabCtrl*>(this)->SendMessage(TCM_GETITEMCOUNT)); }
    int GetCurSel() const { return int(const_cast<CTabCtrl*>(this)->SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int index) { return int(SendMessage(TCM_SETCURSEL, WPARAM(index))); }
    BOOL GetItemRect(int index, RECT* rect) const {
        return BOOL(const_cast<CTabCtrl*>(this)->SendMessage(TCM_GETITEMRECT, WPARAM(index), LPARAM(rect)));
    }
    // larger FALSE: the page area of a control rectangle; TRUE: the control
    // rectangle of a page area.
    void AdjustRect(BOOL larger, RECT* rect) { SendMessage(TCM_ADJUSTRECT, larger, LPARAM(rect)); }
    int HitTest(TCHITTESTINFO* info) const {
        return int(const_cast<CTabCtrl*>(this)->SendMessage(TCM_HITTEST, 0, LPARAM(info)));
    }
    CSize SetItemSize(CSize size) {
        return CSize(LOWORD(SendMessage(TCM_SETITEMSIZE, 0, MAKELPARAM(size.cx, size.cy))), 0);
    }

    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
