// Closing the program while its network link reopens because the processor
// stopped answering.  The close button and a stop signal end it whichever
// wait of the reopen the link is in: the wait for the reply that never comes
// (the socket's close follows), the pause before the reopen, the ping before
// the connect.  In this test the clock never passes the pause by itself and
// the ping never answers by itself, so a close that waited for either would
// never end: a watchdog lets them go after a generous while, and that fails
// the test.

#include "link/Net_Socket.h"
#include "platform/win/Input.h"
#include "sim/lib/SimTcpServer.h"
#include "tests/app/AppFixture.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <future>
#include <thread>

namespace {

enum class Wait { ForTheReply, InThePause, InThePing };
enum class Ending { CloseButton, StopSignal };

class CloseWhileReopeningThreaded : public apptest::AppFixture {
protected:
    void TearDown() override {
        AppFixture::TearDown();
        server.Stop();
        g_nDevicePort = 8899;
    }

    // Online against the simulator on a free port; the ping answers.
    void GoOnline() {
        ping.Answer(true);
        ping.SetGate(true);
        clock->HoldSleepsFrom(0);
        processor.ClearFaults();
        ASSERT_TRUE(Start());
        clock->Advance(500); // the first ping tick finds the processor
        ASSERT_TRUE(PumpUntil([&] { return g_bOnline != 0; }));
        ASSERT_TRUE(PumpUntil([&] { return View()->GetStrip(11).IsWindowVisible() != FALSE; }));
    }

    // Runs `stop` and handles messages until the main window is gone.  Should
    // the close wait on the link after all, the pause and the ping are let go
    // in the end, and the test fails.
    bool CloseEndsWithoutWaitingOnTheLink(const std::function<void()>& stop) {
        std::promise<void> closed;
        std::atomic<bool> forced = false;
        std::thread watchdog([&, done = closed.get_future()] {
            if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
                forced = true;
                clock->HoldSleepsFrom(0);
                ping.SetGate(true);
            }
        });
        stop();
        const bool gone = PumpUntil([&] { return MainWindow() == nullptr; }, 60000);
        closed.set_value();
        watchdog.join();
        return gone && !forced;
    }

    sim::SimTcpServer server{processor};
};

TEST_F(CloseWhileReopeningThreaded, TheCloseButtonAndAStopSignalEndEveryWaitOfTheReopenAtOnce) {
    ASSERT_TRUE(server.Start(0));
    g_nDevicePort = server.Port();
    for (Wait wait : {Wait::ForTheReply, Wait::InThePause, Wait::InThePing}) {
        for (Ending ending : {Ending::CloseButton, Ending::StopSignal}) {
            SCOPED_TRACE(testing::Message() << "wait " << int(wait) << ", ending " << int(ending));
            GoOnline();
            const int pingsBefore = ping.Starts();
            const int pingWaitsBefore = ping.WaitsBegun();
            const int connectionsBefore = server.AcceptedCount();

            // The pause is held but in the ping case; no ping ends by itself.
            clock->HoldSleepsFrom(wait == Wait::InThePing ? 0 : 1000);
            ping.SetGate(false);
            processor.ClearRequests();
            sim::SimFault silence(sim::SimFaultKind::Silence);
            silence.count = -1;
            processor.InjectFault(silence);
            switch (wait) {
            case Wait::ForTheReply:
                // The processor has the request it will never answer.
                ASSERT_TRUE(PumpUntil([&] { return !processor.Requests().empty(); }));
                break;
            case Wait::InThePause:
                ASSERT_TRUE(clock->WaitForHeld(2000));
                break;
            case Wait::InThePing:
                ASSERT_TRUE(ping.WaitForWaits(pingWaitsBefore + 1));
                break;
            }

            const HWND closeButton = View()->GetDlgItem(2773)->GetSafeHwnd();
            EXPECT_TRUE(CloseEndsWithoutWaitingOnTheLink([&] {
                if (ending == Ending::CloseButton) {
                    platform::win::MouseInput(closeButton, WM_LBUTTONDOWN, POINT{3, 3}, MK_LBUTTON);
                    platform::win::MouseInput(closeButton, WM_LBUTTONUP, POINT{3, 3}, 0);
                } else {
                    std::raise(SIGTERM);
                }
            }));
            EXPECT_FALSE(View()->GetLink().IsCommThreadAlive());
            // Told to stop, the link went no further: no ping after the
            // reply's wait, no new connection at all.
            if (wait == Wait::ForTheReply) {
                EXPECT_EQ(ping.Starts(), pingsBefore);
            }
            EXPECT_EQ(server.AcceptedCount(), connectionsBefore);
            EXPECT_EQ(app->ExitInstance(), 0);
            Stop();
        }
    }
}

} // namespace
