#include "platform/sys/MessageBox.h"

#include <atomic>
#include <cstdio>

namespace platform {

namespace {
std::atomic<MessageBoxHandler*> s_boxHandler{nullptr};
}

MessageBoxHandler* SetMessageBoxHandler(MessageBoxHandler* handler) {
    return s_boxHandler.exchange(handler);
}

} // namespace platform

int AfxMessageBox(const CString& text, UINT type, int helpId) {
    if (auto* handler = platform::s_boxHandler.load())
        return handler->Show(text, type, helpId);
    std::fprintf(stderr, "[message %d] %s\n", helpId, text.c_str());
    return IDOK;
}
