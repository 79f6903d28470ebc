#include "sim/lib/SimHidDevice.h"

namespace sim {

int SimHidDevice::Write(const BYTE* report, std::size_t length, int /*timeoutMs*/) {
    return m_bus->Write(m_ticket, m_closed, report, length);
}

int SimHidDevice::Read(BYTE* report, std::size_t length, int timeoutMs) {
    return m_bus->Read(m_ticket, m_closed, report, length, timeoutMs);
}

void SimHidDevice::Close() {
    m_closed = true;
    m_bus->Wake();
}

} // namespace sim
