// Reopening the link in update mode when the first connect found the
// processor still restarting: the update dialog's polling asks the view every
// 500 ms, on the GUI thread, until the link is up or 21 tries failed.

#include "link/NetLink.h"
#include "link/ReconnectPoller.h"
#include "platform/sys/MessageWindow.h"
#include "tests/link/FirmwareFixture.h"

namespace {

using firmware_test::FirmwareBytes;
using firmware_test::McuImage;

// A network link whose processor the ping never saw.
class UnseenNetLink final : public INetLink {
public:
    int Connect() override { return 0; }
    int Close() override { return 1; }
    int Send(const char*, int, int) override { return 0; }
    int Receive(int* length) override {
        *length = -1;
        return kNetTimedOut;
    }
    int ReceiveShort(int* length) override { return Receive(length); }
    int SetRecvTimeout(int) override { return 1; }
    int IsDeviceOnLocalSubnet() override { return 1; }
    void StartPing() override {}
    void StopPing(int) override {}
    int IsDeviceSeen() override { return 0; }
};

class FirmwareReconnectThreaded : public firmwaretest::FirmwareView {
protected:
    // The update dialog's start: load, connect in update mode, and poll when
    // that connect failed.
    void Start(int linkMode) {
        Load(FirmwareBytes({}, McuImage(500)));
        g_nLinkMode = linkMode;
        const int connected = linkMode == 1 ? view->ConnectUsbForUpdate(Bus().ProcessorPath())
                                            : view->ConnectNetworkForUpdate();
        ASSERT_EQ(connected, 0);
        g_bReconnectPending = 1;
        poller.StartPolling();
    }

    // Advances the clock in 100 ms steps, handling what the ticks posted.
    void Run(int ms) {
        for (int t = 0; t < ms; t += 100) {
            clock->Advance(100);
            platform::PumpMessages();
        }
    }

    std::vector<LPARAM> Reports() {
        std::vector<LPARAM> results;
        for (const auto& m : dialog.TakeMessages())
            if (m.message == UM_UPDATE_RECONNECTED)
                results.push_back(m.lParam);
        return results;
    }

    platform::MessageWindow dialog;
    CReconnectPoller poller{dialog.GetSafeHwnd(),
                            [this](int keepTrying) { return view->ReconnectAfterReboot(keepTrying); }};
};

TEST_F(FirmwareReconnectThreaded, OverUsbTheTryAfterTheProcessorCameBackStartsTheUpdate) {
    Bus().Unplug();
    // The notice of its going comes before it can come back.
    ASSERT_TRUE(Until([&] { return view->Count(WM_DEVICECHANGE) == 1; }));
    Start(1);
    Run(1500);
    EXPECT_TRUE(Reports().empty());
    EXPECT_EQ(label.Texts(), std::vector<CString>{"Connected Usb"});
    EXPECT_FALSE(view->IsCommThreadAlive());

    Bus().Plug();
    ASSERT_TRUE(Until([&] { return view->Count(WM_DEVICECHANGE) == 2; }));
    Run(500);
    EXPECT_EQ(Reports(), std::vector<LPARAM>{1}) << "the fourth try connects";
    EXPECT_FALSE(poller.IsPolling());
    EXPECT_EQ(g_bUpgrading, 1);
    ASSERT_TRUE(Until([&] { return view->Count(UM_FIRMWARE_DONE) == 1 && g_nLinkMode == 0; }));
    EXPECT_TRUE(processor.Firmware().complete);
    EXPECT_EQ(BoxTexts(), std::vector<CString>{"Update successfully"});
}

TEST_F(FirmwareReconnectThreaded, OverUsbTheTwentyFirstFailedTryEndsTheUpdate) {
    Bus().Unplug();
    Start(1);
    Run(10'000);
    EXPECT_TRUE(Reports().empty());
    EXPECT_TRUE(BoxTexts().empty()) << "twenty quiet tries";
    Run(500);
    EXPECT_EQ(Reports(), std::vector<LPARAM>{0});
    EXPECT_EQ(BoxTexts(), (std::vector<CString>{"Connection failure!", "The firmware update failed!"}));
    EXPECT_EQ(boxes.Entries().back().helpId, 2001);
    EXPECT_EQ(g_bUpgrading, 0);
    Run(2000);
    EXPECT_EQ(BoxTexts().size(), 2u) << "no try after the last";
}

TEST_F(FirmwareReconnectThreaded, OverTheNetworkTheTwentyFirstFailedTryEndsTheUpdate) {
    UnseenNetLink net;
    view->SetNetLink(&net);
    Start(2);
    Run(10'000);
    EXPECT_EQ(label.Texts(), std::vector<CString>{"Connected NetWork"});
    EXPECT_TRUE(Reports().empty());
    Run(500);
    EXPECT_EQ(Reports(), std::vector<LPARAM>{0});
    EXPECT_EQ(label.Texts().back(), "The firmware update failed");
    EXPECT_EQ(view->Count(UM_UPDATE_RECONNECT_FAILED), 1);
    EXPECT_EQ(BoxTexts(), (std::vector<CString>{"Connection failure!", "The firmware update failed"}));
    EXPECT_EQ(g_bUpgrading, 0);
    view.reset();
}

} // namespace
