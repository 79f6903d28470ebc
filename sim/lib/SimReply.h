#pragma once

// What a transport must do for one request: the bytes to deliver and how.

#include "platform/sys/WinTypes.h"

#include <cstddef>
#include <vector>

namespace sim {

struct SimReply {
    // Bytes on the wire; empty when nothing is sent.
    std::vector<BYTE> bytes;
    // Deliver in pieces of this many bytes (0: in one piece).
    std::size_t pieceSize = 0;
    // Wait this long before delivering.
    int delayMs = 0;
    // Hold the bytes back and deliver them in front of the next reply.
    bool merge = false;
    // The same, but in front of the next reply on any connection.
    bool late = false;
    // Drop the connection (TCP) or vanish (USB) instead of answering.
    bool reset = false;
    // After this reply the processor restarts: TCP connections are reset and
    // the USB device goes away and comes back.
    bool restart = false;
};

} // namespace sim
