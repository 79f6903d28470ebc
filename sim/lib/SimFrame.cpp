#include "sim/lib/SimFrame.h"

namespace sim {

std::vector<BYTE> EncodeFrame(const SimFrame& f) {
    using namespace frame;
    const std::size_t length = f.payload.size();
    std::vector<BYTE> out(length + kOverhead, 0);
    for (std::size_t i = 0; i < kPreambleLength; ++i)
        out[i] = kPreamble;
    out[kOffStart] = kStart;
    out[kOffCommand] = f.command;
    out[kOffAddress] = f.address;
    out[kOffPreset] = f.preset;
    out[kOffType] = f.type;
    out[kOffChannel] = f.channel;
    out[kOffBlock] = f.block;
    out[kOffLinkFlag] = f.linkFlag;
    out[kOffLength] = static_cast<BYTE>(length & 0xFF);
    out[kOffLength + 1] = static_cast<BYTE>((length >> 8) & 0xFF);
    for (std::size_t i = 0; i < length; ++i)
        out[kOffPayload + i] = f.payload[i];
    out[kOffPayload + length] = XorCheck(out.data() + kCheckFrom, kOffPayload + length - kCheckFrom);
    out[kOffPayload + length + 1] = kEnd;
    return out;
}

} // namespace sim
