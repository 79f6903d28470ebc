#pragma once

// A message-box handler for tests: records every box and answers with a
// preset result instead of showing anything.

#include "platform/sys/MessageBox.h"

#include <mutex>
#include <vector>

namespace platform {

class RecordingMessageBox final : public MessageBoxHandler {
public:
    struct Entry {
        CString text;
        UINT type = 0;
        int helpId = 0;
    };

    explicit RecordingMessageBox(int answer = IDOK) : m_answer(answer) {
        m_previous = SetMessageBoxHandler(this);
    }
    ~RecordingMessageBox() override { SetMessageBoxHandler(m_previous); }
    RecordingMessageBox(const RecordingMessageBox&) = delete;
    RecordingMessageBox& operator=(const RecordingMessageBox&) = delete;

    int Show(const CString& text, UINT type, int helpId) override {
        std::lock_guard lock(m_mutex);
        m_entries.push_back({text, type, helpId});
        return m_answer;
    }

    std::vector<Entry> Entries() const {
        std::lock_guard lock(m_mutex);
        return m_entries;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Entry> m_entries;
    int m_answer = IDOK;
    MessageBoxHandler* m_previous = nullptr;
};

} // namespace platform
