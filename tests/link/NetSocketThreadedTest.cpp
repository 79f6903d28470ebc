// The network link object: the ping and its verdicts, the subnet test, the
// ping tick's states, the TCP connection against the simulated processor on
// loopback, and the ping thread's timer.  The system's ping is replaced by a
// script; time is virtual except for the socket's own waits.

#include "link/LinkGlobals.h"
#include "link/Net_Socket.h"
#include "model/DeviceDefaults.h"
#include "model/FrameBuilders.h"
#include "model/Globals.h"
#include "platform/sys/MessageWindow.h"
#include "platform/sys/UserMessages.h"
#include "platform/sys/VirtualClock.h"
#include "sim/lib/SimTcpServer.h"
#include "tests/link/FakePing.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace {

using linktest::FakePingRunner;

class NetSocketThreaded : public ::testing::Test {
protected:
    void SetUp() override {
        InitDefaultDeviceData();
        g_strDeviceIp = "127.0.0.1";
        g_bFirmwareRebooting = 0;
        g_pNotifyView = notices.GetSafeHwnd();
        ping.Answer(true);
    }
    void TearDown() override {
        socket.reset();
        g_pNotifyView = nullptr;
        g_strDeviceIp = "127.0.0.1";
        g_nDevicePort = 8899;
    }

    int Found() {
        int n = 0;
        for (const auto& m : notices.TakeMessages())
            n += m.message == UM_NET_DEVICE_FOUND;
        return n;
    }
    int Tick(bool running = true) {
        std::atomic<bool> flag = running;
        return socket->OnPingTick(&flag);
    }

    // Declared first: outlives the ping thread that sleeps on it.
    std::unique_ptr<platform::VirtualClock> clock = std::make_unique<platform::VirtualClock>();
    FakePingRunner ping;
    platform::MessageWindow notices;
    std::unique_ptr<CNet_Socket> socket = std::make_unique<CNet_Socket>();
};

TEST_F(NetSocketThreaded, PingVerdicts) {
    struct Case {
        const char* name;
        std::string output;
        bool ends;
        int result;
        int elapsedMs;
    };
    const Case cases[] = {
        {"answer", "64 bytes from 127.0.0.1: icmp_seq=1 TTL=64 time=0.05 ms", true, 1, 0},
        {"answer in lower case", "64 bytes from 127.0.0.1: icmp_seq=1 ttl=64", true, 1, 0},
        {"child ended without an answer", "1 packets transmitted, 0 received, 100% packet loss", true, 0, 0},
        {"child still running at 3000 ms", "", false, 0, 3000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ping.SetOutput(c.output);
        ping.SetEnds(c.ends);
        const int killsBefore = ping.Kills();
        const auto start = clock->NowMs();
        EXPECT_EQ(socket->PingDevice(), c.result);
        EXPECT_EQ(socket->GetLastPingResult(), c.result);
        EXPECT_EQ(clock->NowMs() - start, c.elapsedMs);
        EXPECT_EQ(ping.Kills() - killsBefore, c.ends ? 0 : 1);
        EXPECT_EQ(ping.WaitedMs(), 3000);
        EXPECT_EQ(ping.LastArgv(), (std::vector<std::string>{"ping", "-c", "1", "-W", "3", "127.0.0.1"}));
    }
}

TEST_F(NetSocketThreaded, LoopbackIsALocalSubnetAndAFarAddressIsNot) {
    // 203.0.113.0/24 is reserved for documentation: no adapter lies there.
    const std::pair<const char*, int> cases[] = {
        {"127.0.0.1", 1}, {"127.20.30.40", 1}, {"203.0.113.9", 0}, {"", 0}};
    for (const auto& [address, onSubnet] : cases) {
        SCOPED_TRACE(address);
        g_strDeviceIp = address;
        EXPECT_EQ(socket->IsDeviceOnLocalSubnet(), onSubnet);
    }
}

TEST_F(NetSocketThreaded, PingTickStates) {
    struct Step {
        const char* name;
        const char* address;
        bool answers;
        bool running;
        int rebooting;
        int seen;
        int pings;
        int found;
        int elapsedMs;
    };
    const Step steps[] = {
        {"off every subnet: not pinged", "203.0.113.9", true, true, 0, 0, 0, 0, 1000},
        {"on the subnet, no answer", "127.0.0.1", false, true, 0, 0, 1, 0, 1000},
        {"stopped meanwhile: no ping", "127.0.0.1", true, false, 0, 0, 0, 0, 0},
        {"answers", "127.0.0.1", true, true, 0, 1, 1, 1, 1000},
        {"seen: not pinged again", "127.0.0.1", true, true, 0, 1, 0, 0, 1000},
        {"the address left the subnets", "203.0.113.9", true, true, 0, 0, 0, 0, 1000},
        {"back after a firmware update: settles first", "127.0.0.1", true, true, 1, 1, 1, 1, 6000},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        g_strDeviceIp = s.address;
        ping.Answer(s.answers);
        g_bFirmwareRebooting = s.rebooting;
        const int pingsBefore = ping.Starts();
        const auto start = clock->NowMs();
        EXPECT_EQ(Tick(s.running), s.seen);
        EXPECT_EQ(socket->IsDeviceSeen(), s.seen);
        EXPECT_EQ(ping.Starts() - pingsBefore, s.pings);
        EXPECT_EQ(Found(), s.found);
        EXPECT_EQ(clock->NowMs() - start, s.elapsedMs);
        if (s.found) {
            EXPECT_EQ(g_bFirmwareRebooting, 0);
        }
    }
}

TEST_F(NetSocketThreaded, ConnectsOnlyToAProcessorThePingHasSeen) {
    sim::SimProcessor processor;
    sim::SimTcpServer server(processor);
    ASSERT_TRUE(server.Start(0));
    g_nDevicePort = server.Port();

    EXPECT_EQ(socket->Connect(), 0) << "not seen yet";
    EXPECT_EQ(ping.Starts(), 0);
    Tick();
    ASSERT_EQ(socket->IsDeviceSeen(), 1);
    ping.Answer(false);
    EXPECT_EQ(socket->Connect(), 0) << "seen, but no answer now";
    ping.Answer(true);
    ASSERT_EQ(socket->Connect(), 1);

    std::unique_ptr<CSendData> poll;
    {
        std::lock_guard lock(g_csSend);
        poll = BuildBandFrame(DATA_STATUS_POLL, 0, 0);
    }
    ASSERT_EQ(socket->Send(reinterpret_cast<const char*>(poll->GetData()), poll->GetLength(), 0), 1);
    int length = 0;
    int total = 0;
    const int replyLength = 15 + 16; // the status list and the frame around it
    while (total < replyLength) {
        const int got = socket->Receive(&length);
        ASSERT_GT(got, 0);
        ASSERT_EQ(got, length);
        total += got;
    }
    EXPECT_EQ(g_NetRecvBuf[0], 0x5C) << "the reply starts with its preamble";

    EXPECT_EQ(total, replyLength);
    ASSERT_EQ(socket->SetRecvTimeout(30), 1);
    EXPECT_EQ(socket->Receive(&length), kNetTimedOut) << "nothing more comes: the time-out";
    EXPECT_LT(length, 0);

    server.Stop();
    EXPECT_EQ(socket->Receive(&length), 0) << "a closed connection";
    EXPECT_EQ(length, 0);
    socket->Close();
    EXPECT_EQ(socket->Connect(), 0) << "nothing listens any more";
}

class PingThreadThreaded : public NetSocketThreaded {};

TEST_F(PingThreadThreaded, TicksDoNotPileUpWhileACheckRuns) {
    ping.Answer(false); // every tick pings
    ping.SetGate(false);
    socket->StartPing();
    clock->Advance(500);
    ASSERT_TRUE(ping.WaitForStarts(1));
    clock->Advance(10 * 500); // ten ticks fall due while the first check hangs
    ping.SetGate(true);
    ASSERT_TRUE(ping.WaitForStarts(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(ping.Starts(), 2) << "one tick waited; the others were dropped";
}

// Closing must not wait out a ping that hangs: the stop ends the child and
// returns while the ping would still be running, with or without the thread.
TEST_F(PingThreadThreaded, StoppingEndsARunningCheckAtOnceAndThenNothingTicks) {
    ping.Answer(false);
    for (int keepThread : {1, 0}) {
        SCOPED_TRACE(keepThread);
        socket = std::make_unique<CNet_Socket>();
        const int starts = ping.Starts(), interrupts = ping.Interrupts();
        ping.SetGate(false); // the ping never ends by itself
        socket->StartPing();
        clock->Advance(500);
        ASSERT_TRUE(ping.WaitForStarts(starts + 1));

        auto stop = std::async(std::launch::async, [&] { socket->StopPing(keepThread); });
        const bool stopped = stop.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
        ping.SetGate(true); // lets a stop that waits for the ping end
        stop.wait();
        EXPECT_TRUE(stopped) << "the stop waited for the ping";
        EXPECT_EQ(ping.Interrupts() - interrupts, 1);
        EXPECT_EQ(clock->TimerCount(), 0u);

        clock->Advance(5000);
        platform::PumpMessages();
        EXPECT_EQ(ping.Starts(), starts + 1) << "nothing ticks after the stop";
    }
}

TEST_F(PingThreadThreaded, StartingAgainRestartsTheOneTimer) {
    socket->StartPing();
    socket->StartPing(); // a link lost after the automatic start
    EXPECT_EQ(clock->TimerCount(), 1u);
    clock->Advance(500);
    ASSERT_TRUE(ping.WaitForStarts(1));
    EXPECT_TRUE(notices.WaitForMessage(UM_NET_DEVICE_FOUND));
    socket->StopPing(1);
    EXPECT_EQ(clock->TimerCount(), 0u) << "no timer keeps ticking after the stop";
}

} // namespace
