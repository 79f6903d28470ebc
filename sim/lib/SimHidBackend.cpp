#include "sim/lib/SimHidBackend.h"

#include "sim/lib/SimHidDevice.h"

#include <algorithm>

namespace sim {

SimHidBackend::SimHidBackend(SimProcessor& processor)
    : m_bus(std::make_shared<SimHidBus>(processor)), m_noticeThread([this] { NoticeLoop(); }) {}

SimHidBackend::~SimHidBackend() {
    m_bus->Shutdown();
    m_noticeThread.join();
}

std::vector<platform::HidDeviceInfo> SimHidBackend::Enumerate() {
    return m_bus->Enumerate();
}

std::shared_ptr<platform::HidDevice> SimHidBackend::Open(const std::string& path) {
    const auto ticket = m_bus->Open(path);
    if (!ticket)
        return nullptr;
    return std::make_shared<SimHidDevice>(m_bus, *ticket);
}

void SimHidBackend::Subscribe(platform::HidChangeSink* sink) {
    std::lock_guard lock(m_sinksMutex);
    if (std::find(m_sinks.begin(), m_sinks.end(), sink) == m_sinks.end())
        m_sinks.push_back(sink);
}

void SimHidBackend::Unsubscribe(platform::HidChangeSink* sink) {
    std::lock_guard lock(m_sinksMutex);
    m_sinks.erase(std::remove(m_sinks.begin(), m_sinks.end(), sink), m_sinks.end());
}

void SimHidBackend::NoticeLoop() {
    std::vector<SimHidBus::Notice> notices;
    while (m_bus->WaitNotices(notices)) {
        std::lock_guard lock(m_sinksMutex);
        for (const auto& notice : notices) {
            // A copy: a sink may unsubscribe while it is told.
            const auto sinks = m_sinks;
            for (auto* sink : sinks) {
                if (notice.arrival)
                    sink->OnHidArrival(notice.path);
                else
                    sink->OnHidRemoval(notice.path);
            }
        }
        notices.clear();
    }
}

} // namespace sim
