#include "platform/net/TcpSocket.h"

#include "platform/sys/Wakeup.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

TcpSocket::~TcpSocket() {
    Close();
}

bool TcpSocket::Fail() {
    m_lastError = errno;
    return false;
}

bool TcpSocket::Arm(Wakeup* stop) {
    if (!stop)
        return true;
    const int fd = m_fd;
    // A shut-down socket ends a blocked connect, send or receive at once.
    // Disarm waits for a running interrupt, so the descriptor cannot be
    // closed and reused under it.
    if (!stop->SetInterrupt([fd] { shutdown(fd, SHUT_RDWR); })) {
        m_lastError = ECANCELED;
        return false;
    }
    return true;
}

bool TcpSocket::Disarm(Wakeup* stop) {
    if (!stop)
        return true;
    stop->ClearInterrupt();
    if (!stop->Woken())
        return true;
    m_lastError = ECANCELED;
    return false;
}

bool TcpSocket::Open() {
    Close();
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0)
        return Fail();
    m_fd = fd;
    return true;
}

bool TcpSocket::SetTimeout(int option, int ms) {
    const timeval tv{ms / 1000, (ms % 1000) * 1000};
    if (setsockopt(m_fd, SOL_SOCKET, option, &tv, sizeof tv) != 0)
        return Fail();
    return true;
}

bool TcpSocket::SetSendTimeout(int ms) {
    return SetTimeout(SO_SNDTIMEO, ms);
}

bool TcpSocket::SetReceiveTimeout(int ms) {
    return SetTimeout(SO_RCVTIMEO, ms);
}

bool TcpSocket::SetBufferSizes(int bytes) {
    if (setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) != 0 ||
        setsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes) != 0)
        return Fail();
    return true;
}

bool TcpSocket::Connect(const std::string& address, std::uint16_t port, int timeoutMs, Wakeup* stop) {
    const int fd = m_fd;
    if (fd < 0) {
        m_lastError = EBADF;
        return false;
    }
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &peer.sin_addr) != 1) {
        m_lastError = EINVAL;
        return false;
    }
    // Connect without blocking so the wait has a limit, then go back to
    // blocking calls bounded by the socket's time-outs.
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0)
        return Fail();
    if (!Arm(stop)) {
        fcntl(fd, F_SETFL, flags);
        return false;
    }
    int error = 0;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        error = errno;
        if (error == EINPROGRESS) {
            pollfd waiting{fd, POLLOUT, 0};
            int ready;
            do
                ready = poll(&waiting, 1, timeoutMs);
            while (ready < 0 && errno == EINTR);
            socklen_t length = sizeof error;
            if (ready == 0)
                error = ETIMEDOUT;
            else if (ready < 0)
                error = errno;
            else if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = errno;
        }
    }
    fcntl(fd, F_SETFL, flags);
    if (!Disarm(stop))
        return false;
    m_lastError = error;
    return error == 0;
}

int TcpSocket::Send(const void* data, int length, Wakeup* stop) {
    if (!Arm(stop))
        return -1;
    const auto* bytes = static_cast<const char*>(data);
    int sent = 0;
    while (sent < length) {
        const ssize_t n = send(m_fd, bytes + sent, static_cast<std::size_t>(length - sent), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail();
            sent = -1;
            break;
        }
        sent += static_cast<int>(n);
    }
    return Disarm(stop) ? sent : -1;
}

int TcpSocket::Receive(void* buffer, int capacity, Wakeup* stop) {
    if (!Arm(stop))
        return -1;
    ssize_t n;
    do
        n = recv(m_fd, buffer, static_cast<std::size_t>(capacity), 0);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        Fail();
    // What a stop cut short is no answer, whatever the call returned.
    if (!Disarm(stop))
        return -1;
    return static_cast<int>(n);
}

void TcpSocket::Close() {
    const int fd = m_fd.exchange(-1);
    if (fd >= 0)
        close(fd);
}

} // namespace platform
