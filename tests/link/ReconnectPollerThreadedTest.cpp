// The update dialog's reconnect polling on the virtual clock: the rhythm, the
// number of tries, the report to the dialog, and where the tries run.

#include "link/ReconnectPoller.h"
#include "platform/sys/MessageWindow.h"
#include "platform/sys/UserMessages.h"
#include "platform/sys/VirtualClock.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

class ReconnectPollerThreaded : public ::testing::Test {
protected:
    // Tries fail until try `succeedAt` (1-based; 0: never).
    void Poll(int succeedAt) {
        m_succeedAt = succeedAt;
        m_poller.StartPolling();
    }

    // Advances the clock by `ms` and handles what the ticks posted.
    void Run(int ms) {
        for (int t = 0; t < ms; t += 100) {
            m_clock.Advance(100);
            platform::PumpMessages();
        }
    }

    std::vector<platform::MessageWindow::Message> Reports() {
        std::vector<platform::MessageWindow::Message> reports;
        for (const auto& m : m_dialog.TakeMessages())
            if (m.message == UM_UPDATE_RECONNECTED)
                reports.push_back(m);
        return reports;
    }

    platform::VirtualClock m_clock;
    platform::MessageWindow m_dialog;
    std::vector<int> m_tries; // keepTrying of each try
    std::vector<std::thread::id> m_threads;
    int m_succeedAt = 0;
    CReconnectPoller m_poller{m_dialog.GetSafeHwnd(), [this](int keepTrying) {
                                  m_tries.push_back(keepTrying);
                                  m_threads.push_back(std::this_thread::get_id());
                                  return int(m_tries.size()) == m_succeedAt ? 1 : 0;
                              }};
};

TEST_F(ReconnectPollerThreaded, TriesEvery500MsOnTheGuiThreadUntilTheFirstSuccess) {
    Poll(7);
    Run(400);
    EXPECT_TRUE(m_tries.empty());
    Run(100);
    EXPECT_EQ(m_tries.size(), 1u);
    Run(3000);
    EXPECT_EQ(m_tries, std::vector<int>(7, 1));
    EXPECT_FALSE(m_poller.IsPolling());
    const auto reports = Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].lParam, 1);
    for (const auto& id : m_threads)
        EXPECT_EQ(id, std::this_thread::get_id());

    Run(5000);
    EXPECT_EQ(m_tries.size(), 7u) << "no try after the success";
    EXPECT_EQ(m_clock.TimerCount(), 0u);
}

TEST_F(ReconnectPollerThreaded, GivesUpWithATwentyFirstTryThatReportsTheFailure) {
    Poll(0);
    Run(10'000);
    EXPECT_EQ(m_tries, std::vector<int>(20, 1));
    EXPECT_TRUE(Reports().empty());
    Run(500);
    std::vector<int> expected(20, 1);
    expected.push_back(0);
    EXPECT_EQ(m_tries, expected);
    const auto reports = Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].lParam, 0);
    Run(5000);
    EXPECT_EQ(m_tries.size(), 21u);
}

TEST_F(ReconnectPollerThreaded, ALastTryThatSucceedsReportsTheSuccess) {
    Poll(21);
    Run(10'500);
    ASSERT_EQ(m_tries.size(), 21u);
    EXPECT_EQ(m_tries.back(), 0);
    const auto reports = Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].lParam, 1);
}

TEST_F(ReconnectPollerThreaded, StoppingEndsTheTriesAndStartingAgainCountsAfresh) {
    Poll(0);
    Run(3000);
    ASSERT_EQ(m_tries.size(), 6u);
    m_poller.StopPolling();
    Run(3000);
    EXPECT_EQ(m_tries.size(), 6u);
    EXPECT_TRUE(Reports().empty()) << "a stop by the dialog reports nothing";

    m_tries.clear();
    Poll(0);
    Run(10'500);
    EXPECT_EQ(m_tries.size(), 21u);
    EXPECT_EQ(m_tries.back(), 0);
}

// Ticks that come while the GUI thread is busy do not pile up into a burst
// of tries when it gets to them.
TEST_F(ReconnectPollerThreaded, TicksDoNotPileUpWhileTheGuiThreadIsBusy) {
    Poll(0);
    m_clock.Advance(5000);
    platform::PumpMessages();
    EXPECT_EQ(m_tries.size(), 1u);
    Run(500);
    EXPECT_EQ(m_tries.size(), 2u);
}

} // namespace
