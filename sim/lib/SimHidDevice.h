#pragma once

// One open handle on an interface of a SimHidBus.

#include "platform/hid/HidBackend.h"
#include "sim/lib/SimHidBus.h"

#include <atomic>
#include <memory>

namespace sim {

class SimHidDevice final : public platform::HidDevice {
public:
    SimHidDevice(std::shared_ptr<SimHidBus> bus, SimHidBus::Ticket ticket)
        : m_bus(std::move(bus)), m_ticket(ticket) {}

    // The write goes out at once, so the time-out never runs out.
    int Write(const BYTE* report, std::size_t length, int timeoutMs) override;
    int Read(BYTE* report, std::size_t length, int timeoutMs) override;
    void Close() override;

private:
    std::shared_ptr<SimHidBus> m_bus;
    SimHidBus::Ticket m_ticket;
    std::atomic<bool> m_closed = false;
};

} // namespace sim
