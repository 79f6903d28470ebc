#pragma once

// The handful of fixed-width names the program's own code is written in.
// Texts inside the program are UTF-8 std::strings.

#include <cstdint>
#include <string>
#include <vector>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using BOOL = int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

using CString = std::string;
using CStringArray = std::vector<std::string>;

inline constexpr UINT WM_USER = 0x0400;
