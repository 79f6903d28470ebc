#pragma once

// The link's part of the view.  Its handle receives the link's own notices
// and a few messages meant for the form, and the form hands it the commands
// that belong to the link; FormLink.cpp routes both in one place.

#include "link/TALQ50View.h"

class CFormLink final : public CTALQ50View {
public:
    enum class Route { Link, Form, Both };

    void SetFormWindow(HWND form) { m_hForm = form; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Who handles a message that reached the link's handle.
    static Route RouteOf(UINT message);
    // A command of the form's (WM_COMMAND's wParam): true when it was the
    // link's and the link handled it.
    bool TakeCommand(WPARAM wParam);

private:
    HWND m_hForm = nullptr;
};
