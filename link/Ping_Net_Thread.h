#pragma once

// The thread that runs the reachability ping.  A window-less timer on the
// thread that starts it (the GUI thread) ticks every 500 ms and posts
// WM_TIMER to this thread, whose message loop runs one check per tick.  A
// check takes a second or more, so at most one tick waits in the queue: the
// ticks that fall due meanwhile are dropped instead of piling up.

#include "platform/sys/MessageQueue.h"
#include "platform/sys/Wakeup.h"

#include <atomic>
#include <thread>

class CNet_Socket;

class CPing_Net_Thread {
public:
    // Starts the thread and its message loop.
    CPing_Net_Thread();
    // Stops the timer and ends the thread.
    virtual ~CPing_Net_Thread();
    CPing_Net_Thread(const CPing_Net_Thread&) = delete;
    CPing_Net_Thread& operator=(const CPing_Net_Thread&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    void SetSocket(CNet_Socket* socket) { m_pSocket.store(socket); }

    // Starts the timer on the calling thread and returns its id; a timer
    // still running is killed first.
    UINT_PTR StartTimer(int periodMs);
    // Kills the timer, ends a running check's ping and pause, and returns
    // once the check has ended.
    void StopTimer();
    // Asks the message loop to end and waits for the thread.
    void Quit();

    void OnTimer(UINT_PTR id);

    DWORD GetThreadId() const { return m_nThreadId; }
    bool IsRunning() const { return m_bRunning.load(); }
    bool IsBusy() const { return m_bBusy.load() != 0; }

    // PingTimerProc's half of the one-pending rule: false when a tick is
    // already queued.
    bool TakeTickSlot() { return !m_bTickPending.exchange(true); }

private:
    void Run(std::atomic<DWORD>* started);

    std::atomic<CNet_Socket*> m_pSocket = nullptr;
    std::atomic<bool> m_bRunning = false;
    std::atomic<int> m_bBusy = 0;
    std::atomic<UINT_PTR> m_nTimerId = 0;
    std::atomic<bool> m_bTickPending = false;
    platform::Wakeup m_wakeup;
    DWORD m_nThreadId = 0;
    std::thread m_thread;
};

// The timer procedure: posts the tick to the thread its id maps to.
void PingTimerProc(HWND hwnd, UINT message, UINT_PTR id, DWORD time);
