#include "sim/lib/SimFrame.h"

namespace sim {

BYTE XorOf(const BYTE* bytes, std::size_t from, std::size_t to) {
    BYTE x = 0;
    for (std::size_t i = from; i < to; ++i)
        x ^= bytes[i];
    return x;
}

std::vector<BYTE> EncodeFrame(const SimFrame& frame) {
    const std::size_t length = frame.payload.size();
    std::vector<BYTE> out(length + kFrameOverhead, 0);
    out[0] = out[1] = out[2] = kPreambleByte;
    out[3] = kStartByte;
    out[kOffCommand] = frame.command;
    out[kOffAddress] = frame.address;
    out[kOffPreset] = frame.preset;
    out[kOffType] = frame.type;
    out[kOffChannel] = frame.channel;
    out[kOffBlock] = frame.block;
    out[kOffLinkFlag] = frame.linkFlag;
    out[kOffLength] = static_cast<BYTE>(length & 0xFF);
    out[kOffLength + 1] = static_cast<BYTE>((length >> 8) & 0xFF);
    for (std::size_t i = 0; i < length; ++i)
        out[kHeaderSize + i] = frame.payload[i];
    out[kHeaderSize + length] = XorOf(out.data(), kOffCommand, kHeaderSize + length);
    out[kHeaderSize + length + 1] = kEndByte;
    return out;
}

} // namespace sim
