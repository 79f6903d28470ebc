// The crossover of the current output (family, slope and corners, repeated
// on the link group), the hidden output-gain and delay edits, and the
// strips' delay unit.

#include "model/Filter.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "pages/output/OutputDlg.h"
#include "pages/output/OutputForm.h"
#include "platform/sys/UserMessages.h"

#include <algorithm>

namespace {

bool IsTweeter(int type) {
    return type == 1 || type == 7 || type == 13 || type == 16 || type == 19;
}

} // namespace

int COutputDlg::SpeakerTypeOf(int output) const {
    return g_SpkTypeState[kSpkTypeOutputBase + output];
}

LRESULT COutputDlg::OnDropListSelected(WPARAM list, LPARAM) {
    switch (list) {
    case 1014:
        OnHighPassFamily();
        break;
    case 1015:
        OnHighPassSlope();
        break;
    case 1016:
        OnLowPassFamily();
        break;
    case 1017:
        OnLowPassSlope();
        break;
    default:
        return 0;
    }
    HighlightBandLabel(-1, 0);
    return 0;
}

void COutputDlg::CopyHighPassFamilyToGroup(int family) {
    for (CKTV_OutData* out : GroupPartners())
        out->GetHighPass()->SetFamily(family, 1);
}

void COutputDlg::CopyHighPassSlopeToGroup(int slope) {
    for (CKTV_OutData* out : GroupPartners())
        out->GetHighPass()->SetSlope(slope, 1);
}

void COutputDlg::CopyLowPassFamilyToGroup(int family) {
    for (CKTV_OutData* out : GroupPartners())
        out->GetLowPass()->SetFamily(family, 1);
}

void COutputDlg::CopyLowPassSlopeToGroup(int slope) {
    for (CKTV_OutData* out : GroupPartners())
        out->GetLowPass()->SetSlope(slope, 1);
}

// Each partner's corner is limited by that partner's own other corner; one
// partner's limit says nothing about the next.
void COutputDlg::CopyHighPassFreqToGroup(int hz) {
    for (CKTV_OutData* out : GroupPartners())
        out->GetHighPass()->SetFreq(std::min(hz, out->GetLowPass()->GetFrequency()), 1);
}

void COutputDlg::CopyLowPassFreqToGroup(int hz) {
    for (CKTV_OutData* out : GroupPartners())
        out->GetLowPass()->SetFreq(std::max(hz, out->GetHighPass()->GetFrequency()), 1);
}

void COutputDlg::OnHighPassFamily() {
    if (!m_pData)
        return;
    const int n = m_cbHighFamily.GetCurSel();
    m_nHighFamily = n;
    CFilter* f = CurrentOutput()->GetHighPass();
    if (n != f->GetFamily()) {
        f->SetFamily(n, 1);
        CopyHighPassFamilyToGroup(n);
    }
    m_graph.Redraw(31);
    g_bOutChanged[g_nCurOutChannel] = 1;
}

void COutputDlg::OnHighPassSlope() {
    if (!m_pData)
        return;
    const int n = m_cbHighSlope.GetCurSel();
    m_nHighSlope = n;
    CFilter* f = CurrentOutput()->GetHighPass();
    if (n != f->GetSlope()) {
        f->SetSlope(n, 1);
        CopyHighPassSlopeToGroup(n);
    }
    m_graph.Redraw(31);
    g_bOutChanged[g_nCurOutChannel] = 1;
}

void COutputDlg::OnLowPassFamily() {
    if (!m_pData)
        return;
    const int n = m_cbLowFamily.GetCurSel();
    m_nLowFamily = n;
    CFilter* f = CurrentOutput()->GetLowPass();
    if (n != f->GetFamily()) {
        f->SetFamily(n, 1);
        CopyLowPassFamilyToGroup(n);
    }
    m_graph.Redraw(32);
    g_bOutChanged[g_nCurOutChannel] = 1;
}

void COutputDlg::OnLowPassSlope() {
    if (!m_pData)
        return;
    const int n = m_cbLowSlope.GetCurSel();
    m_nLowSlope = n;
    CFilter* f = CurrentOutput()->GetLowPass();
    if (n != f->GetSlope()) {
        f->SetSlope(n, 1);
        CopyLowPassSlopeToGroup(n);
    }
    m_graph.Redraw(32);
    g_bOutChanged[g_nCurOutChannel] = 1;
}

void COutputDlg::OnHighPassFreq() {
    if (!m_pData)
        return;
    CKTV_OutData* out = CurrentOutput();
    int v = m_spinHighFreq.GetPos();
    if (IsTweeter(SpeakerTypeOf(g_nCurOutChannel)) && v < 20) {
        v = 20;
        m_spinHighFreq.SetPos(20);
    }
    CFilter* high = out->GetHighPass();
    if (v != high->GetFrequency()) {
        const int low = out->GetLowPass()->GetFrequency();
        if (v > low) {
            v = low;
            m_spinHighFreq.ShowValue(low);
        }
        high->SetFreq(v, 1);
        m_nHighFreq = v;
        UpdateBandThumbs();
        CopyHighPassFreqToGroup(v);
    }
    m_graph.Redraw(31);
    HighlightBandLabel(-1, 0);
    g_bOutChanged[g_nCurOutChannel] = 1;
}

void COutputDlg::OnLowPassFreq() {
    if (!m_pData)
        return;
    CKTV_OutData* out = CurrentOutput();
    int v = m_spinLowFreq.GetPos();
    CFilter* low = out->GetLowPass();
    if (v != low->GetFrequency()) {
        const int high = out->GetHighPass()->GetFrequency();
        if (v < high) {
            v = high;
            m_spinLowFreq.ShowValue(high);
        }
        low->SetFreq(v, 1);
        m_nLowFreq = v;
        UpdateBandThumbs();
        CopyLowPassFreqToGroup(v);
    }
    m_graph.Redraw(32);
    HighlightBandLabel(-1, 0);
    g_bOutChanged[g_nCurOutChannel] = 1;
}

void COutputDlg::SyncDraggedCorner(int filter, bool released) {
    const bool high = filter == kHighPassPoint;
    HighlightBandLabel(-1, 0);
    CKTV_OutData* out = CurrentOutput();
    const int stored = (high ? out->GetHighPass() : out->GetLowPass())->GetFrequency();
    // The partners get the corner as the edit shows it.
    const int f = (high ? m_spinHighFreq : m_spinLowFreq).ShowValue(stored);
    if (high) {
        m_nHighFreq = stored;
        CopyHighPassFreqToGroup(f);
    } else {
        m_nLowFreq = stored;
        CopyLowPassFreqToGroup(f);
    }
    UpdateBandThumbs();
    m_graph.Redraw(filter);
    CNumEdit& edit = high ? m_editHighFreq : m_editLowFreq;
    if (m_pHighlightEdit)
        m_pHighlightEdit->SetHighlight(FALSE);
    edit.SetHighlight(TRUE);
    m_pHighlightEdit = &edit;
    if (released)
        edit.SetFocus();
}

void COutputDlg::OnOutputGainEdit() {
    if (!m_pData)
        return;
    CKTV_OutData* out = CurrentOutput();
    const int v = m_spinGain.GetPos();
    if (v != out->GetGain()) {
        out->SetGain(WORD(v));
        if (out->GetEnable() == 0)
            out->SetEnable(1);
    }
    m_sliderGain.SetPos(v);
}

// A delay typed in one unit shows in the other two.
static void CommitDelay(COutputDlg& page, int from) {
    CKTV_OutData* out = page.CurrentOutput();
    if (!out)
        return;
    const int v = page.m_spinDelay[from].GetPos();
    for (int i = 0; i < 3; ++i)
        if (i != from)
            page.m_spinDelay[i].SetPos(v);
    if (v != out->GetDelay())
        out->SetDelay(WORD(v));
}

void COutputDlg::OnDelayMsEdit() {
    CommitDelay(*this, kDelayMs);
}

void COutputDlg::OnDelayCmEdit() {
    CommitDelay(*this, kDelayCm);
}

void COutputDlg::OnDelayInchEdit() {
    CommitDelay(*this, kDelayInch);
}

LRESULT COutputDlg::OnDelayUnitChanged(WPARAM id, LPARAM unit) {
    if (unit < 1 || unit > 3)
        return 0;
    if (m_pForm)
        m_pForm->UpdatePanels(id, int(unit));
    return 0;
}

void COutputDlg::SetChannelEnable(int output, int state) {
    if (!m_pData || output < 0 || output >= kOutputCount)
        return;
    CKTV_OutData* out = m_pData->GetOutput(output);
    if (out->GetEnable() != state)
        out->SetEnable(BYTE(state));
}
