#pragma once

// The transfer progress bar: a ramp from red to blue in bands up to the
// position, the background colour beyond, optionally the percentage across
// it.  Bounds and position may be read and set from the communication
// thread; the window hears of a new position by a posted PBM_SETPOS.

#include "link/LinkProgress.h"
#include "platform/win/ProgressCtrl.h"

#include <atomic>

class CGradientProgressCtrl : public CProgressCtrl, public ILinkProgressBar {
public:
    CGradientProgressCtrl();

    // GUI thread only: the position goes back to the lower bound.
    void SetRange(int lower, int upper) override;
    // Any thread.  Clamped to at most the upper bound.
    void SetPos(int pos) override;
    int GetCurPos() const override { return m_nPos.load(); }
    int GetUpper() const override { return m_nUpper.load(); }
    int GetLower() const { return m_nLower.load(); }
    void SetShowPercent(int show) { m_bShowPercent = show; }

    // The percentage written across the bar: whole at the upper bound, with
    // two decimals below it.
    static CString PercentText(int pos, int lower, int upper);

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    HBRUSH CtlColor(CDC*, UINT) { return nullptr; }
    DECLARE_MESSAGE_MAP()

private:
    void DrawRamp(CDC* dc, const CRect& client, int filled);

    std::atomic<int> m_nLower{0};
    std::atomic<int> m_nUpper{100};
    std::atomic<int> m_nPos{0};
    COLORREF m_crStart = RGB(255, 0, 0);
    COLORREF m_crEnd = RGB(0, 0, 255);
    COLORREF m_crBack;
    COLORREF m_crText = RGB(0, 0, 0);
    int m_bShowPercent = 0;
};
