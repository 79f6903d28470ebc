#pragma once

// Frames as the processor sees them: requests arrive in the layout of
// model/FrameFormat.h, replies leave in it (preamble included, so the host
// resynchronises on every reply the same way).

#include "model/FrameFormat.h"
#include "platform/sys/WinTypes.h"

#include <cstddef>
#include <vector>

namespace sim {

// One frame as fields; `payload` holds exactly the announced bytes.
struct SimFrame {
    BYTE command = 0;
    BYTE address = frame::kDeviceAddress;
    BYTE preset = 0;
    BYTE type = 0;
    BYTE channel = 0;
    BYTE block = 0;
    BYTE linkFlag = 0;
    std::vector<BYTE> payload;
};

// The bytes of `f` on the wire: preamble, header, payload, check, end.
std::vector<BYTE> EncodeFrame(const SimFrame& f);

} // namespace sim
