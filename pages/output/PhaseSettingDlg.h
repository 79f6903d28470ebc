#pragma once

// The phase dialog of one output: polarity, phase shift (20..200, shown as
// (v - 20) x 2 degrees) and frequency (20..20000 Hz).  Every change goes
// straight into the output's model object; closing keeps everything.

#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/win/Dialog.h"

class CKTV_OutData;

class CPhaseSettingDlg : public CDialog {
public:
    static constexpr UINT IDD = 1137;
    static constexpr int kMinShift = 20, kMaxShift = 200;
    static constexpr int kMinFreq = 20, kMaxFreq = 20000;

    CPhaseSettingDlg();

    CBitmapSlider m_sliderFreq;     // 2854
    CBitmapSlider m_sliderPolarity; // 2853
    CBitmapSlider m_sliderShift;    // 2850
    CNumSpin m_spinFreq;            // 2849
    CNumSpin m_spinShift;           // 2848
    CNumEdit m_editFreq;            // 2807
    CNumEdit m_editShift;           // 2806
    CBitButton m_btnPolarity;       // 2819
    int m_nOutput = 0;
    CKTV_OutData* m_pOutData = nullptr;
    CBitmap m_bmBackZh;
    CBitmap m_bmBackEn;
    CString m_strName;        // the output's name in the header: its speaker-type caption
    CWnd* m_pOwner = nullptr; // the strip that opened it

    // The header as drawn at (280, 40).
    CString HeaderText() const;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    void OnPaint();
    void OnDestroy();
    void OnPolarityClicked();
    void OnShiftEdit();
    void OnShiftSpin();
    void OnFreqEdit();
    void OnFreqSpin();
    LRESULT OnSliderPosition(WPARAM id, LPARAM);
    LRESULT OnSliderTracking(WPARAM id, LPARAM position);
    DECLARE_MESSAGE_MAP()

private:
    void SetPolarityPictures(int polarity);
    void ApplyShift(int value);
    void ApplyFreq(int value);
    int StoredShift() const;
    int StoredFreq() const;
};
