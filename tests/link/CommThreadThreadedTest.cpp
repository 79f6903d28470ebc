// The communication thread running against the simulated processor: the
// automatic connect and its handshake, HID interfaces coming and going while
// the link runs, and the halt after an empty data reply.

#include "tests/link/ViewLinkFixture.h"

#include "platform/sys/Process.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include <sys/resource.h>

namespace {

using linktest::ViewLink;

const platform::HidDeviceInfo kKeyboard{"/dev/hidraw-keyboard", 0x1A2C, 0x0E24, 0x0110};

class CommThreadThreaded : public ViewLink {
protected:
    void TearDown() override {
        if (view)
            view->StopCommThread(1);
        ViewLink::TearDown();
    }

    std::size_t CountRequests(BYTE type, BYTE channel) {
        std::size_t n = 0;
        for (const auto& r : processor.Requests())
            n += r.type == type && r.channel == channel;
        return n;
    }
    std::size_t StatusPolls() { return CountRequests(DATA_DEVICE_INFO, INFO_STATUS); }

    void ConnectAutomatically() {
        view->InitLink();
        ASSERT_TRUE(Until([&] { return StatusPolls() >= 2; })) << "the link polls the status once connected";
        ASSERT_EQ(g_nLinkMode, 1);
    }
};

TEST_F(CommThreadThreaded, StartUpConnectsRunsTheHandshakeAndThenPolls) {
    ConnectAutomatically();
    const auto requests = processor.Requests();
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ(requests[0].channel, INFO_HANDSHAKE);
    EXPECT_EQ(requests[1].channel, INFO_VERSION_LABEL);
    // What follows is not ordered: the version notice queues name reads on
    // the GUI thread while the thread appends status polls.
    EXPECT_TRUE(std::any_of(requests.begin() + 2, requests.end(), [](const auto& r) {
        return r.type == DATA_DEVICE_INFO && r.channel == INFO_STATUS;
    }));
    EXPECT_EQ(g_bHandshakeWait, 0);
    EXPECT_TRUE(Until([&] { return view->Count(UM_VERSION_INFO) == 1; }));
    EXPECT_EQ(form.label, "Connected device");
    EXPECT_EQ(Mark(Bus().ProcessorPath()), std::to_string(GetCurrentProcessId()));

    view->StopCommThread(1);
    EXPECT_FALSE(view->IsCommThreadAlive());
    EXPECT_EQ(g_bUsbLinkUp, 0);
    EXPECT_EQ(view->m_bConnected, 0);
}

TEST_F(CommThreadThreaded, AnotherHidDeviceComingAndGoingLeavesTheLinkRunning) {
    ConnectAutomatically();
    Bus().AddForeignDevice(kKeyboard);
    Bus().RemoveForeignDevice(kKeyboard.path);
    ASSERT_TRUE(Until([&] { return view->Count(WM_DEVICECHANGE) == 2; }));
    // Counted from an empty log: the processor keeps only its latest
    // requests, and a thread polling on the virtual clock fills it while this
    // one waits, after which the count no longer grows.
    processor.ClearRequests();
    EXPECT_TRUE(Until([&] { return StatusPolls() >= 5; })) << "exchanges go on";
    EXPECT_EQ(view->Count(UM_LINK_LOST), 0);
    EXPECT_EQ(g_nLinkMode, 1);
    EXPECT_TRUE(g_hUsbRead.IsOpen());
}

TEST_F(CommThreadThreaded, UnpluggingTheProcessorEndsTheLinkAndPluggingItInConnectsAgain) {
    ConnectAutomatically();
    const CString path = Bus().ProcessorPath();
    Bus().Unplug();
    ASSERT_TRUE(Until([&] { return g_nLinkMode == 0 && !view->IsCommThreadAlive(); }));
    EXPECT_TRUE(Until([&] { return !boxes.Entries().empty(); }));
    EXPECT_EQ(boxes.Entries().front().text, "Connection failure!");
    EXPECT_EQ(Mark(path), "");

    processor.ClearRequests();
    Bus().Plug();
    EXPECT_TRUE(Until([&] { return g_nLinkMode == 1 && StatusPolls() >= 1; }));
    EXPECT_EQ(processor.Requests().front().channel, INFO_HANDSHAKE);
}

TEST_F(CommThreadThreaded, AnUpdateAbortHoldsForOnePassAndTheExchangesGoOn) {
    ConnectAutomatically();
    g_bUpdateAbort = 1;
    ASSERT_TRUE(Until([] { return g_bUpdateAbort == 0; }));
    processor.ClearRequests(); // as above: a full log no longer counts up
    EXPECT_TRUE(Until([&] { return StatusPolls() >= 3; }));
}

TEST_F(CommThreadThreaded, OnlyTheProcessorArrivingConnects) {
    Bus().Unplug();
    view->InitLink();
    Bus().AddForeignDevice(kKeyboard);
    // The unplug's own notice may still be on its way: wait for the keyboard's.
    ASSERT_TRUE(Until([&] { return view->Count(WM_DEVICECHANGE) >= 1; }));
    Until([] { return false; }, 100);
    EXPECT_EQ(g_nLinkMode, 0) << "a keyboard is not a processor";
    EXPECT_FALSE(g_hUsbRead.IsOpen());

    Bus().Plug();
    EXPECT_TRUE(Until([&] { return StatusPolls() >= 1; }));
    EXPECT_EQ(g_strUsbDevicePath, Bus().ProcessorPath());
}

TEST_F(CommThreadThreaded, AnEmptyDataReplyHaltsTheThreadWithoutBusyWaiting) {
    sim::SimFault empty(sim::SimFaultKind::EmptyPayload);
    empty.type = DATA_DEVICE_INFO;
    empty.channel = INFO_STATUS;
    processor.InjectFault(empty);
    view->InitLink();
    ASSERT_TRUE(Until([&] { return g_nLinkMode == 1; }));
    // The view would stop the link on the notice; left unhandled, the thread
    // shows how it waits meanwhile.
    const auto halted = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!g_bDataStepHalted && std::chrono::steady_clock::now() < halted)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(g_bDataStepHalted, 1);
    const std::size_t requests = processor.Requests().size();

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const auto cpuMs = [](const rusage& u) {
        return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
               (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
    };
    EXPECT_LT(cpuMs(after) - cpuMs(before), 100.0) << "a halted thread waits";
    EXPECT_EQ(processor.Requests().size(), requests) << "no exchange while halted";
    EXPECT_TRUE(view->IsCommThreadAlive());

    view->StopCommThread(1);
    EXPECT_FALSE(view->IsCommThreadAlive());
}

} // namespace
