// The output page against the simulated processor over the in-process USB
// device: grouped band edits, ALL BYPASS and an output-map batch reach the
// processor in the order they were made, and at rest the processor's live
// image holds what the model packs.

#include "OutputPageFixture.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <cstring>

namespace pagetest {
namespace {

class OutputPageEndToEndThreaded : public OutputPage {
protected:
    void SetUp() override {
        OutputPage::SetUp();
        Bus().Plug();
    }
    void TearDown() override {
        view->StopCommThread(1);
        OutputPage::TearDown();
    }
    bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
        return platform::WaitHandlingSentMessages(
            [&] {
                platform::PumpMessages();
                return done();
            },
            timeoutMs);
    }
    // Index of the first write request that `match` accepts, -1 when none.
    // One copy of the log for a whole step: the processor keeps only its
    // latest requests, so indices of two copies do not compare.
    int FirstWrite(const std::function<bool(const sim::SimFrame&)>& match, int after = -1) {
        const auto& requests = log.empty() ? processor.Requests() : log;
        for (size_t i = size_t(after + 1); i < requests.size(); ++i)
            if (requests[i].command == frame::kCmdWrite && match(requests[i]))
                return int(i);
        return -1;
    }
    void Snapshot() { log = processor.Requests(); }
    std::vector<sim::SimFrame> log;
    int PollsSinceLastWrite() {
        int polls = 0;
        for (const auto& r : log)
            polls = r.command == frame::kCmdWrite ? 0 : polls + sim::IsStatusPoll(r);
        return polls;
    }
};

TEST_F(OutputPageEndToEndThreaded, EditsArriveInOrderAndTheProcessorEndsWithTheModel) {
    view->InitLink();
    ASSERT_TRUE(PumpUntil([&] { return g_bOnline != 0 && syncForm.allControlsUpdated > 0; }));
    // The live data replaced the model; the group of the fixture again.
    data.InitLinkTable();
    for (int k : {0, 3, 5})
        g_OutLinkTable[1 + k] = 1;
    page->RefreshPage();
    processor.ClearRequests();

    // Each step's frames, checked before the next step starts (the
    // processor keeps only its latest requests).
    Commit(page->m_spinBandGain[4], 260);
    const auto bandOf = [](int output) {
        return [output](const sim::SimFrame& f) {
            return f.type == DATA_OUTPUT && f.channel == output && f.block == 4;
        };
    };
    ASSERT_TRUE(PumpUntil([&] {
        Snapshot();
        return FirstWrite(bandOf(5)) >= 0;
    }));
    EXPECT_LT(FirstWrite(bandOf(0)), FirstWrite(bandOf(3)));
    EXPECT_LT(FirstWrite(bandOf(3)), FirstWrite(bandOf(5)));
    processor.ClearRequests();
    log.clear();

    Command(1976); // ALL BYPASS, answered Yes
    const auto recordOf = [](int output) {
        return [output](const sim::SimFrame& f) {
            return f.type == DATA_OUTPUT && f.channel == output && f.payload.size() == kOutputRecordSize;
        };
    };
    ASSERT_TRUE(PumpUntil([&] {
        Snapshot();
        return FirstWrite(recordOf(5)) >= 0;
    }));
    EXPECT_GE(FirstWrite(recordOf(0)), 0);
    EXPECT_LT(FirstWrite(recordOf(0)), FirstWrite(recordOf(3)));
    EXPECT_LT(FirstWrite(recordOf(3)), FirstWrite(recordOf(5)));
    EXPECT_EQ(FirstWrite(bandOf(5)), -1) << "nothing of the first step is left to send";
    processor.ClearRequests();
    log.clear();

    QTimer::singleShot(0, [] {
        CWnd* focus = CWnd::GetFocus();
        ASSERT_NE(focus, nullptr);
        focus->GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(2768, BN_CLICKED), 0); // Default
    });
    page->OnOutputMap();
    const auto speakerTypes = [](const sim::SimFrame& f) {
        return f.type == DATA_DEVICE_INFO && f.channel == INFO_SPEAKER_TYPES;
    };
    const auto crossoverOf = [](int output) {
        return [output](const sim::SimFrame& f) {
            return f.type == DATA_OUTPUT && f.channel == output && f.block == CKTV_OutData::kCrossoverBlock;
        };
    };
    ASSERT_TRUE(PumpUntil([&] {
        Snapshot();
        return FirstWrite(speakerTypes) >= 0 && PollsSinceLastWrite() >= 3;
    }));
    EXPECT_EQ(FirstWrite(recordOf(5)), -1);
    // No new crossover goes out before the batch: it carries all twelve
    // after the speaker types.
    const int types = FirstWrite(speakerTypes);
    const int first = FirstWrite(crossoverOf(0));
    EXPECT_GT(first, types);
    EXPECT_GT(FirstWrite(crossoverOf(11), first), first);

    std::vector<BYTE> packed;
    {
        CModelLock lock(true);
        data.PackToImage();
        packed.assign(g_DeviceImage, g_DeviceImage + kDeviceImageSize);
    }
    const sim::SimMemory memory = processor.Memory();
    for (int k = 0; k < kOutputCount; ++k)
        EXPECT_EQ(std::memcmp(memory.live.data() + OutputRecordOffset(k),
                              packed.data() + OutputRecordOffset(k), kOutputRecordSize),
                  0)
            << "output " << k + 1;
    EXPECT_EQ(std::memcmp(memory.settings.speakerTypes.data(), g_DeviceSettings.SpeakerTypes, kOutputCount),
              0);
}

} // namespace
} // namespace pagetest
