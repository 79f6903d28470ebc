#include "app/UpgradeDlg.h"

#include "controls/SharedGdiObjects.h"
#include "link/LinkGlobals.h"
#include "link/LinkProgress.h"
#include "link/NetLink.h"
#include "link/ReconnectPoller.h"
#include "link/TALQ50View.h"
#include "model/Globals.h"
#include "platform/sys/MessageBox.h"
#include "platform/sys/UserMessages.h"

#include <mutex>
#include <string>

namespace {

// Caption codes of the quit question: the Chinese and the English warning,
// both waiting for an answer.
constexpr int kQuitQuestionZh = -4;
constexpr int kQuitQuestionEn = -5;
constexpr int kBoxPrompt = 2000;
constexpr int kMenuGap = 2;

CString LangText(const char* zh, const char* en) {
    return g_bChinese ? CString(zh) : CString(en);
}

} // namespace

BEGIN_MESSAGE_MAP(CUpgradeDlg, CDialog)
ON_WM_CTLCOLOR()
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_BN_CLICKED(CUpgradeDlg::kUpdateButton, &CUpgradeDlg::OnUpdate)
ON_BN_CLICKED(CUpgradeDlg::kBrowseButton, &CUpgradeDlg::OnBrowse)
ON_BN_CLICKED(CUpgradeDlg::kQuitButton, &CUpgradeDlg::OnQuit)
ON_COMMAND(CUpgradeDlg::kMenuUsb, &CUpgradeDlg::OnMenuUsb)
ON_COMMAND(CUpgradeDlg::kMenuNetwork, &CUpgradeDlg::OnMenuNetwork)
ON_COMMAND_RANGE(CUpgradeDlg::kUsbDeviceFirst, CUpgradeDlg::kUsbDeviceLast, &CUpgradeDlg::OnSelectUsbDevice)
ON_MESSAGE(UM_UPDATE_RECONNECTED, &CUpgradeDlg::OnReconnected)
END_MESSAGE_MAP()

CUpgradeDlg::CUpgradeDlg(CTALQ50View& link, CWnd* parent) : CDialog(IDD, parent), m_link(link) {}

CUpgradeDlg::~CUpgradeDlg() {
    Release();
    // While the controls are still members of a whole object.
    DestroyWindow();
}

void CUpgradeDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, kPathEdit, m_editPath);
    DDX_Control(dx, kBrowseButton, m_btnBrowse);
    DDX_Control(dx, kStatusLabel, m_stTip);
    DDX_Control(dx, kProgressBar, m_progress);
    DDX_Control(dx, kUpdateButton, m_btnUpdate);
    DDX_Control(dx, kQuitButton, m_btnQuit);
}

BOOL CUpgradeDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_bReleased = false;
    if (g_bChinese) {
        m_btnBrowse.SetWindowText("浏览文件");
        m_btnUpdate.SetWindowText("更新");
    }
    m_btnQuit.SetWindowText(LangText("退出", "Quit"));
    SetWindowText(LangText("设备固件更新", "Device Firmware Update"));

    CTALQ50View* link = &m_link;
    m_pPoller = std::make_unique<CReconnectPoller>(
        m_hWnd, [link](int keepTrying) { return link->ReconnectAfterReboot(keepTrying); });
    g_bReconnectPending = 0;

    m_editPath.SetWindowText(g_strHexFile);
    m_progress.SetShowPercent(1);
    m_stTip.SetTextColor(RGB(255, 0, 0));
    m_stTip.SetText({});
    {
        std::lock_guard lock(g_csFirmwareUi);
        g_pFirmwareProgress = &m_progress;
        g_pUpdateStatusLabel = &m_stTip;
    }

    SetWindowPos(nullptr, 0, 0, kWidth, kHeight, SWP_NOMOVE | SWP_NOZORDER);
    m_menuInterface.LoadMenu(kInterfaceMenu);
    return TRUE;
}

bool CUpgradeDlg::IsPolling() const {
    return m_pPoller && m_pPoller->IsPolling();
}

BOOL CUpgradeDlg::PreTranslateMessage(MSG* msg) {
    // Neither key may press a button or end the dialog: the focus goes to
    // the dialog itself, which ignores them.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        SetFocus();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

HBRUSH CUpgradeDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
    if (ctlColor == CTLCOLOR_DLG)
        return g_brDlgBk;
    return CDialog::OnCtlColor(dc, wnd, ctlColor);
}

// ---- Starting an update ----------------------------------------------------------

void CUpgradeDlg::OnUpdate() {
    g_bHandshakeWait = 0;
    if (g_bUpgrading || g_bReconnectPending)
        return;
    CRect button;
    m_btnUpdate.GetWindowRect(&button);
    m_link.DisconnectForUpdate();

    g_saFreeUsbPaths.clear();
    m_link.EnumerateHidDevices();
    for (const CString& path : g_saHidPaths)
        g_saFreeUsbPaths.push_back(path);
    const std::size_t count = g_saFreeUsbPaths.size();
    INetLink* net = m_link.GetNetLink();
    const bool reachable = net && net->IsDeviceSeen();

    if (count == 0) {
        if (reachable)
            StartNetworkUpdate();
        else
            AfxMessageBox(LangText("没有连接可以打开", "No connection can be opened"), MB_OK, kBoxPrompt);
        return;
    }
    if (count == 1 && !reachable) {
        StartUsbUpdate(g_saFreeUsbPaths.front());
        return;
    }
    const UINT flags = TPM_LEFTALIGN | TPM_RIGHTBUTTON;
    if (count == 1) {
        CMenu* popup = m_menuInterface.GetSubMenu(0);
        if (!popup)
            return;
        popup->ModifyMenu(kMenuNetwork, MF_BYCOMMAND | MF_STRING, kMenuNetwork, g_strDeviceIp);
        popup->TrackPopupMenu(flags, button.left, button.bottom + kMenuGap, this);
        return;
    }
    CMenu menu;
    menu.CreatePopupMenu();
    for (std::size_t i = 0; i < count && kUsbDeviceFirst + i <= kUsbDeviceLast; ++i)
        menu.AppendMenu(MF_STRING, kUsbDeviceFirst + UINT(i), "USB" + std::to_string(i + 1));
    if (reachable)
        menu.AppendMenu(MF_STRING, kMenuNetwork, g_strDeviceIp);
    menu.TrackPopupMenu(flags, button.left, button.bottom + kMenuGap, this);
    menu.DestroyMenu();
}

void CUpgradeDlg::OnMenuUsb() {
    if (!g_saFreeUsbPaths.empty())
        StartUsbUpdate(g_saFreeUsbPaths.front());
}

void CUpgradeDlg::OnMenuNetwork() {
    StartNetworkUpdate();
}

void CUpgradeDlg::OnSelectUsbDevice(UINT id) {
    // The list may have been rebuilt since the menu was shown.
    const std::size_t index = id - kUsbDeviceFirst;
    if (index < g_saFreeUsbPaths.size())
        StartUsbUpdate(g_saFreeUsbPaths[index]);
}

BOOL CUpgradeDlg::StartUsbUpdate(const CString& path) {
    return StartUpdate(1, path);
}

BOOL CUpgradeDlg::StartNetworkUpdate() {
    return StartUpdate(2, {});
}

BOOL CUpgradeDlg::StartUpdate(int linkMode, const CString& path) {
    g_bUpdateAbort = 0;
    g_bReconnectPending = 0;
    g_strHexFile = m_editPath.GetWindowText();
    if (!m_link.LoadFirmwareFile(0))
        return TRUE;
    m_link.DisconnectForUpdate();
    g_nLinkMode = linkMode;
    m_bConnectedAtStart = linkMode == 1 ? m_link.ConnectUsbForUpdate(path) : m_link.ConnectNetworkForUpdate();
    if (m_bConnectedAtStart) {
        m_progress.SetRange(0, g_nFirmwareFrameTotal);
        m_progress.SetPos(0);
    } else if (m_pPoller) {
        m_pPoller->StartPolling();
        g_bReconnectPending = 1;
    }
    return TRUE;
}

LRESULT CUpgradeDlg::OnReconnected(WPARAM, LPARAM result) {
    if (result) {
        m_progress.SetRange(0, g_nFirmwareFrameTotal);
        m_progress.SetPos(0);
        StopPolling();
    }
    g_bReconnectPending = 0;
    if (!result && g_pUpdateStatusLabel.load())
        m_stTip.SetText(LangText("固件更新失败", "The firmware update failed"));
    return 0;
}

// ---- File and quitting -----------------------------------------------------------------

void CUpgradeDlg::OnBrowse() {
    m_link.SelectFirmwareFile();
    m_editPath.SetWindowText(g_strHexFile);
}

void CUpgradeDlg::OnQuit() {
    if (g_bUpgrading) {
        const int answer = AfxMessageBox(
            LangText(
                "更新未完成，强行退出会损坏设备，是否退出?",
                "Update is not completed, will be forced to exit the damaged equipment, whether to exit?"),
            MB_YESNO, g_bChinese ? kQuitQuestionZh : kQuitQuestionEn);
        if (answer != IDYES)
            return;
        // The transfer may have ended while the question was open; a finished
        // update is not reported as failed.
        if (g_bUpgrading) {
            g_bUpdateAbort = 1;
            m_link.OnFirmwareUpdateFailed();
            g_bUpdateAbort = 0;
        }
    } else if (g_bReconnectPending) {
        StopPolling();
    }
    Release();
    EndDialog(IDCANCEL);
}

void CUpgradeDlg::OnClose() {
    PostMessage(WM_COMMAND, MAKEWPARAM(kQuitButton, BN_CLICKED), LPARAM(m_btnQuit.GetSafeHwnd()));
}

void CUpgradeDlg::OnDestroy() {
    Release();
}

void CUpgradeDlg::StopPolling() {
    if (m_pPoller)
        m_pPoller->StopPolling();
}

void CUpgradeDlg::Release() {
    if (m_bReleased)
        return;
    m_bReleased = true;
    {
        // Waits for a call of the communication thread that is under way;
        // none starts after this.
        std::lock_guard lock(g_csFirmwareUi);
        ILinkProgressBar* bar = &m_progress;
        g_pFirmwareProgress.compare_exchange_strong(bar, nullptr);
        ILinkStatusLabel* label = &m_stTip;
        g_pUpdateStatusLabel.compare_exchange_strong(label, nullptr);
    }
    StopPolling();
    m_pPoller.reset();
}
