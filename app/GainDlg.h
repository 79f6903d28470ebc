#pragma once

// The master volume strip of the main window: the volume in dB as a number
// and as a fader, and the master mute.  Every change of the volume is posted
// to the parent as UM_MASTER_GAIN_CHANGED (the panel's own id, 0..66); the
// mute writes the master-on flag itself and has the system block sent.

#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "platform/win/Dialog.h"

class CTALQ50View;
class CKTV_Data;

class CGainDlg : public CDialog {
public:
    static constexpr UINT IDD = 737;
    static constexpr int kMaxValue = 66;

    CGainDlg() : CDialog(IDD) {}

    void SetFaderBitmaps(UINT channel, UINT active, BOOL transparent, COLORREF mask, int x, int y);
    void SetFaderThumb(UINT thumb, UINT active, BOOL transparent, COLORREF mask, int x, int y);
    void SetFaderRange(int lowOffset, int maximum, BOOL redraw);
    // The fader, the number and the spin's position all take the value.
    void SetFaderPos(int value);
    int GetFaderPos() const;

    BOOL PreTranslateMessage(MSG* msg) override;

    CTALQ50View* m_pView = nullptr;
    CKTV_Data* m_pData = nullptr; // kept beside the view; the panel does not use it

    CNumEdit m_edit;
    CNumSpin m_spin;
    CBitmapSlider m_fader;
    CBitButton m_btnMute;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    LRESULT OnSliderPosition(WPARAM id, LPARAM);
    LRESULT OnSliderTracking(WPARAM id, LPARAM);
    void OnValueEntered();
    void OnMute();
    DECLARE_MESSAGE_MAP()

private:
    void PostValue(int value);

    // Chinese, English; normal, then while a locked preset is live.
    CBitmap m_bmBackground[2][2];
};
