#pragma once

// Window messages between threads: the core that windows, the communication
// thread and the ping thread share.  QtCore only, so the link builds without
// a display.
//
// Every thread that owns message targets (windows) has a message queue.
//  - PostMessage queues a message for the target's thread, from any thread.
//    It is dropped (and PostMessage returns FALSE) when the target is gone.
//  - SendMessage on the target's own thread calls the target at once.  From
//    another thread it queues the call and waits for the result; while it
//    waits, the waiting thread handles messages sent to its own targets, so
//    two threads sending to each other never deadlock.  A target that goes
//    away before it handled the call answers 0.
//  - The owner thread handles its queue from Qt's event loop (the GUI thread,
//    once a QCoreApplication exists), from RunMessageLoop / GetMessage (a
//    worker with its own loop), or when a test calls PumpMessages.
//  - Sent messages are handled before posted ones; posted messages keep their
//    order.  Messages taken from the queue go through the pre-translate hook
//    of the window layer before they reach the target (PreTranslateMessage);
//    sent messages do not.
//  - SetTimer ticks run on the clock of platform/sys/Clock.h: Qt timers in
//    the program, a VirtualClock in tests.  A tick on the owner thread is
//    delivered at once as WM_TIMER (through the pre-translate hook); a tick
//    on another thread (a VirtualClock advanced elsewhere) posts one WM_TIMER,
//    never a second while the first is still queued.  KillTimer also drops a
//    tick that is still queued.  Windows must be destroyed (and their timers
//    killed) before the VirtualClock they ran on.

#include "platform/sys/Messages.h"

#include <cstdint>
#include <functional>

namespace platform {

// What a handle names: anything that answers messages on the thread that
// registered it.
class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// Registers `target` with the calling thread, which will handle its messages,
// and returns its new handle.
HWND RegisterMessageTarget(MessageTarget* target);
// From now on messages to `hwnd` are dropped, sends answer 0 and its timers
// stop.  Call on the owner thread before the target dies.
void UnregisterMessageTarget(HWND hwnd);
// The target of a live handle owned by the calling thread, else nullptr.
MessageTarget* FindMessageTarget(HWND hwnd);

// The window layer's PreTranslateMessage: looks at each message taken from a
// queue before it is dispatched; returns true when it handled the message.
using PreTranslateHook = bool (*)(MSG& msg);
void SetPreTranslateHook(PreTranslateHook hook);

// The path of every message taken from a queue (posted messages, timer ticks,
// and the window layer's input): the pre-translate hook, then DispatchMessage.
// False when the hook took the message and it was not dispatched.
bool DeliverQueuedMessage(MSG& msg);

// Handles what is queued for the calling thread now: sent messages, then the
// posted ones that were queued when it started, then due timers.  Returns
// false when it took WM_QUIT.
bool PumpMessages();
// Handles messages and timers of the calling thread until WM_QUIT; returns
// its exit code.
int RunMessageLoop();
// Waits until `done()` holds, handling only messages that other threads send
// to the calling thread meanwhile.  `done` is checked after each of them and
// at least every few milliseconds.  Gives up after `timeoutMs` of real time
// (a bound against hanging, not a time-out the program relies on) and
// returns done().
bool WaitHandlingSentMessages(const std::function<bool()>& done, std::int64_t timeoutMs);

// Makes the calling thread's queue handled by Qt's event loop.  Done by itself
// for the thread of the QCoreApplication when its queue is made or a target
// is registered; call it when the application object is made later.
void AttachQueueToEventLoop();

} // namespace platform

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsWindow(HWND hwnd);

// Thread messages (hwnd nullptr), for threads that run their own loop.
DWORD GetCurrentThreadId();
BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Waits for the next posted message of the calling thread (handling sent
// messages and timers meanwhile); FALSE when it is WM_QUIT.
BOOL GetMessage(MSG* msg, HWND hwnd = nullptr, UINT filterMin = 0, UINT filterMax = 0);
// Calls the target of a message (or, for a thread's WM_TIMER, its timer
// procedure); returns the target's result.
LRESULT DispatchMessage(const MSG* msg);

using TIMERPROC = void (*)(HWND hwnd, UINT message, UINT_PTR id, DWORD time);
// With a window: (re)starts its timer `id` and returns id; 0 when the window
// is gone.  Without one: a thread timer with a new id whose ticks call `proc`
// on the calling thread.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc = nullptr);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
