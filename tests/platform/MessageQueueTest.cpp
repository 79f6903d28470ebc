#include "platform/sys/MessageQueue.h"
#include "platform/sys/MessageWindow.h"
#include "platform/sys/UserMessages.h"
#include "platform/sys/VirtualClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

namespace {

using platform::MessageWindow;

std::vector<UINT> Numbers(const std::vector<MessageWindow::Message>& messages) {
    std::vector<UINT> out;
    for (const auto& m : messages)
        out.push_back(m.message);
    return out;
}

TEST(MessageQueue, PostedMessagesArriveInOrderAndOnlyWhenPumped) {
    MessageWindow window;
    ASSERT_TRUE(PostMessage(window.GetSafeHwnd(), UM_LINK_LOST, 0, 2));
    ASSERT_TRUE(PostMessage(window.GetSafeHwnd(), UM_STATUS_RECEIVED, 0, 16));
    auto got = window.TakeMessages();
    ASSERT_EQ(Numbers(got), (std::vector<UINT>{UM_LINK_LOST, UM_STATUS_RECEIVED}));
    EXPECT_EQ(got[0].lParam, 2);
    EXPECT_EQ(got[1].lParam, 16);
    EXPECT_TRUE(window.TakeMessages().empty());
}

TEST(MessageQueue, MessagesToAWindowThatIsGoneAreDropped) {
    HWND gone;
    {
        MessageWindow window;
        gone = window.GetSafeHwnd();
        PostMessage(gone, UM_VERSION_INFO, 0, 0); // still queued when the window goes
        EXPECT_TRUE(IsWindow(gone));
    }
    MessageWindow next; // a new window never gets the old handle
    EXPECT_NE(next.GetSafeHwnd(), gone);
    EXPECT_FALSE(IsWindow(gone));
    EXPECT_FALSE(PostMessage(gone, UM_VERSION_INFO, 0, 0));
    EXPECT_EQ(SendMessage(gone, UM_VERSION_INFO, 0, 0), 0);
    EXPECT_TRUE(next.TakeMessages().empty());
}

bool s_hookSawPosted = false;
bool s_hookSawSent = false;

TEST(MessageQueue, OnlyQueuedMessagesPassThePreTranslateHook) {
    MessageWindow window;
    window.SetHandler([](const MessageWindow::Message& m) { return LRESULT(m.wParam * 2); });
    platform::SetPreTranslateHook([](MSG& msg) {
        (msg.message == UM_PING_STOP ? s_hookSawPosted : s_hookSawSent) = true;
        return msg.wParam == 99; // swallow
    });
    EXPECT_EQ(SendMessage(window.GetSafeHwnd(), UM_AUTO_CONNECT, 21, 0), 42); // same thread: called at once
    PostMessage(window.GetSafeHwnd(), UM_PING_STOP, 1, 0);
    PostMessage(window.GetSafeHwnd(), UM_PING_STOP, 99, 0);
    auto got = window.TakeMessages();
    platform::SetPreTranslateHook(nullptr);
    EXPECT_TRUE(s_hookSawPosted);
    EXPECT_FALSE(s_hookSawSent);
    ASSERT_EQ(got.size(), 2u); // the sent one and the first post; the hook kept the second
    EXPECT_EQ(got[1].wParam, 1u);
}

TEST(MessageQueueThreaded, PostFromAnotherThreadArrives) {
    MessageWindow window;
    const HWND hwnd = window.GetSafeHwnd();
    std::thread worker([hwnd] {
        for (int i = 0; i < 100; ++i)
            PostMessage(hwnd, UM_STATUS_RECEIVED, 0, i);
    });
    worker.join();
    auto got = window.TakeMessages();
    ASSERT_EQ(got.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(got[i].lParam, i);
}

TEST(MessageQueueThreaded, SendFromAnotherThreadWaitsForTheHandler) {
    MessageWindow window;
    std::atomic<bool> handled{false};
    window.SetHandler([&](const MessageWindow::Message& m) {
        handled = true;
        return LRESULT(m.lParam + 1);
    });
    const HWND hwnd = window.GetSafeHwnd();
    std::atomic<bool> senderDone{false};
    LRESULT answer = 0;
    std::thread worker([&] {
        answer = SendMessage(hwnd, UM_ROUTING_RECEIVED, 0, 41);
        // The handler ran before SendMessage returned.
        EXPECT_TRUE(handled.load());
        senderDone = true;
    });
    // The GUI thread waits for the worker while handling what it sends.
    EXPECT_TRUE(platform::WaitHandlingSentMessages([&] { return senderDone.load(); }, 10'000));
    worker.join();
    EXPECT_EQ(answer, 42);
}

TEST(MessageQueueThreaded, TwoThreadsSendingToEachOtherDoNotDeadlock) {
    MessageWindow here;
    here.SetHandler([](const MessageWindow::Message&) { return LRESULT(7); });
    std::promise<HWND> thereHandle;
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        MessageWindow there;
        // Answers by sending back to the main thread, which is itself waiting in SendMessage.
        there.SetHandler([&](const MessageWindow::Message&) {
            return SendMessage(here.GetSafeHwnd(), WM_NULL, 0, 0) + 1;
        });
        thereHandle.set_value(there.GetSafeHwnd());
        platform::WaitHandlingSentMessages([&] { return stop.load(); }, 10'000);
    });
    const HWND there = thereHandle.get_future().get();
    EXPECT_EQ(SendMessage(there, UM_ROUTING_RECEIVED, 0, 0), 8);
    stop = true;
    worker.join();
}

TEST(MessageQueueThreaded, ASenderIsReleasedWhenTheTargetThreadEnds) {
    std::promise<HWND> handle;
    std::promise<void> release;
    std::thread owner([&] {
        MessageWindow window;
        handle.set_value(window.GetSafeHwnd());
        release.get_future().wait(); // never handles the call
    });
    const HWND hwnd = handle.get_future().get();
    auto answer =
        std::async(std::launch::async, [hwnd] { return SendMessage(hwnd, UM_ROUTING_RECEIVED, 0, 0); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    release.set_value();
    owner.join();
    EXPECT_EQ(answer.get(), 0);
}

TEST(VirtualClockTimers, AdvanceFiresDueTicksInTimeOrder) {
    platform::VirtualClock clock;
    const auto start = clock.NowMs();
    std::vector<std::pair<char, std::int64_t>> fired;
    const auto a = clock.StartTimer(50, [&] { fired.push_back({'a', clock.NowMs() - start}); });
    clock.StartTimer(120, [&] { fired.push_back({'b', clock.NowMs() - start}); });
    clock.Advance(149);
    EXPECT_EQ(fired, (std::vector<std::pair<char, std::int64_t>>{{'a', 50}, {'a', 100}, {'b', 120}}));
    EXPECT_EQ(clock.NowMs() - start, 149);
    clock.StopTimer(a);
    fired.clear();
    clock.Advance(200);
    EXPECT_EQ(fired, (std::vector<std::pair<char, std::int64_t>>{{'b', 240}}));
}

TEST(VirtualClockTimers, WindowTimerTicksAsWmTimerUntilKilled) {
    platform::VirtualClock clock;
    MessageWindow window;
    const HWND hwnd = window.GetSafeHwnd();
    std::vector<std::int64_t> ticks;
    window.SetHandler([&](const MessageWindow::Message& m) {
        if (m.message == WM_TIMER && m.wParam == 5)
            ticks.push_back(clock.NowMs());
        return LRESULT(0);
    });
    EXPECT_EQ(SetTimer(hwnd, 5, 50), 5u);
    const auto start = clock.NowMs();
    clock.Advance(120); // delivered at once on the owner thread
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{start + 50, start + 100}));
    EXPECT_TRUE(KillTimer(hwnd, 5));
    EXPECT_FALSE(KillTimer(hwnd, 5));
    clock.Advance(500);
    EXPECT_EQ(ticks.size(), 2u);
    SetTimer(hwnd, 6, 10);
    EXPECT_EQ(clock.TimerCount(), 1u);
}

TEST(VirtualClockTimersThreaded, TicksFromAnotherThreadArePostedOnceAndDroppedWhenKilled) {
    platform::VirtualClock clock;
    MessageWindow window;
    const HWND hwnd = window.GetSafeHwnd();
    SetTimer(hwnd, 3, 10);
    std::thread([&] { clock.Advance(100); }).join(); // ten ticks while the owner is busy
    EXPECT_EQ(Numbers(window.TakeMessages()), std::vector<UINT>{WM_TIMER});
    std::thread([&] { clock.Advance(10); }).join();
    KillTimer(hwnd, 3);
    EXPECT_TRUE(window.TakeMessages().empty());
}

std::atomic<int> s_threadTicks{0};

TEST(MessageQueueThreaded, AWorkerLoopRunsThreadTimersAndEndsOnQuit) {
    platform::VirtualClock clock;
    std::promise<DWORD> id;
    std::atomic<int> exitCode{-1};
    std::thread worker([&] {
        const UINT_PTR timer = SetTimer(nullptr, 0, 500, [](HWND, UINT, UINT_PTR, DWORD) {
            if (++s_threadTicks == 2)
                PostQuitMessage(3);
        });
        id.set_value(GetCurrentThreadId());
        exitCode = platform::RunMessageLoop();
        KillTimer(nullptr, timer);
    });
    const DWORD tid = id.get_future().get();
    EXPECT_TRUE(PostThreadMessage(tid, WM_NULL, 0, 0));
    // Each tick is posted to the worker, whose loop runs the procedure.
    clock.Advance(500);
    while (s_threadTicks.load() < 1)
        std::this_thread::yield();
    clock.Advance(500);
    worker.join();
    EXPECT_EQ(s_threadTicks.load(), 2);
    EXPECT_EQ(exitCode.load(), 3);
    EXPECT_FALSE(PostThreadMessage(tid, WM_NULL, 0, 0));
}

} // namespace
