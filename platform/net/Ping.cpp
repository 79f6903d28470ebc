#include "platform/net/Ping.h"

#include "platform/net/ProcessRunner.h"
#include "platform/sys/Wakeup.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

namespace platform {

namespace {

// The command line had to fit a fixed buffer; an address that long is no
// dotted address anyway.
constexpr std::size_t kCommandLimit = 80;

bool HoldsTtl(std::string_view text) {
    constexpr std::string_view ttl = "ttl=";
    for (std::size_t at = 0; at + ttl.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < ttl.size() && std::tolower(static_cast<unsigned char>(text[at + i])) == ttl[i])
            ++i;
        if (i == ttl.size())
            return true;
    }
    return false;
}

} // namespace

bool PingAddress(const std::string& address, char* output, std::size_t outputSize, int deadlineMs,
                 Wakeup* wakeup) {
    if (!output || outputSize == 0)
        return false;
    output[0] = '\0';
    // An address that starts like an option would be taken as one.
    if (address.empty() || address.front() == '-')
        return false;
    const std::vector<std::string> argv = {"ping", "-c", "1", "-W", "3", address};
    if (std::string("ping -c 1 -W 3 ").size() + address.size() >= kCommandLimit)
        return false;

    auto child = ProcessRunner::Current().Start(argv);
    if (!child)
        return false;
    if (wakeup && !wakeup->SetInterrupt([&child] { child->Interrupt(); })) {
        child->Kill();
        return false;
    }
    const bool ended = child->WaitForExit(deadlineMs);
    if (wakeup)
        wakeup->ClearInterrupt();
    if (!ended || (wakeup && wakeup->Woken())) {
        child->Kill();
        return false;
    }
    // The last byte of the buffer is kept for the terminator.
    const int capacity = static_cast<int>(std::min<std::size_t>(outputSize - 1, 0x7fffffff));
    const int count = std::clamp(child->ReadOutput(output, capacity), 0, capacity);
    output[count] = '\0';
    return HoldsTtl(std::string_view(output, static_cast<std::size_t>(count)));
}

} // namespace platform
