#pragma once

// The view with the form and the whole model the synchronisation and the
// preset transfers work on, and a network link whose reachability a test
// sets.

#include "link/KTVDataLink.h"
#include "link/NetLink.h"
#include "link/SyncForm.h"
#include "link/SyncModel.h"
#include "model/FrameBuilders.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/Music_InData.h"
#include "tests/link/ViewLinkFixture.h"

#include <array>
#include <memory>

namespace linktest {

class RecordingSyncForm final : public ISyncForm {
public:
    void SetConnectButtonBitmaps(UINT normal, UINT, UINT) override { bitmap = normal; }
    void SetLinkLabel(const CString& text, bool) override { label = text; }
    void CloseTransferPopup() override { ++popupClosed; }

    void ShowUnlockedForm() override { ++unlockedShown; }
    void UpdateAllControls() override { ++allControlsUpdated; }
    void UpdateOutputControls() override {}
    void ShowPresetName() override {}
    void InvalidateView() override { ++invalidated; }
    void SetInputSourceEntry(int entry) override { inputSourceEntry = entry; }
    void UpdateStripTypeCaptions() override { ++captionsUpdated; }
    void UpdateStripsEnable() override { ++stripsEnableUpdated; }
    void RefreshBands() override { ++bandsRefreshed; }
    void ShowTransferPopup(int mode) override { popupMode = mode; }
    void SetProgressRanges(int upper) override {
        barUpper = upper;
        popupUpper = upper;
    }
    void SetPopupProgressRange(int upper) override { popupUpper = upper; }
    void TrackConnectMenu(const std::vector<ConnectMenuEntry>& entries) override {
        menu = entries;
        ++menusShown;
    }
    int ChooseAllPresetsFile() override { return fileChosen; }
    int SaveAllPresetsFile() override {
        ++allPresetsSaved;
        return 1;
    }

    UINT bitmap = 0;
    CString label;
    int popupClosed = 0;
    int unlockedShown = 0;
    int allControlsUpdated = 0;
    int invalidated = 0;
    int inputSourceEntry = -1;
    int captionsUpdated = 0;
    int stripsEnableUpdated = 0;
    int bandsRefreshed = 0;
    int popupMode = -1;
    int barUpper = -1;
    int popupUpper = -1;
    std::vector<ConnectMenuEntry> menu;
    int menusShown = 0;
    int fileChosen = 1;
    int allPresetsSaved = 0;
};

// A network link that reaches nothing: the tests set what the ping saw and
// whether a connect succeeds, and read what was asked.
class FakeNetLink final : public INetLink {
public:
    int Connect() override {
        ++connects;
        return connectResult;
    }
    int Close() override { return 1; }
    int Send(const char*, int, int) override { return 0; }
    int Receive(int* length) override {
        *length = 0;
        return 0;
    }
    int ReceiveShort(int* length) override { return Receive(length); }
    int SetRecvTimeout(int) override { return 1; }
    int IsDeviceOnLocalSubnet() override { return onSubnet; }
    void StartPing() override { ++pingStarts; }
    void StopPing(int keepThread) override { pingStops.push_back(keepThread); }
    int IsDeviceSeen() override { return seen; }

    int seen = 0;
    int onSubnet = 1;
    int connectResult = 0;
    int connects = 0;
    int pingStarts = 0;
    std::vector<int> pingStops;
};

inline void ResetSyncGlobals() {
    ResetLinkGlobals();
    g_bOnline = 0;
    g_bTransferBusy = 0;
    g_bNameCheckPending = 0;
    g_bPresetLocked = 0;
    g_bPresetUnlocking = 0;
    g_bDeviceLocked = 0;
    g_bOutputMapLocked = 0;
    g_nInputMode = 0;
    g_nCurOutChannel = 0;
    g_bNetLinkUp = 0;
    std::fill(std::begin(g_OutLinkTable), std::end(g_OutLinkTable), 0);
    g_saFreeUsbPaths.clear();
    g_strDeviceIp = "127.0.0.1";
}

class SyncView : public ViewLink {
protected:
    void SetUp() override {
        ViewLink::SetUp();
        ResetSyncGlobals();
        view->SetSyncForm(&syncForm);
        view->SetSyncModel(&model);
        view->SetNetLink(&net);
    }
    void TearDown() override {
        view->StopCommThread(1);
        ViewLink::TearDown();
        ResetSyncGlobals();
    }

    CKTVCommand& Queue() { return view->GetKTVCommand(); }

    // Copies of the queued frames, head first; the queue stays as it was.
    struct QueuedFrame {
        std::vector<BYTE> bytes;
        int counted = 0;
        int pos = 0;
        int notifyEnd = 0;
        int notifyLast = 0;
        BYTE command() const { return bytes[frame::kOffCommand]; }
        BYTE preset() const { return bytes[frame::kOffPreset]; }
        BYTE type() const { return bytes[frame::kOffType]; }
        BYTE channel() const { return bytes[frame::kOffChannel]; }
        BYTE block() const { return bytes[frame::kOffBlock]; }
        const BYTE* payload() const { return bytes.data() + frame::kOffPayload; }
    };
    std::vector<QueuedFrame> TakeQueue() {
        std::vector<QueuedFrame> frames;
        std::lock_guard lock(g_csSend);
        while (CSendData* head = Queue().GetCurrentCommand()) {
            frames.push_back({{head->GetData(), head->GetData() + head->GetLength()},
                              head->GetCountsProgress(),
                              head->GetProgressPos(),
                              head->GetNotifyEnd(),
                              head->GetNotifyLast()});
            Queue().PopCommand();
        }
        return frames;
    }

    // A link as a connect leaves it, without the communication thread.
    void ConnectWithoutThread() {
        OpenWithoutThread();
        view->m_nFrameSeq = 0;
    }

    RecordingSyncForm syncForm;
    CKTV_Data data;
    CKTVDataLink model{data};
    FakeNetLink net;
};

} // namespace linktest
