#pragma once

// Real child processes: posix_spawn with the output and error streams on one
// pipe, which is drained while the child runs so it never blocks on it.

#include "platform/net/ProcessRunner.h"

namespace platform {

class SpawnProcessRunner final : public ProcessRunner {
public:
    std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& argv) override;
};

} // namespace platform
