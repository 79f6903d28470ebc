#pragma once

// A window-less message target: a handle that code under test posts and
// sends to, on the thread that made it, without any display.  It records what
// it receives; an optional handler answers sent messages (a view that must
// react before the sender goes on).

#include "platform/sys/MessageQueue.h"

#include <functional>
#include <utility>
#include <mutex>
#include <vector>

namespace platform {

class MessageWindow final : public MessageTarget {
public:
    struct Message {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };

    MessageWindow() : m_hwnd(RegisterMessageTarget(this)) {}
    ~MessageWindow() override { UnregisterMessageTarget(m_hwnd); }
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND GetSafeHwnd() const { return m_hwnd; }

    // Called for each message as it arrives (after it was recorded); its
    // result answers SendMessage.  Without a handler the answer is 0.
    void SetHandler(std::function<LRESULT(const Message&)> handler) { m_handler = std::move(handler); }

    // Handles what is queued for this thread now, then returns the messages
    // received so far and forgets them.
    std::vector<Message> TakeMessages() {
        PumpMessages();
        std::lock_guard lock(m_mutex);
        return std::exchange(m_received, {});
    }

    // Handles this thread's messages until one with the number `message`
    // has arrived (true) or `timeoutMs` of real time passed (false).
    bool WaitForMessage(UINT message, std::int64_t timeoutMs = 5000) {
        return WaitHandlingSentMessages(
            [&] {
                PumpMessages();
                std::lock_guard lock(m_mutex);
                for (const auto& m : m_received) {
                    if (m.message == message)
                        return true;
                }
                return false;
            },
            timeoutMs);
    }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        const Message m{message, wParam, lParam};
        {
            std::lock_guard lock(m_mutex);
            m_received.push_back(m);
        }
        return m_handler ? m_handler(m) : 0;
    }

private:
    std::mutex m_mutex;
    std::vector<Message> m_received;
    std::function<LRESULT(const Message&)> m_handler;
    HWND m_hwnd = nullptr;
};

} // namespace platform
