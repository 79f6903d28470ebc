#include "platform/net/TcpSocket.h"

#include "platform/sys/Wakeup.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A listener on a free loopback port; the connection waits in its backlog
// until the test accepts it, so no thread is needed.
class TcpSocket : public ::testing::Test {
protected:
    void SetUp() override {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_GE(m_listener, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(listen(m_listener, 1), 0);
        socklen_t length = sizeof address;
        ASSERT_EQ(getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
        m_port = ntohs(address.sin_port);
    }
    void TearDown() override {
        if (m_peer >= 0)
            close(m_peer);
        if (m_listener >= 0)
            close(m_listener);
    }

    void ConnectAndAccept() {
        ASSERT_TRUE(m_socket.Open());
        ASSERT_TRUE(m_socket.SetReceiveTimeout(50));
        ASSERT_TRUE(m_socket.SetSendTimeout(1000));
        ASSERT_TRUE(m_socket.SetBufferSizes(0));
        ASSERT_TRUE(m_socket.Connect("127.0.0.1", m_port, 1000)) << m_socket.LastError();
        m_peer = accept(m_listener, nullptr, nullptr);
        ASSERT_GE(m_peer, 0);
    }

    int m_listener = -1;
    int m_peer = -1;
    std::uint16_t m_port = 0;
    platform::TcpSocket m_socket;
};

} // namespace

TEST_F(TcpSocket, ExchangesBytesWithThePeer) {
    ConnectAndAccept();
    const char frame[] = "\x5c\x5c\x5c\xee\xa2\x01";
    EXPECT_EQ(m_socket.Send(frame, 6), 6);
    char got[16] = {};
    ASSERT_EQ(recv(m_peer, got, sizeof got, 0), 6);
    EXPECT_EQ(std::string(got, 6), std::string(frame, 6));

    ASSERT_EQ(send(m_peer, "reply", 5, 0), 5);
    char reply[400] = {};
    EXPECT_EQ(m_socket.Receive(reply, sizeof reply), 5);
    EXPECT_EQ(std::string(reply, 5), "reply");
}

TEST_F(TcpSocket, ASilentPeerMakesTheReceiveTimeOutWithEagain) {
    ConnectAndAccept();
    char buffer[16];
    EXPECT_EQ(m_socket.Receive(buffer, sizeof buffer), -1);
    EXPECT_TRUE(m_socket.LastError() == EAGAIN || m_socket.LastError() == EWOULDBLOCK)
        << m_socket.LastError();
    EXPECT_TRUE(m_socket.IsOpen());
}

TEST_F(TcpSocket, AClosedPeerEndsReceivingAndFailsSendsWithoutASignal) {
    ConnectAndAccept();
    close(m_peer);
    m_peer = -1;
    char buffer[16];
    EXPECT_EQ(m_socket.Receive(buffer, sizeof buffer), 0);
    // The first send may still be taken by the system; a later one fails,
    // and without MSG_NOSIGNAL it would have ended the test program.
    int result = 0;
    for (int attempt = 0; attempt < 20 && result >= 0; ++attempt)
        result = m_socket.Send("frame", 5);
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(m_socket.LastError() == EPIPE || m_socket.LastError() == ECONNRESET) << m_socket.LastError();
}

TEST_F(TcpSocket, ConnectFailsWithoutListenerOrAddressOrSocket) {
    close(m_listener);
    m_listener = -1;
    platform::TcpSocket notOpen;
    EXPECT_FALSE(notOpen.Connect("127.0.0.1", m_port, 1000));

    ASSERT_TRUE(m_socket.Open());
    EXPECT_FALSE(m_socket.Connect("127.0.0.1", m_port, 1000));
    EXPECT_EQ(m_socket.LastError(), ECONNREFUSED);
    ASSERT_TRUE(m_socket.Open());
    EXPECT_FALSE(m_socket.Connect("192.168.4.", m_port, 1000));
    m_socket.Close();
    EXPECT_FALSE(m_socket.IsOpen());
}

// A stop ends a connect, send or receive that waits, and fails one that has
// not begun: ECANCELED, however long the wait could have lasted.  The peer
// here never lets a wait end by itself: its backlog is full, so a connect
// hangs; it never writes, so a receive hangs.
TEST_F(TcpSocket, AStopEndsAWaitingConnectOrReceiveAndFailsOneNotBegun) {
    constexpr int kNever = 600'000;
    // One connection fills a listener with no backlog; the next one waits.
    const int full = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(full, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(full, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(full, 0), 0);
    socklen_t length = sizeof address;
    ASSERT_EQ(getsockname(full, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::uint16_t fullPort = ntohs(address.sin_port);
    platform::TcpSocket queued;
    ASSERT_TRUE(queued.Open());
    ASSERT_TRUE(queued.Connect("127.0.0.1", fullPort, 10000));

    enum class Call { Connect, Receive, Send };
    for (Call call : {Call::Connect, Call::Receive, Call::Send}) {
        for (bool before : {true, false}) {
            SCOPED_TRACE(testing::Message() << int(call) << (before ? " woken before" : " woken while"));
            if (call == Call::Send && !before)
                continue; // a send to a reading peer does not wait
            platform::TcpSocket socket;
            ASSERT_TRUE(socket.Open());
            if (call != Call::Connect) {
                ASSERT_TRUE(socket.SetReceiveTimeout(kNever));
                ASSERT_TRUE(socket.Connect("127.0.0.1", m_port, 10000));
                m_peer = accept(m_listener, nullptr, nullptr);
                ASSERT_GE(m_peer, 0);
            }
            platform::Wakeup stop;
            if (before)
                stop.Wake();
            std::thread waker([&] {
                if (!before)
                    stop.Wake();
            });
            char buffer[16] = {};
            bool failed = false;
            switch (call) {
            case Call::Connect:
                failed = !socket.Connect("127.0.0.1", fullPort, kNever, &stop);
                break;
            case Call::Receive:
                failed = socket.Receive(buffer, sizeof buffer, &stop) == -1;
                break;
            case Call::Send:
                failed = socket.Send("frame", 5, &stop) == -1;
                break;
            }
            waker.join();
            EXPECT_TRUE(failed);
            EXPECT_EQ(socket.LastError(), ECANCELED);
            if (call == Call::Send) {
                char got[16];
                EXPECT_EQ(recv(m_peer, got, sizeof got, MSG_DONTWAIT), -1) << "the frame went out";
            }
            if (m_peer >= 0) {
                close(m_peer);
                m_peer = -1;
            }
        }
    }
    close(full);
}
