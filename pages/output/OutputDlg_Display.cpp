// Loading the current output into the page's controls, the highlights and
// the language.

#include "controls/SharedGdiObjects.h"
#include "model/DataDefine.h"
#include "model/Filter.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "pages/output/OutputDlg.h"

#include <algorithm>

namespace {

constexpr COLORREF kLabelNormal = RGB(177, 177, 177);
constexpr COLORREF kLabelHighlight = RGB(255, 0, 0);
constexpr int kGainIndexFlat = 200;
constexpr int kInputModes = 7;

const char* const kSlopes[8] = {"6dB/Oct",  "12dB/Oct", "18dB/Oct", "24dB/Oct",
                                "30dB/Oct", "36dB/Oct", "42dB/Oct", "48dB/Oct"};

const char* SlopeOffText() {
    return g_bChinese ? "关闭" : "OFF";
}

void FillSlopes(CComBoxBtn& list) {
    list.ResetContent();
    for (const char* s : kSlopes)
        list.AddString(s);
    list.AddString(SlopeOffText());
}

void FillFamilies(CComBoxBtn& list) {
    list.ResetContent();
    const char* const zh[3] = {"宁克", "巴特沃斯", "贝塞尔"};
    const char* const en[3] = {"Link_Ril", "Butter_W", "Bessel"};
    for (int i = 0; i < 3; ++i)
        list.AddString(g_bChinese ? zh[i] : en[i]);
}

} // namespace

int COutputDlg::ShowBandGainIndex(int band, int index) {
    const int shown = m_spinBandGain[band].ShowValue(index);
    m_sliderBand[band].SetPos(shown);
    return shown;
}

void COutputDlg::ShowBandsOf(CKTV_OutData* out) {
    m_bAllBypassed = out->IsAllBypassed();
    m_btnAllBypass.SetCheck(m_bAllBypassed);
    m_nEqMode = out->GetEqMode();
    m_btnEqMode.SetCheck(m_nEqMode);
    ApplyEqMode(m_nEqMode);
    for (int i = 0; i < kBands; ++i) {
        m_pBand = out->GetBand(i);
        m_nBandFreq = m_pBand->GetFrequency();
        m_nBandWidth = m_pBand->GetBandwidthIndex();
        m_nBandGain = m_pBand->GetGainIndex();
        m_spinFreq[i].ShowValue(m_nBandFreq);
        m_spinQ[i].ShowValue(m_nBandWidth);
        ShowBandGainIndex(i, m_nBandGain);
        m_pBand->SetLinkedSlider(&m_sliderBand[i]);
        ShowBandBypass(m_pBand->IsFlatOrBypassed(), i);
    }
}

void COutputDlg::ShowCrossoverOf(CKTV_OutData* out) {
    FillHighPassSlopes();
    m_pHighPass = out->GetHighPass();
    m_pLowPass = out->GetLowPass();
    m_nHighFreq = m_pHighPass->GetFrequency();
    m_nHighFamily = m_pHighPass->GetFamily();
    m_nHighSlope = m_pHighPass->GetSlope();
    m_spinHighFreq.ShowValue(m_nHighFreq);
    m_cbHighFamily.SetCurSel(m_nHighFamily);
    m_cbHighSlope.SetCurSel(m_nHighSlope);
    m_nLowFreq = m_pLowPass->GetFrequency();
    m_nLowFamily = m_pLowPass->GetFamily();
    m_nLowSlope = m_pLowPass->GetSlope();
    m_spinLowFreq.ShowValue(m_nLowFreq);
    m_cbLowFamily.SetCurSel(m_nLowFamily);
    m_cbLowSlope.SetCurSel(m_nLowSlope);
    UpdateBandThumbs();
}

void COutputDlg::ShowChannel() {
    if (!m_pData || !GetSafeHwnd())
        return;
    CKTV_OutData* out = CurrentOutput();
    ShowBandsOf(out);
    ShowCrossoverOf(out);
    HighlightBandLabel(0, 0);
    HighlightBandEdit(0, 0, 0);
    m_nPolarity = out->GetPolarity();
    m_btnPolarity.SetSelected(m_nPolarity);
    m_graph.SelectOutput(g_nCurOutChannel);
    ShowInputModePicture();
    MarkCurrentPosition();
    m_editDelay[kDelayCm].SetReadOnly(FALSE);
    m_editDelay[kDelayMs].SetReadOnly(FALSE);
    m_editDelay[kDelayInch].SetReadOnly(FALSE);
}

void COutputDlg::RefreshBands() {
    if (!m_pData || !GetSafeHwnd())
        return;
    CKTV_OutData* out = CurrentOutput();
    ShowBandsOf(out);
    HighlightBandLabel(0, 0);
    HighlightBandEdit(0, 0, 0);
}

void COutputDlg::RefreshPage() {
    ShowChannel();
    RefreshPositionButtons();
    m_btnHidden[2].SetSelected(g_OutLinkTable[0] != 0); // 4701
    m_btnHidden[3].SetSelected(g_bOutputMapLocked);     // 4700
}

void COutputDlg::ShowBandBypass(int flat, int band) {
    if (band < 0 || band >= kBands)
        return;
    if (flat) {
        m_btnBypass[band].SetCheck(1);
        m_spinBandGain[band].SetPos(kGainIndexFlat);
        m_editBandGain[band].SetWindowText("0.0");
        m_sliderBand[band].SetPos(kGainIndexFlat);
    } else {
        m_btnBypass[band].SetCheck(0);
    }
}

void COutputDlg::UpdateBandThumbs() {
    if (!m_pData)
        return;
    CKTV_OutData* out = CurrentOutput();
    const int mode = out->GetEqMode();
    const int high = out->GetHighPass()->GetFrequency();
    const int low = out->GetLowPass()->GetFrequency();
    for (int i = 0; i < kBands; ++i) {
        const int f = g_OutBandTable[i];
        if (mode != 0 && (f < high || f > low))
            m_sliderBand[i].SetBitmapThumb(612, 612, TRUE, CBitmapSlider::kMaskFromPixel, 0, 0);
        else
            m_sliderBand[i].SetBitmapThumb(611, 613, TRUE, CBitmapSlider::kMaskFromPixel, 0, 0);
    }
}

void COutputDlg::ApplyEqMode(int mode) {
    for (int i = 0; i < kBands; ++i) {
        m_editFreq[i].Enable(mode == 0);
        m_editQ[i].Enable(mode == 0);
    }
}

void COutputDlg::HighlightBandLabel(int band, int on) {
    if (m_pHighlightLabel)
        m_pHighlightLabel->SetFontStyle("Arial", 14, kLabelNormal, 1);
    if (!on) {
        m_pHighlightLabel = nullptr;
        return;
    }
    if (band < 0 || band >= kBands)
        return;
    m_pHighlightLabel = &m_label[band];
    m_pHighlightLabel->SetFontStyle("Arial", 14, kLabelHighlight, 1);
}

void COutputDlg::FocusBandLabel(int band) {
    HighlightBandLabel(band, 1);
    m_graph.Redraw(band);
}

void COutputDlg::HighlightBandEdit(int band, int row, int on) {
    if (m_pHighlightEdit)
        m_pHighlightEdit->SetHighlight(FALSE);
    if (!on || band < 0 || band >= kBands) {
        m_pHighlightEdit = nullptr;
        return;
    }
    CNumEdit* rows[3] = {&m_editFreq[band], &m_editQ[band], &m_editBandGain[band]};
    m_pHighlightEdit = rows[std::clamp(row, 0, 2)];
    m_pHighlightEdit->SetHighlight(TRUE);
}

void COutputDlg::ShowInputModePicture() {
    // An unknown mode keeps the picture shown; it has none of its own.
    if (g_nInputMode < 0 || g_nInputMode >= kInputModes)
        return;
    m_nShownInputMode = g_nInputMode;
    const UINT id = UINT((g_bChinese ? 459 : 452) + g_nInputMode);
    m_btnModePicture.SetDisabledBitmaps(id, id);
}

void COutputDlg::FillHighPassSlopes() {
    FillSlopes(m_cbHighSlope);
}

void COutputDlg::SetLanguage() {
    m_nLowFamily = m_cbLowFamily.GetCurSel();
    FillFamilies(m_cbLowFamily);
    m_cbLowFamily.SetCurSel(m_nLowFamily);
    m_nLowSlope = m_cbLowSlope.GetCurSel();
    FillSlopes(m_cbLowSlope);
    m_cbLowSlope.SetCurSel(m_nLowSlope);
    m_nHighFamily = m_cbHighFamily.GetCurSel();
    FillFamilies(m_cbHighFamily);
    m_cbHighFamily.SetCurSel(m_nHighFamily);
    m_nHighSlope = m_cbHighSlope.GetCurSel();
    FillHighPassSlopes();
    m_cbHighSlope.SetCurSel(m_nHighSlope);

    g_menuSpkType.DestroyMenu();
    g_menuSpkType.LoadMenu(g_bChinese ? 106 : 107);

    if (g_bChinese) {
        m_btnResetEq.SetBitmaps(7004, 7003, 7003, 7004, 7003, 7003);
        m_btnAllBypass.SetBitmaps(7002, 7001, 7001, 7000, 7005, 7005);
        m_btnEqMode.SetBitmaps(746, 745, 745, 744, 747, 747);
    } else {
        m_btnResetEq.SetBitmaps(359, 360, 360, 359, 360, 360);
        m_btnAllBypass.SetBitmaps(8822, 8823, 8823, 8820, 8821, 8821);
        m_btnEqMode.SetBitmaps(742, 741, 741, 740, 743, 743);
    }
    m_btnHidden[0].SetSelected(g_bChinese); // 5311
    for (CNumEdit& e : m_editDelay)
        e.RefreshLanguage();
    m_editGain.RefreshLanguage();
    ShowInputModePicture();
    if (m_delayPanel.GetSafeHwnd())
        m_delayPanel.SetUnitButtons(m_delayPanel.GetUnitState(CDelayDlg::kMs),
                                    m_delayPanel.GetUnitState(CDelayDlg::kCm),
                                    m_delayPanel.GetUnitState(CDelayDlg::kInch));
    Invalidate(FALSE);
}
