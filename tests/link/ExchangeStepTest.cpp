// The USB data steps one at a time, on the test's thread, against the
// simulated processor on the virtual clock.

#include "model/FrameBuilders.h"
#include "tests/link/ViewLinkFixture.h"

#include <cstring>

namespace {

using linktest::ViewLink;

// Counts the reports written and read through the processor's interface.
class CountingDevice final : public platform::HidDevice {
public:
    explicit CountingDevice(std::shared_ptr<platform::HidDevice> inner) : m_inner(std::move(inner)) {}
    int Write(const BYTE* report, std::size_t length, int timeoutMs) override {
        written.emplace_back(report, report + length);
        if (firstReadAfter < 0 && reads > 0)
            firstReadAfter = int(written.size()) - 1;
        return m_inner->Write(report, length, timeoutMs);
    }
    int Read(BYTE* report, std::size_t length, int timeoutMs) override {
        if (reads++ == 0)
            writesBeforeFirstRead = int(written.size());
        return m_inner->Read(report, length, timeoutMs);
    }
    void Close() override { m_inner->Close(); }

    std::vector<std::vector<BYTE>> written;
    int reads = 0;
    int writesBeforeFirstRead = -1;
    int firstReadAfter = -1;

private:
    std::shared_ptr<platform::HidDevice> m_inner;
};

// Hands out a report of bytes that never make a reply every `everyMs`.
class ChatteringDevice final : public platform::HidDevice {
public:
    ChatteringDevice(platform::VirtualClock& clock, int everyMs) : m_clock(clock), m_everyMs(everyMs) {}
    int Write(const BYTE*, std::size_t length, int) override { return int(length); }
    int Read(BYTE* report, std::size_t length, int) override {
        m_clock.Advance(m_everyMs);
        std::memset(report, 0x11, length);
        return int(length);
    }
    void Close() override {}

private:
    platform::VirtualClock& m_clock;
    int m_everyMs;
};

class ExchangeStep : public ViewLink {
protected:
    void SetUp() override {
        ViewLink::SetUp();
        OpenWithoutThread();
        g_bUsbLinkUp = 1;
    }
    CKTVCommand& Queue() { return view->GetKTVCommand(); }
    std::size_t Requests() { return processor.Requests().size(); }
};

TEST_F(ExchangeStep, AnEmptyQueueAppendsTheStatusPollWhichTheNextStepExchanges) {
    view->UsbDataStep();
    ASSERT_EQ(Queue().GetCommandCount(), 1);
    EXPECT_EQ(Requests(), 0u) << "nothing is written by the step that appends";
    const CSendData* poll = Queue().GetCurrentCommand();
    EXPECT_EQ(poll->GetLength(), 24);
    EXPECT_EQ(poll->GetData()[frame::kOffCommand], frame::kCmdRead);
    EXPECT_EQ(poll->GetData()[frame::kOffType], DATA_DEVICE_INFO);
    EXPECT_EQ(poll->GetData()[frame::kOffChannel], INFO_STATUS);

    view->UsbDataStep();
    EXPECT_EQ(Requests(), 1u);
    EXPECT_EQ(Queue().GetCommandCount(), 0);
    EXPECT_EQ(view->TakeMessages(), std::vector<UINT>{UM_STATUS_RECEIVED});
}

TEST_F(ExchangeStep, AnOutputRecordGoesOutAsFiveReportsBeforeTheReplyIsRead) {
    auto counting = std::make_shared<CountingDevice>(g_hUsbWrite.Get());
    g_hUsbWrite.Set(counting);
    std::memset(g_DeviceImage + OutputRecordOffset(2), 0x11, kOutputRecordSize);
    Queue().AddCommand(BuildBlockFrame(0, DATA_OUTPUT, 2, 1, 0));

    view->UsbDataStep();
    ASSERT_EQ(counting->written.size(), 5u);
    EXPECT_EQ(counting->writesBeforeFirstRead, 5);
    const auto& last = counting->written.back();
    EXPECT_EQ(last.size(), frame::kHidReportSize);
    EXPECT_EQ(last[0], 0) << "report id";
    EXPECT_EQ(last[56], frame::kEnd) << "56 frame bytes";
    EXPECT_TRUE(std::all_of(last.begin() + 57, last.end(), [](BYTE b) { return b == 0; }));
    EXPECT_EQ(Queue().GetCommandCount(), 0) << "acknowledged";
    EXPECT_EQ(processor.Memory().live[OutputRecordOffset(2) + 100], 0x11);
}

// A report that does not come within two seconds ends the link; reports
// that never make a reply end it once the exchange is over three seconds old.
TEST_F(ExchangeStep, ALinkWithoutAReplyIsLostAtItsTimeLimit) {
    const struct {
        const char* what;
        int chatterEveryMs; // 0: the processor stays silent
        std::int64_t lostAfterMs;
    } cases[] = {
        {"silent processor", 0, 2000}, {"reports that never make a reply", 700, 3510}, // then a 10 ms pause
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.chatterEveryMs)
            g_hUsbRead.Set(std::make_shared<ChatteringDevice>(*clock, c.chatterEveryMs));
        else
            processor.InjectFault(sim::SimFault(sim::SimFaultKind::Silence));
        Queue().AddCommand(BuildBandFrame(DATA_STATUS_POLL, 0, 0));
        const auto start = clock->NowMs();
        view->UsbDataStep();
        EXPECT_EQ(clock->NowMs() - start, c.lostAfterMs);
        EXPECT_EQ(view->TakeMessages(), std::vector<UINT>{UM_LINK_LOST});
        EXPECT_EQ(view->LastLParam(UM_LINK_LOST), 0);
        view->m_bConnected = 1; // the link-lost handler closed the link
        Queue().ClearCommands();
        OpenWithoutThread();
        g_bUsbLinkUp = 1;
    }
}

TEST_F(ExchangeStep, ARejectedFrameIsWrittenAgainAndASecondRejectionLosesTheLink) {
    struct Case {
        int rejections;
        std::size_t writes;
        bool lost;
    };
    for (const Case c : {Case{1, 2, false}, Case{2, 2, true}}) {
        SCOPED_TRACE(c.rejections);
        processor.ClearRequests();
        sim::SimFault reject(sim::SimFaultKind::Reject);
        reject.count = c.rejections;
        processor.InjectFault(reject);
        Queue().AddCommand(BuildBandFrame(DATA_OUTPUT, 0, 4));

        for (int step = 0; step < 3; ++step)
            view->UsbDataStep();
        EXPECT_EQ(Requests(), c.writes);
        const auto messages = view->TakeMessages();
        EXPECT_EQ(std::count(messages.begin(), messages.end(), UM_LINK_LOST), c.lost ? 1 : 0);
        if (!c.lost) {
            EXPECT_EQ(processor.Requests()[0].payload, processor.Requests()[1].payload);
            EXPECT_TRUE(Queue().GetCommandCount() == 0 || Queue().GetCurrentCommand()->GetLength() == 24)
                << "the rejected frame left once it was acknowledged";
        }
        view->m_bConnected = 1; // the link-lost handler closed the link
        Queue().ClearCommands();
        OpenWithoutThread();
        g_bUsbLinkUp = 1;
    }
}

// A reply that cannot be taken brings no second copy of the frame: the
// processor has it already.  An unknown reply code ends the read, so the next
// step reads again without writing; a data reply for another request is
// passed over and the same read goes on.  A processor that says nothing more
// loses the link.
TEST_F(ExchangeStep, AReplyThatCannotBeTakenBringsNoSecondCopy) {
    const struct {
        const char* what;
        sim::SimFault fault;
        int stepsUntilLost;
    } cases[] = {
        {"data for another output", sim::SimFault(sim::SimFaultKind::BadChannel, 6), 1},
        {"unknown reply code", sim::SimFault(sim::SimFaultKind::ReplyCode, 0x54), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        processor.ClearRequests();
        processor.InjectFault(c.fault);
        const std::vector<BYTE> output6(g_DeviceImage + OutputRecordOffset(6),
                                        g_DeviceImage + OutputRecordOffset(7));
        Queue().AddCommand(BuildRequestFrame(0, DATA_OUTPUT, 5, 1, 0));
        for (int step = 1; step <= c.stepsUntilLost; ++step) {
            view->UsbDataStep();
            EXPECT_EQ(Requests(), 1u) << "no second copy";
            ASSERT_EQ(Queue().GetCommandCount(), 1);
            EXPECT_EQ(view->TakeMessages(),
                      step == c.stepsUntilLost ? std::vector<UINT>{UM_LINK_LOST} : std::vector<UINT>{});
        }
        EXPECT_TRUE(std::equal(output6.begin(), output6.end(), g_DeviceImage + OutputRecordOffset(6)));
        view->m_bConnected = 1;
        Queue().ClearCommands();
        OpenWithoutThread();
        g_bUsbLinkUp = 1;
    }
}

} // namespace
