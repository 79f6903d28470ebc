// Editing the equaliser of the current output: band values, bypass, ALL
// BYPASS, graph drags, the mode switch and the reset.  Every change is
// repeated with the same setter on the other outputs of the current
// output's link group.

#include "link/TALQ50View.h"
#include "model/Filter.h"
#include "model/Globals.h"
#include "model/KTV_OutData.h"
#include "pages/output/OutputDlg.h"
#include "platform/sys/MessageBox.h"

#include <utility>

namespace {

bool AskYesNo(const CString& zh, const CString& en) {
    return AfxMessageBox(g_bChinese ? zh : en, MB_YESNO, g_bChinese ? -2 : -3) == IDYES;
}

} // namespace

void COutputDlg::CopyBandFreqToGroup(int band, int hz) {
    for (CKTV_OutData* out : GroupPartners())
        out->GetBand(band)->SetFreq(hz, 1);
}

void COutputDlg::CopyBandQToGroup(int band, int index) {
    for (CKTV_OutData* out : GroupPartners())
        out->GetBand(band)->SetBandwidthIndex(index);
}

void COutputDlg::CopyBandGainToGroup(int band, int index) {
    for (CKTV_OutData* out : GroupPartners())
        out->GetBand(band)->SetGainIndex(index);
}

void COutputDlg::CopyBandFlatToGroup(int band, int flat) {
    for (CKTV_OutData* out : GroupPartners())
        out->GetBand(band)->SetFlat(flat);
}

void COutputDlg::CopyBandToGroup(int band, int hz, int bandwidth, int gain) {
    for (CKTV_OutData* out : GroupPartners()) {
        CFilter* f = out->GetBand(band);
        f->SetFreq(hz, 1);
        f->SetBandwidthIndex(bandwidth);
        f->SetGainIndex(gain);
    }
    m_graph.Redraw(-1);
}

void COutputDlg::ShowAllBypassState() {
    m_bAllBypassed = CurrentOutput()->IsAllBypassed();
    m_btnAllBypass.SetCheck(m_bAllBypassed);
}

void COutputDlg::ClearSelection() {
    HighlightBandLabel(0, 0);
    HighlightBandEdit(0, 0, 0);
    m_graph.m_pSelFilter = nullptr;
    m_graph.Redraw(-1);
}

void COutputDlg::FocusHighlightedEdit() {
    if (m_pHighlightEdit)
        m_pHighlightEdit->SetFocus();
}

void COutputDlg::ApplyBandFreq(int band) {
    if (band < 0 || band >= kBands || !m_pData)
        return;
    CFilter* f = CurrentOutput()->GetBand(band);
    const int v = m_spinFreq[band].GetPos();
    if (v != f->GetFrequency()) {
        f->SetFreq(v, 1);
        CopyBandFreqToGroup(band, v);
    }
    m_graph.Redraw(band);
    HighlightBandLabel(band, 1);
    HighlightBandEdit(band, 0, 1);
    g_bOutChanged[g_nCurOutChannel] = 1;
}

void COutputDlg::ApplyBandQ(int band) {
    if (band < 0 || band >= kBands || !m_pData)
        return;
    CFilter* f = CurrentOutput()->GetBand(band);
    const int v = m_spinQ[band].GetPos();
    if (v != f->GetBandwidthIndex()) {
        f->SetBandwidthIndex(v);
        CopyBandQToGroup(band, v);
    }
    m_graph.Redraw(band);
    HighlightBandLabel(band, 1);
    HighlightBandEdit(band, 1, 1);
    g_bOutChanged[g_nCurOutChannel] = 1;
}

// The common step of a gain from the edit, the spin or the slider.
static void CommitGain(COutputDlg& page, CFilter* f, int band, int v) {
    if (v == f->GetGainIndex())
        return;
    f->SetGainIndex(v);
    page.ShowBandBypass(f->IsFlatOrBypassed(), band);
    page.CopyBandGainToGroup(band, v);
    page.ShowAllBypassState();
}

void COutputDlg::ApplyBandGain(int band) {
    if (band < 0 || band >= kBands || !m_pData)
        return;
    CFilter* f = CurrentOutput()->GetBand(band);
    const int v = m_spinBandGain[band].GetPos();
    m_sliderBand[band].SetPos(v);
    CommitGain(*this, f, band, v);
    m_graph.Redraw(band);
    HighlightBandLabel(band, 1);
    HighlightBandEdit(band, 2, 1);
    g_bOutChanged[g_nCurOutChannel] = 1;
}

void COutputDlg::ApplyBandSlider(int band) {
    if (band < 0 || band >= kBands || !m_pData)
        return;
    CFilter* f = CurrentOutput()->GetBand(band);
    const int v = m_sliderBand[band].GetPos();
    m_spinBandGain[band].SetPos(v);
    CommitGain(*this, f, band, v);
    m_graph.Redraw(band);
    HighlightBandLabel(band, 1);
    HighlightBandEdit(band, 2, 1);
}

LRESULT COutputDlg::OnSliderTracking(WPARAM id, LPARAM) {
    if (!m_pData)
        return 1;
    CurrentOutput();
    if (id >= 5100 && id <= 5130)
        ApplyBandSlider(int(id - 5100));
    g_bOutChanged[g_nCurOutChannel] = 1;
    return 1;
}

LRESULT COutputDlg::OnSliderPosition(WPARAM id, LPARAM) {
    if (!m_pData)
        return 1;
    CurrentOutput();
    if (id >= 5100 && id <= 5130) {
        ApplyBandSlider(int(id - 5100));
        FocusHighlightedEdit();
    }
    g_bOutChanged[g_nCurOutChannel] = 1;
    return 1;
}

void COutputDlg::ToggleBandBypass(int band) {
    if (band < 0 || band >= kBands || !m_pData)
        return;
    CFilter* f = CurrentOutput()->GetBand(band);
    f->SetFlat(m_btnBypass[band].GetCheck() ? 0 : 1);
    const int s = f->IsFlatOrBypassed();
    if (s) {
        ShowBandBypass(1, band);
    } else {
        ShowBandGainIndex(band, f->GetGainIndex());
        m_btnBypass[band].SetCheck(0);
    }
    CopyBandFlatToGroup(band, s);
    ShowAllBypassState();
    m_graph.Redraw(band);
    HighlightBandLabel(band, 1);
    HighlightBandEdit(band, 2, 1);
    FocusHighlightedEdit();
    g_bOutChanged[g_nCurOutChannel] = 1;
}

void COutputDlg::ApplyAllBypassToGroup() {
    const std::intptr_t group = g_OutLinkTable[1 + g_nCurOutChannel];
    if (group == 0)
        return;
    for (int k = 0; k < kOutputCount; ++k) {
        if (g_OutLinkTable[1 + k] != group)
            continue;
        if (k != g_nCurOutChannel)
            if (auto* out = reinterpret_cast<CKTV_OutData*>(g_OutLinkTable[13 + k]))
                out->BypassAllBands(m_bAllBypassed);
        if (view)
            view->SendOutputChannelChecked(k, 0);
    }
}

void COutputDlg::ToggleAllBypass() {
    if (!m_pData)
        return;
    ClearSelection();
    CKTV_OutData* out = CurrentOutput();
    const int v = m_btnAllBypass.GetCheck() ? 0 : 1;
    out->BypassAllBands(v);
    if (v == 0 && out->IsAllBypassed()) {
        // Nothing to restore: every band is flat or was bypassed before.
        out->BypassAllBands(1);
        m_btnAllBypass.SetCheck(1);
        return;
    }
    const int a = out->IsAllBypassed();
    m_bAllBypassed = a;
    const bool yes =
        a ? AskYesNo(g_strBypassEqZh, g_strBypassEqEn) : AskYesNo(g_strRestoreEqZh, g_strRestoreEqEn);
    if (!yes) {
        out->BypassAllBands(!a);
        m_bAllBypassed = !a;
        m_btnAllBypass.SetCheck(!a);
        return;
    }
    for (int k = 0; k < kBands; ++k) {
        CFilter* f = out->GetBand(k);
        if (!a)
            ShowBandGainIndex(k, f->GetGainIndex());
        ShowBandBypass(f->IsFlatOrBypassed(), k);
    }
    if (view) {
        view->SendOutputChannelData(g_nCurOutChannel);
        view->SendOutputChannel(g_nCurOutChannel);
    }
    ApplyAllBypassToGroup();
    m_btnAllBypass.SetCheck(a);
    m_graph.Redraw(-1);
    g_bOutChanged[g_nCurOutChannel] = 1;
}

LRESULT COutputDlg::OnEqPointDragged(WPARAM filter, LPARAM) {
    SyncDraggedPoint(int(filter));
    return 0;
}

void COutputDlg::SyncDraggedPoint(int b) {
    if (!m_pData || b < 0 || (b >= kBands && b != kHighPassPoint && b != kLowPassPoint))
        return;
    // Taken before anything that could show a box: the graph posts this
    // notice at every tick until the flag is cleared, also while a box is open.
    const bool released = std::exchange(m_graph.m_bButtonUp, 0) != 0;
    if (b == kHighPassPoint || b == kLowPassPoint) {
        SyncDraggedCorner(b, released);
        return;
    }
    CFilter* band = CurrentOutput()->GetBand(b);
    const int s = band->IsFlatOrBypassed();
    const int shownF = m_spinFreq[b].GetPos();
    const int shownW = m_spinQ[b].GetPos();
    const int shownG = m_spinBandGain[b].GetPos();
    const int shownS = m_btnBypass[b].GetCheck();
    // The partners get the band as its column shows it, within the page's
    // ranges, whatever a file or the processor stored.
    const int f = m_spinFreq[b].ShowValue(band->GetFrequency());
    const int w = m_spinQ[b].ShowValue(band->GetBandwidthIndex());
    const int g = ShowBandGainIndex(b, band->GetGainIndex());
    ShowBandBypass(s, b);
    // A click without a drag leaves the band as its column showed it; only a
    // band that really changed goes to the partners.
    if (f != shownF || w != shownW || g != shownG || s != shownS)
        CopyBandToGroup(b, f, w, g);
    else
        m_graph.Redraw(-1);
    ShowAllBypassState();
    HighlightBandLabel(b, 1);
    HighlightBandEdit(b, 2, 1);
    if (released)
        FocusHighlightedEdit();
    g_bOutChanged[g_nCurOutChannel] = 1;
}

void COutputDlg::OnEqModeSwitch() {
    if (!m_pData)
        return;
    const int f = m_btnEqMode.GetCheck() ? 0 : 1;
    if (!(f ? AskYesNo(g_strPeqToGeqZh, g_strPeqToGeqEn) : AskYesNo(g_strGeqToPeqZh, g_strGeqToPeqEn)))
        return;
    m_btnEqMode.SetCheck(f);
    ApplyEqMode(f);
    m_nEqMode = f;
    CurrentOutput()->SetEqMode(BYTE(f));
    UpdateBandThumbs();
    if (view)
        view->ResetOutputEq();
    m_graph.Redraw(-1);
}

void COutputDlg::OnResetAllEq() {
    if (!AskYesNo(g_strResetEqZh, g_strResetEqEn))
        return;
    if (view)
        view->ResetOutputEq();
    m_graph.Redraw(-1);
}
