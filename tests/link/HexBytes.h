#pragma once

// Expected frames written as text: "5C*3 EE A1 .." are hex bytes, XX*N
// repeats a byte N times.

#include "platform/sys/WinTypes.h"

#include <sstream>
#include <string>
#include <vector>

namespace linktest {

inline std::vector<BYTE> Hex(const char* text) {
    std::vector<BYTE> out;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        const auto star = token.find('*');
        const int value = std::stoi(token.substr(0, star), nullptr, 16);
        const int count = star == std::string::npos ? 1 : std::stoi(token.substr(star + 1));
        out.insert(out.end(), std::size_t(count), BYTE(value));
    }
    return out;
}

} // namespace linktest
