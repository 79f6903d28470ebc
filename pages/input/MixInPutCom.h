#pragma once

// The mixer window: twelve mixing panels, one per output; those of outputs
// 1-8 side by side, those of 9-12 made and refreshed but hidden.  Every
// showing makes the panels anew and reads their levels again.

#include "pages/input/RouteMixCom.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/win/Dialog.h"

class CKTV_Data;

class CMixInPutCom : public CDialog {
public:
    static constexpr UINT IDD = 965;
    static constexpr int kPanels = 12;
    static constexpr int kShownPanels = 8;
    // Panel i's left edge: 97 pixels apart, one more from panel 6 on.
    static int PanelX(int i) { return (i < 6 ? 107 : 108) + 97 * i; }
    static constexpr RECT kLabelColumn = {10, 20, 80, 448};

    CMixInPutCom();

    CKTV_Data* m_pModel = nullptr;
    CBitmap m_bmBackZh;
    CBitmap m_bmBackEn;
    CRouteMixCom m_Panels[kPanels];

protected:
    BOOL OnInitDialog() override;

    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    LRESULT OnSysCommand(WPARAM command, LPARAM);
    LRESULT OnMixRowSelected(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};
