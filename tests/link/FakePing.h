#pragma once

// The system's ping replaced by a script, so the network link's checks run
// without a network: what the child prints, whether it ends in time, and a
// gate that holds it running until a test opens it or the child is
// interrupted.  A child that does not end waits out its deadline on the
// installed clock.  Thread-safe: the ping thread starts the children.

#include "platform/net/ProcessRunner.h"
#include "platform/sys/Clock.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>

namespace linktest {

class FakePingRunner final : public platform::ProcessRunner {
public:
    FakePingRunner() { m_previous = Install(this); }
    ~FakePingRunner() override { Install(m_previous); }
    FakePingRunner(const FakePingRunner&) = delete;
    FakePingRunner& operator=(const FakePingRunner&) = delete;

    void Answer(bool answers) {
        std::lock_guard lock(m_mutex);
        m_output = answers ? "64 bytes from 127.0.0.1: icmp_seq=1 TTL=64 time=0.04 ms"
                           : "From 127.0.0.1 icmp_seq=1 Destination Host Unreachable";
    }
    void SetOutput(std::string output) {
        std::lock_guard lock(m_mutex);
        m_output = std::move(output);
    }
    void SetEnds(bool ends) {
        std::lock_guard lock(m_mutex);
        m_ends = ends;
    }
    // A closed gate keeps every child running until it is opened.
    void SetGate(bool open) {
        {
            std::lock_guard lock(m_mutex);
            m_gateOpen = open;
        }
        m_changed.notify_all();
    }
    int Starts() {
        std::lock_guard lock(m_mutex);
        return m_starts;
    }
    int Kills() {
        std::lock_guard lock(m_mutex);
        return m_kills;
    }
    int Interrupts() {
        std::lock_guard lock(m_mutex);
        return m_interrupts;
    }
    int WaitedMs() {
        std::lock_guard lock(m_mutex);
        return m_waitedMs;
    }
    std::vector<std::string> LastArgv() {
        std::lock_guard lock(m_mutex);
        return m_argv;
    }
    // Waits (real time, bounded) until `count` children were started.
    bool WaitForStarts(int count) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return m_starts >= count; });
    }

    std::unique_ptr<platform::ChildProcess> Start(const std::vector<std::string>& argv) override {
        {
            std::lock_guard lock(m_mutex);
            m_argv = argv;
            ++m_starts;
        }
        m_changed.notify_all();
        return std::make_unique<Child>(*this);
    }

private:
    class Child final : public platform::ChildProcess {
    public:
        explicit Child(FakePingRunner& runner) : m_runner(runner) {}
        bool WaitForExit(int timeoutMs) override {
            bool ends;
            {
                std::unique_lock lock(m_runner.m_mutex);
                m_runner.m_changed.wait(lock, [&] { return m_runner.m_gateOpen || m_interrupted; });
                if (m_interrupted)
                    return true;
                m_runner.m_waitedMs = timeoutMs;
                ends = m_runner.m_ends;
            }
            if (!ends)
                platform::Clock::Current().SleepMs(timeoutMs);
            return ends;
        }
        int ReadOutput(char* buffer, int capacity) override {
            std::lock_guard lock(m_runner.m_mutex);
            const int count = std::min(capacity, int(m_runner.m_output.size()));
            std::memcpy(buffer, m_runner.m_output.data(), std::size_t(count));
            return count;
        }
        void Kill() override {
            std::lock_guard lock(m_runner.m_mutex);
            ++m_runner.m_kills;
        }
        void Interrupt() override {
            {
                std::lock_guard lock(m_runner.m_mutex);
                ++m_runner.m_interrupts;
                m_interrupted = true;
            }
            m_runner.m_changed.notify_all();
        }

    private:
        FakePingRunner& m_runner;
        bool m_interrupted = false; // under the runner's mutex
    };

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_output;
    bool m_ends = true;
    bool m_gateOpen = true;
    int m_starts = 0;
    int m_kills = 0;
    int m_interrupts = 0;
    int m_waitedMs = -1;
    std::vector<std::string> m_argv;
    platform::ProcessRunner* m_previous = nullptr;
};

} // namespace linktest
