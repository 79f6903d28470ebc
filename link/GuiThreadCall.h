#pragma once

// Runs work on the thread that made this object (the GUI thread) for another
// thread that must wait for the result: the link's globals and its message
// boxes belong to the GUI thread, so a worker that needs the link reopened
// hands the job over instead of doing it itself.  A thread waiting for the
// worker keeps handling such calls (WaitHandlingSentMessages), so the two
// never block each other.

#include "platform/sys/MessageQueue.h"

#include <functional>

class CGuiThreadCall final : public platform::MessageTarget {
public:
    CGuiThreadCall() : m_hWnd(platform::RegisterMessageTarget(this)) {}
    ~CGuiThreadCall() override { platform::UnregisterMessageTarget(m_hWnd); }
    CGuiThreadCall(const CGuiThreadCall&) = delete;
    CGuiThreadCall& operator=(const CGuiThreadCall&) = delete;

    // Runs `work` on the owner thread and returns its result; 0 when the
    // owner is gone before it could run it.
    LRESULT Call(const std::function<LRESULT()>& work) {
        return SendMessage(m_hWnd, kCall, 0, reinterpret_cast<LPARAM>(&work));
    }

    LRESULT HandleMessage(UINT message, WPARAM, LPARAM lParam) override {
        if (message != kCall)
            return 0;
        return (*reinterpret_cast<const std::function<LRESULT()>*>(lParam))();
    }

private:
    // The only message this target gets.
    static constexpr UINT kCall = WM_USER;

    HWND m_hWnd = nullptr;
};
