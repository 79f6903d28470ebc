#pragma once

// The process-wide state of the parameter model: the device images and the
// settings area beside them, the shared texts, flags and tables that several
// windows and both threads use.  They all live here so there is one place to
// look.  Everything is plain data that lives for the whole run.

#include "model/ArgbColor.h"
#include "model/FrameFormat.h"
#include "model/ModeTable.h"
#include "model/OutputGroups.h"
#include "platform/sys/CriticalSection.h"
#include "platform/sys/Messages.h"
#include "platform/sys/WinTypes.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

// ---- Device image layout ----------------------------------------------------

inline constexpr int kDeviceImageSize = 5000;
inline constexpr int kPresetCount = 6;
inline constexpr int kOutputCount = 12;
inline constexpr int kMusicInputCount = 4;

inline constexpr int kPresetNameOffset = 0;
inline constexpr int kPresetNameSize = 16;
inline constexpr int kSystemRecordOffset = 32;
inline constexpr int kSystemRecordSentSize = 96; // a whole-record frame carries bytes 32-127
inline constexpr int kMicRecordOffset = 184;
inline constexpr int kMicRecordSize = 112;
inline constexpr int kMusicRecordOffset = 296;
inline constexpr int kMusicRecordSize = 288;
inline constexpr int kOutputRecordOffset = 1448;
inline constexpr int kOutputRecordSize = 296;
inline constexpr int kBlockSize = 8;
inline constexpr int kChannelNameSize = 8;

constexpr int MusicRecordOffset(int input) {
    return kMusicRecordOffset + kMusicRecordSize * input;
}
constexpr int OutputRecordOffset(int output) {
    return kOutputRecordOffset + kOutputRecordSize * output;
}

// The live image of one preset, byte for byte as the processor holds it.
extern BYTE g_DeviceImage[kDeviceImageSize];
// Stored preset p (1..6) at index p - 1.
extern BYTE g_PresetImages[kPresetCount][kDeviceImageSize];

// ---- Device settings area ---------------------------------------------------

// The blocks outside a preset that device-information frames address by
// sub-id.  Fields are in memory order; the preset files copy them as they are.
struct DeviceSettingsArea {
    BYTE VersionLabel[12]; // 11 bytes used
    BYTE SoundDelay[98];
    BYTE InputSettings[8]; // 0 input mode, 1 routing-table type, 4 routing selection (255 none)
    BYTE SystemData[8];    // 0-1 master volume, 3 noise-gate threshold, 6 master on, 7 last threshold
    BYTE SpeakerTypes[16]; // 0-11 speaker type of each output
    BYTE CurrentPreset[8]; // 0 the current preset (0 live, 1..6 stored)
    BYTE LockBlock[8];
};
static_assert(sizeof(DeviceSettingsArea) == 158);
// Plain bytes: it is copied and cleared as a whole by files and tests.
static_assert(std::is_trivial_v<DeviceSettingsArea>);

extern DeviceSettingsArea g_DeviceSettings;

// The master volume and master-on flag are fields of SystemData; these views
// let callers use them by name while the bytes stay the one copy.
class MasterVolumeField {
public:
    operator WORD() const;
    MasterVolumeField& operator=(WORD value);
};
class MasterOnField {
public:
    operator BYTE() const;
    MasterOnField& operator=(BYTE value);
};
extern MasterVolumeField g_nMasterVolume;
extern MasterOnField g_bMasterOn;

extern int g_DeviceStatus[16];       // last status-poll reply, one byte per entry
extern int g_DeviceInfoReadOrder[8]; // sub-ids the connect sequence reads
extern BYTE g_DefaultOutputMap[kOutputCount];
// Twelve complete output records that replace the live ones when a locked
// preset is reset; constant data, contiguous like the image's output records.
using DefaultOutputRecordTable = std::array<std::array<BYTE, kOutputRecordSize>, kOutputCount>;
extern const DefaultOutputRecordTable g_DefaultOutputRecords;

// High-pass frequency, family, slope; low-pass frequency, family, slope.
extern BYTE g_CrossoverTable[kOutputCount][8];

// Entry 0 the link-active flag, 1..12 the link tag of each output, 13..24
// the output objects (pointers stored as integers).
extern std::intptr_t g_OutLinkTable[25];

// ---- Link state shared with the model ---------------------------------------

inline constexpr int kTxFrameSize = 316;
extern BYTE g_TxFrame[kTxFrameSize]; // transmit template of every frame builder
extern int g_nDeviceAddress;         // header byte 5 of every frame; the processor answers at 1
// The USB output report the writer sends: report id 0, then up to 64 frame
// bytes (CSendData::NextHidChunk fills it under the send lock).
extern BYTE g_UsbOutReport[frame::kHidReportSize];
extern CCriticalSection g_csSend; // guards the send queue and g_TxFrame, on both threads
// Guards the model objects, the device images, the settings area, the preset
// lock flag and password and the shown preset name, on both threads.  Held
// only for short copies and stores, never across I/O, a sleep or a message
// box.  A thread that needs both locks takes g_csSend first.
extern CCriticalSection g_csModel;

// Holds g_csModel, and before it g_csSend when `withSend` (a frame is
// built from the template): the order every thread that needs both keeps.
class CModelLock {
public:
    explicit CModelLock(bool withSend) : m_bWithSend(withSend) {
        if (m_bWithSend)
            g_csSend.Lock();
        g_csModel.Lock();
    }
    ~CModelLock() {
        g_csModel.Unlock();
        if (m_bWithSend)
            g_csSend.Unlock();
    }
    CModelLock(const CModelLock&) = delete;
    CModelLock& operator=(const CModelLock&) = delete;

private:
    bool m_bWithSend;
};
extern int g_nLinkMode; // 0 none, 1 USB, 2 network
extern int g_bNetLinkUp;
extern int g_nInputMode;
extern std::atomic<int> g_bOnline; // set by the link, read by every setter
extern int g_bTransferBusy;
extern BYTE g_CommFlags[14];
extern CStringArray g_saHidPaths;
extern CStringArray g_saFreeUsbPaths;
// The view window that receives the parser's notices and the change
// tracker's UM_PRESET_NAME_CHANGED.
extern std::atomic<HWND> g_pNotifyView;

// ---- Change tracking flags --------------------------------------------------
// Set by the view and the frame builders, taken by the change tracker.

extern std::atomic<int> g_bSysBlock5Pending;
extern std::atomic<int> g_bSysBlock2Pending;
extern std::atomic<int> g_bPresetNamePending;
extern std::atomic<int> g_bNameCheckPending;

// ---- View state -------------------------------------------------------------

extern int g_bChinese;
extern int g_nCurPage;
extern int g_nCurOutChannel;
extern int g_nCurInChannel;
extern int g_bOutCurveShown[kOutputCount];

// ---- Link groups --------------------------------------------------------------
// Group g (0..11) carries the number g + 1 in g_OutLinkTable and byte 287.

// Set for an output once it was edited; a set flag keeps it from rejoining
// the group it left with a single click.
extern int g_bOutChanged[kOutputCount];
extern int g_bLinkGroupUsed[kOutputCount];
extern int g_nLinkGroupSize[kOutputCount]; // active members
// Bit k: output k is an active member or left with a single click and may
// rejoin.
extern int g_nLinkGroupMask[kOutputCount];
struct LastLinkGroup {
    int bLeft = 0;  // left nGroup with a single click and may rejoin it
    int nGroup = 0; // the group the output is in or was last in
};
extern LastLinkGroup g_LastLinkGroup[kOutputCount];
extern int g_bLinkGroupForming; // 1 after a creation, 0 after any leave
extern int g_nLinkGroupFounder; // the output that last created a group; -1 before the first
extern int g_nWorkMode;

// ---- Locks ------------------------------------------------------------------

extern int g_bPresetLocked;
extern int g_bPresetUnlocking;
extern int g_bDeviceLocked;
extern int g_bOutputMapLocked;
extern CString g_strPresetPassword;
extern CString g_strDevicePassword;
extern CString g_strEnteredPassword;
extern const CString g_strMasterPassword;

// ---- Texts ------------------------------------------------------------------

extern const CString g_strMachineType;
extern const CString g_strCustomPresetName;
extern const CString g_strMapMagic;  // first item of an output-map file
extern CString g_strShownPresetName; // use the two operations below, they take g_csModel

extern const CString g_strUsbFailEn, g_strUsbFailZh;
extern const CString g_strWifiFailEn, g_strWifiFailZh;
extern const CString g_strRestoreEqEn, g_strRestoreEqZh;
extern const CString g_strBypassEqEn, g_strBypassEqZh;
extern const CString g_strResetEqEn, g_strResetEqZh;
extern const CString g_strPeqToGeqEn, g_strPeqToGeqZh;
extern const CString g_strGeqToPeqEn, g_strGeqToPeqZh;
extern const CString g_strNotConnectedEn, g_strNotConnectedZh;
extern const CString g_strConnectedEn, g_strConnectedZh;
extern const CString g_strPromptEn, g_strPromptZh;
extern const CString g_strWarnEn, g_strWarnZh;
extern const CString g_strVersionEn, g_strVersionZh;

extern const CString g_strTitle;
extern CString g_strHexFile;
extern CString g_strLanguage;

extern const CString g_strPresetExt, g_strPresetFilter;
extern const CString g_strAllPresetsExt, g_strAllPresetsFilter;
extern const CString g_strMapExt, g_strMapFilter;
extern const CString g_strFirmwareExt, g_strFirmwareFilter;

extern CString g_strUsbDevicePath;
extern CString g_strDeviceIp; // KT_DEVICE_IP overrides the access-point address
extern const CString g_strWifiLabel;
extern CString g_strAllPresetsPath;

// ---- Curve colours ----------------------------------------------------------

extern const ArgbColor g_clrOutCurves[8];
extern const ArgbColor g_clrOutRouteExtra[4];
extern const ArgbColor g_clrEffectCurve;
extern const ArgbColor g_clrMicCurves[1];
extern const ArgbColor g_clrMusicCurves[4];

// ---- Speaker types, output groups, routing modes ----------------------------

// Entries 0..24 the state of each speaker type (1 excluded, 2 in use,
// 3 free), 25 unused, 26..37 the speaker type of outputs 0..11.
inline constexpr int kSpkTypeStateSize = 38;
inline constexpr int kSpkTypeOutputBase = 26;
extern BYTE g_SpkTypeState[kSpkTypeStateSize];

struct SpkPair {
    int first = 0;
    int second = 0;
    int used = 0;
};
inline constexpr int kSpkPairCount = 6;
// Table A (index 0) and table B (index 1) of left/right output pairs.
extern SpkPair g_SpkPairs[2][kSpkPairCount];

extern COutputGroups g_OutputGroups;
extern GroupSelection g_GroupSelection;

extern CModeTable g_ModeTable;

// ---- Operations on the shared state -----------------------------------------

void ClearCommFlags();

// The preset name last shown by the view; both threads read and write it.
CString GetShownPresetName();
void SetShownPresetName(const CString& name);
