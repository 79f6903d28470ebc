#include "sim/lib/SimFrameCollector.h"

namespace sim {

using namespace frame;

std::vector<SimFrameCollector::Collected> SimFrameCollector::Feed(const BYTE* data, std::size_t count) {
    std::vector<Collected> out;
    for (std::size_t i = 0; i < count; ++i)
        Take(data[i], out);
    return out;
}

void SimFrameCollector::Reset() {
    m_frame.clear();
    m_preambleCount = 0;
    m_collecting = false;
}

void SimFrameCollector::Take(BYTE byte, std::vector<Collected>& out) {
    if (!m_collecting) {
        if (byte == kStart && m_preambleCount >= static_cast<int>(kPreambleLength)) {
            m_collecting = true;
            m_frame.assign(kPreambleLength, kPreamble);
            m_frame.push_back(kStart);
        }
        m_preambleCount = byte == kPreamble ? m_preambleCount + 1 : 0;
        return;
    }
    m_frame.push_back(byte);
    if (m_frame.size() < kHeaderSize)
        return;
    const std::size_t length = PayloadLength(m_frame.data());
    if (length > kMaxPayload) {
        Reset();
        return;
    }
    const std::size_t total = length + kOverhead;
    if (m_frame.size() < total)
        return;

    Collected c;
    c.frame.command = m_frame[kOffCommand];
    c.frame.address = m_frame[kOffAddress];
    c.frame.preset = m_frame[kOffPreset];
    c.frame.type = m_frame[kOffType];
    c.frame.channel = m_frame[kOffChannel];
    c.frame.block = m_frame[kOffBlock];
    c.frame.linkFlag = m_frame[kOffLinkFlag];
    c.frame.payload.assign(m_frame.begin() + kOffPayload, m_frame.begin() + kOffPayload + length);
    c.intact = m_frame[total - 1] == kEnd &&
               XorCheck(m_frame.data() + kCheckFrom, total - kCheckFrom - 2) == m_frame[total - 2];
    out.push_back(std::move(c));
    Reset();
}

} // namespace sim
