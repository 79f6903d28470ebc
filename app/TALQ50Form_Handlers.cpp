// What the output strips, the output page, the master gain panel and the
// source drop-down report to the view, and the operations they call on it.
// A message naming an output outside 0..11 or a speaker type above 24 is
// ignored: the numbers index twelve-entry tables.

#include "app/TALQ50Form.h"

#include "app/MessageBox.h"
#include "app/TALQ50.h"
#include "model/FrameFormat.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/OutputGroups.h"
#include "model/SpkType.h"
#include "pages/output/LinkGroups.h"
#include "platform/sys/UserMessages.h"

#include <algorithm>
#include <array>

namespace {

constexpr UINT kSourceId = 2820;
constexpr int kMaxGain = 600;
constexpr int kMaxSpeakerType = 24;
constexpr int kMixLevelOffset = 264; // mix levels 1..18 in an output record
constexpr int kTypeMixLevels = 16;   // the levels a speaker type sets
constexpr int kMaxMasterVolume = 66;
constexpr int kFallbackMasterVolume = 60;

// Input source code of each list index of the source drop-down.
constexpr int kSourceOfIndex[] = {1, 3, 2, 0, 4};

bool IsOutput(int output) {
    return output >= 0 && output < kOutputCount;
}

int LinkGroupOf(int output) {
    return int(g_OutLinkTable[1 + output]);
}

using MixLevels = std::array<BYTE, CKTV_OutData::kMixLevelCount>;

// The default levels 1..18 of a speaker type.
MixLevels DefaultMix(int type) {
    MixLevels mix{};
    auto set = [&mix](std::initializer_list<int> levels, BYTE value) {
        for (int level : levels)
            mix[level - 1] = value;
    };
    if ((type >= 1 && type <= 6) || type == 22)
        set({1, 7, 9, 15}, 100);
    else if ((type >= 7 && type <= 12) || type == 23)
        set({2, 8, 10, 16}, 100);
    else if (type >= 13 && type <= 15)
        set({3, 7, 11, 15}, 100);
    else if (type >= 16 && type <= 18)
        set({4, 8, 12, 16}, 100);
    else if (type >= 19 && type <= 21)
        set({1, 2, 7, 8, 9, 10, 15, 16}, 50);
    else if (type == 24)
        set({3, 4, 7, 8, 11, 12, 15, 16}, 50);
    return mix;
}

} // namespace

// ---- Messages --------------------------------------------------------------------

LRESULT CTALQ50Form::OnSelectOutputMsg(WPARAM wParam, LPARAM) {
    OnSelectOutput(int(wParam));
    return 0;
}
LRESULT CTALQ50Form::OnSpeakerTypeMsg(WPARAM wParam, LPARAM lParam) {
    OnSpeakerTypeSelected(int(wParam), int(lParam));
    return 0;
}
LRESULT CTALQ50Form::OnStripGainMsg(WPARAM wParam, LPARAM lParam) {
    OnStripGainChanged(int(wParam), int(lParam));
    return 0;
}
LRESULT CTALQ50Form::OnStripDelayMsg(WPARAM wParam, LPARAM lParam) {
    OnStripDelayChanged(int(wParam), int(lParam));
    return 0;
}
LRESULT CTALQ50Form::OnStripEnableMsg(WPARAM wParam, LPARAM lParam) {
    OnStripEnableToggled(int(wParam), int(lParam));
    return 0;
}
LRESULT CTALQ50Form::OnMasterGainMsg(WPARAM, LPARAM) {
    OnMasterGainChanged();
    return 0;
}
LRESULT CTALQ50Form::OnDropListMsg(WPARAM wParam, LPARAM) {
    OnDropListSelected(UINT(wParam));
    return 0;
}

// ---- Handlers --------------------------------------------------------------------

void CTALQ50Form::OnSelectOutput(int output) {
    if (!IsOutput(output))
        return;
    m_dlgOutput.SetPositionSelected(g_SpkTypeState[kSpkTypeOutputBase + g_nCurOutChannel], 0);
    for (COutRoute_Dlg& strip : m_strips)
        strip.SetSelectLatched(FALSE);
    g_nCurOutChannel = output;
    const int group = LinkGroupOf(output);
    for (int i = 0; i < kOutputCount; ++i) {
        if (i == output || (group != 0 && LinkGroupOf(i) == group))
            m_strips[std::size_t(i)].SetSelectLatched(TRUE);
    }
    m_dlgOutput.SetPositionSelected(g_SpkTypeState[kSpkTypeOutputBase + output], 1);
    m_dlgOutput.ShowChannel();
    m_dlgOutput.Invalidate(FALSE);
    InvalidateStrips();
}

void CTALQ50Form::OnSpeakerTypeSelected(int output, int type) {
    if (!IsOutput(output) || type < 0 || type > kMaxSpeakerType || !m_pData)
        return;
    const int old = g_SpkTypeState[kSpkTypeOutputBase + output];
    {
        CModelLock lock(false);
        SpkType_Release(old, output);
    }
    m_dlgOutput.HidePositionButton(old);
    {
        CModelLock lock(false);
        g_SpkTypeState[kSpkTypeOutputBase + output] = BYTE(type);
    }
    m_dlgOutput.SetPositionButton(type, output == g_nCurOutChannel ? 1 : 0, output);
    {
        CModelLock lock(false);
        SpkType_Select(type, output);
    }
    m_strips[std::size_t(output)].UpdateTypeCaption();
    {
        CModelLock lock(false);
        g_DeviceSettings.SpeakerTypes[output] = BYTE(type);
    }
    // The new mix goes out inside the same mute bracket as the new crossover,
    // so no speaker plays the old mix through the new filter.
    ApplySpeakerTypeMix(output, type);
    m_link.SendChannelData(output, 0);
    if (output == g_nCurOutChannel)
        m_dlgOutput.RefreshCrossover();
    RedrawGraph();
}

void CTALQ50Form::ApplySpeakerTypeMix(int output, int type) {
    if (!IsOutput(output) || !m_pData)
        return;
    CModelLock lock(false);
    BYTE* levels = g_DeviceImage + OutputRecordOffset(output) + kMixLevelOffset;
    if (type >= 0 && type <= kMaxSpeakerType) {
        const MixLevels mix = DefaultMix(type);
        std::copy(mix.begin(), mix.end(), levels);
    }
    // The type decides levels 1..16 only; 17 and 18 stay as the user set them,
    // and the image takes them back so image and model agree, a pack changes
    // nothing and the type change sends nothing new for them.
    CKTV_OutData* out = m_pData->GetOutput(output);
    for (int n = 1; n <= kTypeMixLevels; ++n)
        out->SetMixLevel(n, levels[n - 1]);
    for (int n = kTypeMixLevels + 1; n <= CKTV_OutData::kMixLevelCount; ++n)
        levels[n - 1] = out->GetMixLevel(n);
}

void CTALQ50Form::OnStripGainChanged(int output, int gain) {
    if (!IsOutput(output) || !m_pData)
        return;
    gain = std::clamp(gain, 0, kMaxGain);
    m_nGainDelta = 0;
    m_pCurOutput = m_pData->GetOutput(output);
    COutRoute_Dlg& strip = m_strips[std::size_t(output)];
    if (gain != m_pCurOutput->GetGain()) {
        m_nGainDelta = gain - strip.GetShownGain();
        m_pCurOutput->SetGain(WORD(gain));
        m_pCurOutput->SetEnable(1);
        strip.SetGain(gain);
        if (!strip.m_nEnable)
            strip.SetEnable(1);
    }
    // Also with no change: a repeated gain switches linked outputs back on.
    const int group = LinkGroupOf(output);
    if (group != 0) {
        for (int i = 0; i < kOutputCount; ++i) {
            if (i == output || LinkGroupOf(i) != group)
                continue;
            CKTV_OutData* other = m_pData->GetOutput(i);
            COutRoute_Dlg& otherStrip = m_strips[std::size_t(i)];
            const int next = std::clamp(int(other->GetGain()) + m_nGainDelta, 0, kMaxGain);
            if (!otherStrip.m_nEnable) {
                other->SetEnable(1);
                otherStrip.SetEnable(1);
            }
            other->SetGain(WORD(next));
            otherStrip.SetGain(next);
        }
    }
    m_nGainDelta = 0;
}

void CTALQ50Form::OnStripDelayChanged(int output, int delay) {
    if (!IsOutput(output) || !m_pData)
        return;
    CKTV_OutData* out = m_pData->GetOutput(output);
    if (delay != out->GetDelay()) {
        out->SetDelay(WORD(delay));
        m_strips[std::size_t(output)].SetDelay(delay);
    }
}

void CTALQ50Form::OnStripEnableToggled(int output, int on) {
    if (!IsOutput(output))
        return;
    m_dlgOutput.SetChannelEnable(output, on);
}

void CTALQ50Form::OnMasterGainChanged() {
    const int value = m_dlgGain.GetFaderPos();
    {
        CModelLock lock(false);
        if (value == g_nMasterVolume)
            return;
        g_nMasterVolume = WORD(value);
        if (g_bMasterOn == 0)
            g_bMasterOn = 1;
    }
    if (m_dlgGain.m_btnMute.GetSelected())
        m_dlgGain.m_btnMute.SetSelected(FALSE);
    m_link.RequestSystemBlock5(1);
}

int CTALQ50Form::SourceOfEntry(int entry) {
    return entry >= 0 && entry < int(std::size(kSourceOfIndex)) ? kSourceOfIndex[entry] : -1;
}

void CTALQ50Form::OnDropListSelected(UINT controlId) {
    if (controlId != kSourceId)
        return;
    // An index the list does not have is no source code.
    const int source = SourceOfEntry(m_cbSource.GetCurSel());
    if (source < 0 || source == g_DeviceSettings.InputSettings[0])
        return;
    SelectInputSource(source, 1);
}

void CTALQ50Form::OnMixerButton() {
    if (g_bPresetLocked) {
        TimedMessageBox(this, g_bChinese ? "机器已加密" : "Machine has been encrypted ", "", MB_OK,
                        g_bChinese, 2000);
        return;
    }
    m_dlgMixer.m_pModel = m_pData;
    m_dlgMixer.m_pParentWnd = GetTopLevelParent();
    m_dlgMixer.DoModal();
}

void CTALQ50Form::OnOutputMapButton() {
    m_dlgOutput.OnOutputMap();
}

void CTALQ50Form::UpdatePanels(WPARAM, int unit) {
    if (unit < 1 || unit > 3)
        return;
    for (COutRoute_Dlg& strip : m_strips)
        strip.SetDelayUnit(unit);
}

void CTALQ50Form::HighlightLinkGroup(int, int group) {
    CLinkGroups::HighlightGroup(*this, group);
}

// ---- The strips and the page as the output page and the link groups see them ----

void CTALQ50Form::UpdateStripTypeCaptions() {
    for (int i = 0; i < 8; ++i)
        m_strips[std::size_t(i)].UpdateTypeCaption();
}

void CTALQ50Form::UpdateTypeCaption(int strip) {
    if (IsOutput(strip))
        m_strips[std::size_t(strip)].UpdateTypeCaption();
}

void CTALQ50Form::SetSelectLatched(int strip, BOOL latched) {
    if (IsOutput(strip))
        m_strips[std::size_t(strip)].SetSelectLatched(latched);
}

void CTALQ50Form::SetGroupImage(int output, int number) {
    if (IsOutput(output))
        m_strips[std::size_t(output)].SetGroupImage(number);
}

BOOL CTALQ50Form::IsGroupLatched(int output) {
    return IsOutput(output) && m_strips[std::size_t(output)].m_btnGroup.GetSelected();
}

void CTALQ50Form::SetGroupLatched(int output, BOOL latched) {
    if (IsOutput(output))
        m_strips[std::size_t(output)].m_btnGroup.SetSelected(latched);
}

BOOL CTALQ50Form::IsSelectLatched(int output) {
    return IsOutput(output) && m_strips[std::size_t(output)].m_btnSelect.GetSelected();
}

int CTALQ50Form::FindFreeSlot() {
    return CTALQ50App::FindFreeSlot();
}

void CTALQ50Form::MuteLinkedOutputs(int anchor, int flag) {
    if (m_link.m_bConnected)
        m_mute.Run(anchor, flag, m_link.GetKTVCommand());
}

void CTALQ50Form::RedrawGraph() {
    if (m_dlgOutput.m_graph.GetSafeHwnd())
        m_dlgOutput.m_graph.Redraw(-1);
}

void CTALQ50Form::ShowChannel(int output) {
    if (!IsOutput(output))
        return;
    g_nCurOutChannel = output;
    m_dlgOutput.ShowChannel();
    Invalidate(FALSE);
}

void CTALQ50Form::UnlatchPageLinkMark() {
    m_dlgOutput.m_btnHidden[2].SetSelected(FALSE);
}

BOOL CTALQ50Form::ApplyChannelLinks(int direction) {
    std::lock_guard lock(g_csSend);
    m_link.SetTransferMute(0);
    BOOL any = FALSE;
    for (const SpkPair& pair : g_SpkPairs[1]) {
        if (!pair.used || !IsOutput(pair.first) || !IsOutput(pair.second))
            continue;
        if (direction == 0)
            g_OutLinkTable[pair.second + 1] = pair.first;
        else
            g_OutLinkTable[pair.first + 1] = pair.second;
        any = TRUE;
    }
    m_link.SetTransferMute(1);
    return any;
}

// ---- Refresh from the model -----------------------------------------------------

void CTALQ50Form::UpdateOutputControls() {
    COutputGroups::Classify();
    m_dlgOutput.RefreshPage();
    {
        CModelLock lock(false);
        if (g_nMasterVolume > kMaxMasterVolume)
            g_nMasterVolume = kFallbackMasterVolume;
    }
    m_dlgGain.SetFaderPos(g_nMasterVolume);
    m_dlgGain.m_btnMute.SetSelected(g_bMasterOn == 0);
    for (COutRoute_Dlg& strip : m_strips) {
        strip.UpdateTypeCaption();
        ShowStripValues(strip);
    }
}

void CTALQ50Form::UpdateAllControls() {
    if (!m_pData)
        return;
    // The rebuild ends with the page's link mark released and its graph redrawn.
    CLinkGroups::Rebuild(*m_pData, *this);
}
