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

#include "link/FirmwareQueue.h"
#include "link/GuiThreadCall.h"
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
class ISyncForm;
class ISyncModel;
class CKTV_OutData;
class CTALQ50Doc;

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
    INetLink* GetNetLink() const { return m_pNet; }

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

    // ---- Firmware file and firmware transfer (TALQ50View_Firmware.cpp) ----
    int SelectFirmwareFile();
    int LoadFirmwareFile(int ignored);
    int DisconnectForUpdate();
    int ConnectUsbForUpdate(const CString& path);
    int ConnectNetworkForUpdate();
    // Reopens the link in update mode after the processor restarted; runs on
    // the GUI thread (the update dialog's reconnect polling asks it to).
    int ReconnectAfterReboot(int keepTrying);
    void OnFirmwareUpdateFailed();
    int AbortUpdateLink();
    void OnFirmwareDone(WPARAM ignored, LPARAM step);
    void OnUpdateReconnectFailed();
    void NextFirmwareFrame();
    void QueueFirmwareHandshake();
    void QueueDspFirmwareFrames();
    void QueueMcuFirmwareFrames();
    int UsbFirmwareWriteStep();
    int UsbFirmwareReadStep();
    int NetFirmwareWriteStep();
    int NetFirmwareReadStep();
    const CFirmwareFile& GetFirmwareFile() const { return m_firmware.File(); }
    // The firmware file, its folder and the language, in the registry
    // (TALQ50View_Settings.cpp).
    int SaveDspMcuSettings();
    // The folders the file dialogs start in (PC_File values 1..4); the
    // fourth is the firmware folder.
    int ReadFolderSetting(int which);
    int SaveFolderSettings(int which);
    static BOOL IsMissingFolder(const CString& path);
    CString* FolderMember(int which);
    CString m_strPresetFolder;
    CString m_strAllPresetsFolder;
    CString m_strMapFolder;
    CString m_strFirmwareFolder;

    // ---- Preset and output-map files, the live preset's name and the
    //      factory data (TALQ50View_Files.cpp) ----
    // Each returns 1 when the command was carried out, 0 when it was
    // cancelled or failed (and reported).
    int SavePresetFile();
    int LoadPresetFile();
    int BrowseAllPresetsFile();
    int ChooseAllPresetsFile() { return BrowseAllPresetsFile(); }
    int SaveAllPresetsFile();
    int LoadAllPresetsFile();
    int SaveOutputMapFile();
    int LoadOutputMapFile();
    // Names the live preset after a file's title and asks for the name to
    // be sent.
    void SetPresetNameFromFile(const CString& title);
    void MarkPresetNameChanged(int value);
    void RestoreFactoryData();
    // After an all-presets file was read into the images: the model, the
    // form, the input source and the processor follow them.
    void ApplyAllPresetsImages();
    // False when the factory data could not be written in full.
    bool ExtractDefaultDataFile();
    void SetDocument(CTALQ50Doc* document) { m_pDocument = document; }
    // Empty until the factory data was first written in this run.
    CString m_strDefaultDataPath;

    // ---- Link management and the USB link ----
    void RegisterHidNotification();
    // Device notices arrive on another thread: stop them before the view
    // starts going away, not from its destructor.
    void UnregisterHidNotification();
    void CreateUsbRegistryKey();
    int EnumerateHidDevices();
    int IsUsbPathFree(const CString& path);
    void MarkUsbInUse();
    void ClearUsbInUseMark();
    void ClearUsbKey();
    int ChooseFreeUsbDevice();
    // Both clear the receiver, as the socket's do.
    int OpenUsbDevice();
    void CloseUsbDevice();
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
    // Every disconnect clears the link mode; the connection-failure message
    // of a later transfer still names the link that was used last.
    void ClearLinkMode();
    int m_nLastLinkMode = 0;

    std::atomic<int> m_bConnected{0};
    int m_nFrameSeq = 0;
    int m_bIgnoreStatusMode = 0;

    // ---- Network link and the connect button (TALQ50View_Net.cpp) ----
    // The form and the model as the synchronisation sees them; each also
    // serves as the ILinkForm / ILinkModel of the link.
    void SetSyncForm(ISyncForm* form);
    void SetSyncModel(ISyncModel* model);
    // The commands it takes: the connect button and the items of its menu.
    static bool IsLinkCommand(UINT id);
    void OnConnectButton();
    void OnUsbDeviceMenu(UINT id);
    void OnMenuUsb();
    void OnMenuNetwork();
    void OnNetDeviceFound();
    void OnPingStop();

    // ---- Version check and live synchronisation (TALQ50View_Sync.cpp) ----
    void OnVersionInfo();
    void ShowVersionMismatch();
    void OnLiveDataReceived(int preset);
    void OnAllPresetsReceived();
    void OnRoutingReceived(int keep);
    void ApplySpeakerTypes();
    void LoadSpeakerTypes(int keepLock);
    void OnStatusReceived(int length);
    void OnEmptyDataReply();
    void SendCommand(int code, int param);
    void SendChannelData(int output, int mode);
    void SendPresetNameResetCurrent(int preset);
    void SetTransferMute(int restore);
    void RequestSystemBlock5(int flag);
    void RequestSystemBlock2(int flag);
    void OnSettingsChanged() {}
    void ClearLockFlags(int preset);
    void SelectInputSource(int mode, int store);
    int m_nSavedMasterOn = 0;

    // ---- Preset transfers (TALQ50View_Presets.cpp) ----
    void SendAllPresets();
    void SendPreset(int preset, int pack);
    int ReadAllPresets();
    void ReadPreset(int preset, int ignored);
    void SendOutputChannelData(int output);
    void SendOutputChannel(int output);
    void SendOutputChannelChecked(int output, int ignored);
    void ResetOutputEq();
    void ResetOutputChannelEq(int output);
    void CopyOutputChannel(int source, int target);
    void OnTransferDone();
    void SetProgressRange();
    void SendInputChannel(int input);
    void ResetInputEq(int input);

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
    // The communication thread's waits, all ended at once when it is told to
    // quit: a pause (false when told) and a USB read (which fails then).  A
    // step that finds the thread told to quit returns without judging the
    // link: what a stop cut short says nothing about the processor.
    static bool CommPause(int ms);
    static bool IsQuitting();
    static int ReadUsbReport(const std::shared_ptr<platform::HidDevice>& device, int timeoutMs);
    // The socket closed or opened with the receiver cleared: bytes of a reply
    // cut short on the old connection would hide the start of the next.
    void CloseSocket();
    int OpenSocket();
    void ReopenSocket();
    bool IsMatchingHidPath(const CString& path);
    void WaitWhileSuspended();
    // The notices and commands of the synchronisation and the network link.
    LRESULT HandleSyncMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Appends a frame counted for the progress bars at m_nFrameSeq, with an
    // end mark (kMarkNone, kMarkEnd, kMarkLast); the count goes up unless
    // `advance` is false.
    enum EndMark { kMarkNone, kMarkEnd, kMarkLast };
    void QueueCounted(std::unique_ptr<CSendData> frame, EndMark mark = kMarkNone, bool advance = true);
    // Queues the output's basic block with the output switched off, leaving
    // the model's on/off value and the block's change flag as they were.
    void QueueOutputMute(int output);
    // Queues the output's mix blocks 33 and 34 and clears their change flags.
    void QueueMixBlocks(CKTV_OutData& out);

    HWND m_hWnd = nullptr;
    CKTVCommand m_KTVCommand;
    ILinkForm* m_pForm = nullptr;
    ILinkModel* m_pModel = nullptr;
    INetLink* m_pNet = nullptr;
    ISyncForm* m_pSyncForm = nullptr;
    ISyncModel* m_pSyncModel = nullptr;
    CTALQ50Doc* m_pDocument = nullptr;

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

    // The firmware transfer: the loaded images and where their frames stand,
    // the step of the head frame, and the GUI thread's hand for the reopen
    // after the processor restarted.
    enum class FirmwareWrite {
        None,      // nothing to send
        Handshake, // the raw handshake pattern
        Frame,     // a firmware frame
        OverLimit, // written as often as allowed: the link is lost
        Refused,   // past the limit, already reported
    };
    FirmwareWrite TakeFirmwareHead(int (*writeLimit)(int step));
    void RemoveHandshakeMarker();
    // Stops the firmware steps and tells the view the link is lost.
    void AbandonFirmwareLink();
    // Ends the transfer when the frame of `step` went out whole, may not be
    // written again and was not refused; true when it did.
    bool GiveUpUnrepeatableFrame(int step);
    void StopAndDisconnect();
    int ReopenAfterRestart();
    CFirmwareQueue m_firmware;
    int m_nFirmwareStep = 0;
    CGuiThreadCall m_guiCall;
};
