#pragma once

// One mixing panel: the levels at which the input sources are mixed into one
// output, a row (edit, hidden spin, horizontal slider) per source.  A change
// goes straight into the bound output's model; the change tracking carries
// it to the processor.  Clicks report the row to the mixer window.

#include "controls/BitmapSlider.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/win/Dialog.h"
#include "platform/win/ToolTipCtrl.h"

class CKTV_OutData;

class CRouteMixCom : public CDialog {
public:
    static constexpr UINT IDD = 966;
    static constexpr int kRows = 18;
    static constexpr int kShownRows = 16;

    struct Row {
        const char* tipEn; // nullptr: no tooltip
        const char* tipZh;
        int level; // the output's mix level 1..18
        UINT edit, slider, spin, channel;
    };
    static const Row kRowTable[kRows];

    CRouteMixCom();

    void InitLayoutA();
    void RefreshFromData();
    void ReleaseSliderBitmaps();

    CWnd* m_pOwner = nullptr;
    int m_nOutput = 0;
    CKTV_OutData* m_pOutData = nullptr;
    CNumEdit m_edit[kRows];
    CNumSpin m_spin[kRows];
    CBitmapSlider m_slider[kRows];
    CToolTipCtrl m_toolTip;
    CBitmap m_bmBackground;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    LRESULT OnSliderPosition(WPARAM id, LPARAM);
    LRESULT OnSliderTracking(WPARAM id, LPARAM position);
    void OnRowEdit(int row);
    void OnRowSpin(int row);
    void OnRowSliderClick(int row);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void ClickLogic();
    void SetLevel(int row, int value);
    void PostRow(int row);
};
