#pragma once

// The list of a drop-down popup: owner-drawn entries on a dark background,
// the entry under the mouse highlighted.  It remembers the selection its
// button last reported, so a selection change that was not a pick can be
// taken back.

#include "platform/win/ListBox.h"

#include <memory>
#include <vector>

class CDropListBox : public CListBox {
public:
    CDropListBox() = default;
    ~CDropListBox() override;

    // Only the first call counts: the font (borrowed) becomes the list's
    // font and its height the entries' height.
    void SetListFont(CFont* font);
    int AddItem(const CString& text);
    void ResetContent();
    void SetCurSelIndex(int index) { m_nRemembered = index; }
    int GetCurSelIndex() const { return m_nRemembered; }

    void DrawItem(LPDRAWITEMSTRUCT dis) override;
    void MeasureItem(void*) override {}

    static constexpr COLORREF kBack = RGB(27, 34, 50);
    static constexpr COLORREF kHighlight = RGB(13, 133, 138);

protected:
    int OnCreate(void* createStruct);
    void OnMouseMove(UINT flags, CPoint point);
    void OnKillFocus(CWnd* next);
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    DECLARE_MESSAGE_MAP()

private:
    struct ItemRecord {
        COLORREF text = RGB(255, 255, 255);
        COLORREF highlightedText = RGB(255, 255, 255);
    };

    int m_nRemembered = 0;
    std::vector<std::unique_ptr<ItemRecord>> m_records;
    CFont* m_pFont = nullptr;
    CPen m_pen;
    CBrush m_brBack;
    CBrush m_brHighlight;
};
