#pragma once

// The output page: the 31-band equaliser (parametric or graphic) and the
// high-pass and low-pass crossover of the current output g_nCurOutChannel,
// the plan of speaker positions that chooses the current output, and the
// output-map command.  Every edit goes to the model's setters and is
// repeated on the other outputs of the current output's link group.
//
// The page is large; its operations are split by concern:
//   OutputDlg.cpp            set-up, painting, keys, message map
//   OutputDlg_Display.cpp    loading an output into the controls, language
//   OutputDlg_Eq.cpp         band, bypass, mode and reset editing
//   OutputDlg_Crossover.cpp  crossover corners, hidden gain and delay edits
//   OutputDlg_Positions.cpp  speaker positions and the output map
//   OutputDlg_Focus.cpp      the focus ring of the edits

#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/BtnPng.h"
#include "controls/ComBoxBtn.h"
#include "controls/FStatic.h"
#include "controls/FontStatic.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/XPButton.h"
#include "pages/output/Changnal_Line.h"
#include "pages/output/DelayDlg.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/win/Dialog.h"
#include "platform/win/Static.h"

#include <vector>

class CFilter;
class CKTV_Data;
class CKTV_OutData;
class CTALQ50View;
class IOutputForm;

class COutputDlg : public CDialog {
public:
    static constexpr UINT kTemplate = 136;
    static constexpr int kBands = 31;
    // The crossover corners' numbers on the response graph, after the bands.
    static constexpr int kHighPassPoint = 31;
    static constexpr int kLowPassPoint = 32;
    static constexpr int kPositions = 24;

    explicit COutputDlg(CWnd* parent = nullptr) : CDialog(kTemplate, parent) {}
    ~COutputDlg() override;

    virtual BOOL ShowPage(int show);
    void SetChannelArray(CKTV_Data* data);
    void SetForm(IOutputForm* form) { m_pForm = form; }

    // Loading (OutputDlg_Display.cpp).
    void ShowChannel();
    void RefreshPage();
    void RefreshBands();
    void SetLanguage();
    void ShowBandBypass(int flat, int band);
    void UpdateBandThumbs();
    void ApplyEqMode(int mode);
    void HighlightBandLabel(int band, int on);
    void FocusBandLabel(int band);
    void HighlightBandEdit(int band, int row, int on);
    void ShowInputModePicture();
    void FillHighPassSlopes();
    // The band and crossover controls, from the output's data.
    void ShowBandsOf(CKTV_OutData* out);
    void ShowCrossoverOf(CKTV_OutData* out);

    // Equaliser editing (OutputDlg_Eq.cpp).
    void ApplyBandFreq(int band);
    void ApplyBandQ(int band);
    void ApplyBandGain(int band);
    void ApplyBandSlider(int band);
    void ToggleBandBypass(int band);
    void ToggleAllBypass();
    void SyncDraggedPoint(int filter);
    void ClearSelection();
    void ShowAllBypassState();
    void CopyBandFreqToGroup(int band, int hz);
    void CopyBandQToGroup(int band, int index);
    void CopyBandGainToGroup(int band, int index);
    void CopyBandFlatToGroup(int band, int flat);
    void CopyBandToGroup(int band, int hz, int bandwidth, int gain);
    void ApplyAllBypassToGroup();

    // Crossover, hidden gain and delay (OutputDlg_Crossover.cpp).
    void OnHighPassFamily();
    void OnHighPassSlope();
    void OnLowPassFamily();
    void OnLowPassSlope();
    void OnHighPassFreq();
    void OnLowPassFreq();
    void OnOutputGainEdit();
    void OnDelayMsEdit();
    void OnDelayCmEdit();
    void OnDelayInchEdit();
    void SetChannelEnable(int output, int state);
    void CopyHighPassFamilyToGroup(int family);
    void CopyHighPassSlopeToGroup(int slope);
    void CopyLowPassFamilyToGroup(int family);
    void CopyLowPassSlopeToGroup(int slope);
    void CopyHighPassFreqToGroup(int hz);
    void CopyLowPassFreqToGroup(int hz);

    // Speaker positions and the output map (OutputDlg_Positions.cpp).
    void SetPositionButton(int type, int checked, int output);
    void HidePositionButton(int type);
    void SetPositionSelected(int type, int selected);
    void RefreshPositionButtons();
    void ReleaseAllPositions();
    void OnOutputMap();
    void RefreshCrossover();
    // The button of a speaker type 1..24, nullptr for any other value.
    CBtnPng* PositionButton(int type);

    // Focus ring (OutputDlg_Focus.cpp).
    void MoveFocusNext(int id);
    void FocusBandEdit();

    // The other outputs of the current output's link group, ascending.
    std::vector<CKTV_OutData*> GroupPartners() const;
    CKTV_OutData* CurrentOutput();

    CTALQ50View* view = nullptr;

    // Members bound to template 136, in declaration order.
    CStatic m_stHidden[3];     // 5083, 5085, 5084
    CBitButton m_btnHidden[6]; // 5311, 4702, 4701, 4700, 4703, 4704
    CBtnPng m_btnPosition[kPositions];
    CBitButton m_btnInputMode;   // 5689
    CBitButton m_btnModePicture; // 5688
    CBitButton m_btnPolarity;    // 4001
    CNumSpin m_spinDelay[3];     // 4013-4015
    CNumEdit m_editDelay[3];     // 4010-4012
    CNumSpin m_spinGain;         // 4003
    CNumEdit m_editGain;         // 4002
    CBitmapSlider m_sliderGain;  // 4004
    CFStatic m_graph;            // 4000
    CXPButton m_btnResetEq;      // 5687
    CXPButton m_btnEqMode;       // 5686
    CNumSpin m_spinFreq[kBands]; // 5240-5270
    CNumEdit m_editFreq[kBands]; // 5200-5230
    CXPButton m_btnBypass[kBands];
    CXPButton m_btnAllBypass; // 1976
    CBitmapSlider m_sliderBand[kBands];
    CFontStatic m_label[kBands];
    CComBoxBtn m_cbLowFamily;  // 1011
    CComBoxBtn m_cbLowSlope;   // 1013
    CComBoxBtn m_cbHighFamily; // 1010
    CComBoxBtn m_cbHighSlope;  // 1012
    CNumSpin m_spinBandGain[kBands];
    CNumSpin m_spinQ[kBands];
    CNumEdit m_editBandGain[kBands];
    CNumEdit m_editQ[kBands];
    CNumSpin m_spinHighFreq;  // 1351
    CNumEdit m_editHighFreq;  // 1004
    CNumSpin m_spinLowFreq;   // 1352
    CNumEdit m_editLowFreq;   // 1005
    CBitmap m_bmBackgroundZh; // 287
    CBitmap m_bmBackgroundEn; // 286

    CKTV_Data* m_pData = nullptr;
    CKTV_OutData* m_pCurOut = nullptr;
    CFilter* m_pBand = nullptr;
    CFilter* m_pHighPass = nullptr;
    CFilter* m_pLowPass = nullptr;
    CFStatic* m_pGraph = nullptr;
    int m_nBandFreq = 0;
    int m_nBandWidth = 0;
    int m_nBandGain = 0;
    int m_nHighFamily = 0;
    int m_nHighSlope = 0;
    int m_nLowFamily = 0;
    int m_nLowSlope = 0;
    int m_nHighFreq = 20;
    int m_nLowFreq = 20000;
    int m_bAllBypassed = 0;
    int m_nPolarity = 0;
    CFontStatic* m_pHighlightLabel = nullptr;
    CNumEdit* m_pHighlightEdit = nullptr;
    int m_nEqMode = 0;
    CChangnal_Line m_curveStrip;
    CDelayDlg m_delayPanel;
    CRect m_rcPosition[4];

    // The output the last position click chose; -1 before the first.
    int m_nLastChosenOutput = -1;
    // The output whose position button carries the checked mark; -1 none.
    int m_nMarkedOutput = -1;
    // The input-mode picture shown; kept when the mode is out of range.
    int m_nShownInputMode = -1;

    static constexpr int kDelayMs = 0, kDelayCm = 1, kDelayInch = 2;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnOK() override {}
    void OnCancel() override {}
    void InitControls();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }

    // Message-map entries.
    void OnBandFreqCommand(UINT id);
    void OnBandQCommand(UINT id);
    void OnBandGainCommand(UINT id);
    void OnBandBypassCommand(UINT id);
    void OnAllBypass() { ToggleAllBypass(); }
    void OnEqModeSwitch();
    void OnResetAllEq();
    void OnPositionButton(UINT id);
    LRESULT OnSliderTracking(WPARAM id, LPARAM);
    LRESULT OnSliderPosition(WPARAM id, LPARAM);
    LRESULT OnEqPointDragged(WPARAM filter, LPARAM);
    LRESULT OnDropListSelected(WPARAM list, LPARAM);
    LRESULT OnDelayUnitChanged(WPARAM id, LPARAM unit);
    LRESULT OnEditMoveFocus(WPARAM id, LPARAM key);
    LRESULT OnEditNextRow(WPARAM id, LPARAM);
    LRESULT OnIgnored(WPARAM, LPARAM) { return 0; }
    DECLARE_MESSAGE_MAP()

private:
    void SyncDraggedCorner(int filter, bool released);
    // Shows a gain index on a band's spin and slider, clamped to what they
    // can show; the model keeps its value.  Returns the index shown.
    int ShowBandGainIndex(int band, int index);
    void FocusHighlightedEdit();
    void WarpPointerOffGraph();
    void MarkCurrentPosition();
    int SpeakerTypeOf(int output) const;

    IOutputForm* m_pForm = nullptr;
};
