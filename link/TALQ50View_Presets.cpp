// Whole presets between the model and the processor, in batches counted for
// the progress bars: all presets, the live data into one slot, reads of all
// stored presets or of one preset, and the resend of one output after its
// equaliser was reset or copied.  Every batch that writes is bracketed by a
// mute of the master output.

#include "link/KTVCommand.h"
#include "link/LinkGlobals.h"
#include "link/SyncForm.h"
#include "link/SyncModel.h"
#include "link/TALQ50View.h"
#include "model/DataDefine.h"
#include "model/Filter.h"
#include "model/FrameBuilders.h"
#include "model/Globals.h"
#include "model/KTV_OutData.h"
#include "model/Music_InData.h"

#include <algorithm>
#include <mutex>

namespace {

constexpr int kMusicBands = 31;
constexpr int kMusicLowBands = 15; // bands 0..14 sit on the input table
constexpr int kCrossoverOff = 8;
constexpr int kCrossoverOffReplacement = 3;
constexpr int kLowestCrossoverHz = 20;
constexpr int kHighestCrossoverHz = 20000;

bool IsTweeterType(int type) {
    return type == 1 || type == 7 || type == 13 || type == 16 || type == 19;
}

} // namespace

void CTALQ50View::QueueCounted(std::unique_ptr<CSendData> frame, EndMark mark, bool advance) {
    if (!frame)
        return;
    frame->SetCountsProgress(1);
    frame->SetProgressPos(m_nFrameSeq);
    if (mark == kMarkEnd)
        frame->SetNotifyEnd(1);
    else if (mark == kMarkLast)
        frame->SetNotifyLast(1);
    m_KTVCommand.AddCommand(std::move(frame));
    if (advance)
        ++m_nFrameSeq;
}

// ---- Batches -----------------------------------------------------------------

void CTALQ50View::SendAllPresets() {
    if (!m_bConnected)
        return;
    CModelLock lock(true);
    m_nFrameSeq = 0;
    const BYTE masterOn = g_bMasterOn;
    SetTransferMute(0);
    m_KTVCommand.AddCommand(BuildSystemFrame(INFO_SPEAKER_TYPES, 0));

    for (int i = 0; i < kMusicInputCount; ++i)
        QueueCounted(BuildBlockFrame(0, DATA_MUSIC_INPUT, i, 1, 1));
    for (int i = 0; i < kOutputCount; ++i)
        QueueCounted(BuildBlockFrame(0, DATA_OUTPUT, i, 1, 1));
    for (int p = 1; p <= kPresetCount; ++p) {
        QueueCounted(BuildSystemFrame(INFO_PRESET_NAME, p));
        for (int i = 0; i < kMusicInputCount; ++i)
            QueueCounted(BuildBlockFrame(p, DATA_MUSIC_INPUT, i, 0, 1));
        for (int i = 0; i < kOutputCount; ++i) {
            const bool last = p == kPresetCount && i == kOutputCount - 1;
            QueueCounted(BuildBlockFrame(p, DATA_OUTPUT, i, 0, 1), last ? kMarkEnd : kMarkNone);
        }
    }

    // The system data below carries the master byte back to the processor.
    g_bMasterOn = masterOn;
    m_KTVCommand.AddCommand(BuildSystemFrame(INFO_INPUT_SETTINGS, 0));
    m_KTVCommand.AddCommand(BuildSystemFrame(INFO_SYSTEM_DATA, 0));

    g_bNameCheckPending = 0;
    if (m_pSyncForm)
        m_pSyncForm->SetProgressRanges(m_nFrameSeq);
    g_bTransferBusy = 1;
    if (m_pSyncForm)
        m_pSyncForm->ShowTransferPopup(1);
}

void CTALQ50View::SendPreset(int preset, int pack) {
    if (!m_bConnected) {
        if (preset != 0)
            ShowConnectFailed();
        return;
    }
    // Packing may tell the user of a name that does not fit: a message box,
    // which must not be shown with the locks held.
    if (pack && m_pSyncModel)
        m_pSyncModel->PackToImage();
    CModelLock lock(true);
    m_nFrameSeq = 0;
    if (!pack)
        SetTransferMute(0);
    g_DeviceSettings.CurrentPreset[0] = BYTE(preset);

    QueueCounted(BuildSystemFrame(INFO_PRESET_NAME, preset));
    if (pack) {
        QueueCounted(BuildSystemFrame(INFO_PRESET_NAME, 0));
        QueueCounted(BuildSystemFrame(INFO_CURRENT_PRESET, 0));
    }
    for (int i = 0; i < kMusicInputCount; ++i)
        QueueCounted(BuildBlockFrame(preset, DATA_MUSIC_INPUT, i, 1, 1));
    for (int i = 0; i < kOutputCount; ++i) {
        const bool last = i == kOutputCount - 1;
        QueueCounted(BuildBlockFrame(preset, DATA_OUTPUT, i, 1, 1), last ? kMarkEnd : kMarkNone, !last);
    }
    if (!pack)
        SetTransferMute(1);

    g_bNameCheckPending = 0;
    if (m_pSyncForm)
        m_pSyncForm->SetProgressRanges(m_nFrameSeq);
    g_bTransferBusy = 1;
    if (m_pSyncForm)
        m_pSyncForm->ShowTransferPopup(1);
}

int CTALQ50View::ReadAllPresets() {
    if (!m_bConnected) {
        ShowConnectFailed();
        return 0;
    }
    if (!m_pSyncForm || !m_pSyncForm->ChooseAllPresetsFile())
        return 0;
    CModelLock lock(true);
    m_nFrameSeq = 0;
    for (int p = 1; p <= kPresetCount; ++p) {
        for (int i = 0; i < kMusicInputCount; ++i)
            QueueCounted(BuildRequestFrame(p, DATA_MUSIC_INPUT, i, 0, 1));
        for (int i = 0; i < kOutputCount; ++i) {
            const bool last = p == kPresetCount && i == kOutputCount - 1;
            QueueCounted(BuildRequestFrame(p, DATA_OUTPUT, i, 0, 1), last ? kMarkLast : kMarkNone);
        }
    }
    m_pSyncForm->SetProgressRanges(m_nFrameSeq);
    g_bTransferBusy = 1;
    m_pSyncForm->ShowTransferPopup(1);
    return 1;
}

void CTALQ50View::ReadPreset(int preset, int) {
    g_bOnline = 0;
    if (!m_bConnected) {
        ShowConnectFailed();
        return;
    }
    CModelLock lock(true);
    g_bNameCheckPending = 0;
    g_DeviceSettings.CurrentPreset[0] = BYTE(preset);
    if (preset != 0) {
        m_nFrameSeq = 0;
        SetTransferMute(0);
    }
    for (int i = 0; i < kMusicInputCount; ++i)
        QueueCounted(BuildRequestFrame(preset, DATA_MUSIC_INPUT, i, 1, 1));
    for (int i = 0; i < kOutputCount; ++i) {
        const bool last = i == kOutputCount - 1;
        QueueCounted(BuildRequestFrame(preset, DATA_OUTPUT, i, 1, 1), last ? kMarkLast : kMarkNone, !last);
    }
    SetProgressRange();
    g_bTransferBusy = 1;
    if (preset != 0) {
        QueueCounted(BuildSystemFrame(INFO_PRESET_NAME, 0));
        SetTransferMute(1);
        if (m_pSyncForm)
            m_pSyncForm->ShowTransferPopup(1);
    } else if (m_pSyncForm) {
        m_pSyncForm->ShowTransferPopup(0);
    }
    g_bNameCheckPending = 0;
}

void CTALQ50View::OnTransferDone() {
    g_bTransferBusy = 0;
}

void CTALQ50View::SetProgressRange() {
    if (m_pSyncForm)
        m_pSyncForm->SetPopupProgressRange(m_nFrameSeq);
}

// ---- One output --------------------------------------------------------------

void CTALQ50View::QueueOutputMute(int output) {
    CKTV_OutData* out = m_pSyncModel->GetOutput(output);
    const BYTE on = out->GetEnable();
    const int dirty = out->GetBasicDirty();
    out->SetEnable(0);
    m_KTVCommand.AddCommand(out->PackBasic(1));
    out->SetEnable(on);
    out->SetBasicDirty(dirty);
}

void CTALQ50View::SendOutputChannelData(int output) {
    if (!m_bConnected || !m_pSyncModel || !m_pSyncModel->GetOutput(output))
        return;
    CModelLock lock(true);
    QueueOutputMute(output);
}

void CTALQ50View::SendOutputChannel(int output) {
    if (!m_bConnected || !m_pSyncModel || !m_pSyncModel->GetOutput(output))
        return;
    CModelLock lock(true);
    CKTV_OutData* out = m_pSyncModel->GetOutput(output);
    QueueOutputMute(output);
    out->PackAll();
    m_KTVCommand.AddCommand(BuildBlockFrame(0, DATA_OUTPUT, output, 1, 1));
    m_KTVCommand.AddCommand(out->PackBasic(1));
}

void CTALQ50View::SendOutputChannelChecked(int output, int) {
    SendOutputChannel(output);
}

void CTALQ50View::ResetOutputEq() {
    const int current = g_nCurOutChannel;
    if (current < 0 || current >= kOutputCount)
        return;
    {
        CModelLock lock(true);
        if (m_bConnected)
            SetTransferMute(0);
        ResetOutputChannelEq(current);
        const std::intptr_t group = g_OutLinkTable[1 + current];
        for (int i = 0; i < kOutputCount; ++i) {
            if (i != current && group != 0 && g_OutLinkTable[1 + i] == group)
                ResetOutputChannelEq(i);
        }
        if (m_bConnected)
            SetTransferMute(1);
    }
    if (m_pSyncForm)
        m_pSyncForm->RefreshBands();
}

void CTALQ50View::ResetOutputChannelEq(int output) {
    CKTV_OutData* out = m_pSyncModel ? m_pSyncModel->GetOutput(output) : nullptr;
    if (!out)
        return;
    for (int i = 0; i < CKTV_OutData::kBandCount; ++i)
        out->GetBand(i)->Reset(g_OutBandTable[i]);
    if (!m_bConnected)
        return;
    out->PackAll();
    m_KTVCommand.AddCommand(BuildBlockFrame(0, DATA_OUTPUT, output, 1, 1));
}

void CTALQ50View::CopyOutputChannel(int source, int target) {
    CKTV_OutData* from = m_pSyncModel ? m_pSyncModel->GetOutput(source) : nullptr;
    CKTV_OutData* to = m_pSyncModel ? m_pSyncModel->GetOutput(target) : nullptr;
    if (!from || !to)
        return;
    to->CopyEQFrom(*from);
    if (IsTweeterType(g_SpkTypeState[kSpkTypeOutputBase + target])) {
        CrossoverRecord crossover = to->GetCrossover();
        if (GetLe16(&crossover[0]) < kLowestCrossoverHz) {
            PutLe16(&crossover[0], kLowestCrossoverHz);
            if (GetLe16(&crossover[4]) < kLowestCrossoverHz)
                PutLe16(&crossover[4], kHighestCrossoverHz);
        }
        if (crossover[3] == kCrossoverOff)
            crossover[3] = kCrossoverOffReplacement;
        to->SetCrossover(crossover.data());
    }
    if (!m_bConnected)
        return;
    CModelLock lock(true);
    SetTransferMute(0);
    to->PackAll();
    m_KTVCommand.AddCommand(BuildBlockFrame(0, DATA_OUTPUT, target, 1, 1));
    SetTransferMute(1);
}

// ---- Music inputs (the input page's senders) ---------------------------------

void CTALQ50View::SendInputChannel(int input) {
    CMusic_InData* in = m_pSyncModel ? m_pSyncModel->GetMusicInput(input) : nullptr;
    if (!m_bConnected || !in)
        return;
    in->CheckNameLength(); // tells the user before the locks are taken
    CModelLock lock(true);
    const int on = in->GetOnOff();
    const int pending = in->GetMainPending();
    in->SetOnOff(0);
    m_KTVCommand.AddCommand(in->SendMain(true));
    in->SetOnOff(on);
    in->SetMainPending(pending);
    in->PackRecord();
    m_KTVCommand.AddCommand(BuildBlockFrame(0, DATA_MUSIC_INPUT, input, 1, 1));
    m_KTVCommand.AddCommand(in->SendMain(true));
}

void CTALQ50View::ResetInputEq(int input) {
    CMusic_InData* in = m_pSyncModel ? m_pSyncModel->GetMusicInput(input) : nullptr;
    if (!in)
        return;
    for (int i = 0; i < kMusicBands; ++i)
        in->GetBand(i)->Reset(i < kMusicLowBands ? g_InBandTable[i] : g_OutBandTable[i]);
    SendInputChannel(input);
}
