#include "link/Ping_Net_Thread.h"

#include "link/Net_Socket.h"
#include "platform/sys/Clock.h"

#include <map>
#include <mutex>

namespace {

// Lets the window-less timer find its thread.  Lives for the whole run.
struct PingTimerMap {
    std::mutex mutex;
    std::map<UINT_PTR, CPing_Net_Thread*> threads;
};

PingTimerMap& TimerMap() {
    static PingTimerMap* map = new PingTimerMap;
    return *map;
}

} // namespace

void PingTimerProc(HWND, UINT, UINT_PTR id, DWORD time) {
    PingTimerMap& map = TimerMap();
    std::lock_guard lock(map.mutex);
    if (map.threads.empty())
        return;
    const auto it = map.threads.find(id);
    if (it == map.threads.end())
        return;
    if (it->second->TakeTickSlot())
        PostThreadMessage(it->second->GetThreadId(), WM_TIMER, id, LPARAM(time));
}

CPing_Net_Thread::CPing_Net_Thread() {
    std::atomic<DWORD> started = 0;
    m_thread = std::thread([this, &started] { Run(&started); });
    started.wait(0);
    m_nThreadId = started.load();
}

CPing_Net_Thread::~CPing_Net_Thread() {
    if (m_bRunning) {
        PingTimerMap& map = TimerMap();
        bool mine;
        {
            std::lock_guard lock(map.mutex);
            const auto it = map.threads.find(m_nTimerId);
            mine = it != map.threads.end() && it->second == this;
        }
        if (mine)
            StopTimer();
    }
    Quit();
}

void CPing_Net_Thread::Run(std::atomic<DWORD>* started) {
    started->store(GetCurrentThreadId());
    started->notify_all();
    if (InitInstance()) {
        MSG msg;
        while (GetMessage(&msg)) {
            if (msg.message == WM_TIMER && !msg.hwnd)
                OnTimer(msg.wParam);
            else
                DispatchMessage(&msg);
        }
    }
    ExitInstance();
}

void CPing_Net_Thread::Quit() {
    if (!m_thread.joinable())
        return;
    PostThreadMessage(m_nThreadId, WM_QUIT, 0, 0);
    m_thread.join();
}

UINT_PTR CPing_Net_Thread::StartTimer(int periodMs) {
    // A second start would leave the first timer ticking for good.
    StopTimer();
    m_wakeup.Reset();
    m_bRunning = true;
    const UINT_PTR id = SetTimer(nullptr, 0, UINT(periodMs), PingTimerProc);
    m_nTimerId = id;
    PingTimerMap& map = TimerMap();
    std::lock_guard lock(map.mutex);
    map.threads[id] = this;
    return id;
}

void CPing_Net_Thread::StopTimer() {
    if (!m_bRunning)
        return;
    m_bRunning = false;
    const UINT_PTR id = m_nTimerId.exchange(0);
    KillTimer(nullptr, id);
    {
        PingTimerMap& map = TimerMap();
        std::lock_guard lock(map.mutex);
        map.threads.erase(id);
    }
    m_wakeup.Wake();
    for (int busy = m_bBusy; busy; busy = m_bBusy)
        m_bBusy.wait(busy);
}

void CPing_Net_Thread::OnTimer(UINT_PTR id) {
    // The tick is taken: the next one may queue while this one runs.
    m_bTickPending = false;
    if (id != m_nTimerId)
        return;
    // Busy is raised before the running flag is read, so StopTimer either
    // sees the check running and waits, or the check sees it stopped.
    m_bBusy = 1;
    if (m_bRunning) {
        if (CNet_Socket* socket = m_pSocket.load())
            socket->OnPingTick(&m_bRunning, &m_wakeup);
    }
    m_bBusy = 0;
    m_bBusy.notify_all();
}
