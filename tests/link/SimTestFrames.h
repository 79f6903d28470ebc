#pragma once

// Request frames as the host sends them, and replies taken apart, for the
// simulator's tests.

#include "sim/lib/SimFrame.h"
#include "sim/lib/SimFrameCollector.h"
#include "sim/lib/SimProcessor.h"

#include <optional>
#include <vector>

namespace simtest {

inline std::vector<BYTE> Request(BYTE command, BYTE preset, BYTE type, BYTE channel, BYTE block,
                                 std::vector<BYTE> payload = std::vector<BYTE>(8, 0)) {
    sim::SimFrame f;
    f.command = command;
    f.preset = preset;
    f.type = type;
    f.channel = channel;
    f.block = block;
    f.payload = std::move(payload);
    return sim::EncodeFrame(f);
}

inline std::vector<BYTE> Read9(BYTE subId, BYTE preset = 0) {
    return Request(frame::kCmdRead, preset, 9, subId, 0);
}

inline std::vector<BYTE> Write9(BYTE subId, std::vector<BYTE> payload, BYTE preset = 0) {
    return Request(frame::kCmdWrite, preset, 9, subId, 0, std::move(payload));
}

// The one frame in `bytes`, when they hold exactly one intact frame.
inline std::optional<sim::SimFrame> Parse(const std::vector<BYTE>& bytes) {
    sim::SimFrameCollector collector;
    auto frames = collector.Feed(bytes.data(), bytes.size());
    if (frames.size() != 1 || !frames[0].intact)
        return std::nullopt;
    return frames[0].frame;
}

// Answers `request` on a fresh collector; expects exactly one reply.
inline sim::SimReply Exchange(sim::SimProcessor& processor, const std::vector<BYTE>& request) {
    sim::SimFrameCollector collector;
    auto replies = processor.Feed(collector, request.data(), request.size());
    return replies.size() == 1 ? replies[0] : sim::SimReply{};
}

} // namespace simtest
