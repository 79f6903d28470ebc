#pragma once

// The frame inside the main window that holds the main view.  It is shown
// maximised, so it always covers the main window's client area, and the view
// covers it.

#include "platform/win/Wnd.h"

#include <memory>

class CTALQ50Doc;
class CTALQ50Form;

class CChildFrame : public CWnd {
public:
    CChildFrame();
    ~CChildFrame() override;

    // Creates the frame in `mainFrame` and the view on `doc` inside it; the
    // view's start-up runs before this returns.
    BOOL LoadFrame(CWnd* mainFrame, CTALQ50Doc* doc);
    // Covers the parent's client area.
    void ShowMaximized();
    CTALQ50Form* GetView() const { return m_pView.get(); }

protected:
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnSettingChange(WPARAM flags, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    std::unique_ptr<CTALQ50Form> m_pView;
};
