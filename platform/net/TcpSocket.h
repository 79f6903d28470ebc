#pragma once

// A TCP client socket for the network link.  Sends never raise SIGPIPE; a
// receive that waits longer than the receive time-out fails with EAGAIN,
// which is how the link learns that the processor did not answer in time.
// A connect, send or receive given a `stop` ends at once, failing with
// ECANCELED, when the stop is woken before or while it waits: the socket is
// shut down then, so only closing it is left to do.

#include <atomic>
#include <cstdint>
#include <string>

namespace platform {

class Wakeup;

class TcpSocket {
public:
    TcpSocket() = default;
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Creates the socket; the settings below apply to it until Close.
    bool Open();
    bool IsOpen() const { return m_fd.load() >= 0; }
    bool SetSendTimeout(int ms);
    bool SetReceiveTimeout(int ms);
    // Kernel send and receive buffer sizes (the system raises tiny ones to its minimum).
    bool SetBufferSizes(int bytes);

    // Connects the open socket to `address` (dotted IPv4) and `port`, waiting
    // at most `timeoutMs`.
    bool Connect(const std::string& address, std::uint16_t port, int timeoutMs, Wakeup* stop = nullptr);

    // Sends the whole buffer; returns `length`, or -1 when it could not all go
    // out (peer gone, send time-out).
    int Send(const void* data, int length, Wakeup* stop = nullptr);
    // Receives at most `capacity` bytes: the count, 0 when the peer closed the
    // connection, -1 on failure (EAGAIN: the receive time-out passed).
    int Receive(void* buffer, int capacity, Wakeup* stop = nullptr);

    void Close();

    // The errno of the last failed call.
    int LastError() const { return m_lastError; }

private:
    bool Fail();
    bool SetTimeout(int option, int ms);
    // Lets `stop` shut the socket down while a call waits on it; false (and
    // ECANCELED) when it was woken already.
    bool Arm(Wakeup* stop);
    // Ends what Arm began; false (and ECANCELED) when the stop came meanwhile.
    bool Disarm(Wakeup* stop);

    std::atomic<int> m_fd = -1;
    int m_lastError = 0;
};

} // namespace platform
