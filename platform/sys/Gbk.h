#pragma once

// Conversion at the edge between the program's UTF-8 texts and the GBK bytes
// of names in device images and files.  Every limit counts encoded bytes.

#include "platform/sys/WinTypes.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The GBK bytes of a UTF-8 text; nullopt when the text is not valid UTF-8 or
// holds a character GBK cannot encode.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// The text of a zero-terminated GBK field of at most `size` bytes.  Bytes that
// are not valid GBK become U+FFFD rather than stopping the conversion.
std::string GbkFieldToUtf8(const BYTE* field, std::size_t size);

// The text of GBK bytes; nullopt when they are not valid GBK.
std::optional<std::string> GbkToUtf8(std::string_view gbk);

// Writes `utf8` into a byte field of `size` bytes, zero-padded, keeping the
// last byte 0.  Refuses (and leaves the field untouched) when the GBK bytes
// do not fit in size - 1.
bool StoreGbkField(std::string_view utf8, BYTE* field, std::size_t size);

// Number of GBK bytes of `utf8`, or nullopt when it cannot be encoded.
std::optional<std::size_t> GbkLength(std::string_view utf8);

} // namespace platform
