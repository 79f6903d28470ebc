#pragma once

// One output strip of the main window: speaker type, on/off, gain fader and
// edit, delay, select, phase and group buttons of one output.  It changes no
// model value itself: it posts each change to its parent (the view), which
// applies it and calls the setters back.  The group button's clicks go to
// the link-group bookkeeping, the phase button opens the phase dialog.

#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/Globals.h"
#include "pages/output/PhaseSettingDlg.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/win/Dialog.h"
#include "platform/win/Menu.h"

class CKTV_OutData;

class COutRoute_Dlg : public CDialog {
public:
    static constexpr UINT IDD = 110;
    static constexpr int kMaxGain = 600;
    static constexpr int kMaxDelay = 384;

    explicit COutRoute_Dlg(CWnd* parent = nullptr);

    // Set-up and refresh by the view.
    void SetBackgroundBitmap(UINT id, int = 0, int = 0, int = 0);
    void SetSelectButtonBitmaps(UINT normal, UINT hover, UINT down);
    BOOL SetGainSliderChannel(UINT channel, UINT active, BOOL transparent, COLORREF mask, int x, int y);
    BOOL SetGainSliderThumb(UINT thumb, UINT active, BOOL transparent, COLORREF mask, int x, int y);
    void SetSelectLatched(BOOL latched);
    void UpdateTypeCaption();
    void SetPhaseButtonBitmaps(int chinese);
    void SetGain(int gain);
    void SetDelay(int delay);
    void SetEnable(int on);
    void SetDelayUnit(int unit);
    // The gain the strip shows since the last SetGain: the view offsets the
    // other members of a group by the difference to it.
    int GetShownGain() const { return m_nShownGain; }
    // The group button's latched picture: group `number` (1..12) in the
    // current language, 0 the grey one.
    void SetGroupImage(int number);

    // A gain or delay word as the strip can show it: below 0 is 0, above
    // the maximum the maximum.
    static int ClampGain(int gain);
    static int ClampDelay(int delay);

    // Read and written by the view.
    CWnd* m_pParent = nullptr;
    CKTV_OutData* m_pOutData = nullptr;
    CBitButton m_btnType;   // 2847
    CBitButton m_btnGroup;  // 2830
    CBitButton m_btnSelect; // 2636
    CBitButton m_btnEnable; // 1001
    CBitmap m_bmBackground;
    int m_nEnable = 1;
    int m_nOutput = 0;
    BYTE m_TypeStateSnapshot[kSpkTypeStateSize] = {};
    CPhaseSettingDlg m_dlgPhase;
    CNumEdit m_editGain;        // 2827
    CNumSpin m_spinGain;        // 2829
    CBitmapSlider m_sliderGain; // 2826
    CNumEdit m_editDelay;       // 2817
    CNumSpin m_spinDelay;       // 2828
    CBitButton m_btnPhase;      // 2825
    int m_GroupImagesZh[kOutputCount] = {1020, 1021, 1022, 1023, 1024, 1025,
                                         1026, 1027, 1101, 1102, 1103, 1104};
    int m_GroupImagesEn[kOutputCount] = {1028, 1029, 1030, 1031, 1032, 1033,
                                         1034, 1035, 1105, 1106, 1107, 1108};
    int m_nLastClickKind = 0; // 0 none, 1 single, 2 double

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnEnableClicked();
    void OnSelectClicked();
    void OnPhaseClicked();
    void OnTypeButtonClicked();
    void OnSpeakerTypeItem(UINT id);
    LRESULT OnGainSliderPosition(WPARAM id, LPARAM position);
    LRESULT OnGainSliderTracking(WPARAM id, LPARAM position);
    void OnGainEditChanged();
    void OnDelaySpinChanged();
    void OnDelayEditChanged();
    LRESULT OnGroupButtonClick(WPARAM kind, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    void DrawStrip(CDC* dc);
    void SetEnableImages(int on);
    void UpdateTypeMenuStates(int ownType);
    static CMenu* GetTypeSubMenu(int type);
    static int GetTypeMenuPos(int type);
    void Post(UINT message, LPARAM lParam);

    int m_nShownGain = 0;
};
