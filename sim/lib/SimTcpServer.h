#pragma once

// The processor's network side: a TCP server on the loopback address that
// feeds every connection's bytes to the processor and writes its replies
// back raw.  Each connection is served on its own thread.

#include "sim/lib/SimProcessor.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace sim {

class SimTcpServer {
public:
    static constexpr std::uint16_t kDefaultPort = 8899;
    // Pause between the pieces of a split reply, so the host receives them apart.
    static constexpr int kPiecePauseMs = 5;

    explicit SimTcpServer(SimProcessor& processor) : m_processor(processor) {}
    ~SimTcpServer();
    SimTcpServer(const SimTcpServer&) = delete;
    SimTcpServer& operator=(const SimTcpServer&) = delete;

    // Listens on 127.0.0.1:`port` (0 picks a free port); false when it cannot.
    bool Start(std::uint16_t port = kDefaultPort);
    // Closes the listener and every connection and waits for their threads.
    void Stop();
    std::uint16_t Port() const { return m_port; }
    // Connections accepted since the start.
    int AcceptedCount() const { return m_accepted.load(); }

private:
    struct Connection {
        int fd = -1;
        std::thread thread;
        std::atomic<bool> done = false;
    };

    void AcceptLoop();
    void Serve(Connection& connection);
    // False when the connection must end.
    bool Deliver(int fd, const SimReply& reply, std::vector<BYTE>& held);
    bool SendAll(int fd, const BYTE* data, std::size_t count);
    bool WaitMs(int ms);
    void ReapFinished();
    // A late reply waits for the next reply the processor sends, whichever
    // connection that goes to: behind a network bridge a late answer reaches
    // whoever is connected when it comes.
    void HoldLate(std::vector<BYTE> bytes);
    std::vector<BYTE> TakeLate(std::vector<BYTE> next);

    SimProcessor& m_processor;
    int m_listenFd = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stopping = false;
    std::atomic<int> m_accepted = 0;
    std::thread m_acceptThread;
    std::mutex m_mutex;
    std::condition_variable m_stopSignal;
    std::list<std::unique_ptr<Connection>> m_connections;
    std::mutex m_lateMutex;
    std::vector<BYTE> m_late;
};

} // namespace sim
