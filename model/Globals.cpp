#include "model/Globals.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <mutex>

BYTE g_DeviceImage[kDeviceImageSize] = {};
BYTE g_PresetImages[kPresetCount][kDeviceImageSize] = {};
DeviceSettingsArea g_DeviceSettings = {};

MasterVolumeField g_nMasterVolume;
MasterOnField g_bMasterOn;

MasterVolumeField::operator WORD() const {
    return WORD(g_DeviceSettings.SystemData[0] | (g_DeviceSettings.SystemData[1] << 8));
}

MasterVolumeField& MasterVolumeField::operator=(WORD value) {
    g_DeviceSettings.SystemData[0] = BYTE(value & 0xFF);
    g_DeviceSettings.SystemData[1] = BYTE(value >> 8);
    return *this;
}

MasterOnField::operator BYTE() const {
    return g_DeviceSettings.SystemData[6];
}

MasterOnField& MasterOnField::operator=(BYTE value) {
    g_DeviceSettings.SystemData[6] = value;
    return *this;
}

int g_DeviceStatus[16] = {};
int g_DeviceInfoReadOrder[8] = {};
BYTE g_DefaultOutputMap[kOutputCount] = {};
BYTE g_CrossoverTable[kOutputCount][8] = {};
std::intptr_t g_OutLinkTable[25] = {};

namespace {

using OutputRecord = std::array<BYTE, kOutputRecordSize>;
using OutputRecords = DefaultOutputRecordTable;

constexpr WORD kIsoFrequencies[31] = {20,   25,   32,   40,   50,   63,    80,    100,   125,  160,  200,
                                      250,  315,  400,  500,  630,  800,   1000,  1250,  1600, 2000, 2500,
                                      3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};
constexpr BYTE kDefaultRecordTypes[kOutputCount] = {1, 5, 7, 11, 21, 18, 21, 24, 1, 5, 7, 11};

constexpr void PutBlock(OutputRecord& record, int block, std::array<BYTE, 8> bytes) {
    for (int i = 0; i < 8; ++i)
        record[block * 8 + i] = bytes[i];
}

constexpr OutputRecords MakeDefaultOutputRecords() {
    OutputRecords records{};
    for (int c = 0; c < kOutputCount; ++c) {
        OutputRecord& r = records[c];
        for (int band = 0; band < 31; ++band) {
            WORD f = kIsoFrequencies[band];
            PutBlock(r, band, {BYTE(f & 0xFF), BYTE(f >> 8), 0x58, 0x02, 52, 0x00, 0, 0});
        }
        PutBlock(r, 31, {0x01, 0x00, 0x58, 0x02, 0x00, 0x00, 0x00, kDefaultRecordTypes[c]});
        PutBlock(r, 32, {0xDC, 0x05, 0x01, 0x06, 0x20, 0x4E, 0x01, 0x06});
        // Records 1, 3, 5 ... carry the odd mix levels at 100, records 2, 4, 6 ... the even ones.
        std::array<BYTE, 8> mix = (c % 2 == 0) ? std::array<BYTE, 8>{0x64, 0, 0x64, 0, 0x64, 0, 0x64, 0}
                                               : std::array<BYTE, 8>{0, 0x64, 0, 0x64, 0, 0x64, 0, 0x64};
        PutBlock(r, 33, mix);
        PutBlock(r, 34, mix);
        PutBlock(r, 35, {0xA4, 0x01, 0x14, 0x00, 0x14, 0x00, 0x00, 0x00});
        PutBlock(r, 36, {' ', ' ', ' ', ' ', ' ', ' ', ' ', 0});
    }
    return records;
}

CString InitialDeviceIp() {
    if (const char* ip = std::getenv("KT_DEVICE_IP"); ip && *ip)
        return ip;
    return "192.168.4.1";
}

} // namespace

constinit const DefaultOutputRecordTable g_DefaultOutputRecords = MakeDefaultOutputRecords();

BYTE g_TxFrame[kTxFrameSize] = {};
int g_nDeviceAddress = frame::kDeviceAddress;
BYTE g_UsbOutReport[frame::kHidReportSize] = {};
CCriticalSection g_csSend;
CCriticalSection g_csModel;
int g_nLinkMode = 0;
int g_bNetLinkUp = 0;
int g_nInputMode = 0;
std::atomic<int> g_bOnline{0};
int g_bTransferBusy = 0;
BYTE g_CommFlags[14] = {};
CStringArray g_saHidPaths;
CStringArray g_saFreeUsbPaths;
std::atomic<HWND> g_pNotifyView{nullptr};

std::atomic<int> g_bSysBlock5Pending{0};
std::atomic<int> g_bSysBlock2Pending{0};
std::atomic<int> g_bPresetNamePending{0};
std::atomic<int> g_bNameCheckPending{0};

int g_bChinese = 0;
int g_nCurPage = 0;
int g_nCurOutChannel = 0;
int g_nCurInChannel = 0;
int g_bOutCurveShown[kOutputCount] = {};
int g_bOutChanged[kOutputCount] = {};
int g_bLinkGroupUsed[kOutputCount] = {};
int g_nLinkGroupSize[kOutputCount] = {};
int g_nLinkGroupMask[kOutputCount] = {};
LastLinkGroup g_LastLinkGroup[kOutputCount] = {};
int g_bLinkGroupForming = 0;
int g_nLinkGroupFounder = -1;
int g_nWorkMode = 1;

int g_bPresetLocked = 0;
int g_bPresetUnlocking = 0;
int g_bDeviceLocked = 0;
int g_bOutputMapLocked = 0;
CString g_strPresetPassword;
CString g_strDevicePassword;
CString g_strEnteredPassword = "385172";
const CString g_strMasterPassword = "QZ4085";

const CString g_strMachineType = "KAVRO-TUNE";
const CString g_strCustomPresetName = "Custom";
const CString g_strMapMagic = "TALQ500_Map";
CString g_strShownPresetName;

const CString g_strUsbFailEn = "Connection failure!";
const CString g_strUsbFailZh = "连接失败  请检查USB线缆是否插好或\n该设备已经连接上了另一软件!";
const CString g_strWifiFailEn = "Connection failure!";
const CString g_strWifiFailZh = "连接失败  请检查WIFI是否已连接到设备或\n该设备已经连接上了另一软件!";
const CString g_strRestoreEqEn = "Whether Restore All EQ?";
const CString g_strRestoreEqZh = "是否恢复所有均衡?";
const CString g_strBypassEqEn = "Whether ByPass All EQ?";
const CString g_strBypassEqZh = "是否直通所有均衡?";
const CString g_strResetEqEn = "Whether the reset All EQ?";
const CString g_strResetEqZh = "是否重置所有均衡?";
const CString g_strPeqToGeqEn = "Whether the PEQ Mode convert to GEQ Mode?";
const CString g_strPeqToGeqZh = "是否把参量均衡模式转换为图示均衡模式?";
const CString g_strGeqToPeqEn = "Whether the GEQ Mode convert to PEQ Mode?";
const CString g_strGeqToPeqZh = "是否把图示均衡模式转换为参量均衡模式?";
const CString g_strNotConnectedEn = "Not connected devices";
const CString g_strNotConnectedZh = "未连接设备";
const CString g_strConnectedEn = "Connected device";
const CString g_strConnectedZh = "已连接设备";
const CString g_strPromptEn = "Prompting";
const CString g_strPromptZh = "提示";
const CString g_strWarnEn = "Warning";
const CString g_strWarnZh = "警告";
const CString g_strVersionEn = "Software version KWEN-DV1.03";
const CString g_strVersionZh = "软件版本 KWEN-DV1.03";

const CString g_strTitle = "KAVRO-TUNE";
CString g_strHexFile;
CString g_strLanguage;

const CString g_strPresetExt = "rdds";
const CString g_strPresetFilter = ".rdds|*.rdds||";
const CString g_strAllPresetsExt = "rdda";
const CString g_strAllPresetsFilter = ".rdda|*.rdda||";
const CString g_strMapExt = "vxvc";
const CString g_strMapFilter = ".vxvc|*.vxvc||";
const CString g_strFirmwareExt = "bin";
const CString g_strFirmwareFilter = ".bin|*.bin||";

CString g_strUsbDevicePath;
CString g_strDeviceIp = InitialDeviceIp();
const CString g_strWifiLabel = "WIFI";
CString g_strAllPresetsPath;

constinit const ArgbColor g_clrOutCurves[8] = {
    {255, 231, 29, 0},    {255, 5, 5, 245},   {255, 4, 126, 7},   {255, 246, 245, 5},
    {255, 255, 255, 255}, {255, 255, 0, 255}, {255, 1, 251, 252}, {255, 0, 255, 0},
};
constinit const ArgbColor g_clrOutRouteExtra[4] = {
    {255, 125, 128, 0},
    {255, 0, 0, 255},
    {150, 50, 0, 255},
    {100, 0, 50, 255},
};
constinit const ArgbColor g_clrEffectCurve = {220, 255, 0, 0};
constinit const ArgbColor g_clrMicCurves[1] = {{255, 255, 128, 51}};
constinit const ArgbColor g_clrMusicCurves[4] = {
    {255, 0, 255, 255},
    {255, 223, 18, 123},
    {255, 2, 123, 192},
    {255, 255, 255, 0},
};

BYTE g_SpkTypeState[kSpkTypeStateSize] = {};
SpkPair g_SpkPairs[2][kSpkPairCount] = {};

void ClearCommFlags() {
    std::memset(g_CommFlags, 0, sizeof g_CommFlags);
}

CString GetShownPresetName() {
    std::lock_guard lock(g_csModel);
    return g_strShownPresetName;
}

void SetShownPresetName(const CString& name) {
    std::lock_guard lock(g_csModel);
    g_strShownPresetName = name;
}

COutputGroups g_OutputGroups;
GroupSelection g_GroupSelection;
CModeTable g_ModeTable;
