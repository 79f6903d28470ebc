#pragma once

// The frame layout as the processor sees it: requests arrive in it, replies
// leave in it.  Replies repeat the preamble, so the host resynchronises on
// every reply the same way.

#include "platform/sys/WinTypes.h"

#include <cstddef>
#include <vector>

namespace sim {

inline constexpr BYTE kPreambleByte = 0x5C;
inline constexpr BYTE kStartByte = 0xEE;
inline constexpr BYTE kEndByte = 0xAA;

inline constexpr BYTE kCommandWrite = 0xA1;
inline constexpr BYTE kCommandRead = 0xA2;
inline constexpr BYTE kReplyAck = 0x51;
inline constexpr BYTE kReplyReject = 0x52;
inline constexpr BYTE kReplyData = 0x53;

// Byte offsets within a frame (preamble included).
inline constexpr std::size_t kOffCommand = 4;
inline constexpr std::size_t kOffAddress = 5;
inline constexpr std::size_t kOffPreset = 6;
inline constexpr std::size_t kOffType = 7;
inline constexpr std::size_t kOffChannel = 8;
inline constexpr std::size_t kOffBlock = 9;
inline constexpr std::size_t kOffLinkFlag = 10;
inline constexpr std::size_t kOffLength = 12;
inline constexpr std::size_t kHeaderSize = 14;
// Header, check byte and end byte.
inline constexpr std::size_t kFrameOverhead = 16;

// The block byte of a whole-record read that names a stored preset.
inline constexpr BYTE kStoredPresetBlock = 0x77;

// One frame as fields; `payload` holds exactly the announced bytes.
struct SimFrame {
    BYTE command = 0;
    BYTE address = 1;
    BYTE preset = 0;
    BYTE type = 0;
    BYTE channel = 0;
    BYTE block = 0;
    BYTE linkFlag = 0;
    std::vector<BYTE> payload;
};

// XOR of bytes [from, to) of `bytes`.
BYTE XorOf(const BYTE* bytes, std::size_t from, std::size_t to);

// The bytes of `frame` on the wire: preamble, header, payload, check, end.
std::vector<BYTE> EncodeFrame(const SimFrame& frame);

} // namespace sim
