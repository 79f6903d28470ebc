#pragma once

// List boxes: a column of entries of one fixed height, one of them
// selected.  A mouse press on an entry selects it and, with LBS_NOTIFY,
// tells the parent LBN_SELCHANGE even when the entry was already selected;
// the arrow keys move the selection and notify when it moved; selecting by
// program notifies nothing.  With LBS_OWNERDRAWFIXED the parent draws each
// entry (WM_DRAWITEM, ODT_LISTBOX), reflected to DrawItem.  The wheel and
// the keys scroll the entries; a list box draws no scroll bar of its own.

#include "platform/win/Wnd.h"

inline constexpr DWORD LBS_NOTIFY = 0x0001;
inline constexpr DWORD LBS_SORT = 0x0002;
inline constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
inline constexpr DWORD LBS_HASSTRINGS = 0x0040;
inline constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;

inline constexpr UINT LB_ADDSTRING = 0x0180;
inline constexpr UINT LB_INSERTSTRING = 0x0181;
inline constexpr UINT LB_DELETESTRING = 0x0182;
inline constexpr UINT LB_RESETCONTENT = 0x0184;
inline constexpr UINT LB_SETCURSEL = 0x0186;
inline constexpr UINT LB_GETCURSEL = 0x0188;
inline constexpr UINT LB_GETTEXT = 0x0189; // lParam: a CString*
inline constexpr UINT LB_GETTEXTLEN = 0x018A;
inline constexpr UINT LB_GETCOUNT = 0x018B;
inline constexpr UINT LB_GETTOPINDEX = 0x018E;
inline constexpr UINT LB_SETTOPINDEX = 0x0197;
inline constexpr UINT LB_GETITEMRECT = 0x0198;
inline constexpr UINT LB_GETITEMDATA = 0x0199;
inline constexpr UINT LB_SETITEMDATA = 0x019A;
inline constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
inline constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
inline constexpr int LB_ERR = -1;

inline constexpr UINT LBN_SELCHANGE = 1;
inline constexpr UINT LBN_DBLCLK = 2;
inline constexpr UINT LBN_SETFOCUS = 4;
inline constexpr UINT LBN_KILLFOCUS = 5;

#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)

class CListBox : public CWnd {
public:
    using CWnd::Create;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    int AddString(const CString& text) { return int(SendMessage(LB_ADDSTRING, 0, LPARAM(text.c_str()))); }
    int InsertString(int index, const CString& text) {
        return int(SendMessage(LB_INSERTSTRING, WPARAM(index), LPARAM(text.c_str())));
    }
    int DeleteString(UINT index) { return int(SendMessage(LB_DELETESTRING, index)); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int GetCount() const { return int(Self()->SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return int(Self()->SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) { return int(SendMessage(LB_SETCURSEL, WPARAM(index))); }
    int GetText(int index, CString& text) const {
        return int(Self()->SendMessage(LB_GETTEXT, WPARAM(index), LPARAM(&text)));
    }
    int GetTextLen(int index) const { return int(Self()->SendMessage(LB_GETTEXTLEN, WPARAM(index))); }
    int GetTopIndex() const { return int(Self()->SendMessage(LB_GETTOPINDEX)); }
    int SetTopIndex(int index) { return int(SendMessage(LB_SETTOPINDEX, WPARAM(index))); }
    int GetItemRect(int index, RECT* rect) const {
        return int(Self()->SendMessage(LB_GETITEMRECT, WPARAM(index), LPARAM(rect)));
    }
    ULONG_PTR GetItemData(int index) const {
        return ULONG_PTR(Self()->SendMessage(LB_GETITEMDATA, WPARAM(index)));
    }
    int SetItemData(int index, ULONG_PTR data) {
        return int(SendMessage(LB_SETITEMDATA, WPARAM(index), LPARAM(data)));
    }
    int GetItemHeight(int index) const { return int(Self()->SendMessage(LB_GETITEMHEIGHT, WPARAM(index))); }
    int SetItemHeight(int index, UINT height) {
        return int(SendMessage(LB_SETITEMHEIGHT, WPARAM(index), MAKELPARAM(int(height), 0)));
    }

    // Owner drawing; the layer asks every entry for its height only through
    // LB_SETITEMHEIGHT, so MeasureItem is never called by the layer itself.
    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    virtual void MeasureItem(void* mis);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    CListBox* Self() const { return const_cast<CListBox*>(this); }
};
