// The TCP data steps against the simulated processor, through a network link
// that hands the bytes straight to it.

#include "link/NetLink.h"
#include "model/FrameBuilders.h"
#include "tests/link/ViewLinkFixture.h"

#include <cstring>
#include <deque>

namespace {

using linktest::ViewLink;

class DirectNetLink final : public INetLink {
public:
    explicit DirectNetLink(sim::SimProcessor& processor) : m_processor(processor) {}

    int Connect() override {
        ++connects;
        return 1;
    }
    int Close() override {
        ++closes;
        return 1;
    }
    int Send(const char* data, int length, int) override {
        ++sends;
        if (failSends)
            return 0;
        for (const auto& reply :
             m_processor.Feed(m_collector, reinterpret_cast<const BYTE*>(data), std::size_t(length)))
            if (!reply.bytes.empty())
                m_pending.push_back(reply.bytes);
        return 1;
    }
    int Receive(int* length) override {
        ++receives;
        if (chatterEveryMs) {
            // Bytes that never make a reply, one piece every so often.
            clock->Advance(chatterEveryMs);
            std::memset(g_NetRecvBuf, 0x11, 8);
            *length = 8;
            return *length;
        }
        if (m_pending.empty()) {
            *length = -1;
            return kNetTimedOut;
        }
        const auto bytes = m_pending.front();
        m_pending.pop_front();
        std::memcpy(g_NetRecvBuf, bytes.data(), bytes.size());
        *length = int(bytes.size());
        return *length;
    }
    int ReceiveShort(int* length) override { return Receive(length); }
    int SetRecvTimeout(int) override { return 1; }
    int IsDeviceOnLocalSubnet() override { return onSubnet; }
    void StartPing() override {}
    void StopPing(int) override {}
    int IsDeviceSeen() override { return 1; }

    int connects = 0;
    int closes = 0;
    int sends = 0;
    int receives = 0;
    int onSubnet = 0;
    bool failSends = false;
    int chatterEveryMs = 0;
    platform::VirtualClock* clock = nullptr;

private:
    sim::SimProcessor& m_processor;
    sim::SimFrameCollector m_collector;
    std::deque<std::vector<BYTE>> m_pending;
};

class NetExchangeStep : public ViewLink {
protected:
    void SetUp() override {
        ViewLink::SetUp();
        view->SetNetLink(&net);
        net.clock = clock.get();
        g_nLinkMode = 2;
        g_bNetLinkUp = 1;
        view->m_bConnected = 1;
    }
    void TearDown() override {
        view->SetNetLink(nullptr);
        ViewLink::TearDown();
    }

    DirectNetLink net{processor};
};

TEST_F(NetExchangeStep, ARejectedFrameIsSentAgainAndASecondRejectionLosesTheLink) {
    for (int rejections : {1, 2}) {
        SCOPED_TRACE(rejections);
        net.sends = 0;
        sim::SimFault reject(sim::SimFaultKind::Reject);
        reject.count = rejections;
        processor.InjectFault(reject);
        view->GetKTVCommand().AddCommand(BuildBandFrame(DATA_OUTPUT, 1, 2));

        for (int step = 0; step < 3; ++step)
            view->NetDataStep();
        EXPECT_EQ(net.sends, 2);
        EXPECT_EQ(net.connects, 0) << "a rejection is an answer, not a time-out";
        const auto messages = view->TakeMessages();
        EXPECT_EQ(std::count(messages.begin(), messages.end(), UM_LINK_LOST), rejections == 2 ? 1 : 0);
        view->GetKTVCommand().ClearCommands();
        g_nLinkMode = 2;
        g_bNetLinkUp = 1;
        view->m_bConnected = 1;
    }
}

// Without a reply in time the socket is reopened (close, a pause, connect)
// while the processor is on the subnet; off it the link is lost, with
// lParam 2 when bytes kept coming for four seconds without a reply.
TEST_F(NetExchangeStep, NoReplyInTimeReopensOnTheSubnetAndLosesTheLinkOffIt) {
    const struct {
        const char* what;
        int onSubnet;
        int chatterEveryMs;
        bool failSend;
        std::int64_t elapsedMs;
        LPARAM lost; // -1: the link stays
    } cases[] = {
        {"silent, on the subnet", 1, 0, false, 2000, -1},
        {"silent, off the subnet", 0, 0, false, 0, 0},
        {"chatter, on the subnet", 1, 1000, false, 4000 + 2000, -1},
        {"chatter, off the subnet", 0, 1000, false, 4000, 2},
        {"send fails", 1, 0, true, 2000, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        net.onSubnet = c.onSubnet;
        net.chatterEveryMs = c.chatterEveryMs;
        net.failSends = c.failSend;
        net.connects = net.closes = net.receives = 0;
        if (!c.chatterEveryMs)
            processor.InjectFault(sim::SimFault(sim::SimFaultKind::Silence));
        view->GetKTVCommand().AddCommand(BuildBandFrame(DATA_STATUS_POLL, 0, 0));
        const auto start = clock->NowMs();
        view->NetDataStep();
        EXPECT_EQ(clock->NowMs() - start, c.elapsedMs);
        const bool reopened = c.lost < 0;
        EXPECT_EQ(net.closes, reopened ? 1 : 0);
        EXPECT_EQ(net.connects, reopened ? 1 : 0);
        EXPECT_EQ(g_bNetLinkUp, reopened ? 1 : 0);
        if (c.failSend) {
            EXPECT_EQ(net.receives, 0) << "nothing is read after a failed send";
        }
        const auto messages = view->TakeMessages();
        EXPECT_EQ(std::count(messages.begin(), messages.end(), UM_LINK_LOST), reopened ? 0 : 1);
        if (!reopened) {
            EXPECT_EQ(view->LastLParam(UM_LINK_LOST), c.lost);
        }
        view->GetKTVCommand().ClearCommands();
        g_nLinkMode = 2;
        g_bNetLinkUp = 1;
        view->m_bConnected = 1;
    }
}

} // namespace
