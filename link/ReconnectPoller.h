#pragma once

// The firmware-update dialog's reconnect polling, for when the link could not
// be reopened in update mode because the processor was still restarting.
// Every 500 ms it asks for one more try: 20 tries while they fail, then a
// 21st that reports the failure; it stops at the first success.  Whenever it
// stops it posts UM_UPDATE_RECONNECTED (0, result) to the dialog.
//
// The 500 ms timer runs on a thread of its own, but its ticks only post to
// the GUI thread: the tries open the link, start the communication thread and
// show messages, all of which belong to the GUI thread.

#include "platform/sys/Clock.h"
#include "platform/sys/MessageQueue.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class CReconnectPoller final : public platform::MessageTarget {
public:
    static constexpr int kPeriodMs = 500;
    // Tries that may fail before the last one, which reports the failure.
    static constexpr int kTriesWhileFailing = 20;

    // One try; keepTrying is 0 for the last.  Returns non-zero on success.
    using Reconnect = std::function<int(int keepTrying)>;

    // Made on the GUI thread, where the tries will run.  Starts the
    // reconnect thread, which waits until polling starts.
    CReconnectPoller(HWND dialog, Reconnect reconnect);
    ~CReconnectPoller() override;
    CReconnectPoller(const CReconnectPoller&) = delete;
    CReconnectPoller& operator=(const CReconnectPoller&) = delete;

    // Both on the GUI thread.  Starting again begins a new count of tries.
    void StartPolling();
    void StopPolling();
    bool IsPolling() const { return m_bPolling; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    class Ticker;

    void OnTimer();
    void OnTick();

    HWND m_hWnd = nullptr;
    HWND m_hDialog = nullptr;
    Reconnect m_reconnect;
    std::unique_ptr<Ticker> m_ticker;
    std::thread m_thread;
    std::atomic<platform::Clock::TimerId> m_timerId{0};
    // A tick is on its way to the GUI thread; later ones wait for it.
    std::atomic<bool> m_bTickPending{false};
    bool m_bPolling = false;
    int m_nTries = 0;
};
