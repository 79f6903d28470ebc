#include "sim/lib/SimTcpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

namespace sim {

namespace {

constexpr std::size_t kReceiveSize = 4096;

// Closing with a zero linger time sends a reset instead of a normal close.
void ResetAndClose(int fd) {
    linger hard{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    close(fd);
}

} // namespace

SimTcpServer::~SimTcpServer() {
    Stop();
}

bool SimTcpServer::Start(std::uint16_t port) {
    if (m_listenFd >= 0)
        return false;
    int wake[2];
    if (pipe2(wake, O_CLOEXEC) != 0)
        return false;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        close(wake[0]);
        close(wake[1]);
        return false;
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 8) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd);
        close(wake[0]);
        close(wake[1]);
        return false;
    }
    m_listenFd = fd;
    m_wakeRead = wake[0];
    m_wakeWrite = wake[1];
    m_port = ntohs(address.sin_port);
    m_stopping = false;
    m_acceptThread = std::thread([this] { AcceptLoop(); });
    return true;
}

void SimTcpServer::Stop() {
    if (m_listenFd < 0)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_stopSignal.notify_all();
    // The byte is never read: every poll on the pipe sees it from now on.
    const BYTE wake = 1;
    [[maybe_unused]] auto written = write(m_wakeWrite, &wake, 1);
    m_acceptThread.join();
    for (auto& c : m_connections)
        c->thread.join();
    m_connections.clear();
    close(m_listenFd);
    close(m_wakeRead);
    close(m_wakeWrite);
    m_listenFd = m_wakeRead = m_wakeWrite = -1;
}

void SimTcpServer::AcceptLoop() {
    while (!m_stopping) {
        pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[1].revents)
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        const int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        ++m_accepted;
        ReapFinished();
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        Connection& c = *connection;
        m_connections.push_back(std::move(connection));
        c.thread = std::thread([this, &c] { Serve(c); });
    }
}

void SimTcpServer::ReapFinished() {
    for (auto it = m_connections.begin(); it != m_connections.end();) {
        if ((*it)->done) {
            (*it)->thread.join();
            it = m_connections.erase(it);
        } else {
            ++it;
        }
    }
}

void SimTcpServer::Serve(Connection& connection) {
    const int fd = connection.fd;
    SimFrameCollector collector;
    std::vector<BYTE> held;
    std::vector<BYTE> buffer(kReceiveSize);
    bool reset = false;
    while (!m_stopping && !reset) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[1].revents)
            break;
        const ssize_t got = recv(fd, buffer.data(), buffer.size(), 0);
        if (got <= 0)
            break;
        for (const auto& reply : m_processor.Feed(collector, buffer.data(), static_cast<std::size_t>(got))) {
            if (!Deliver(fd, reply, held)) {
                reset = true;
                break;
            }
        }
    }
    if (reset)
        ResetAndClose(fd);
    else
        close(fd);
    connection.done = true;
}

bool SimTcpServer::Deliver(int fd, const SimReply& reply, std::vector<BYTE>& held) {
    if (reply.reset)
        return false;
    if (reply.delayMs > 0 && !WaitMs(reply.delayMs))
        return false;
    std::vector<BYTE> bytes = std::move(held);
    held.clear();
    bytes.insert(bytes.end(), reply.bytes.begin(), reply.bytes.end());
    if (reply.merge) {
        held = std::move(bytes);
        return true;
    }
    if (reply.late) {
        HoldLate(std::move(bytes));
        return true;
    }
    bytes = TakeLate(std::move(bytes));
    const std::size_t piece = reply.pieceSize ? reply.pieceSize : bytes.size();
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        if (at > 0 && !WaitMs(kPiecePauseMs))
            return false;
        if (!SendAll(fd, bytes.data() + at, std::min(piece, bytes.size() - at)))
            return false;
    }
    return !reply.restart;
}

bool SimTcpServer::SendAll(int fd, const BYTE* data, std::size_t count) {
    while (count > 0) {
        const ssize_t sent = send(fd, data, count, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        count -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool SimTcpServer::WaitMs(int ms) {
    std::unique_lock lock(m_mutex);
    return !m_stopSignal.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stopping.load(); });
}

// ---- Late replies: the processor's, not a connection's ----

void SimTcpServer::HoldLate(std::vector<BYTE> bytes) {
    std::lock_guard lock(m_lateMutex);
    m_late.insert(m_late.end(), bytes.begin(), bytes.end());
}

std::vector<BYTE> SimTcpServer::TakeLate(std::vector<BYTE> next) {
    std::lock_guard lock(m_lateMutex);
    if (m_late.empty())
        return next;
    std::vector<BYTE> bytes = std::exchange(m_late, {});
    bytes.insert(bytes.end(), next.begin(), next.end());
    return bytes;
}

} // namespace sim
