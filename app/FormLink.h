#pragma once

// The link's part of the view, with what its handle receives but does not
// handle itself passed on to the form.

#include "link/TALQ50View.h"

class CFormLink final : public CTALQ50View {
public:
    void SetFormWindow(HWND form) { m_hForm = form; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND m_hForm = nullptr;
};
