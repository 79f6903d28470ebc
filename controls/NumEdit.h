#pragma once

// The numeric edit box, as far as a bitmap slider uses it as its buddy: the
// highlighted look while the slider has the focus.

#include "platform/win/Edit.h"

class CNumEdit : public CEdit {
public:
    // A changed flag is stored and the parent repaints (with erasing) the
    // edit's rectangle; the same flag again does nothing.
    void SetHighlight(BOOL highlight);
    BOOL GetHighlight() const { return m_bHighlight; }

private:
    BOOL m_bHighlight = FALSE;
};
