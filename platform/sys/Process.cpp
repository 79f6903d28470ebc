#include "platform/sys/Process.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <fstream>
#include <string>
#include <unistd.h>

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(getpid());
}

namespace platform {

bool IsProcessAlive(DWORD pid) {
    // kill(0, ...) would address our own process group, and ids above the
    // pid range would wrap to negative ones.
    if (pid == 0 || pid > 0x7fffffff)
        return false;
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)
        return false;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    // The state follows the command name, which is in parentheses and may
    // itself hold blanks and parentheses.
    const auto close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size())
        return true;
    const char state = line[close + 2];
    return state != 'Z' && state != 'X';
}

bool IsProcessAlive(const CString& pidText) {
    DWORD pid = 0;
    const char* end = pidText.data() + pidText.size();
    const auto [at, error] = std::from_chars(pidText.data(), end, pid);
    if (error != std::errc() || at != end || pidText.empty())
        return false;
    return IsProcessAlive(pid);
}

} // namespace platform
