#pragma once

// The main view, as far as the device link goes: it owns the command object
// (send queue and reply parser) and the communication thread, opens and closes
// the USB and network links, and reacts to link loss and to HID interfaces
// coming and going.  Its form and pages belong to the application, which
// builds them on this class and hands the link the few parts it changes
// (ILinkForm), the model (ILinkModel) and the network link (INetLink).
//
// Everything runs on the thread that made the view (the GUI thread), except
// the communication thread's procedure and its steps.

#include "link/KTVCommand.h"
#include "platform/hid/HidBackend.h"
#include "platform/sys/MessageQueue.h"
#include "platform/sys/WinTypes.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class ILinkForm;
class ILinkModel;
class INetLink;

// WM_DEVICECHANGE events and the notice's device type for an interface.
inline constexpr UINT DBT_DEVICEARRIVAL = 0x8000;
inline constexpr UINT DBT_DEVICEREMOVECOMPLETE = 0x8004;
inline constexpr DWORD DBT_DEVTYP_DEVICEINTERFACE = 5;

// The data of a device-interface notice: its type and the interface path.
struct DeviceNotice {
    DWORD dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    CString dbcc_name;
};

class CTALQ50View : public platform::MessageTarget, private platform::HidChangeSink {
public:
    CTALQ50View();
    ~CTALQ50View() override;
    CTALQ50View(const CTALQ50View&) = delete;
    CTALQ50View& operator=(const CTALQ50View&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    CKTVCommand& GetKTVCommand() { return m_KTVCommand; }
    void SetLinkForm(ILinkForm* form) { m_pForm = form; }
    void SetLinkModel(ILinkModel* model) { m_pModel = model; }
    void SetNetLink(INetLink* net) { m_pNet = net; }

    // The link's share of OnInitialUpdate: the parser's notice window, HID
    // notices, the in-use key, and the automatic connect posted to itself.
    void InitLink();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // ---- Communication thread and exchange steps ----
    int CreateCommThread();
    int StartCommThread();
    int StopCommThread(int full);
    static unsigned CommThreadProc(CTALQ50View* view);
    bool IsCommThreadAlive() const { return m_bThreadAlive != 0; }

    int UsbDataStep();
    int UsbWriteStep();
    int UsbReadStep();
    int FeedHidReport();
    int NetDataStep();
    int NetWriteStep();
    int NetReadStep();
    int UsbFirmwareStep();
    int NetFirmwareStep();

    // ---- Link management and the USB link ----
    void RegisterHidNotification();
    void CreateUsbRegistryKey();
    int EnumerateHidDevices();
    int IsUsbPathFree(const CString& path);
    void MarkUsbInUse();
    void ClearUsbInUseMark();
    void ClearUsbKey();
    int ChooseFreeUsbDevice();
    int OpenUsbDevice();
    int ConnectUsb();
    int ReopenUsb();
    int ConnectUsbPath(const CString& path);
    void OnAutoConnect();
    void DisconnectUsb();
    int ConnectNetwork();
    void DisconnectNetwork();
    void ShowLinkState(int connected);
    void OnLinkLost();
    BOOL OnDeviceChange(UINT event, const DeviceNotice* data);
    // Leaves firmware-update mode: the communication thread runs data steps
    // again and device removal is judged as outside an update.
    static void EndUpdateMode();

    // ---- Connect handshake and connection messages ----
    void RequestDeviceInfo(int full);
    void ShowConnectFailed();
    void ShowUsbLinkFailed();

    std::atomic<int> m_bConnected{0};
    int m_nFrameSeq = 0;
    int m_bIgnoreStatusMode = 0;

private:
    // A frame may be written this often before the link counts as lost.
    static constexpr int kMaxFrameWrites = 2;
    static constexpr int kThreadWaitMs = 5000;
    static constexpr int kUsbReportWaitMs = 20;
    static constexpr int kUsbReplyReportMs = 2000;
    static constexpr int kUsbReplyLimitMs = 3000;

    void OnHidArrival(const std::string& path) override;
    void OnHidRemoval(const std::string& path) override;
    void QueueDeviceNotice(UINT event, const std::string& path);

    // The steps every USB connect shares once the device is open.
    void BeginUsbLink();
    // The frame for an empty queue; the caller holds g_csSend.
    std::unique_ptr<CSendData> NextFrame();
    void PostLinkLost(LPARAM reason);
    void ReopenSocket();
    bool IsMatchingHidPath(const CString& path);
    void WaitWhileSuspended();

    HWND m_hWnd = nullptr;
    CKTVCommand m_KTVCommand;
    ILinkForm* m_pForm = nullptr;
    ILinkModel* m_pModel = nullptr;
    INetLink* m_pNet = nullptr;

    std::unique_ptr<std::thread> m_pCommThread;
    std::atomic<int> m_bThreadAlive{0};
    std::atomic<int> m_bThreadRunning{1};
    // Resuming a thread that was created suspended or suspended itself.
    std::mutex m_resumeMutex;
    std::condition_variable m_resumed;
    bool m_bResume = false;

    std::mutex m_noticeMutex;
    std::deque<DeviceNotice> m_notices;
    bool m_bHidSubscribed = false;
};
