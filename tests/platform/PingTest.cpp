#include "platform/net/Ping.h"
#include "platform/net/ProcessRunner.h"
#include "platform/net/SpawnProcessRunner.h"
#include "platform/sys/Wakeup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>

using platform::ChildProcess;
using platform::ProcessRunner;

namespace {

// A ping that answers from a script: its output, and whether it ends before
// the deadline.
class FakePingRunner final : public ProcessRunner {
public:
    struct Record {
        std::vector<std::string> argv;
        int waitedMs = -1;
        bool killed = false;
    };

    FakePingRunner() { m_previous = Install(this); }
    ~FakePingRunner() override { Install(m_previous); }

    std::string output;
    bool ends = true;
    bool starts = true;
    Record record;

    std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& argv) override {
        record.argv = argv;
        if (!starts)
            return nullptr;
        return std::make_unique<Child>(*this);
    }

private:
    class Child final : public ChildProcess {
    public:
        explicit Child(FakePingRunner& runner) : m_runner(runner) {}
        bool WaitForExit(int timeoutMs) override {
            m_runner.record.waitedMs = timeoutMs;
            return m_runner.ends;
        }
        int ReadOutput(char* buffer, int capacity) override {
            const int count = std::min(capacity, static_cast<int>(m_runner.output.size()));
            std::memcpy(buffer, m_runner.output.data(), static_cast<std::size_t>(count));
            return count;
        }
        void Kill() override { m_runner.record.killed = true; }
        void Interrupt() override {}

    private:
        FakePingRunner& m_runner;
    };

    ProcessRunner* m_previous = nullptr;
};

} // namespace

TEST(Ping, AnswerIsTtlInTheOutputOfAChildThatEndedInTime) {
    struct Case {
        const char* what;
        std::string output;
        bool ends;
        bool answered;
    };
    const Case cases[] = {
        {"reply", "64 bytes from 192.168.4.1: icmp_seq=1 ttl=255 time=2.1 ms\n", true, true},
        {"upper case", "Reply from 192.168.4.1: bytes=32 time=2ms TTL=255\n", true, true},
        {"no reply", "1 packets transmitted, 0 received, 100% packet loss\n", true, false},
        {"unreachable", "From 192.168.4.7 icmp_seq=1 Destination Host Unreachable\n", true, false},
        {"no output", "", true, false},
        {"killed at the deadline", "64 bytes from 192.168.4.1: icmp_seq=1 ttl=255\n", false, false},
    };
    for (const auto& c : cases) {
        FakePingRunner runner;
        runner.output = c.output;
        runner.ends = c.ends;
        char output[1024];
        std::memset(output, 'x', sizeof output);
        EXPECT_EQ(platform::PingAddress("192.168.4.1", output, sizeof output, 3000), c.answered) << c.what;
        EXPECT_EQ(runner.record.argv,
                  (std::vector<std::string>{"ping", "-c", "1", "-W", "3", "192.168.4.1"}));
        EXPECT_EQ(runner.record.waitedMs, 3000) << c.what;
        EXPECT_EQ(runner.record.killed, !c.ends) << c.what;
        EXPECT_EQ(output, c.ends ? c.output : std::string()) << c.what;
    }
}

// The output buffer used to be filled to its last byte and terminated one
// past its end.
TEST(Ping, LongOutputStaysInsideTheBufferAndIsCutBeforeItsLastByte) {
    struct Case {
        std::size_t ttlAt;
        bool answered;
    };
    // "ttl=" ending on the last byte that fits before the terminator, and
    // one byte later, where it no longer fits.
    const Case cases[] = {{1019, true}, {1020, false}};
    for (const auto& c : cases) {
        FakePingRunner runner;
        runner.output = std::string(c.ttlAt, '.') + "ttl=" + std::string(2000, '.');
        char buffer[1024 + 8];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(platform::PingAddress("10.0.0.1", buffer, 1024, 3000), c.answered) << c.ttlAt;
        EXPECT_EQ(buffer[1023], '\0');
        EXPECT_EQ(std::strlen(buffer), 1023u);
        for (std::size_t i = 1024; i < sizeof buffer; ++i)
            ASSERT_EQ(buffer[i], '#') << "written past the buffer at " << i;
    }
}

TEST(Ping, AddressesThatCannotBePingedStartNothing) {
    const std::string cases[] = {"", "-f", std::string(70, '1')};
    for (const auto& address : cases) {
        FakePingRunner runner;
        runner.output = "ttl=1";
        char output[64] = "stale";
        EXPECT_FALSE(platform::PingAddress(address, output, sizeof output, 3000)) << address;
        EXPECT_TRUE(runner.record.argv.empty()) << address;
        EXPECT_STREQ(output, "") << address;
    }
}

TEST(Ping, AChildThatCannotStartIsNoAnswer) {
    FakePingRunner runner;
    runner.starts = false;
    char output[64];
    EXPECT_FALSE(platform::PingAddress("10.0.0.1", output, sizeof output, 3000));
    EXPECT_STREQ(output, "");
}

TEST(SpawnProcessRunner, CollectsOutputAndErrorsOfAChildThatEnds) {
    platform::SpawnProcessRunner runner;
    auto child = runner.Start({"sh", "-c", "echo TTL=64; echo lost >&2; echo $LC_ALL"});
    ASSERT_NE(child, nullptr);
    ASSERT_TRUE(child->WaitForExit(5000));
    char output[64] = {};
    const int count = child->ReadOutput(output, sizeof output - 1);
    EXPECT_EQ(std::string(output, static_cast<std::size_t>(count)), "TTL=64\nlost\nC\n");
}

TEST(SpawnProcessRunner, AChildRunningAtTheDeadlineCanBeKilled) {
    platform::SpawnProcessRunner runner;
    auto child = runner.Start({"sleep", "30"});
    ASSERT_NE(child, nullptr);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(child->WaitForExit(30));
    child->Kill();
    EXPECT_TRUE(child->WaitForExit(0));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(SpawnProcessRunner, AMissingProgramDoesNotStart) {
    platform::SpawnProcessRunner runner;
    EXPECT_EQ(runner.Start({"kt-no-such-program"}), nullptr);
    EXPECT_EQ(runner.Start({}), nullptr);
}

namespace {

// Every ping is a real child that never answers.
class HangingPingRunner final : public ProcessRunner {
public:
    HangingPingRunner() { m_previous = Install(this); }
    ~HangingPingRunner() override { Install(m_previous); }

    std::unique_ptr<ChildProcess> Start(const std::vector<std::string>&) override {
        auto child = platform::SpawnProcessRunner().Start({"sleep", "60"});
        started = true;
        started.notify_all();
        return child;
    }

    std::atomic<bool> started = false;

private:
    ProcessRunner* m_previous = nullptr;
};

} // namespace

// Closing the program wakes the ping thread: the ping's child ends at once
// instead of running into its deadline, and counts as no answer.
TEST(Ping, AWakeupEndsARunningPingAtOnce) {
    HangingPingRunner runner;
    platform::Wakeup wakeup;
    char output[64];
    auto ping = std::async(std::launch::async, [&] {
        return platform::PingAddress("10.0.0.1", output, sizeof output, 60'000, &wakeup);
    });
    runner.started.wait(false);
    wakeup.Wake();
    ASSERT_EQ(ping.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "the ping ran on";
    EXPECT_FALSE(ping.get());

    // Woken before it starts, a ping ends as soon as it started.
    runner.started = false;
    EXPECT_FALSE(platform::PingAddress("10.0.0.1", output, sizeof output, 60'000, &wakeup));
}

TEST(Wakeup, EndsASleepAndEveryLaterOneUntilReset) {
    platform::Wakeup wakeup;
    auto sleep = std::async(std::launch::async, [&] { return wakeup.SleepMs(60'000); });
    wakeup.Wake();
    ASSERT_EQ(sleep.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "the sleep ran on";
    EXPECT_FALSE(sleep.get());
    EXPECT_FALSE(wakeup.SleepMs(60'000));
    EXPECT_FALSE(wakeup.SetInterrupt([] {}));
    wakeup.Reset();
    EXPECT_TRUE(wakeup.SleepMs(1));
    int interrupts = 0;
    ASSERT_TRUE(wakeup.SetInterrupt([&] { ++interrupts; }));
    wakeup.Wake();
    wakeup.ClearInterrupt();
    wakeup.Wake();
    EXPECT_EQ(interrupts, 1);
}
