#pragma once

// The main window: a top-level window without caption, border or menu bar,
// of fixed size, clipped by a region that cuts the outermost pixels off the
// left, right and bottom edges.  Its only child is the child frame that holds
// the main view; the view draws its own title strip.

#include "platform/win/Wnd.h"

class CMainFrame : public CWnd {
public:
    static constexpr int kWidth = 1282;
    static constexpr int kHeight = 732;
    // The size a display change leaves the window at.
    static constexpr int kDisplayChangeWidth = 1254;
    static constexpr int kDisplayChangeHeight = 706;

    // Creates the window at its fixed size, centred on the desktop.
    BOOL LoadFrame();
    // The child frame to keep covering the client area.
    void SetChildFrame(CWnd* child) { m_pChild = child; }

protected:
    int OnCreate(void* createStruct);
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnDisplayChange(WPARAM, LPARAM);
    LRESULT OnSettingChange(WPARAM flags, LPARAM lParam);
    LRESULT OnNcDestroyMsg(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    void ApplyRegion();

    CWnd* m_pChild = nullptr;
};
