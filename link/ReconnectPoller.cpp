#include "link/ReconnectPoller.h"

#include "platform/sys/UserMessages.h"

#include <future>

namespace {

// Messages of the poller's two private targets.
constexpr UINT kTick = WM_USER;
constexpr UINT kStartTimer = WM_USER + 1;
constexpr UINT kQuit = WM_USER + 2;

} // namespace

// The reconnect thread's target: it starts the timer on that thread, so on
// the system clock the ticks come from that thread's message loop.
class CReconnectPoller::Ticker final : public platform::MessageTarget {
public:
    explicit Ticker(CReconnectPoller& poller) : m_poller(poller) {}

    LRESULT HandleMessage(UINT message, WPARAM, LPARAM) override {
        if (message == kStartTimer)
            m_poller.m_timerId =
                platform::Clock::Current().StartTimer(kPeriodMs, [poller = &m_poller] { poller->OnTimer(); });
        else if (message == kQuit)
            PostQuitMessage(0);
        return 0;
    }

    HWND m_hWnd = nullptr;

private:
    CReconnectPoller& m_poller;
};

CReconnectPoller::CReconnectPoller(HWND dialog, Reconnect reconnect)
    : m_hWnd(platform::RegisterMessageTarget(this)), m_hDialog(dialog), m_reconnect(std::move(reconnect)),
      m_ticker(std::make_unique<Ticker>(*this)) {
    std::promise<HWND> registered;
    auto ready = registered.get_future();
    m_thread = std::thread([ticker = m_ticker.get(), &registered] {
        const HWND hwnd = platform::RegisterMessageTarget(ticker);
        registered.set_value(hwnd);
        platform::RunMessageLoop();
        platform::UnregisterMessageTarget(hwnd);
    });
    m_ticker->m_hWnd = ready.get();
}

CReconnectPoller::~CReconnectPoller() {
    StopPolling();
    PostMessage(m_ticker->m_hWnd, kQuit, 0, 0);
    m_thread.join();
    platform::UnregisterMessageTarget(m_hWnd);
}

void CReconnectPoller::StartPolling() {
    StopPolling();
    m_nTries = 0;
    m_bPolling = true;
    // Waits until the timer runs, so no tick of the first 500 ms is lost.
    SendMessage(m_ticker->m_hWnd, kStartTimer, 0, 0);
}

void CReconnectPoller::StopPolling() {
    m_bPolling = false;
    if (const auto id = m_timerId.exchange(0))
        platform::Clock::Current().StopTimer(id);
}

void CReconnectPoller::OnTimer() {
    if (!m_bTickPending.exchange(true))
        PostMessage(m_hWnd, kTick, 0, 0);
}

LRESULT CReconnectPoller::HandleMessage(UINT message, WPARAM, LPARAM) {
    if (message == kTick)
        OnTick();
    return 0;
}

void CReconnectPoller::OnTick() {
    m_bTickPending = false;
    if (!m_bPolling)
        return;
    const bool last = m_nTries++ >= kTriesWhileFailing;
    if (last)
        StopPolling();
    const int result = m_reconnect(last ? 0 : 1);
    if (!last && !result)
        return;
    StopPolling();
    PostMessage(m_hDialog, UM_UPDATE_RECONNECTED, 0, result);
}
