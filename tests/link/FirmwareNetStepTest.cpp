// The network firmware steps one at a time on the test's thread, through a
// network link that hands the bytes straight to the simulated processor: a
// receive that finds nothing has waited out the time-out the step set.

#include "link/FirmwareFrames.h"
#include "link/NetLink.h"
#include "tests/link/FirmwareFixture.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <map>

namespace {

using firmware_test::DspImage;
using firmware_test::FirmwareBytes;
using firmware_test::McuImage;
using firmwaretest::Bytes;

class LoopNetLink final : public INetLink {
public:
    LoopNetLink(sim::SimProcessor& processor, platform::VirtualClock& clock)
        : m_processor(processor), m_clock(clock) {}

    int Connect() override {
        ++connects;
        m_collector = {};
        m_pending.clear();
        m_reset = false;
        return 1;
    }
    int Close() override { return 1; }
    int Send(const char* data, int length, int) override {
        if (m_reset)
            return 0;
        for (const auto& reply :
             m_processor.Feed(m_collector, reinterpret_cast<const BYTE*>(data), std::size_t(length))) {
            m_pending.insert(m_pending.end(), reply.bytes.begin(), reply.bytes.end());
            // A processor that restarts after its answer resets the connection,
            // and so does one that drops it instead of answering.
            m_reset = m_reset || reply.restart || reply.reset;
        }
        return 1;
    }
    int Receive(int* length) override { return ReceiveUpTo(400, length); }
    int ReceiveShort(int* length) override { return ReceiveUpTo(16, length); }
    int SetRecvTimeout(int ms) override {
        m_timeoutMs = ms;
        timeouts[m_step()] = ms;
        return 1;
    }
    int IsDeviceOnLocalSubnet() override { return 1; }
    void StartPing() override {}
    void StopPing(int) override {}
    int IsDeviceSeen() override { return 1; }

    // Which step the timeouts are recorded for.
    void TrackStep(std::function<int()> step) { m_step = std::move(step); }

    int connects = 0;
    std::map<int, int> timeouts;

private:
    int ReceiveUpTo(std::size_t capacity, int* length) {
        if (m_pending.empty()) {
            if (m_reset) {
                *length = -1;
                return kNetReset;
            }
            m_clock.Advance(m_timeoutMs);
            *length = -1;
            return kNetTimedOut;
        }
        const std::size_t n = std::min(capacity, m_pending.size());
        std::copy_n(m_pending.begin(), n, g_NetRecvBuf);
        m_pending.erase(m_pending.begin(), m_pending.begin() + std::ptrdiff_t(n));
        *length = int(n);
        return int(n);
    }

    sim::SimProcessor& m_processor;
    platform::VirtualClock& m_clock;
    sim::SimFrameCollector m_collector;
    std::deque<BYTE> m_pending;
    bool m_reset = false;
    int m_timeoutMs = 1000;
    std::function<int()> m_step = [] { return 0; };
};

class FirmwareNetStep : public firmwaretest::FirmwareView {
protected:
    void SetUp() override {
        FirmwareView::SetUp();
        view->SetNetLink(&net);
        net.TrackStep([] { return g_nLastFirmwareStep.load(); });
    }

    void Begin(const Bytes& content) {
        Load(content);
        g_nLinkMode = 2;
        g_bNetLinkUp = 1;
        g_bUpgrading = 1;
        view->m_bConnected = 1;
    }

    void Run(int maxSteps = 20000) {
        for (int steps = 0; steps < maxSteps && g_nLinkMode == 2 && !g_bFirmwareRebooting; ++steps) {
            view->NetFirmwareStep();
            platform::PumpMessages();
        }
        platform::PumpMessages();
    }

    void Fault(BYTE step, sim::SimFaultKind kind, int count, int value = 0) {
        sim::SimFault fault(kind, value);
        fault.type = DATA_DEVICE_INFO;
        fault.channel = step;
        fault.count = count;
        processor.InjectFault(fault);
    }

    LoopNetLink net{processor, *clock};
};

TEST_F(FirmwareNetStep, AWholeUpdateSetsEachStepsTimeOutAndEndsWithoutWaitingForTheLastAnswer) {
    Begin(FirmwareBytes(DspImage(), McuImage(500)));
    Run();
    EXPECT_TRUE(processor.Firmware().complete);
    EXPECT_EQ(view->Count(UM_FIRMWARE_DONE), 1);
    EXPECT_EQ(view->Count(UM_LINK_LOST), 0);
    EXPECT_EQ(g_nLinkMode, 0);
    EXPECT_EQ(BoxTexts(), std::vector<CString>{"Update successfully"});
    const std::map<int, int> expected = {{HEXApply, 10000},
                                         {IAP_DSP_REQUEST_INFO, 50000},
                                         {IAP_DSP_DATA, 10000},
                                         {HEXStart, 8000},
                                         {HEXData, 2000}};
    EXPECT_EQ(net.timeouts, expected) << "the end frame's answer is not read";
    EXPECT_EQ(label.Texts().front(), "Connected NetWork");
    // The connection the processor reset after the start frame was opened again.
    EXPECT_EQ(net.connects, 1);
    EXPECT_EQ(Received(HEXApply), 1);
    EXPECT_EQ(Received(IAP_DSP_REQUEST_INFO), 1);
}

TEST_F(FirmwareNetStep, ARefusedOrUnansweredFrameIsWrittenOnceMoreAfterAReconnection) {
    using K = sim::SimFaultKind;
    struct Case {
        BYTE step;
        K kind;
    };
    const Case cases[] = {{IAP_DSP_REQUEST_INFO, K::Reject},
                          {IAP_DSP_DATA, K::Silence},
                          {HEXStart, K::Reject},
                          {HEXData, K::Reject}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.step));
        processor.ClearFaults();
        processor.ClearRequests();
        view->TakeMessages();
        g_bFirmwareRebooting = 0;
        Fault(c.step, c.kind, -1);
        Begin(FirmwareBytes(DspImage(), McuImage(500)));
        const int connects = net.connects;
        Run();
        EXPECT_EQ(Received(c.step), 2) << "even the erase frame";
        EXPECT_EQ(net.connects, connects + 3) << "after the restart and after each attempt";
        EXPECT_EQ(view->Count(UM_LINK_LOST), 1);
        EXPECT_EQ(view->Count(UM_FIRMWARE_DONE), 0);
        EXPECT_EQ(g_nLinkMode, 0);
    }
}

// The loader appends every MCU data frame it takes: one written again after
// its answer was lost could be stored twice, and the end frame would still
// report success over a wrong image.
TEST_F(FirmwareNetStep, AnMcuDataFrameWhoseAnswerWasLostEndsTheUpdateAsFailedWithoutASecondCopy) {
    using K = sim::SimFaultKind;
    struct Case {
        const char* what;
        K kind;
        int value;
        std::size_t stored; // MCU bytes the loader took
    };
    // A reset comes before the loader takes the frame; the link cannot tell.
    const Case cases[] = {{"answer cut short", K::Truncate, 9, 48},
                          {"no answer", K::Silence, 0, 48},
                          {"connection reset", K::Reset, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        processor.ClearFaults();
        processor.ClearRequests();
        view->TakeMessages();
        const std::size_t boxesBefore = BoxTexts().size();
        g_bFirmwareRebooting = 0;
        Fault(HEXData, c.kind, 1, c.value);
        Begin(FirmwareBytes({}, McuImage(500)));
        Run();

        EXPECT_EQ(Received(HEXData), 1) << "the frame is not written again";
        EXPECT_EQ(processor.Firmware().mcuData.size(), c.stored);
        EXPECT_FALSE(processor.Firmware().complete) << "no end frame";
        EXPECT_EQ(view->Count(UM_LINK_LOST), 1);
        EXPECT_EQ(view->Count(UM_FIRMWARE_DONE), 0);
        auto texts = BoxTexts();
        texts.erase(texts.begin(), texts.begin() + std::ptrdiff_t(boxesBefore));
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.front(), "The firmware update failed");
        EXPECT_EQ(std::count(texts.begin(), texts.end(), CString("Update successfully")), 0);
        EXPECT_EQ(label.Texts().back(), "The firmware update failed");
        EXPECT_EQ(g_bUpgrading, 0);
        EXPECT_EQ(g_nLinkMode, 0);
    }
}

} // namespace
