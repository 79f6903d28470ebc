#include "model/KTV_Data.h"

#include "model/DataDefine.h"
#include "model/Filter.h"
#include "model/FrameBuilders.h"
#include "model/Globals.h"
#include "platform/sys/MessageQueue.h"
#include "platform/sys/UserMessages.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// Bands 0..30 of a music input or an output go out block by block.
constexpr int kPickedBands = 31;

// A pick that sends a block of the live data marks it edited.
void MarkSend() {
    g_bNameCheckPending = 1;
}

void NotifyPresetNameChanged() {
    if (HWND view = g_pNotifyView.load())
        PostMessage(view, UM_PRESET_NAME_CHANGED, 0, 0);
}

void StoreCustomName() {
    StringToBytesZ(g_DeviceImage + kPresetNameOffset, kPresetNameSize, g_strCustomPresetName);
}

template <typename Channel> int FirstChangedBand(const Channel& channel, int count) {
    for (int k = 0; k < count; ++k) {
        if (channel.GetBand(k)->IsChanged())
            return k;
    }
    return -1;
}

} // namespace

CKTV_Data::CKTV_Data() {
    InitLinkTable();
}

CKTV_Data::~CKTV_Data() = default;

void CKTV_Data::Serialize(CArchive& ar) {
    std::lock_guard lock(g_csModel);
    CObject::Serialize(ar);
    m_EffectData.Serialize(ar);
    m_MicRoute.Serialize(ar);
    m_MusicRoute.Serialize(ar);
    m_OutRoute.Serialize(ar);
}

CString CKTV_Data::GetDeviceName() const {
    std::lock_guard lock(g_csModel);
    return m_strDeviceName;
}

void CKTV_Data::InitLinkTable() {
    std::lock_guard lock(g_csModel);
    for (int i = 0; i < kOutputCount; ++i) {
        // A number from a file or the processor may lie outside 1..12; the
        // tables it indexes have twelve entries, so it counts as no group.
        // The image byte stays as loaded.
        const BYTE number = g_DeviceImage[OutputRecordOffset(i) + 287];
        g_OutLinkTable[1 + i] = number <= kOutputCount ? number : 0;
        g_OutLinkTable[13 + i] = reinterpret_cast<std::intptr_t>(GetOutput(i));
    }
    g_OutLinkTable[0] = 0;
    for (int i = 1; i <= kOutputCount - 1; ++i) {
        if (g_OutLinkTable[i] != 0 && g_OutLinkTable[i] == g_OutLinkTable[i + 1]) {
            g_OutLinkTable[0] = 1;
            break;
        }
    }
    std::memset(g_bOutChanged, 0, sizeof g_bOutChanged);
    std::memset(g_bLinkGroupUsed, 0, sizeof g_bLinkGroupUsed);
    std::memset(g_nLinkGroupSize, 0, sizeof g_nLinkGroupSize);
    std::memset(g_nLinkGroupMask, 0, sizeof g_nLinkGroupMask);
}

void CKTV_Data::SetAllDirty(int value) {
    std::lock_guard lock(g_csModel);
    m_EffectData.SetChanged(value);
    m_MicRoute.SetAllDirty(value);
    m_MusicRoute.SetAllDirty(value);
    m_OutRoute.SetAllDirty(value);
    g_bSysBlock5Pending = value;
    g_bSysBlock2Pending = 0;
}

void CKTV_Data::LoadFromImage(const BYTE* image, int mode) {
    std::lock_guard lock(g_csModel);
    // A band's values arrive one setter at a time; its response is computed
    // once, when all of them are in.
    std::vector<CKTVEQ*> sets{&m_EffectData.GetEQ(), &GetMicInput(0)->GetEQ()};
    for (int c = 0; c < kMusicInputCount; ++c)
        sets.push_back(&GetMusicInput(c)->GetEQ());
    for (int j = 0; j < kOutputCount; ++j)
        sets.push_back(&GetOutput(j)->GetEQ());
    for (CKTVEQ* set : sets)
        set->DeferResponses(1);
    if (mode == 0 || mode == 6)
        m_EffectData.LoadFromDevice(image + kSystemRecordOffset);
    m_MicRoute.LoadChannel(image + kMicRecordOffset, 0);
    for (int c = 0; c < kMusicInputCount; ++c)
        m_MusicRoute.LoadChannel(image + MusicRecordOffset(c), c);
    for (int j = 0; j < kOutputCount; ++j)
        m_OutRoute.LoadChannel(image + OutputRecordOffset(j), j);
    for (CKTVEQ* set : sets)
        set->DeferResponses(0);
}

void CKTV_Data::PackToImage() {
    // Names that do not fit are reported before the lock: the message box
    // runs a message loop.
    m_EffectData.CheckNameLength();
    m_MicRoute.GetAt(0)->CheckNameLength();
    for (int c = 0; c < kMusicInputCount; ++c)
        GetMusicInput(c)->CheckNameLength();
    std::lock_guard lock(g_csModel);
    m_EffectData.PackArea();
    m_MicRoute.GetAt(0)->PackRecord();
    for (int c = 0; c < kMusicInputCount; ++c)
        GetMusicInput(c)->PackRecord();
    for (int j = 0; j < kOutputCount; ++j)
        GetOutput(j)->PackAll();
}

void CKTV_Data::SaveCrossoverTable() {
    std::lock_guard lock(g_csModel);
    for (int i = 0; i < kOutputCount; ++i) {
        const auto record = GetOutput(i)->GetCrossover();
        std::copy(record.begin(), record.end(), g_CrossoverTable[i]);
    }
}

void CKTV_Data::SetOutputCurveRect(const CRect& rect) {
    std::lock_guard lock(g_csModel);
    for (int i = 0; i < kOutputCount; ++i)
        GetOutput(i)->SetCurveRect(rect);
}

void CKTV_Data::SetMusicCurveRect(const CRect& rect) {
    std::lock_guard lock(g_csModel);
    for (int c = 0; c < kMusicInputCount; ++c)
        GetMusicInput(c)->SetCurveRect(rect);
}

// ---- Change tracking ---------------------------------------------------------------------

std::unique_ptr<CSendData> CKTV_Data::SendNextDirtyBlock() {
    CModelLock lock(true);
    if (g_bSysBlock5Pending) {
        g_bSysBlock5Pending = 0;
        return BuildSystemFrame(INFO_SYSTEM_DATA, 0);
    }
    if (g_bSysBlock2Pending) {
        g_bSysBlock2Pending = 0;
        return BuildSystemFrame(INFO_INPUT_SETTINGS, 0);
    }
    if (g_bPresetNamePending) {
        g_DeviceSettings.CurrentPreset[0] = 0;
        g_bPresetNamePending = 0;
        return BuildSystemFrame(INFO_PRESET_NAME, 0);
    }
    if (g_bNameCheckPending) {
        if (auto frame = CheckPresetName())
            return frame;
    }
    if (auto frame = NextMusicBlock())
        return frame;
    if (auto frame = NextOutputBlock())
        return frame;
    return BuildBandFrame(DATA_STATUS_POLL, 0, 0);
}

// Once the live data were edited, the live preset becomes "Custom", the
// current preset 0 and the shown name "Custom", one name frame per step.
std::unique_ptr<CSendData> CKTV_Data::CheckPresetName() {
    m_strDeviceName = BytesToString(g_DeviceImage + kPresetNameOffset, kPresetNameSize);
    if (m_strDeviceName != g_strCustomPresetName) {
        StoreCustomName();
    } else if (g_DeviceSettings.CurrentPreset[0] != 0) {
        // The view's notice asks for the name write, which makes it current.
    } else if (g_strShownPresetName != g_strCustomPresetName) {
        g_strShownPresetName = g_strCustomPresetName;
        StoreCustomName();
    } else {
        return nullptr;
    }
    NotifyPresetNameChanged();
    return BuildSystemFrame(INFO_PRESET_NAME, 0);
}

std::unique_ptr<CSendData> CKTV_Data::NextMusicBlock() {
    for (int c = 0; c < kMusicInputCount; ++c) {
        CMusic_InData& music = *GetMusicInput(c);
        if (music.GetMainPending()) {
            music.SetMainPending(0);
            MarkSend();
            return music.SendMain(true);
        }
        if (music.GetThresholdPending()) {
            music.SetThresholdPending(0);
            MarkSend();
            return music.SendThreshold(true);
        }
        if (const int k = FirstChangedBand(music, kPickedBands); k >= 0) {
            CFilter& band = *music.GetBand(k);
            band.StepSentFreq(0);
            MarkSend();
            return music.SendBand(k, band.GetBandNo());
        }
    }
    return nullptr;
}

std::unique_ptr<CSendData> CKTV_Data::NextOutputBlock() {
    for (int j = 0; j < kOutputCount; ++j) {
        CKTV_OutData& out = *GetOutput(j);
        if (out.GetNameDirty()) {
            out.SetNameDirty(0);
            MarkSend();
            return out.SendName();
        }
        if (out.GetBasicDirty()) {
            out.SetBasicDirty(0);
            MarkSend();
            return out.PackBasic(1);
        }
        if (out.TakeCrossoverChanged()) {
            MarkSend();
            return out.PackCrossover(1);
        }
        if (out.GetMixBDirty()) {
            MarkSend();
            out.SetMixBDirty(0);
            return out.PackMixB(1);
        }
        if (out.GetLimiterDirty()) {
            MarkSend();
            out.SetLimiterDirty(0);
            return out.PackLimiter(1);
        }
        if (out.GetMixADirty()) {
            MarkSend();
            out.SetMixADirty(0);
            return out.PackMixA(1);
        }
        if (const int k = FirstChangedBand(out, kPickedBands); k >= 0) {
            CFilter& band = *out.GetBand(k);
            band.StepSentFreq(0);
            MarkSend();
            return out.PackBand(k, band.GetBandNo());
        }
    }
    return nullptr;
}
