#pragma once

// One misbehaviour of the simulated processor, applied to the replies of the
// requests it matches.

#include "platform/sys/WinTypes.h"

#include <optional>
#include <utility>
#include <vector>

namespace sim {

enum class SimFaultKind {
    Reject,          // reply 0x52 instead of the answer
    Silence,         // no reply at all
    Delay,           // reply after `value` milliseconds
    Split,           // reply handed to the stream in pieces of `value` bytes (TCP; HID cuts at 64 anyway)
    Merge,           // reply held back and delivered together with the next one
    Junk,            // `bytes` go out before the reply's preamble
    BadCheck,        // the check byte is wrong
    BadEnd,          // the end byte is wrong
    ReplyCode,       // the reply code byte becomes `value`
    EmptyPayload,    // a data reply without payload (length 0)
    OversizedLength, // the reply announces, and carries, `value` payload bytes
    BadChannel,      // the reply's channel byte becomes `value`
    BadPreset,       // the reply's preset byte becomes `value`
    Reset,           // no reply; the connection is reset (TCP) or the device unplugged (HID)
    Truncate,        // only the first `value` bytes of the reply go out; the rest never comes

    // Replies out of turn.
    StaleStatus, // `value` status replies nobody asked for go out in front of the reply
    Late,        // the reply comes after the host gave up on it: it goes out in front of the
                 // processor's next reply, on whichever connection that one leaves by
};

struct SimFault {
    SimFault(SimFaultKind faultKind = SimFaultKind::Reject, int faultValue = 0, std::vector<BYTE> junk = {})
        : kind(faultKind), value(faultValue), bytes(std::move(junk)) {}

    SimFaultKind kind = SimFaultKind::Reject;
    int value = 0;
    std::vector<BYTE> bytes;
    // Which requests it applies to; empty matches every request.
    std::optional<BYTE> type;
    std::optional<BYTE> channel;
    // How many matching requests it applies to; negative means all of them.
    int count = 1;
};

} // namespace sim
