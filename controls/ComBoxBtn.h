#pragma once

// The drop-down button: a skinned button whose caption is the chosen entry.
// A left press opens the list in a popup under the button (above it when
// the work area has no room below); a pick, and every wheel step over the
// button, posts UM_DROPLIST_SELECTED (reported id, index) to the parent.
// CreateDropList comes before every other operation on the list.

#include "controls/DropWnd.h"
#include "controls/HandCursor.h"
#include "platform/win/Button.h"

#include <memory>

class CComBoxBtn : public CButton {
public:
    CComBoxBtn();
    ~CComBoxBtn() override;

    // Normal and hover pictures; the button takes the normal one's size.
    void SetBitmap(int normalId, int hoverId);
    // `reportedId` becomes the wParam of every UM_DROPLIST_SELECTED posted.
    BOOL CreateDropList(CWnd* owner, int reportedId);
    int AddString(const CString& text);
    // The caption keeps its text.
    void ResetContent();
    void SetUserFlag(int flag) { m_bMoveNotice = flag; }
    // Selects an entry and shows it as the caption; posts nothing.  An index
    // naming no entry changes nothing.
    void SetCurSel(int index);
    int GetCurSel() const;

    CDropWnd* GetDropWnd() { return m_pDrop.get(); }
    const CDropWnd* GetDropWnd() const { return m_pDrop.get(); }
    void DrawItem(LPDRAWITEMSTRUCT dis) override;

    static constexpr int kMaxListHeight = 130;

protected:
    void PreSubclassWindow() override;
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnMouseLeaveMsg(WPARAM, LPARAM);
    LRESULT OnMouseHoverMsg(WPARAM, LPARAM) { return 0; }
    void OnKillFocus(CWnd* next);
    void OnSize(UINT type, int cx, int cy);
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return m_hand.Show(); }
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    LRESULT OnDropListSelected(WPARAM index, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    void OpenPopup();
    bool PopupShown() const;
    bool NamesEntry(int index) const;
    void Report(int index);

    int m_nDrawKind = 0;
    int m_nNormalBitmap = 0;
    int m_nHoverBitmap = 0;
    COLORREF m_crText = RGB(255, 255, 255);
    COLORREF m_crHoverText = RGB(255, 255, 255);
    std::unique_ptr<CFont> m_pFont;
    std::unique_ptr<CFont> m_pHoverFont;
    BOOL m_bHover = FALSE;
    HandCursor m_hand;
    std::unique_ptr<CDropWnd> m_pDrop;
    int m_nPopupWidth = 0;
    int m_nMaxListHeight = kMaxListHeight;
    int m_nReportedId = 0;
    CRect m_rcClient;
    CRect m_rcPopup;
    int m_nWheelSum = 0;
    BOOL m_bMoveNotice = FALSE;
    CPoint m_ptLastNotice{-1, -1};
};
