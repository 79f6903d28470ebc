#include "sim/lib/SimOptions.h"
#include "sim/lib/SimTcpServer.h"
#include "tests/link/SimTestFrames.h"

#include <arpa/inet.h>
#include <cerrno>
#include <deque>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace sim;
using simtest::Read9;
using simtest::Request;
using simtest::Write9;

namespace {

// The host's end of a connection, with a receive limit so a broken server
// fails the test instead of hanging it.
class Client {
public:
    explicit Client(std::uint16_t port) {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        timeval limit{5, 0};
        setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Client() { close(m_fd); }

    bool Connected() const { return m_connected; }
    void Send(const std::vector<BYTE>& bytes) {
        ASSERT_EQ(send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), ssize_t(bytes.size()));
    }

    // One receive; negative on error (errno kept).
    ssize_t ReceiveOnce(std::vector<BYTE>& into) {
        BYTE buffer[1024];
        const ssize_t got = recv(m_fd, buffer, sizeof buffer, 0);
        if (got > 0)
            into.insert(into.end(), buffer, buffer + got);
        return got;
    }

    // Receives until one whole frame is in; counts the receives it took.
    std::optional<SimFrame> ReceiveFrame(int* receives = nullptr) {
        int count = 0;
        while (m_frames.empty()) {
            std::vector<BYTE> piece;
            if (ReceiveOnce(piece) <= 0)
                return std::nullopt;
            ++count;
            for (auto& c : m_collector.Feed(piece.data(), piece.size()))
                m_frames.push_back(std::move(c));
        }
        if (receives)
            *receives = count;
        auto c = std::move(m_frames.front());
        m_frames.pop_front();
        return c.intact ? std::optional<SimFrame>(c.frame) : std::nullopt;
    }

    bool NothingWithin(int ms) {
        pollfd p{m_fd, POLLIN, 0};
        return poll(&p, 1, ms) == 0;
    }

private:
    int m_fd = -1;
    bool m_connected = false;
    SimFrameCollector m_collector;
    std::deque<SimFrameCollector::Collected> m_frames;
};

std::vector<BYTE> AsBlock(const std::vector<BYTE>& frame) {
    std::vector<BYTE> block(65, 0);
    std::copy(frame.begin(), frame.end(), block.begin() + 1);
    return block;
}

class SimTcpServerThreaded : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Start(0)); }

    SimProcessor processor;
    SimTcpServer server{processor};
};

} // namespace

TEST_F(SimTcpServerThreaded, AnswersTheConnectHandshakeOnAnEphemeralPort) {
    EXPECT_NE(server.Port(), 0);
    Client client(server.Port());
    ASSERT_TRUE(client.Connected());
    client.Send(Read9(204));
    const auto handshake = client.ReceiveFrame();
    ASSERT_TRUE(handshake);
    EXPECT_EQ(handshake->command, frame::kReplyData);
    EXPECT_EQ(handshake->channel, 204);
    EXPECT_EQ(handshake->payload, std::vector<BYTE>{0});
    client.Send(Read9(4));
    const auto version = client.ReceiveFrame();
    ASSERT_TRUE(version);
    EXPECT_EQ(std::string(version->payload.begin(), version->payload.end()), "KWEX-DV1.00");
    EXPECT_EQ(server.AcceptedCount(), 1);
}

TEST_F(SimTcpServerThreaded, MemoryIsSharedWithWhoeverInspectsIt) {
    Client client(server.Port());
    std::thread inspector([&] {
        for (int i = 0; i < 200; ++i)
            processor.UpdateMemory([i](SimMemory& m) { m.status[0] = static_cast<BYTE>(i); });
    });
    for (BYTE b = 0; b < 50; ++b) {
        client.Send(Request(frame::kCmdWrite, 0, 4, 0, 0, std::vector<BYTE>(8, b)));
        const auto ack = client.ReceiveFrame();
        ASSERT_TRUE(ack);
        EXPECT_EQ(ack->command, frame::kReplyAck);
    }
    inspector.join();
    EXPECT_EQ(processor.Memory().live[1448], 49);
    EXPECT_EQ(processor.Requests().size(), 50u);
}

TEST_F(SimTcpServerThreaded, SplitAndMergedReplies) {
    Client client(server.Port());
    SimFault split(SimFaultKind::Split, 1);
    processor.InjectFault(split);
    client.Send(Read9(4));
    int receives = 0;
    const auto version = client.ReceiveFrame(&receives);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->payload.size(), 11u);
    EXPECT_GT(receives, 1);

    processor.InjectFault(SimFault(SimFaultKind::Merge));
    client.Send(Read9(204));
    EXPECT_TRUE(client.NothingWithin(50)) << "a merged reply waits for the next one";
    client.Send(Read9(52));
    const auto first = client.ReceiveFrame();
    const auto second = client.ReceiveFrame();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->channel, 204);
    EXPECT_EQ(second->channel, 52);
}

// A processor behind a network bridge: a reply that comes after the host gave
// up reaches the connection the host opened since, ahead of the next reply.
TEST_F(SimTcpServerThreaded, ALateReplyGoesOutInFrontOfTheNextOneOnTheNewConnection) {
    processor.InjectFault(SimFault(SimFaultKind::Late));
    {
        Client first(server.Port());
        first.Send(Read9(4));
        EXPECT_TRUE(first.NothingWithin(50));
    }
    Client second(server.Port());
    second.Send(Read9(52));
    const auto late = second.ReceiveFrame();
    const auto next = second.ReceiveFrame();
    ASSERT_TRUE(late && next);
    EXPECT_EQ(late->channel, 4);
    EXPECT_EQ(next->channel, 52);
}

TEST_F(SimTcpServerThreaded, ResetFaultResetsTheConnection) {
    Client client(server.Port());
    processor.InjectFault(SimFault(SimFaultKind::Reset));
    client.Send(Read9(3));
    std::vector<BYTE> bytes;
    EXPECT_LT(client.ReceiveOnce(bytes), 0);
    EXPECT_EQ(errno, ECONNRESET);

    Client again(server.Port());
    again.Send(Read9(3));
    EXPECT_TRUE(again.ReceiveFrame());
}

// Firmware frames arrive as 65-byte blocks; after the start frame and after
// the end frame the processor restarts and the connection is reset.  The
// loader keeps its state across the reconnection.
TEST_F(SimTcpServerThreaded, FirmwareBlocksAndRestarts) {
    {
        Client client(server.Port());
        client.Send(AsBlock(Write9(HEXApply, std::vector<BYTE>(16, 0))));
        const auto apply = client.ReceiveFrame();
        ASSERT_TRUE(apply);
        EXPECT_EQ(apply->channel, HEXApply);
        std::vector<BYTE> rest;
        EXPECT_LT(client.ReceiveOnce(rest), 0);
        EXPECT_EQ(errno, ECONNRESET);
    }
    Client client(server.Port());
    client.Send(AsBlock(Write9(HEXStart, {9, 8, 7, 6})));
    EXPECT_TRUE(client.ReceiveFrame());
    client.Send(AsBlock(Write9(HEXData, std::vector<BYTE>(48, 0x33))));
    EXPECT_TRUE(client.ReceiveFrame());
    client.Send(AsBlock(Write9(HEXEnd, {0x12})));
    EXPECT_TRUE(client.ReceiveFrame());

    const auto fw = processor.Firmware();
    EXPECT_TRUE(fw.complete);
    EXPECT_EQ(fw.mcuHeader, std::vector<BYTE>({9, 8, 7, 6}));
    EXPECT_EQ(fw.mcuData, std::vector<BYTE>(48, 0x33));
    EXPECT_EQ(server.AcceptedCount(), 2);
}

TEST_F(SimTcpServerThreaded, StopDoesNotWaitForADelayedReply) {
    Client client(server.Port());
    processor.InjectFault(SimFault(SimFaultKind::Delay, 600000));
    client.Send(Read9(3));
    // Let the connection thread take the request and start its wait.
    while (processor.Requests().empty())
        std::this_thread::yield();
    server.Stop();
    std::vector<BYTE> bytes;
    EXPECT_LE(client.ReceiveOnce(bytes), 0) << "the connection ends without the reply";
}

TEST(SimOptions, CommandLine) {
    struct Case {
        std::vector<std::string> args;
        int port;
        bool help;
        bool error;
    };
    const Case cases[] = {
        {{}, 8899, false, false},
        {{"--port", "9000"}, 9000, false, false},
        {{"--port=0"}, 0, false, false},
        {{"--help"}, 8899, true, false},
        {{"--port"}, 8899, false, true},
        {{"--port", "65536"}, 8899, false, true},
        {{"--port", "12ab"}, 8899, false, true},
        {{"--verbose"}, 8899, false, true},
    };
    for (const auto& c : cases) {
        const SimOptions o = ParseSimOptions(c.args);
        EXPECT_EQ(o.error.empty(), !c.error) << o.error;
        if (!c.error) {
            EXPECT_EQ(o.port, c.port);
            EXPECT_EQ(o.help, c.help);
        }
    }
}
