#pragma once

// The processor's side of the link: it answers every request frame as the
// real processor does, keeps its memory, runs its firmware loader and
// misbehaves on request.  Transports (SimTcpServer, SimHidDevice) carry the
// bytes; every call here is thread-safe.

#include "sim/lib/SimFault.h"
#include "sim/lib/SimFirmwareImage.h"
#include "sim/lib/SimFrameCollector.h"
#include "sim/lib/SimMemory.h"
#include "sim/lib/SimReply.h"

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace sim {

// The link's idle request: what it sends over and over once nothing else waits.
bool IsStatusPoll(const SimFrame& f);

class SimProcessor {
public:
    // The request log keeps this many frames: the latest, except that status
    // polls are dropped, oldest first, before any other request.
    static constexpr std::size_t kRequestLogSize = 10000;

    SimProcessor() = default;

    // Feeds received bytes through `collector` and answers every frame
    // completed, in order.
    std::vector<SimReply> Feed(SimFrameCollector& collector, const BYTE* data, std::size_t count);
    SimReply Answer(const SimFrameCollector::Collected& request);

    // The memory, for tests and tools: a copy, a replacement, or a change in place.
    SimMemory Memory() const;
    void SetMemory(const SimMemory& memory);
    void UpdateMemory(const std::function<void(SimMemory&)>& change);

    void InjectFault(const SimFault& fault);
    void ClearFaults();

    // Intact request frames received, oldest first.
    std::vector<SimFrame> Requests() const;
    void ClearRequests();

    SimFirmwareImage Firmware() const;

private:
    struct Answered {
        BYTE code = frame::kReplyData;
        std::vector<BYTE> payload;
        bool restart = false;
    };

    static Answered Unknown();
    Answered Respond(const SimFrame& request);
    Answered Write(const SimFrame& request);
    Answered Read(const SimFrame& request);
    Answered WriteSetting(const SimFrame& request);
    Answered ReadSetting(const SimFrame& request);
    Answered Load(const SimFrame& request);
    bool TakeFault(const SimFrame& request, SimFault& fault);
    std::vector<BYTE> StatusReplies(int count);
    void Log(const SimFrame& request);

    mutable std::mutex m_mutex;
    SimMemory m_memory = SimMemory::Factory();
    std::vector<SimFault> m_faults;
    std::deque<SimFrame> m_requests;
    // How many of the oldest logged requests are known not to be status polls.
    std::size_t m_leadingNonPolls = 0;
    SimFirmwareImage m_firmware;
};

} // namespace sim
