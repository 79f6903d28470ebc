#pragma once

// A label with its own colour, alignment and Arial height, drawn on the
// parent's background or, once a background colour is set, on that.

#include "platform/win/Static.h"

class CFontStatic : public CStatic {
public:
    CFontStatic() = default;

    // The face is accepted and not used: the text is always Arial.  With the
    // colour the label already has only the height is taken.  Flags: 0x20
    // centre, else 0x80 right, else 0x40 left; no alignment bit centres.
    void SetFontStyle(const CString& face, int height, COLORREF color, int flags);
    void SetBackColor(COLORREF color);
    void SetTextColor(COLORREF color);
    void SetText(CString text);

protected:
    void PreSubclassWindow() override;
    void OnPaint();
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    DECLARE_MESSAGE_MAP()

private:
    bool m_bFillBack = false;
    int m_bCenter = 1;
    int m_bLeft = 0;
    int m_bRight = 0;
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crBack = RGB(0, 0, 0);
    int m_nFontHeight = 14;
};
