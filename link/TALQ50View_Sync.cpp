// The connect handshake's version check, the handlers of the reply parser's
// notices (live data, all presets, routing and speaker types, status, empty
// data reply) and the small senders that pages and dialogs call.

#include "link/KTVCommand.h"
#include "link/LinkGlobals.h"
#include "link/SyncForm.h"
#include "link/SyncModel.h"
#include "link/TALQ50View.h"
#include "link/ViewTexts.h"
#include "model/FrameBuilders.h"
#include "model/Globals.h"
#include "model/KTV_OutData.h"
#include "model/SpkType.h"
#include "platform/sys/MessageBox.h"

#include <cstring>
#include <mutex>

namespace {

// The label this software is built for: family "KWEX-DV", major digit at 7.
constexpr char kExpectedVersion[] = "KWEX-DV1.00";
constexpr std::size_t kFamilyLength = 7;
constexpr std::size_t kMajorDigit = 7;

constexpr int kStatusLength = 15;
constexpr int kStatusInputMode = 14;
// Speaker-type byte of an output record (block 31, byte 7).
constexpr int kRecordSpeakerType = CKTV_OutData::kBasicBlock * kBlockSize + 7;

int DigitValue(char c) {
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

// Drop-down entry of input modes 0..4; -1 for a mode it does not offer.
int InputSourceEntry(int mode) {
    static constexpr int kEntries[] = {3, 0, 2, 1, 4};
    return mode >= 0 && mode < int(std::size(kEntries)) ? kEntries[mode] : -1;
}

} // namespace

// ---- Version check -----------------------------------------------------------

void CTALQ50View::OnVersionInfo() {
    // A label that arrives after its link was closed belongs to no link:
    // checking it would run the connect button's action on a closed link.
    if (!m_bConnected)
        return;
    BYTE* label = g_DeviceSettings.VersionLabel;
    bool family;
    bool major;
    {
        std::lock_guard lock(g_csModel);
        family = std::memcmp(label, kExpectedVersion, kFamilyLength) == 0;
        major = label[kMajorDigit] == BYTE(kExpectedVersion[kMajorDigit]);
    }
    if (!family || !major) {
        // Not under the send lock: the disconnect waits for the communication thread.
        OnConnectButton();
        {
            std::lock_guard lock(g_csSend);
            m_KTVCommand.ClearCommands();
        }
        if (family)
            ShowVersionMismatch();
        std::lock_guard lock(g_csModel);
        std::memset(label, ' ', sizeof g_DeviceSettings.VersionLabel);
        return;
    }
    {
        std::lock_guard lock(g_csSend);
        RequestDeviceInfo(1);
        ReadPreset(0, 1);
    }
    g_bOnline = 1;
}

void CTALQ50View::ShowVersionMismatch() {
    const CString s(1, kExpectedVersion[kMajorDigit]);
    CString d;
    {
        std::lock_guard lock(g_csModel);
        d.assign(1, char(g_DeviceSettings.VersionLabel[kMajorDigit]));
    }
    const int software = DigitValue(s[0]);
    const int device = DigitValue(d[0]);
    if (software == device)
        return;
    CString text;
    if (g_bChinese) {
        if (software > device)
            text = "设备版本比PC软件版本号低，只有版本号为“ZEFB-MV" + s + ".01到ZEFB-MV" + s +
                   ".99”之间的设备才能和该版本的PC软件连接。";
        else
            text = "PC软件版本比设备版本号低，只有版本号为“ZEFA-MV" + d + ".01到ZEFA-MV" + d +
                   ".99”之间的PC软件才能和该版本的设备连接。";
        AfxMessageBox(text, MB_OK, kBoxWarningZh);
        return;
    }
    if (software > device)
        text = " If device version is lower than the software version, only the device at version, ZEFB-MV" +
               s + ".01 to ZEFB-MV" + s + ".99, can be connected with this software.";
    else
        text =
            " If software version is lower than the device version, only the software at version, ZEFA-MV" +
            d + ".01 to ZEFA-MV" + d + ".99, can be connected with this device.";
    AfxMessageBox(text, MB_OK, kBoxWarningEn);
}

// ---- Notices -----------------------------------------------------------------

void CTALQ50View::ClearLockFlags(int) {
    g_bPresetLocked = 0;
    g_bDeviceLocked = 0;
}

void CTALQ50View::OnLiveDataReceived(int preset) {
    {
        CModelLock lock(true);
        ClearLockFlags(preset);
        if (m_pSyncForm)
            m_pSyncForm->ShowUnlockedForm();
        if (m_pSyncModel)
            m_pSyncModel->LoadFromImage(g_DeviceImage, preset);
        g_bNameCheckPending = 0;
        if (m_pSyncForm) {
            m_pSyncForm->UpdateAllControls();
            m_pSyncForm->UpdateOutputControls();
            m_pSyncForm->ShowPresetName();
        }
        g_bOnline = 1;
        g_bTransferBusy = 0;
        COutputGroups::Reset();
    }
    if (m_pSyncForm)
        m_pSyncForm->InvalidateView();
}

void CTALQ50View::OnAllPresetsReceived() {
    if (m_pSyncForm)
        m_pSyncForm->SaveAllPresetsFile();
    g_bTransferBusy = 0;
}

void CTALQ50View::OnRoutingReceived(int) {
    // The parser does not hold the locks while it waits for this notice.
    CModelLock lock(true);
    DeviceSettingsArea& area = g_DeviceSettings;
    area.SystemData[4] = 0;

    g_ModeTable.Lookup(area.InputSettings[0], area.InputSettings[1]);
    g_ModeTable.m_nSelection =
        area.InputSettings[4] == 255 ? CModeTable::kSelectionNone : area.InputSettings[4];

    constexpr int kReportedTypes = 8;
    SpkType_ResetStates();
    // The reset leaves 3 (FL-Woofer) in the output types too. Outputs the
    // processor reports no type for hold none: left at 3 they would take
    // FL-Woofer from the others, and the duplicates rule would write the
    // types back at every connection.
    for (int i = 0; i < kOutputCount; ++i)
        g_SpkTypeState[kSpkTypeOutputBase + i] = i < kReportedTypes ? area.SpeakerTypes[i] : 0;
    if (SpkType_RemoveDuplicates()) {
        for (int i = 0; i < kReportedTypes; ++i)
            area.SpeakerTypes[i] = g_SpkTypeState[kSpkTypeOutputBase + i];
        SendCommand(INFO_SPEAKER_TYPES, 0);
    }
    if (m_pSyncForm)
        m_pSyncForm->UpdateStripTypeCaptions();

    ApplySpeakerTypes();
    SpkType_RebuildStates();
    if (g_bOutputMapLocked) {
        g_bOutputMapLocked = 0;
        if (m_pSyncForm)
            m_pSyncForm->UpdateStripsEnable();
    }

    g_nInputMode = area.InputSettings[0];
    SelectInputSource(g_nInputMode, 0);

    m_KTVCommand.AddCommand(BuildSystemFrame(INFO_PRESET_NAME, 0));
}

void CTALQ50View::ApplySpeakerTypes() {
    if (!m_pSyncModel)
        return;
    for (int i = 0; i < kOutputCount; ++i) {
        if (CKTV_OutData* output = m_pSyncModel->GetOutput(i))
            output->SetSpeakerType(g_SpkTypeState[kSpkTypeOutputBase + i]);
    }
}

void CTALQ50View::LoadSpeakerTypes(int keepLock) {
    CModelLock lock(true);
    SpkType_ResetStates();
    for (int i = 0; i < kOutputCount; ++i)
        g_SpkTypeState[kSpkTypeOutputBase + i] = g_DeviceImage[OutputRecordOffset(i) + kRecordSpeakerType];
    if (SpkType_RemoveDuplicates()) {
        for (int i = 0; i < kOutputCount; ++i)
            g_DeviceImage[OutputRecordOffset(i) + kRecordSpeakerType] =
                g_SpkTypeState[kSpkTypeOutputBase + i];
        SendCommand(INFO_SPEAKER_TYPES, 0);
    }
    SpkType_RebuildStates();
    if (!keepLock && g_bOutputMapLocked) {
        g_bOutputMapLocked = 0;
        if (m_pSyncForm)
            m_pSyncForm->UpdateStripsEnable();
    }
}

void CTALQ50View::SelectInputSource(int mode, int store) {
    CModelLock lock(true);
    const int entry = InputSourceEntry(mode);
    if (entry >= 0 && m_pSyncForm)
        m_pSyncForm->SetInputSourceEntry(entry);
    if (!store)
        return;
    m_bIgnoreStatusMode = 1;
    g_DeviceSettings.InputSettings[0] = BYTE(mode);
    if (g_DeviceSettings.SystemData[4] != 0) {
        g_DeviceSettings.SystemData[4] = 0;
        SendCommand(INFO_SYSTEM_DATA, 0);
    }
    SendCommand(INFO_INPUT_SETTINGS, 0);
}

void CTALQ50View::OnStatusReceived(int length) {
    if (!m_bConnected || length != kStatusLength)
        return;
    std::lock_guard lock(g_csModel);
    const int mode = g_DeviceStatus[kStatusInputMode];
    if (mode == g_nInputMode)
        return;
    g_nInputMode = mode;
    if (m_bIgnoreStatusMode) {
        m_bIgnoreStatusMode = 0;
        return;
    }
    g_DeviceSettings.InputSettings[0] = BYTE(mode);
    const int entry = InputSourceEntry(mode);
    if (entry >= 0 && m_pSyncForm)
        m_pSyncForm->SetInputSourceEntry(entry);
}

void CTALQ50View::OnEmptyDataReply() {
    if (m_bConnected) {
        StopCommThread(1);
        if (g_nLinkMode == 1)
            DisconnectUsb();
        else if (g_nLinkMode == 2)
            DisconnectNetwork();
    }
    AfxMessageBox(LangText("设备异常 请更新固件!", "Please Update the Firmware!"), MB_OK, kBoxWarning);
}

// ---- Senders -----------------------------------------------------------------

void CTALQ50View::SendCommand(int code, int param) {
    if (!m_bConnected)
        return;
    std::lock_guard lock(g_csSend);
    m_KTVCommand.AddCommand(BuildSystemFrame(code, param));
}

void CTALQ50View::SendChannelData(int output, int mode) {
    CModelLock lock(true);
    if (mode == 0) {
        CKTV_OutData* out = m_pSyncModel ? m_pSyncModel->GetOutput(output) : nullptr;
        if (!out)
            return;
        out->SetSpeakerTypeDefaults(g_SpkTypeState[kSpkTypeOutputBase + output]);
        if (!m_bConnected)
            return;
        SetTransferMute(0);
        m_KTVCommand.AddCommand(BuildSystemFrame(INFO_SPEAKER_TYPES, 0));
        m_KTVCommand.AddCommand(out->SendCrossover());
        QueueMixBlocks(*out);
        SetTransferMute(1);
    } else if (mode == 1) {
        if (!m_bConnected || !m_pSyncModel)
            return;
        SetTransferMute(0);
        m_KTVCommand.AddCommand(BuildSystemFrame(INFO_SPEAKER_TYPES, 0));
        for (int i = 0; i < kOutputCount; ++i) {
            if (CKTV_OutData* out = m_pSyncModel->GetOutput(i))
                m_KTVCommand.AddCommand(out->SendCrossover());
        }
        for (int i = 0; i < kOutputCount; ++i) {
            if (CKTV_OutData* out = m_pSyncModel->GetOutput(i))
                QueueMixBlocks(*out);
        }
        SetTransferMute(1);
    }
}

// A new speaker type brings a new mix with its crossover: both go out while
// the master is muted, so the old mix never plays through the new filters.
void CTALQ50View::QueueMixBlocks(CKTV_OutData& out) {
    out.SetMixADirty(0);
    out.SetMixBDirty(0);
    m_KTVCommand.AddCommand(out.PackMixA(1));
    m_KTVCommand.AddCommand(out.PackMixB(1));
}

void CTALQ50View::SendPresetNameResetCurrent(int preset) {
    if (!m_bConnected)
        return;
    CModelLock lock(true);
    m_KTVCommand.AddCommand(BuildSystemFrame(INFO_PRESET_NAME, preset));
    g_DeviceSettings.CurrentPreset[0] = 0;
    m_KTVCommand.AddCommand(BuildSystemFrame(INFO_CURRENT_PRESET, 0));
}

void CTALQ50View::SetTransferMute(int restore) {
    CModelLock lock(true);
    if (!restore) {
        m_nSavedMasterOn = g_bMasterOn;
        g_bMasterOn = 0;
    } else {
        g_bMasterOn = BYTE(m_nSavedMasterOn);
    }
    m_KTVCommand.AddCommand(BuildSystemFrame(INFO_SYSTEM_DATA, 0));
}

void CTALQ50View::RequestSystemBlock5(int flag) {
    g_bSysBlock5Pending = flag != 0 && m_bConnected;
}

void CTALQ50View::RequestSystemBlock2(int flag) {
    g_bSysBlock2Pending = flag != 0 && m_bConnected;
}
