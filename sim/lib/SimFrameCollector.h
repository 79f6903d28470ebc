#pragma once

// The processor's receiver: finds frame starts in a byte stream (USB report
// padding, the leading report id of blocks sent over TCP and any other noise
// between frames is skipped) and cuts out whole frames.

#include "sim/lib/SimFrame.h"

#include <vector>

namespace sim {

class SimFrameCollector {
public:
    // A header announcing more than frame::kMaxPayload is taken for noise.
    struct Collected {
        SimFrame frame;
        // False when the check or the end byte was wrong; the header fields
        // are those received.
        bool intact = true;
    };

    std::vector<Collected> Feed(const BYTE* data, std::size_t count);
    void Reset();

private:
    void Take(BYTE byte, std::vector<Collected>& out);

    std::vector<BYTE> m_frame;
    int m_preambleCount = 0;
    bool m_collecting = false;
};

} // namespace sim
