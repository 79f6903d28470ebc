#pragma once

// The file dialogs answered at once: each dialog records what it was asked
// and returns the next prepared path, or cancels when there is none.

#include "platform/sys/FileDialog.h"

#include <deque>
#include <vector>

namespace linktest {

class FakeFileDialog final : public platform::FileDialogHandler {
public:
    FakeFileDialog() { m_previous = platform::SetFileDialogHandler(this); }
    ~FakeFileDialog() override { platform::SetFileDialogHandler(m_previous); }
    FakeFileDialog(const FakeFileDialog&) = delete;
    FakeFileDialog& operator=(const FakeFileDialog&) = delete;

    // The next dialog chooses `path`; an empty path cancels it.
    void Answer(const CString& path) { m_answers.push_back(path); }

    bool Choose(const platform::FileDialogRequest& request, CString& path) override {
        requests.push_back(request);
        if (m_answers.empty())
            return false;
        path = m_answers.front();
        m_answers.pop_front();
        return !path.empty();
    }

    std::vector<platform::FileDialogRequest> requests;

private:
    std::deque<CString> m_answers;
    platform::FileDialogHandler* m_previous = nullptr;
};

} // namespace linktest
