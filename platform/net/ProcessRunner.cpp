#include "platform/net/ProcessRunner.h"

#include "platform/net/SpawnProcessRunner.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<ProcessRunner*> s_installed{nullptr};
} // namespace

ProcessRunner& ProcessRunner::Current() {
    if (ProcessRunner* runner = s_installed.load())
        return *runner;
    static SpawnProcessRunner s_system;
    return s_system;
}

ProcessRunner* ProcessRunner::Install(ProcessRunner* runner) {
    return s_installed.exchange(runner);
}

} // namespace platform
