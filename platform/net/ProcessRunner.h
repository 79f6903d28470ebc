#pragma once

// Starts helper programs (the system's ping) as child processes whose output
// the caller reads.  Tests install a runner of their own so the ping can be
// exercised without a network or real waiting.

#include <memory>
#include <string>
#include <vector>

namespace platform {

class ChildProcess {
public:
    // A child still running is killed.
    virtual ~ChildProcess() = default;

    // Waits at most `timeoutMs` for the child to end; true once it has ended.
    virtual bool WaitForExit(int timeoutMs) = 0;
    // Copies at most `capacity` bytes of what the child wrote to its output
    // and error streams; returns the count.
    virtual int ReadOutput(char* buffer, int capacity) = 0;
    // Ends the child at once.
    virtual void Kill() = 0;
    // Ends the child from another thread while WaitForExit waits for it
    // there; the wait then returns true at once.
    virtual void Interrupt() = 0;
};

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;

    // Starts `argv[0]` (looked up on the PATH) with the C locale; nullptr when
    // it cannot be started.
    virtual std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& argv) = 0;

    // The runner in use: real child processes unless another was installed.
    static ProcessRunner& Current();
    // Installs `runner` (nullptr restores the system's); returns the previous one.
    static ProcessRunner* Install(ProcessRunner* runner);
};

} // namespace platform
