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
    int Close() override { return 1; }
    int Send(const char* data, int length, int) override {
        ++sends;
        for (const auto& reply :
             m_processor.Feed(m_collector, reinterpret_cast<const BYTE*>(data), std::size_t(length)))
            if (!reply.bytes.empty())
                m_pending.push_back(reply.bytes);
        return 1;
    }
    int Receive(int* length) override {
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
    int sends = 0;
    int onSubnet = 0;

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

TEST_F(NetExchangeStep, NoReplyReopensOnTheSubnetAndLosesTheLinkOffIt) {
    for (int onSubnet : {1, 0}) {
        SCOPED_TRACE(onSubnet);
        net.onSubnet = onSubnet;
        net.connects = 0;
        processor.InjectFault(sim::SimFault(sim::SimFaultKind::Silence));
        view->GetKTVCommand().AddCommand(BuildBandFrame(DATA_STATUS_POLL, 0, 0));
        view->NetDataStep();
        EXPECT_EQ(net.connects, onSubnet);
        EXPECT_EQ(g_bNetLinkUp, onSubnet);
        const auto messages = view->TakeMessages();
        EXPECT_EQ(std::count(messages.begin(), messages.end(), UM_LINK_LOST), onSubnet ? 0 : 1);
        view->GetKTVCommand().ClearCommands();
        g_nLinkMode = 2;
        g_bNetLinkUp = 1;
        view->m_bConnected = 1;
    }
}

} // namespace
