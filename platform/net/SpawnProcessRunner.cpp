#include "platform/net/SpawnProcessRunner.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

// More than any helper the program runs ever writes; the rest is dropped.
constexpr std::size_t kOutputLimit = 64 * 1024;
constexpr int kWaitSliceMs = 10;

class SpawnedChild final : public ChildProcess {
public:
    SpawnedChild(pid_t pid, int outputFd) : m_pid(pid), m_outputFd(outputFd) {}
    ~SpawnedChild() override {
        Kill();
        if (m_outputFd >= 0)
            close(m_outputFd);
    }
    SpawnedChild(const SpawnedChild&) = delete;
    SpawnedChild& operator=(const SpawnedChild&) = delete;

    bool WaitForExit(int timeoutMs) override {
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + milliseconds(std::max(timeoutMs, 0));
        for (;;) {
            Drain();
            if (Reap(WNOHANG)) {
                Drain();
                return true;
            }
            const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
            if (left <= 0)
                return false;
            const int slice = static_cast<int>(std::min<long long>(left, kWaitSliceMs));
            if (m_outputFd >= 0) {
                pollfd readable{m_outputFd, POLLIN, 0};
                poll(&readable, 1, slice);
            } else {
                usleep(static_cast<useconds_t>(slice) * 1000);
            }
        }
    }

    int ReadOutput(char* buffer, int capacity) override {
        Drain();
        const auto count = std::min(m_output.size(), static_cast<std::size_t>(std::max(capacity, 0)));
        std::memcpy(buffer, m_output.data(), count);
        return static_cast<int>(count);
    }

    void Kill() override {
        Interrupt();
        Reap(0);
    }

    // The child's end closes its side of the pipe, which wakes the wait.
    void Interrupt() override {
        std::lock_guard lock(m_pidMutex);
        if (m_pid > 0)
            kill(m_pid, SIGKILL);
    }

private:
    void Drain() {
        if (m_outputFd < 0)
            return;
        char chunk[4096];
        for (;;) {
            const ssize_t n = read(m_outputFd, chunk, sizeof chunk);
            if (n > 0) {
                const auto room = kOutputLimit - m_output.size();
                m_output.append(chunk, std::min(static_cast<std::size_t>(n), room));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n == 0) {
                // Every writer is gone: nothing more will come.
                close(m_outputFd);
                m_outputFd = -1;
            }
            return;
        }
    }

    // Under the lock with Interrupt: a reaped child's id may be reused at
    // once, and no signal may reach the process that gets it.
    bool Reap(int options) {
        std::lock_guard lock(m_pidMutex);
        if (m_pid <= 0)
            return true;
        pid_t done;
        do
            done = waitpid(m_pid, nullptr, options);
        while (done < 0 && errno == EINTR);
        if (done == 0)
            return false;
        m_pid = -1;
        return true;
    }

    std::mutex m_pidMutex;
    pid_t m_pid;
    int m_outputFd;
    std::string m_output;
};

} // namespace

std::unique_ptr<ChildProcess> SpawnProcessRunner::Start(const std::vector<std::string>& argv) {
    if (argv.empty())
        return nullptr;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return nullptr;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);

    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    // The C locale keeps the helper's output in the words the caller looks for.
    std::vector<std::string> environment;
    for (char** entry = environ; entry && *entry; ++entry) {
        if (std::strncmp(*entry, "LC_ALL=", 7) != 0 && std::strncmp(*entry, "LANGUAGE=", 9) != 0)
            environment.emplace_back(*entry);
    }
    environment.emplace_back("LC_ALL=C");
    std::vector<char*> env;
    for (auto& entry : environment)
        env.push_back(entry.data());
    env.push_back(nullptr);

    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (failed != 0) {
        close(pipeFds[0]);
        return nullptr;
    }
    fcntl(pipeFds[0], F_SETFL, fcntl(pipeFds[0], F_GETFL) | O_NONBLOCK);
    return std::make_unique<SpawnedChild>(pid, pipeFds[0]);
}

} // namespace platform
