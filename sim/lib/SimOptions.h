#pragma once

// The simulator program's command line.

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct SimOptions {
    std::uint16_t port = 8899;
    bool help = false;
    // Set when the command line could not be understood.
    std::string error;
};

// `args` without the program name.
SimOptions ParseSimOptions(const std::vector<std::string>& args);

extern const char* const kSimUsage;

} // namespace sim
