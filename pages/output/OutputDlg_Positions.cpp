// The plan of speaker positions that chooses the current output, and the
// output-map command that empties or restores every output's speaker type.

#include "link/TALQ50View.h"
#include "model/Filter.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/SpkType.h"
#include "pages/output/OutputDlg.h"
#include "pages/output/OutputForm.h"
#include "pages/output/OutputPositions.h"
#include "pages/output/ReMap_Dlg.h"
#include "platform/sys/UserMessages.h"

#include <algorithm>
#include <mutex>

namespace {

constexpr int kPlanOutputs = 8; // outputs 9 to 12 have no place on the plan

bool IsPositionType(int type) {
    return type >= 1 && type <= 24;
}

} // namespace

CBtnPng* COutputDlg::PositionButton(int type) {
    if (!IsPositionType(type))
        return nullptr;
    const UINT id = kPositionButtonOfType[type];
    for (int i = 0; i < kPositions; ++i)
        if (kPositionBindOrder[i] == id)
            return &m_btnPosition[i];
    return nullptr;
}

void COutputDlg::SetPositionButton(int type, int checked, int output) {
    if (CBtnPng* b = PositionButton(type)) {
        b->SetChecked(checked);
        b->SetTag(output);
        b->ShowButton(SW_SHOW);
    }
}

void COutputDlg::HidePositionButton(int type) {
    if (CBtnPng* b = PositionButton(type))
        b->ShowButton(SW_HIDE);
}

void COutputDlg::SetPositionSelected(int type, int selected) {
    if (CBtnPng* b = PositionButton(type))
        b->SetChecked(selected);
}

void COutputDlg::MarkCurrentPosition() {
    // The mark follows the current output however it was made current.
    if (m_nMarkedOutput == g_nCurOutChannel)
        return;
    if (m_nMarkedOutput >= 0 && m_nMarkedOutput < kOutputCount)
        SetPositionSelected(SpeakerTypeOf(m_nMarkedOutput), 0);
    SetPositionSelected(SpeakerTypeOf(g_nCurOutChannel), 1);
    m_nMarkedOutput = g_nCurOutChannel;
}

void COutputDlg::RefreshPositionButtons() {
    for (CBtnPng& b : m_btnPosition) {
        b.SetChecked(FALSE);
        b.ShowButton(SW_HIDE);
    }
    for (int k = 0; k < kPlanOutputs; ++k)
        SetPositionButton(SpeakerTypeOf(k), 0, k);
    SetPositionSelected(SpeakerTypeOf(g_nCurOutChannel), 1);
    m_nMarkedOutput = g_nCurOutChannel;
}

void COutputDlg::OnPositionButton(UINT id) {
    CBtnPng* button = nullptr;
    for (int i = 0; i < kPositions; ++i)
        if (kPositionBindOrder[i] == id)
            button = &m_btnPosition[i];
    if (!button)
        return;
    const int output = button->GetTag();
    // Only the mark of the output already shown makes a click do nothing.
    if (button->GetChecked() && output == g_nCurOutChannel)
        return;
    if (output < 0 || output >= kOutputCount)
        return;
    m_nLastChosenOutput = output;
    SetPositionSelected(SpeakerTypeOf(g_nCurOutChannel), 0);
    g_nCurOutChannel = output;
    if (view && view->GetSafeHwnd())
        ::PostMessage(view->GetSafeHwnd(), UM_SELECT_OUTPUT, WPARAM(output), 0);
    SetPositionSelected(SpeakerTypeOf(output), 1);
    m_nMarkedOutput = output;
    ShowChannel();
}

void COutputDlg::RefreshCrossover() {
    if (!m_pData)
        return;
    ShowCrossoverOf(CurrentOutput());
    m_graph.Redraw(-1);
}

void COutputDlg::ReleaseAllPositions() {
    for (int k = 0; k < kOutputCount; ++k) {
        const int type = SpeakerTypeOf(k);
        SpkType_Release(type, k);
        HidePositionButton(type);
    }
}

void COutputDlg::OnOutputMap() {
    if (!m_pData)
        return;
    int result = CReMap_Dlg::kCancelled;
    {
        CReMap_Dlg prompt;
        prompt.DoModal();
        result = prompt.m_nResult;
    }
    if (result != CReMap_Dlg::kEmptied && result != CReMap_Dlg::kDefault)
        return;
    // The communication thread waits until the batch is queued: otherwise it
    // sends the new crossovers one by one while the old mix still plays.
    std::unique_lock sending(g_csSend);
    ReleaseAllPositions();
    for (int k = 0; k < kOutputCount; ++k) {
        const int old = SpeakerTypeOf(k);
        SpkType_Release(old, k);
        HidePositionButton(old);
        const int type = result == CReMap_Dlg::kEmptied ? 0 : g_DefaultOutputMap[k];
        g_SpkTypeState[kSpkTypeOutputBase + k] = BYTE(type);
        if (result == CReMap_Dlg::kDefault)
            SetPositionButton(type, k == g_nCurOutChannel ? 1 : 0, k);
        SpkType_Select(type, k);
        if (m_pForm) {
            m_pForm->UpdateTypeCaption(k);
            // The new mix goes into the model before the batch below
            // carries it with the new crossovers.
            m_pForm->ApplySpeakerTypeMix(k, type);
        }
        CKTV_OutData* out = m_pData->GetOutput(k);
        out->SetSpeakerTypeDefaults(type);
        // The basic block carries the type too; without this the processor's
        // record would keep the old one.
        out->SetBasicDirty(g_bOnline);
        {
            // The reply parser stores the processor's speaker types here.
            std::lock_guard model(g_csModel);
            g_DeviceSettings.SpeakerTypes[k] = BYTE(type);
        }
        if (result == CReMap_Dlg::kEmptied && k == g_nCurOutChannel)
            RefreshCrossover();
    }
    if (result == CReMap_Dlg::kDefault)
        RefreshCrossover();
    m_nMarkedOutput = result == CReMap_Dlg::kDefault ? g_nCurOutChannel : -1;
    if (view)
        view->SendChannelData(0, 1);
    sending.unlock();
    m_graph.Redraw(-1);
    if (m_pForm)
        for (int k = 0; k < kOutputCount; ++k)
            m_pForm->SetSelectLatched(k, k == g_nCurOutChannel ? 1 : 0);
}
