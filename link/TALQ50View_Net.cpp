// The view's side of the network link and the connect button: the popup of
// free USB devices and the Wi-Fi entry, the menu commands, and the
// reachability ping's notice.

#include "link/LinkGlobals.h"
#include "link/NetLink.h"
#include "link/SyncForm.h"
#include "link/SyncModel.h"
#include "link/TALQ50View.h"
#include "link/ViewTexts.h"
#include "model/Globals.h"
#include "platform/sys/Clock.h"
#include "platform/sys/MessageBox.h"
#include "platform/sys/UserMessages.h"

namespace {

constexpr UINT kConnectButtonId = 1413;
constexpr UINT kMenuUsb = 732;
constexpr UINT kMenuNetwork = 733;
constexpr UINT kUsbDeviceMenuFirst = 6600;
constexpr UINT kUsbDeviceMenuLast = 6700;
constexpr int kDisconnectPauseMs = 500;

void ShowUsbConnectFailed() {
    AfxMessageBox(LangText(g_strUsbFailZh.c_str(), g_strUsbFailEn.c_str()), MB_OK, kBoxPrompt);
}

} // namespace

void CTALQ50View::SetSyncForm(ISyncForm* form) {
    m_pSyncForm = form;
    m_pForm = form;
}

void CTALQ50View::SetSyncModel(ISyncModel* model) {
    m_pSyncModel = model;
    m_pModel = model;
}

LRESULT CTALQ50View::HandleSyncMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case UM_VERSION_INFO:
        OnVersionInfo();
        return 0;
    case UM_LIVE_DATA_RECEIVED:
        OnLiveDataReceived(int(wParam));
        return 0;
    case UM_ALL_PRESETS_RECEIVED:
        OnAllPresetsReceived();
        return 0;
    case UM_ROUTING_RECEIVED:
        OnRoutingReceived(int(wParam));
        return 0;
    case UM_STATUS_RECEIVED:
        OnStatusReceived(int(lParam));
        return 0;
    case UM_EMPTY_DATA_REPLY:
        OnEmptyDataReply();
        return 0;
    case UM_TRANSFER_DONE:
        OnTransferDone();
        return 0;
    case UM_NET_DEVICE_FOUND:
        OnNetDeviceFound();
        return 0;
    case UM_PING_STOP:
        OnPingStop();
        return 0;
    case UM_PRESET_NAME_CHANGED:
        // The change tracking renamed the live preset: send the name once more.
        MarkPresetNameChanged(1);
        return 0;
    case WM_COMMAND: {
        const UINT id = UINT(wParam & 0xFFFF);
        const UINT code = UINT((wParam >> 16) & 0xFFFF);
        if (id == kConnectButtonId && code == 0)
            OnConnectButton();
        else if (id == kMenuUsb)
            OnMenuUsb();
        else if (id == kMenuNetwork)
            OnMenuNetwork();
        else if (id >= kUsbDeviceMenuFirst && id <= kUsbDeviceMenuLast)
            OnUsbDeviceMenu(id);
        return 0;
    }
    default:
        return 0;
    }
}

bool CTALQ50View::IsLinkCommand(UINT id) {
    return id == kConnectButtonId || id == kMenuUsb || id == kMenuNetwork ||
           (id >= kUsbDeviceMenuFirst && id <= kUsbDeviceMenuLast);
}

void CTALQ50View::OnConnectButton() {
    g_bHandshakeWait = 0;
    if (m_bConnected) {
        StopCommThread(1);
        Sleep(kDisconnectPauseMs);
        if (g_nLinkMode == 1)
            DisconnectUsb();
        else if (g_nLinkMode == 2)
            DisconnectNetwork();
        return;
    }

    g_saFreeUsbPaths.clear();
    EnumerateHidDevices();
    for (const CString& path : g_saHidPaths) {
        if (IsUsbPathFree(path))
            g_saFreeUsbPaths.push_back(path);
    }
    const std::size_t free = g_saFreeUsbPaths.size();
    const bool seen = m_pNet && m_pNet->IsDeviceSeen();

    std::vector<ConnectMenuEntry> menu;
    if (free > 0 && (seen || free > 1)) {
        if (free == 1) {
            menu = {{kMenuUsb, "USB"}, {kMenuNetwork, g_strWifiLabel}};
        } else {
            for (std::size_t i = 0; i < free; ++i)
                menu.push_back({kUsbDeviceMenuFirst + UINT(i), "USB" + std::to_string(i + 1)});
            if (seen)
                menu.push_back({kMenuNetwork, g_strDeviceIp});
        }
        if (m_pSyncForm)
            m_pSyncForm->TrackConnectMenu(menu);
    } else if (free == 1) {
        if (!ConnectUsbPath(g_saFreeUsbPaths.front()))
            ShowUsbConnectFailed();
    } else if (seen) {
        ConnectNetwork();
    } else {
        AfxMessageBox(LangText("没有连接可以打开", "No connection can be opened"), MB_OK, kBoxPrompt);
    }
}

void CTALQ50View::OnUsbDeviceMenu(UINT id) {
    const std::size_t index = id - kUsbDeviceMenuFirst;
    if (id < kUsbDeviceMenuFirst || index >= g_saFreeUsbPaths.size())
        return;
    if (!ConnectUsbPath(g_saFreeUsbPaths[index]))
        ShowUsbConnectFailed();
}

void CTALQ50View::OnMenuUsb() {
    g_nLinkMode = 1;
    if (ConnectUsb()) {
        BeginUsbLink();
        return;
    }
    ShowUsbConnectFailed();
    ClearLinkMode();
}

void CTALQ50View::OnMenuNetwork() {
    ConnectNetwork();
}

void CTALQ50View::OnNetDeviceFound() {
    if (ConnectNetwork())
        PostMessage(m_hWnd, UM_PING_STOP, 0, 0);
}

void CTALQ50View::OnPingStop() {
    if (m_pNet)
        m_pNet->StopPing(1);
}
