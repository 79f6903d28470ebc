// Opening and closing the link: the USB device among the machine's HID
// interfaces, the in-use marks between running instances, the network link's
// connect and disconnect, link loss and HID arrival and removal.

#include "link/LinkForm.h"
#include "link/LinkGlobals.h"
#include "link/LinkModel.h"
#include "link/LinkProgress.h"
#include "link/NetLink.h"
#include "link/TALQ50View.h"
#include "model/FrameBuilders.h"
#include "model/Globals.h"
#include "platform/sys/MessageBox.h"
#include "platform/sys/Process.h"
#include "platform/sys/Registry.h"
#include "platform/sys/UserMessages.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>

namespace {

const CString kUsbKey = "Software\\KAVRO-TUNE-V2.03_2.exe\\USB";
constexpr DWORD kMarkBufferSize = 64;
constexpr int kCodePrompt = 2000;
constexpr int kCodeWarning = 2001;

const char* Text(const char* zh, const char* en) {
    return g_bChinese ? zh : en;
}

bool SamePath(const CString& a, const CString& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

void ShowUpdateFailed() {
    const char* text = Text("固件更新失败", "The firmware update failed");
    AfxMessageBox(text, MB_OK, kCodeWarning);
    WithUpdateStatusLabel([text](ILinkStatusLabel& label) { label.SetText(text); });
}

} // namespace

CTALQ50View::CTALQ50View() : m_hWnd(platform::RegisterMessageTarget(this)) {}

CTALQ50View::~CTALQ50View() {
    if (m_pCommThread)
        StopCommThread(0);
    UnregisterHidNotification();
    platform::UnregisterMessageTarget(m_hWnd);
}

void CTALQ50View::InitLink() {
    g_pNotifyView = m_hWnd;
    m_KTVCommand.SetNotifyWnd(m_hWnd);
    RegisterHidNotification();
    CreateUsbRegistryKey();
    PostMessage(m_hWnd, UM_AUTO_CONNECT, 0, 0);
}

LRESULT CTALQ50View::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case UM_AUTO_CONNECT:
        OnAutoConnect();
        return 0;
    case UM_LINK_LOST:
        OnLinkLost();
        return 0;
    case UM_FIRMWARE_DONE:
        OnFirmwareDone(wParam, lParam);
        return 0;
    case UM_UPDATE_RECONNECT_FAILED:
        OnUpdateReconnectFailed();
        return 0;
    case WM_DEVICECHANGE: {
        DeviceNotice notice;
        {
            std::lock_guard lock(m_noticeMutex);
            if (m_notices.empty())
                return TRUE;
            notice = std::move(m_notices.front());
            m_notices.pop_front();
        }
        return OnDeviceChange(UINT(wParam), &notice);
    }
    default:
        return HandleSyncMessage(message, wParam, lParam);
    }
}

// ---- HID notices ---------------------------------------------------------------

void CTALQ50View::RegisterHidNotification() {
    if (m_bHidSubscribed)
        return;
    platform::HidBackend::Current().Subscribe(this);
    m_bHidSubscribed = true;
}

void CTALQ50View::UnregisterHidNotification() {
    if (!m_bHidSubscribed)
        return;
    platform::HidBackend::Current().Unsubscribe(this);
    m_bHidSubscribed = false;
}

void CTALQ50View::OnHidArrival(const std::string& path) {
    QueueDeviceNotice(DBT_DEVICEARRIVAL, path);
}
void CTALQ50View::OnHidRemoval(const std::string& path) {
    QueueDeviceNotice(DBT_DEVICEREMOVECOMPLETE, path);
}

void CTALQ50View::QueueDeviceNotice(UINT event, const std::string& path) {
    {
        std::lock_guard lock(m_noticeMutex);
        m_notices.push_back({DBT_DEVTYP_DEVICEINTERFACE, path});
    }
    PostMessage(m_hWnd, WM_DEVICECHANGE, event, 0);
}

// ---- In-use marks --------------------------------------------------------------
// A mark holds the process id of the instance that has the device open, so
// the mark of an instance that ended without deleting it does not count.

void CTALQ50View::CreateUsbRegistryKey() {
    HKEY key = nullptr;
    if (RegCreateKey(HKEY_CURRENT_USER, kUsbKey, &key) == ERROR_SUCCESS)
        RegCloseKey(key);
}

int CTALQ50View::IsUsbPathFree(const CString& path) {
    HKEY key = nullptr;
    if (RegOpenKey(HKEY_CURRENT_USER, kUsbKey, &key) != ERROR_SUCCESS) {
        CreateUsbRegistryKey();
        return 1;
    }
    CString owner;
    const bool marked = RegQueryStringValue(key, path, &owner, kMarkBufferSize) == ERROR_SUCCESS;
    RegCloseKey(key);
    return marked && platform::IsProcessAlive(owner) ? 0 : 1;
}

void CTALQ50View::MarkUsbInUse() {
    HKEY key = nullptr;
    if (RegOpenKey(HKEY_CURRENT_USER, kUsbKey, &key) != ERROR_SUCCESS)
        return;
    RegSetStringValue(key, g_strUsbDevicePath, std::to_string(GetCurrentProcessId()));
    RegCloseKey(key);
}

void CTALQ50View::ClearUsbInUseMark() {
    HKEY key = nullptr;
    if (RegOpenKey(HKEY_CURRENT_USER, kUsbKey, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValue(key, g_strUsbDevicePath);
    RegCloseKey(key);
}

void CTALQ50View::ClearUsbKey() {
    RegDeleteKey(HKEY_CURRENT_USER, kUsbKey);
    CreateUsbRegistryKey();
}

// ---- USB -----------------------------------------------------------------------

int CTALQ50View::EnumerateHidDevices() {
    // The open link's handle is left alone: the communication thread may be
    // waiting on it.
    g_saHidPaths = platform::MatchingHidPaths(platform::HidBackend::Current().Enumerate(), g_nUsbVid,
                                              g_nUsbPid, g_nUsbVersion);
    if (g_saHidPaths.empty()) {
        ClearUsbKey();
        g_bUsbLinkUp = 0;
        return 0;
    }
    return 1;
}

bool CTALQ50View::IsMatchingHidPath(const CString& path) {
    const CStringArray matching = platform::MatchingHidPaths(platform::HidBackend::Current().Enumerate(),
                                                             g_nUsbVid, g_nUsbPid, g_nUsbVersion);
    return std::any_of(matching.begin(), matching.end(), [&](const CString& p) { return SamePath(p, path); });
}

int CTALQ50View::ChooseFreeUsbDevice() {
    if (!g_strUsbDevicePath.empty() && IsUsbPathFree(g_strUsbDevicePath))
        return 1;
    if (!EnumerateHidDevices())
        return 0;
    for (const CString& path : g_saHidPaths) {
        if (IsUsbPathFree(path)) {
            g_strUsbDevicePath = path;
            return 1;
        }
    }
    g_strUsbDevicePath.clear();
    return 0;
}

int CTALQ50View::OpenUsbDevice() {
    auto device = platform::HidBackend::Current().Open(g_strUsbDevicePath);
    if (!device)
        return 0;
    g_hUsbRead.Set(std::move(device));
    // What was read from a device before is no part of its next reply.
    m_KTVCommand.ResetReceiver();
    g_bUsbLinkUp = 1;
    MarkUsbInUse();
    return 1;
}

int CTALQ50View::ConnectUsb() {
    if (ChooseFreeUsbDevice() && OpenUsbDevice()) {
        g_nLinkMode = 1;
        return 1;
    }
    for (const CString& path : g_saHidPaths) {
        if (!IsUsbPathFree(path))
            continue;
        g_strUsbDevicePath = path;
        if (OpenUsbDevice()) {
            g_nLinkMode = 1;
            return 1;
        }
    }
    g_strUsbDevicePath.clear();
    return 0;
}

void CTALQ50View::CloseUsbDevice() {
    if (const auto device = g_hUsbRead.Get())
        device->Close();
    g_hUsbRead.Set(nullptr);
    std::memset(g_UsbInReport, 0, sizeof g_UsbInReport);
    std::memset(g_UsbOutReport, 0, sizeof g_UsbOutReport);
    m_KTVCommand.ResetReceiver();
}

int CTALQ50View::ReopenUsb() {
    CloseUsbDevice();
    if (ConnectUsb())
        return 1;
    // A processor that restarted may come back at another path.  The failed
    // connect forgot the old one, so the next looks at what is there now.
    return ConnectUsb();
}

void CTALQ50View::BeginUsbLink() {
    m_KTVCommand.ClearCommands();
    if (m_pModel)
        m_pModel->SetAllDirty(0);
    m_nFrameSeq = 0;
    m_bConnected = 1;
    {
        std::lock_guard lock(g_csSend);
        RequestDeviceInfo(0);
    }
    std::memset(g_UsbInReport, 0, sizeof g_UsbInReport);
    ShowLinkState(1);
    StartCommThread();
}

int CTALQ50View::ConnectUsbPath(const CString& path) {
    if (!IsUsbPathFree(path))
        return 0;
    g_strUsbDevicePath = path;
    if (!OpenUsbDevice())
        return 0;
    g_nLinkMode = 1;
    BeginUsbLink();
    return 1;
}

void CTALQ50View::OnAutoConnect() {
    if (ConnectUsb())
        BeginUsbLink();
    if (m_pNet)
        m_pNet->StartPing();
}

void CTALQ50View::DisconnectUsb() {
    CloseUsbDevice();
    m_bConnected = 0;
    g_bTransferBusy = 0;
    g_bOnline = 0;
    g_bSysBlock5Pending = 0;
    g_bSysBlock2Pending = 0;
    if (m_pModel)
        m_pModel->SetAllDirty(0);
    if (m_pForm)
        m_pForm->CloseTransferPopup();
    ShowLinkState(0);
    ClearUsbInUseMark();
    ClearLinkMode();
}

// ---- Network -------------------------------------------------------------------

int CTALQ50View::ConnectNetwork() {
    if (g_nLinkMode != 0)
        return 0;
    g_nLinkMode = 2;
    if (m_pNet && m_pNet->IsDeviceOnLocalSubnet() && OpenSocket()) {
        m_KTVCommand.SetNotifyWnd(m_hWnd);
        m_KTVCommand.ClearCommands();
        if (m_pModel)
            m_pModel->SetAllDirty(0);
        m_nFrameSeq = 0;
        m_bConnected = 1;
        {
            std::lock_guard lock(g_csSend);
            g_bNetLinkUp = 1;
            RequestDeviceInfo(0);
        }
        StartCommThread();
        ShowLinkState(1);
        return 1;
    }
    AfxMessageBox(Text(g_strWifiFailZh.c_str(), g_strWifiFailEn.c_str()), MB_OK, kCodePrompt);
    ClearLinkMode();
    return 0;
}

void CTALQ50View::DisconnectNetwork() {
    if (m_pNet)
        CloseSocket();
    m_bConnected = 0;
    g_bTransferBusy = 0;
    g_bOnline = 0;
    if (m_pModel)
        m_pModel->SetAllDirty(0);
    ShowLinkState(0);
    if (m_pForm)
        m_pForm->CloseTransferPopup();
    ClearLinkMode();
    g_bNetLinkUp = 0;
}

// ---- State, loss and device changes -------------------------------------------

void CTALQ50View::ShowLinkState(int connected) {
    if (!m_pForm)
        return;
    if (g_bChinese) {
        if (connected)
            m_pForm->SetConnectButtonBitmaps(8741, 8750, 8750);
        else
            m_pForm->SetConnectButtonBitmaps(8751, 8740, 8740);
        m_pForm->SetLinkLabel(connected ? g_strConnectedZh : g_strNotConnectedZh, !connected);
    } else {
        if (connected)
            m_pForm->SetConnectButtonBitmaps(8743, 8752, 8752);
        else
            m_pForm->SetConnectButtonBitmaps(8753, 8742, 8742);
        m_pForm->SetLinkLabel(connected ? g_strConnectedEn : g_strNotConnectedEn, !connected);
    }
}

void CTALQ50View::EndUpdateMode() {
    g_bUpgrading = 0;
    g_nLastFirmwareStep = 0;
}

void CTALQ50View::OnLinkLost() {
    if (!m_bConnected)
        return;
    StopCommThread(1);
    if (g_bUpgrading) {
        g_bUpgrading = 0;
        ShowUpdateFailed();
    }
    EndUpdateMode();
    ShowConnectFailed();
    if (g_nLinkMode == 1)
        DisconnectUsb();
    else if (g_nLinkMode == 2)
        DisconnectNetwork();
    std::lock_guard lock(g_csSend);
    m_KTVCommand.ClearCommands();
}

BOOL CTALQ50View::OnDeviceChange(UINT event, const DeviceNotice* data) {
    if (!data || data->dbcc_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return TRUE;
    const CString& path = data->dbcc_name;
    if (event == DBT_DEVICEARRIVAL) {
        // Only the processor's own interface is taken; other HID devices come
        // and go unnoticed.
        if (g_nLinkMode == 0 && !m_bConnected && !g_bReconnectPending && IsMatchingHidPath(path))
            ConnectUsbPath(path);
        return TRUE;
    }
    if (event != DBT_DEVICEREMOVECOMPLETE)
        return TRUE;

    if (!SamePath(path, g_strUsbDevicePath) || g_nLinkMode != 1) {
        EnumerateHidDevices();
        return TRUE;
    }
    if (!g_bUsbLinkUp || !m_bConnected)
        return TRUE;
    // During an update the processor goes away by design: after the start
    // frame it restarts into its loader, and the handshake pattern may reset it.
    if (g_bUpgrading && g_nLastFirmwareStep == HEXApply) {
        g_bUsbLinkUp = 0;
        return TRUE;
    }
    if (g_bUpgrading && g_nLastFirmwareStep == FIRMWARE_HANDSHAKE)
        return TRUE;

    g_bUsbLinkUp = 0;
    StopCommThread(1);
    if (g_nLinkMode == 1)
        DisconnectUsb();
    else if (g_nLinkMode == 2)
        DisconnectNetwork();
    if (g_bUpgrading)
        ShowUpdateFailed();
    ShowUsbLinkFailed();
    ClearUsbInUseMark();
    EnumerateHidDevices();
    EndUpdateMode();
    g_strUsbDevicePath.clear();
    return TRUE;
}

// ---- Connect handshake and connection messages ----------------------------------

void CTALQ50View::RequestDeviceInfo(int full) {
    if (!full) {
        g_bHandshakeWait = 1;
        m_KTVCommand.AddCommand(BuildRequestFrame9(INFO_HANDSHAKE, 0));
        m_KTVCommand.AddCommand(BuildRequestFrame9(g_DeviceInfoReadOrder[7], 0));
        return;
    }
    auto counted = [this](std::unique_ptr<CSendData> frame) {
        if (!frame)
            return;
        frame->SetCountsProgress(1);
        frame->SetProgressPos(m_nFrameSeq++);
        m_KTVCommand.AddCommand(std::move(frame));
    };
    for (int preset = 1; preset <= kPresetCount; ++preset)
        counted(BuildRequestFrame9(INFO_PRESET_NAME, preset));
    for (int i = 0; i < 6; ++i)
        counted(BuildRequestFrame9(g_DeviceInfoReadOrder[i], 0));
}

void CTALQ50View::ClearLinkMode() {
    if (g_nLinkMode != 0)
        m_nLastLinkMode = g_nLinkMode;
    g_nLinkMode = 0;
}

void CTALQ50View::ShowConnectFailed() {
    const int mode = g_nLinkMode != 0 ? g_nLinkMode : m_nLastLinkMode;
    if (mode == 1)
        AfxMessageBox(Text(g_strUsbFailZh.c_str(), g_strUsbFailEn.c_str()), MB_OK, kCodePrompt);
    else if (mode == 2)
        AfxMessageBox(Text(g_strWifiFailZh.c_str(), g_strWifiFailEn.c_str()), MB_OK, kCodePrompt);
}

void CTALQ50View::ShowUsbLinkFailed() {
    if (g_bUpgrading)
        return;
    AfxMessageBox(Text(g_strUsbFailZh.c_str(), g_strUsbFailEn.c_str()), MB_OK, kCodePrompt);
}
