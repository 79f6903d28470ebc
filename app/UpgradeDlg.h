#pragma once

// The firmware-update dialog: the user picks the firmware file and the link
// (a USB device or the Wi-Fi device), the dialog puts the link into update
// mode and lends the link its status label and progress bar for the
// transfer.  When the link cannot be opened at once (the processor is still
// restarting) a reconnect poller retries every 500 ms.
//
// The communication thread writes to the label and the bar while the dialog
// is open; the dialog withdraws them, stops the polling and ends the
// poller's thread before any of its windows go.

#include "controls/GradientProgressCtrl.h"
#include "controls/TransparentStatic.h"
#include "platform/win/Button.h"
#include "platform/win/Dialog.h"
#include "platform/win/Edit.h"
#include "platform/win/Menu.h"

#include <memory>

class CReconnectPoller;
class CTALQ50View;

class CUpgradeDlg : public CDialog {
public:
    static constexpr UINT IDD = 270;
    static constexpr UINT kPathEdit = 1882;
    static constexpr UINT kBrowseButton = 1883;
    static constexpr UINT kStatusLabel = 1886;
    static constexpr UINT kProgressBar = 1414;
    static constexpr UINT kUpdateButton = 1881;
    static constexpr UINT kQuitButton = 1891;
    static constexpr UINT kInterfaceMenu = 114;
    static constexpr UINT kMenuUsb = 732;
    static constexpr UINT kMenuNetwork = 733;
    static constexpr UINT kUsbDeviceFirst = 6600;
    static constexpr UINT kUsbDeviceLast = 6700;
    static constexpr int kWidth = 397;
    static constexpr int kHeight = 160;

    explicit CUpgradeDlg(CTALQ50View& link, CWnd* parent = nullptr);
    ~CUpgradeDlg() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnOK() override {}
    void OnCancel() override {}

    void OnUpdate();
    void OnBrowse();
    void OnQuit();
    void OnMenuUsb();
    void OnMenuNetwork();
    void OnSelectUsbDevice(UINT id);
    BOOL StartUsbUpdate(const CString& path);
    BOOL StartNetworkUpdate();

    // The result of the update-mode connect made by the last start.
    int IsConnectedAtStart() const { return m_bConnectedAtStart; }
    bool IsPolling() const;
    CGradientProgressCtrl& GetProgress() { return m_progress; }
    CTransparentStatic& GetStatusLabel() { return m_stTip; }

protected:
    void OnClose();
    void OnDestroy();
    LRESULT OnReconnected(WPARAM, LPARAM result);
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    DECLARE_MESSAGE_MAP()

private:
    BOOL StartUpdate(int linkMode, const CString& path);
    void StopPolling();
    // Takes the label and the bar away from the link, stops the polling and
    // ends the poller's thread; only the first call does anything.
    void Release();

    CTALQ50View& m_link;
    CEdit m_editPath;
    CButton m_btnBrowse;
    CButton m_btnUpdate;
    CButton m_btnQuit;
    CTransparentStatic m_stTip;
    CGradientProgressCtrl m_progress;
    CMenu m_menuInterface;
    int m_bConnectedAtStart = 0;
    std::unique_ptr<CReconnectPoller> m_pPoller;
    bool m_bReleased = false;
};
