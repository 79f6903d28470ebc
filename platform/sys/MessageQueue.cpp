#include "platform/sys/MessageQueue.h"

#include "platform/sys/Clock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

namespace platform {

namespace {

class ThreadQueue;

// A call of SendMessage waiting on another thread.  The sender waits on its
// own queue's condition, so it can handle calls sent to it meanwhile.
struct SentCall {
    MSG msg;
    std::shared_ptr<ThreadQueue> sender;
    LRESULT result = 0;
    bool done = false; // guarded by the sender queue's mutex
};

struct Posted {
    MSG msg;
    bool fromTimer = false;
};

// Wakes Qt's event loop when something is queued for the GUI thread, and
// runs the thread's system timers on one Qt timer armed for the nearest.
class QueuePump final : public QObject {
public:
    explicit QueuePump(ThreadQueue* queue) : m_queue(queue) {}
    static QEvent::Type WakeType() {
        static const auto type = QEvent::Type(QEvent::registerEventType());
        return type;
    }
    bool event(QEvent* e) override;
    void Arm(std::int64_t delayMs);

protected:
    void timerEvent(QTimerEvent*) override;

private:
    ThreadQueue* m_queue;
    int m_timerId = 0;
};

class ThreadQueue : public std::enable_shared_from_this<ThreadQueue> {
public:
    explicit ThreadQueue(DWORD id) : m_threadId(id) {}

    DWORD ThreadId() const { return m_threadId; }
    bool IsCurrent() const;

    bool Post(const MSG& msg, bool fromTimer) {
        {
            std::lock_guard lock(m_mutex);
            if (m_closed)
                return false;
            m_posted.push_back({msg, fromTimer});
        }
        Wake();
        return true;
    }

    bool QueueSent(const std::shared_ptr<SentCall>& call) {
        {
            std::lock_guard lock(m_mutex);
            if (m_closed)
                return false;
            m_sent.push_back(call);
        }
        Wake();
        return true;
    }

    // Handles one call sent from another thread; false when there was none.
    bool HandleOneSent();
    // Takes the oldest posted message; false when there is none.
    bool TakePosted(MSG& out);
    // Runs the system timers that are due; returns the delay to the next one
    // (-1: none).
    std::int64_t RunDueTimers();

    void Complete(SentCall& call, LRESULT result) {
        std::lock_guard lock(m_mutex);
        call.result = result;
        call.done = true;
        m_cv.notify_all();
    }

    // Waits on this (the calling thread's) queue for `call` to be answered,
    // handling calls sent to this thread meanwhile.
    LRESULT WaitFor(SentCall& call) {
        std::unique_lock lock(m_mutex);
        while (!call.done) {
            if (!m_sent.empty()) {
                lock.unlock();
                HandleOneSent();
                lock.lock();
                continue;
            }
            m_cv.wait(lock);
        }
        return call.result;
    }

    // Waits up to `ms` for anything to arrive (a sent call, a post, a wake).
    void WaitForWork(std::int64_t ms, bool sentOnly) {
        std::unique_lock lock(m_mutex);
        const bool ready = !m_sent.empty() || (!sentOnly && !m_posted.empty()) || m_woken;
        if (!ready && ms != 0) {
            if (ms < 0)
                m_cv.wait(lock);
            else
                m_cv.wait_for(lock, std::chrono::milliseconds(ms));
        }
        m_woken = false;
    }

    bool HasSent() {
        std::lock_guard lock(m_mutex);
        return !m_sent.empty();
    }
    std::size_t PostedCount() {
        std::lock_guard lock(m_mutex);
        return m_posted.size();
    }

    void AddTimer(std::uint64_t id, std::int64_t periodMs, std::function<void()> fire) {
        {
            std::lock_guard lock(m_mutex);
            if (m_closed)
                return;
            const std::int64_t period = periodMs > 0 ? periodMs : 1;
            m_timers[id] =
                SysTimer{period, SteadyMs() + period, std::make_shared<std::function<void()>>(fire)};
        }
        if (IsCurrent())
            ArmPump();
        else
            Wake();
    }
    void RemoveTimer(std::uint64_t id) {
        std::lock_guard lock(m_mutex);
        m_timers.erase(id);
    }

    void AttachPump() {
        {
            std::lock_guard lock(m_mutex);
            if (m_pump || m_closed)
                return;
            m_pump = new QueuePump(this);
        }
        if (PostedCount() > 0 || HasSent())
            Wake();
        ArmPump();
    }
    // On the owner thread only.
    void ArmPump() {
        std::int64_t next = -1;
        QueuePump* pump;
        {
            std::lock_guard lock(m_mutex);
            pump = m_pump;
            if (!pump)
                return;
            const std::int64_t now = SteadyMs();
            for (auto& [id, t] : m_timers) {
                const std::int64_t d = std::max<std::int64_t>(0, t.due - now);
                if (next < 0 || d < next)
                    next = d;
            }
        }
        pump->Arm(next);
    }
    void PumpWoken() { m_wakePosted = false; }

    // The thread ends: nothing more is queued, waiting senders answer 0.
    void Close() {
        std::deque<std::shared_ptr<SentCall>> sent;
        {
            std::lock_guard lock(m_mutex);
            m_closed = true;
            delete m_pump;
            m_pump = nullptr;
            sent.swap(m_sent);
            m_posted.clear();
            m_timers.clear();
        }
        for (auto& call : sent)
            call->sender->Complete(*call, 0);
    }

    static std::int64_t SteadyMs() {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }

private:
    struct SysTimer {
        std::int64_t period = 1;
        std::int64_t due = 0;
        std::shared_ptr<std::function<void()>> fire;
    };

    void Wake() {
        std::lock_guard lock(m_mutex);
        m_woken = true;
        m_cv.notify_all();
        if (m_pump && !m_wakePosted.exchange(true))
            QCoreApplication::postEvent(m_pump, new QEvent(QueuePump::WakeType()));
    }

    const DWORD m_threadId;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<Posted> m_posted;
    std::deque<std::shared_ptr<SentCall>> m_sent;
    std::map<std::uint64_t, SysTimer> m_timers;
    bool m_closed = false;
    bool m_woken = false;
    QueuePump* m_pump = nullptr; // made and deleted on the owner thread, under m_mutex
    std::atomic<bool> m_wakePosted{false};
};

// A window timer or a thread timer made by SetTimer.
struct TimerRecord {
    Clock* clock = nullptr;
    Clock::TimerId clockId = 0;
    std::shared_ptr<ThreadQueue> owner;
    TIMERPROC proc = nullptr;
    bool tickQueued = false; // a WM_TIMER of this timer waits in the owner's queue
};

struct TargetRecord {
    MessageTarget* target = nullptr;
    std::shared_ptr<ThreadQueue> queue;
};

struct Registry {
    std::mutex mutex;
    std::unordered_map<HWND, TargetRecord> targets;
    std::unordered_map<DWORD, std::weak_ptr<ThreadQueue>> threads;
    std::map<std::pair<HWND, UINT_PTR>, TimerRecord> timers;
    std::uintptr_t lastHandle = 0;
    DWORD lastThread = 0;
    UINT_PTR lastThreadTimer = 0;
    Clock::TimerId lastSystemTimer = 0;
    std::unordered_map<Clock::TimerId, std::weak_ptr<ThreadQueue>> systemTimers;
    PreTranslateHook hook = nullptr;
};

// Left alive at exit: threads may still post while static objects go away.
Registry& Reg() {
    static Registry* registry = new Registry;
    return *registry;
}

// Owns the calling thread's queue; closes it when the thread ends.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (!queue)
            return;
        queue->Close();
        auto& reg = Reg();
        std::lock_guard lock(reg.mutex);
        reg.threads.erase(queue->ThreadId());
    }
};

thread_local QueueHolder t_holder;

bool IsEventLoopThread() {
    auto* app = QCoreApplication::instance();
    return app && app->thread() == QThread::currentThread();
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
    if (!t_holder.queue) {
        auto& reg = Reg();
        std::lock_guard lock(reg.mutex);
        t_holder.queue = std::make_shared<ThreadQueue>(++reg.lastThread);
        reg.threads[t_holder.queue->ThreadId()] = t_holder.queue;
    }
    return t_holder.queue;
}

bool ThreadQueue::IsCurrent() const {
    return t_holder.queue.get() == this;
}

std::shared_ptr<ThreadQueue> QueueOf(HWND hwnd, MessageTarget** target = nullptr) {
    auto& reg = Reg();
    std::lock_guard lock(reg.mutex);
    auto it = reg.targets.find(hwnd);
    if (it == reg.targets.end())
        return nullptr;
    if (target)
        *target = it->second.target;
    return it->second.queue;
}

bool ThreadQueue::HandleOneSent() {
    std::shared_ptr<SentCall> call;
    {
        std::lock_guard lock(m_mutex);
        if (m_sent.empty())
            return false;
        call = m_sent.front();
        m_sent.pop_front();
    }
    LRESULT result = 0;
    if (MessageTarget* target = FindMessageTarget(call->msg.hwnd))
        result = target->HandleMessage(call->msg.message, call->msg.wParam, call->msg.lParam);
    call->sender->Complete(*call, result);
    return true;
}

bool ThreadQueue::TakePosted(MSG& out) {
    for (;;) {
        Posted p;
        {
            std::lock_guard lock(m_mutex);
            if (m_posted.empty())
                return false;
            p = m_posted.front();
            m_posted.pop_front();
        }
        if (!p.fromTimer) {
            out = p.msg;
            return true;
        }
        // A queued tick of a timer killed since is dropped.
        auto& reg = Reg();
        std::lock_guard lock(reg.mutex);
        auto it = reg.timers.find({p.msg.hwnd, p.msg.wParam});
        if (it != reg.timers.end()) {
            it->second.tickQueued = false;
            out = p.msg;
            return true;
        }
    }
}

std::int64_t ThreadQueue::RunDueTimers() {
    for (;;) {
        std::shared_ptr<std::function<void()>> fire;
        std::int64_t next = -1;
        {
            std::lock_guard lock(m_mutex);
            const std::int64_t now = SteadyMs();
            SysTimer* earliest = nullptr;
            for (auto& [id, t] : m_timers) {
                if (!earliest || t.due < earliest->due)
                    earliest = &t;
            }
            if (earliest && earliest->due <= now) {
                // Ticks missed while the thread was busy are not made up.
                earliest->due = std::max(earliest->due + earliest->period, now + 1);
                fire = earliest->fire;
            } else if (earliest) {
                next = earliest->due - now;
            }
        }
        if (!fire)
            return next;
        (*fire)();
    }
}

bool QueuePump::event(QEvent* e) {
    if (e->type() != WakeType())
        return QObject::event(e);
    m_queue->PumpWoken();
    PumpMessages();
    return true;
}

void QueuePump::timerEvent(QTimerEvent*) {
    m_queue->RunDueTimers();
    m_queue->ArmPump();
}

void QueuePump::Arm(std::int64_t delayMs) {
    if (m_timerId)
        killTimer(m_timerId);
    m_timerId = delayMs >= 0 ? startTimer(std::chrono::milliseconds(delayMs), Qt::PreciseTimer) : 0;
}

void TickTimer(HWND hwnd, UINT_PTR id) {
    std::shared_ptr<ThreadQueue> owner;
    MSG msg;
    msg.hwnd = hwnd;
    msg.message = WM_TIMER;
    msg.wParam = id;
    msg.time = DWORD(GetTickCount64Ms());
    {
        auto& reg = Reg();
        std::lock_guard lock(reg.mutex);
        auto it = reg.timers.find({hwnd, id});
        if (it == reg.timers.end())
            return;
        owner = it->second.owner;
        msg.lParam = LPARAM(it->second.proc);
        if (!owner->IsCurrent()) {
            if (it->second.tickQueued)
                return;
            it->second.tickQueued = true;
        }
    }
    if (owner->IsCurrent()) {
        DeliverQueuedMessage(msg);
        return;
    }
    if (!owner->Post(msg, true)) {
        auto& reg = Reg();
        std::lock_guard lock(reg.mutex);
        if (auto it = reg.timers.find({hwnd, id}); it != reg.timers.end())
            it->second.tickQueued = false;
    }
}

void StopTimerRecord(const TimerRecord& t) {
    t.clock->StopTimer(t.clockId);
}

} // namespace

// The system clock's timers run on the thread that starts them.
Clock::TimerId Clock::StartTimer(std::int64_t periodMs, std::function<void()> fire) {
    auto queue = CurrentQueue();
    TimerId id;
    {
        auto& reg = Reg();
        std::lock_guard lock(reg.mutex);
        id = ++reg.lastSystemTimer;
        reg.systemTimers[id] = queue;
    }
    queue->AddTimer(id, periodMs, std::move(fire));
    return id;
}

void Clock::StopTimer(TimerId id) {
    std::shared_ptr<ThreadQueue> queue;
    {
        auto& reg = Reg();
        std::lock_guard lock(reg.mutex);
        auto it = reg.systemTimers.find(id);
        if (it == reg.systemTimers.end())
            return;
        queue = it->second.lock();
        reg.systemTimers.erase(it);
    }
    if (queue)
        queue->RemoveTimer(id);
}

HWND RegisterMessageTarget(MessageTarget* target) {
    auto queue = CurrentQueue();
    if (IsEventLoopThread())
        queue->AttachPump();
    auto& reg = Reg();
    std::lock_guard lock(reg.mutex);
    reg.lastHandle += 4;
    const HWND hwnd = reinterpret_cast<HWND>(0x10000 + reg.lastHandle);
    reg.targets[hwnd] = {target, queue};
    return hwnd;
}

void UnregisterMessageTarget(HWND hwnd) {
    std::vector<TimerRecord> stopped;
    {
        auto& reg = Reg();
        std::lock_guard lock(reg.mutex);
        reg.targets.erase(hwnd);
        for (auto it = reg.timers.begin(); it != reg.timers.end();) {
            if (it->first.first == hwnd) {
                stopped.push_back(it->second);
                it = reg.timers.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& t : stopped)
        StopTimerRecord(t);
}

MessageTarget* FindMessageTarget(HWND hwnd) {
    MessageTarget* target = nullptr;
    auto queue = QueueOf(hwnd, &target);
    return queue && queue->IsCurrent() ? target : nullptr;
}

void SetPreTranslateHook(PreTranslateHook hook) {
    auto& reg = Reg();
    std::lock_guard lock(reg.mutex);
    reg.hook = hook;
}

bool DeliverQueuedMessage(MSG& msg) {
    PreTranslateHook hook;
    {
        auto& reg = Reg();
        std::lock_guard lock(reg.mutex);
        hook = reg.hook;
    }
    if (hook && hook(msg))
        return false;
    DispatchMessage(&msg);
    return true;
}

bool PumpMessages() {
    auto queue = CurrentQueue();
    // Messages posted while these are handled wait for the next round, so a
    // handler that keeps posting cannot starve the rest of the loop.
    std::size_t budget = queue->PostedCount();
    for (;;) {
        while (queue->HandleOneSent()) {
        }
        if (budget == 0)
            break;
        --budget;
        MSG msg;
        if (!queue->TakePosted(msg))
            break;
        if (msg.message == WM_QUIT && !msg.hwnd)
            return false;
        DeliverQueuedMessage(msg);
    }
    queue->RunDueTimers();
    queue->ArmPump();
    return true;
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessage(&msg))
        DeliverQueuedMessage(msg);
    return int(msg.wParam);
}

bool WaitHandlingSentMessages(const std::function<bool()>& done, std::int64_t timeoutMs) {
    auto queue = CurrentQueue();
    const std::int64_t end = ThreadQueue::SteadyMs() + timeoutMs;
    for (;;) {
        while (queue->HandleOneSent()) {
        }
        if (done())
            return true;
        const std::int64_t left = end - ThreadQueue::SteadyMs();
        if (left <= 0)
            return done();
        queue->WaitForWork(std::min<std::int64_t>(left, 5), true);
    }
}

void AttachQueueToEventLoop() {
    if (IsEventLoopThread())
        CurrentQueue()->AttachPump();
}

} // namespace platform

using platform::CurrentQueue;
using platform::Reg;

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto queue = platform::QueueOf(hwnd);
    if (!queue)
        return FALSE;
    return queue->Post({hwnd, message, wParam, lParam, DWORD(GetTickCount64Ms())}, false) ? TRUE : FALSE;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    platform::MessageTarget* target = nullptr;
    auto queue = platform::QueueOf(hwnd, &target);
    if (!queue)
        return 0;
    if (queue->IsCurrent())
        return target->HandleMessage(message, wParam, lParam);
    auto self = CurrentQueue();
    auto call = std::make_shared<platform::SentCall>();
    call->msg = {hwnd, message, wParam, lParam, DWORD(GetTickCount64Ms())};
    call->sender = self;
    if (!queue->QueueSent(call))
        return 0;
    return self->WaitFor(*call);
}

BOOL IsWindow(HWND hwnd) {
    return platform::QueueOf(hwnd) ? TRUE : FALSE;
}

DWORD GetCurrentThreadId() {
    return CurrentQueue()->ThreadId();
}

BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<platform::ThreadQueue> queue;
    {
        auto& reg = Reg();
        std::lock_guard lock(reg.mutex);
        auto it = reg.threads.find(threadId);
        if (it != reg.threads.end())
            queue = it->second.lock();
    }
    if (!queue)
        return FALSE;
    return queue->Post({nullptr, message, wParam, lParam, DWORD(GetTickCount64Ms())}, false) ? TRUE : FALSE;
}

void PostQuitMessage(int exitCode) {
    CurrentQueue()->Post({nullptr, WM_QUIT, WPARAM(exitCode), 0, DWORD(GetTickCount64Ms())}, false);
}

BOOL GetMessage(MSG* msg, HWND, UINT, UINT) {
    auto queue = CurrentQueue();
    for (;;) {
        while (queue->HandleOneSent()) {
        }
        if (queue->TakePosted(*msg))
            return msg->message == WM_QUIT && !msg->hwnd ? FALSE : TRUE;
        const std::int64_t next = queue->RunDueTimers();
        if (queue->PostedCount() > 0 || queue->HasSent())
            continue;
        queue->WaitForWork(next, false);
    }
}

LRESULT DispatchMessage(const MSG* msg) {
    if (!msg->hwnd) {
        if (msg->message == WM_TIMER && msg->lParam)
            reinterpret_cast<TIMERPROC>(msg->lParam)(nullptr, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    if (platform::MessageTarget* target = platform::FindMessageTarget(msg->hwnd))
        return target->HandleMessage(msg->message, msg->wParam, msg->lParam);
    return 0;
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    auto owner = hwnd ? platform::QueueOf(hwnd) : CurrentQueue();
    if (!owner)
        return 0;
    std::optional<platform::TimerRecord> replaced;
    {
        auto& reg = Reg();
        std::lock_guard lock(reg.mutex);
        if (!hwnd)
            id = ++reg.lastThreadTimer;
        if (auto it = reg.timers.find({hwnd, id}); it != reg.timers.end()) {
            replaced = it->second;
            reg.timers.erase(it);
        }
    }
    if (replaced)
        platform::StopTimerRecord(*replaced);
    platform::Clock* clock = &platform::Clock::Current();
    platform::TimerRecord record;
    record.clock = clock;
    record.owner = owner;
    record.proc = proc;
    {
        // Registered before the clock can tick it.
        auto& reg = Reg();
        std::lock_guard lock(reg.mutex);
        reg.timers[{hwnd, id}] = record;
    }
    const auto clockId = clock->StartTimer(elapseMs, [hwnd, id] { platform::TickTimer(hwnd, id); });
    {
        auto& reg = Reg();
        std::lock_guard lock(reg.mutex);
        auto it = reg.timers.find({hwnd, id});
        if (it != reg.timers.end() && it->second.clock == clock && it->second.clockId == 0) {
            it->second.clockId = clockId;
            return id;
        }
    }
    // Killed (or replaced) before it was started.
    clock->StopTimer(clockId);
    return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    platform::TimerRecord record;
    {
        auto& reg = Reg();
        std::lock_guard lock(reg.mutex);
        auto it = reg.timers.find({hwnd, id});
        if (it == reg.timers.end())
            return FALSE;
        record = it->second;
        reg.timers.erase(it);
    }
    if (record.clockId)
        platform::StopTimerRecord(record);
    return TRUE;
}
