#pragma once

// A radio button or check box with a transparent background, so it can sit on
// a skin picture: it answers its parent's colour request itself.

#include "platform/win/Button.h"

class CButtonRadio : public CButton {
public:
    void SetTextColor(COLORREF color) { m_crText = color; }

protected:
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    DECLARE_MESSAGE_MAP()

private:
    COLORREF m_crText = 0;
};
