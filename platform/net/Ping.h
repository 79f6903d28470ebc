#pragma once

// One reachability check of the processor: the system's ping, one echo
// request with its own 3 s wait for the answer.

#include <cstddef>
#include <string>

namespace platform {

class Wakeup;

// Runs "ping -c 1 -W 3 ADDRESS" through ProcessRunner::Current() and answers
// true when the child ended within `deadlineMs` and its output holds "ttl="
// in any letter case.  A child still running at the deadline is killed and
// counts as no answer, as does any failure on the way.  `output` (of
// `outputSize` bytes) receives the start of the child's output, always
// terminated inside the buffer.
// A `wakeup` woken before or during the ping ends the child at once: no
// answer.
bool PingAddress(const std::string& address, char* output, std::size_t outputSize, int deadlineMs,
                 Wakeup* wakeup = nullptr);

} // namespace platform
