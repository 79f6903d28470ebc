#include "link/KTVCommand.h"
#include "link/LinkGlobals.h"
#include "model/FrameBuilders.h"
#include "model/Globals.h"

#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

std::unique_ptr<CSendData> FrameOf(std::size_t length, BYTE first = 1) {
    std::vector<BYTE> bytes(length);
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = BYTE(first + i);
    auto frame = std::make_unique<CSendData>();
    frame->SetData(std::move(bytes));
    return frame;
}

std::vector<std::vector<BYTE>> DrainReports(CSendData& frame) {
    std::vector<std::vector<BYTE>> reports;
    while (frame.NextHidChunk())
        reports.emplace_back(g_UsbOutReport, g_UsbOutReport + frame::kHidReportSize);
    return reports;
}

// Counts its deletions, so a test sees every frame deleted exactly once.
class CountedFrame : public CSendData {
public:
    explicit CountedFrame(int& deletions) : m_deletions(deletions) {}
    ~CountedFrame() override { ++m_deletions; }

private:
    int& m_deletions;
};

} // namespace

TEST(SendData, FramesGoOutInSixtyFiveByteReports) {
    for (std::size_t length : {24u, 64u, 65u, 312u}) {
        auto frame = FrameOf(length);
        std::memset(g_UsbOutReport, 0xEE, sizeof g_UsbOutReport);
        const auto reports = DrainReports(*frame);
        ASSERT_EQ(reports.size(), (length + 63) / 64) << length;
        std::vector<BYTE> carried;
        for (std::size_t r = 0; r < reports.size(); ++r) {
            const auto& report = reports[r];
            EXPECT_EQ(report[0], 0) << "report id, frame of " << length;
            const std::size_t count = std::min<std::size_t>(64, length - r * 64);
            carried.insert(carried.end(), report.begin() + 1, report.begin() + 1 + long(count));
            for (std::size_t i = 1 + count; i < report.size(); ++i)
                EXPECT_EQ(report[i], 0) << "tail of report " << r << ", frame of " << length;
        }
        EXPECT_EQ(carried, std::vector<BYTE>(frame->GetData(), frame->GetData() + length));
        EXPECT_EQ(frame->NextHidChunk(), 0) << "a finished frame stays finished";
    }
}

TEST(SendData, RewindSendsTheFrameAgainFromItsFirstByte) {
    auto frame = FrameOf(312, 0x10);
    ASSERT_EQ(frame->NextHidChunk(), 1);
    ASSERT_EQ(frame->NextHidChunk(), 1);
    EXPECT_EQ(g_UsbOutReport[1], 0x10 + 64);
    frame->RewindChunks();
    const auto reports = DrainReports(*frame);
    ASSERT_EQ(reports.size(), 5u);
    EXPECT_EQ(reports[0][1], 0x10);
    EXPECT_EQ(reports[4][56], BYTE(0x10 + 311));
    EXPECT_EQ(reports[4][57], 0);
}

TEST(SendData, LengthNeverExceedsTheBytesHeld) {
    auto frame = FrameOf(24);
    frame->SetLength(400);
    EXPECT_EQ(frame->GetLength(), 24);
    frame->SetLength(10);
    const auto reports = DrainReports(*frame);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0][10], 10);
    EXPECT_EQ(reports[0][11], 0);
}

TEST(KTVCommand, QueueIsFirstInFirstOut) {
    CKTVCommand command;
    EXPECT_EQ(command.GetCurrentCommand(), nullptr);
    command.PopCommand(); // nothing to remove
    command.RewindCurrentCommand();
    command.AddCommand(nullptr);
    EXPECT_EQ(command.GetCommandCount(), 0);

    command.AddCommand(FrameOf(24, 1));
    command.AddCommand(FrameOf(24, 2));
    command.AddCommand(FrameOf(24, 3));
    ASSERT_EQ(command.GetCommandCount(), 3);

    // A rejected head goes out again whole; the frames behind it wait.
    CSendData* head = command.GetCurrentCommand();
    ASSERT_EQ(head->NextHidChunk(), 1);
    ASSERT_EQ(head->NextHidChunk(), 0);
    command.RewindCurrentCommand();
    ASSERT_EQ(command.GetCurrentCommand()->NextHidChunk(), 1);
    EXPECT_EQ(g_UsbOutReport[1], 1);

    std::memset(g_CommFlags, 1, sizeof g_CommFlags);
    command.PopCommand();
    EXPECT_EQ(std::count(std::begin(g_CommFlags), std::end(g_CommFlags), 0), 14)
        << "the flags of a frame's exchange go with it";
    EXPECT_EQ(command.GetCurrentCommand()->GetData()[0], 2);
    command.PopCommand();
    EXPECT_EQ(command.GetCurrentCommand()->GetData()[0], 3);
    EXPECT_EQ(command.GetCommandCount(), 1);
}

TEST(KTVCommand, EveryQueuedFrameIsDeletedExactlyOnce) {
    int deletions = 0;
    {
        CKTVCommand command;
        for (int i = 0; i < 3; ++i)
            command.AddCommand(std::make_unique<CountedFrame>(deletions));
        command.PopCommand();
        EXPECT_EQ(deletions, 1);
        command.ClearCommands();
        EXPECT_EQ(deletions, 3);
        EXPECT_EQ(command.GetCommandCount(), 0);
        command.ClearCommands();
        EXPECT_EQ(deletions, 3);

        command.AddCommand(std::make_unique<CountedFrame>(deletions));
    }
    EXPECT_EQ(deletions, 4) << "frames still queued go with the command object";
}

// The GUI thread queues whole batches while the communication thread appends
// changed blocks and removes answered frames, as the link does.
TEST(SendQueueThreaded, FramesFromTwoThreadsStayWholeAndInOrder) {
    std::memset(g_DeviceImage, 0, sizeof g_DeviceImage);
    std::memset(g_TxFrame, 0, sizeof g_TxFrame);
    std::memcpy(g_TxFrame, "\x5C\x5C\x5C\xEE", 4);
    g_bPresetLocked = 0;
    for (int b = 0; b < 8; ++b)
        g_DeviceImage[OutputRecordOffset(2) + 8 * 7 + b] = BYTE(0xB0 + b);

    const auto Copy = [](const std::unique_ptr<CSendData>& frame) {
        return std::vector<BYTE>(frame->GetData(), frame->GetData() + frame->GetLength());
    };
    const std::vector<BYTE> guiFrame = Copy(BuildBandFrame(4, 2, 7));
    const std::vector<BYTE> commFrame = Copy(BuildBandFrame(7, 0, 0));

    constexpr int kBatches = 200;
    constexpr int kBatchSize = 5;
    constexpr int kCommFrames = 1000;
    CKTVCommand command;
    std::atomic<bool> guiDone = false;
    std::vector<std::vector<BYTE>> written;
    std::vector<int> guiSeq, commSeq;

    std::thread gui([&] {
        for (int batch = 0; batch < kBatches; ++batch) {
            // One operation holds the lock from its first build to its last
            // append, so its frames queue back to back.
            std::lock_guard lock(g_csSend);
            for (int i = 0; i < kBatchSize; ++i) {
                auto frame = BuildBandFrame(4, 2, 7);
                frame->SetProgressPos(batch * kBatchSize + i + 1);
                command.AddCommand(std::move(frame));
            }
        }
        guiDone = true;
    });
    std::thread comm([&] {
        int appended = 0;
        while (!guiDone || appended < kCommFrames || command.GetCommandCount() > 0) {
            if (appended < kCommFrames) {
                std::lock_guard lock(g_csSend);
                auto frame = BuildBandFrame(7, 0, 0);
                frame->SetRetries(++appended);
                command.AddCommand(std::move(frame));
            }
            // Copy the head under the lock, "write" it outside, then remove it.
            std::vector<BYTE> bytes;
            int progress = 0, retries = 0;
            {
                std::lock_guard lock(g_csSend);
                if (CSendData* head = command.GetCurrentCommand()) {
                    bytes.assign(head->GetData(), head->GetData() + head->GetLength());
                    progress = head->GetProgressPos();
                    retries = head->GetRetries();
                }
            }
            if (bytes.empty())
                continue;
            written.push_back(bytes);
            if (progress)
                guiSeq.push_back(progress);
            else
                commSeq.push_back(retries);
            std::lock_guard lock(g_csSend);
            command.PopCommand();
        }
    });
    gui.join();
    comm.join();

    ASSERT_EQ(written.size(), std::size_t(kBatches * kBatchSize + kCommFrames));
    for (const auto& bytes : written)
        EXPECT_TRUE(bytes == guiFrame || bytes == commFrame);
    ASSERT_EQ(guiSeq.size(), std::size_t(kBatches * kBatchSize));
    for (std::size_t i = 0; i < guiSeq.size(); ++i)
        ASSERT_EQ(guiSeq[i], int(i) + 1);
    for (std::size_t i = 0; i < commSeq.size(); ++i)
        ASSERT_EQ(commSeq[i], int(i) + 1);

    // Batches arrive unbroken: the five frames of a batch are consecutive.
    std::vector<int> order;
    for (const auto& bytes : written)
        order.push_back(bytes == guiFrame ? 1 : 0);
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] == 1 && (i == 0 || order[i - 1] == 0)) {
            int run = 0;
            while (i + run < order.size() && order[i + run] == 1)
                ++run;
            EXPECT_EQ(run % kBatchSize, 0) << "batch split at " << i;
        }
    }
}
