#pragma once

// The command frame that every exchange with the processor carries, in both
// directions.  Replies use the same layout, preamble included; the reply code
// stands where a request has its command.
//
//   offset  size  field
//   0       3     preamble 5C 5C 5C
//   3       1     start EE
//   4       1     command (A1 write, A2 read) or reply code (51, 52, 53)
//   5       1     device address (always 1)
//   6       1     preset: 0 the live preset, 1..6 a stored preset
//   7       1     data type (DataType)
//   8       1     channel; for type 9 the DeviceInfoId; in firmware frames the FirmwareStep
//   9       1     block: 8-byte block of the record (0..36); 0 in whole-record writes;
//                 0x77 in whole-record reads of a stored preset
//   10      1     link flag: 1 when the addressed output shares a link group
//   11      1     reserved, 0
//   12      2     payload length L, little-endian
//   14      L     payload
//   14+L    1     check: XOR of bytes 4 .. 13+L
//   15+L    1     end AA
//
// A frame is L + 16 bytes.  Over USB it travels in 65-byte reports: report id
// 0, then up to 64 frame bytes, the tail of the last report zero.

#include "platform/sys/WinTypes.h"

#include <cstddef>

namespace frame {

inline constexpr BYTE kPreamble = 0x5C;
inline constexpr std::size_t kPreambleLength = 3;
inline constexpr BYTE kStart = 0xEE;
inline constexpr BYTE kEnd = 0xAA;

// Command byte of a request.
inline constexpr BYTE kCmdWrite = 0xA1;
inline constexpr BYTE kCmdRead = 0xA2;

// Reply codes, in the command byte of a reply.
inline constexpr BYTE kReplyAck = 0x51;    // accepted: the request leaves the queue
inline constexpr BYTE kReplyReject = 0x52; // send the request again
inline constexpr BYTE kReplyData = 0x53;   // carries the requested data

// Byte offsets within a whole frame (preamble included).
inline constexpr std::size_t kOffStart = 3;
inline constexpr std::size_t kOffCommand = 4;
inline constexpr std::size_t kOffAddress = 5;
inline constexpr std::size_t kOffPreset = 6;
inline constexpr std::size_t kOffType = 7;
inline constexpr std::size_t kOffChannel = 8;
inline constexpr std::size_t kOffBlock = 9;
inline constexpr std::size_t kOffLinkFlag = 10;
inline constexpr std::size_t kOffReserved = 11;
inline constexpr std::size_t kOffLength = 12; // low byte; high byte at 13
inline constexpr std::size_t kHeaderSize = 14;
inline constexpr std::size_t kOffPayload = kHeaderSize;
// Header plus the check and end bytes: a frame is payload length + kOverhead.
inline constexpr std::size_t kOverhead = 16;
// The check covers bytes kCheckFrom .. total - 3; it sits at total - 2.
inline constexpr std::size_t kCheckFrom = kOffCommand;

// The largest payload any request carries (an output record is 296 bytes;
// the transmit template leaves room for 300).
inline constexpr std::size_t kMaxPayload = 300;
// The largest frame the program sends or asks for: an output record.
inline constexpr std::size_t kMaxFrameLength = 296 + kOverhead;

inline constexpr BYTE kDeviceAddress = 1;
// Block byte of a whole-record read of a stored preset.
inline constexpr BYTE kBlockStoredRecord = 0x77;
// USB HID reports: id byte 0, then up to 64 frame bytes.
inline constexpr std::size_t kHidReportSize = 65;
inline constexpr std::size_t kHidChunkSize = 64;

} // namespace frame

// Header byte 7.  DATA_STATUS_POLL is never sent: it is what a caller passes
// to BuildBandFrame to get the status poll (a read of device information 3).
enum DataType : BYTE {
    DATA_MIC_INPUT = 1,
    DATA_SYSTEM = 2,
    DATA_MUSIC_INPUT = 3,
    DATA_OUTPUT = 4,
    DATA_STATUS_POLL = 7,
    DATA_DEVICE_INFO = 9,
};

// Header byte 8 of data type 9: the device-information item (sub-id).
enum DeviceInfoId : BYTE {
    INFO_PRESET_NAME = 0,
    INFO_INPUT_SETTINGS = 2,
    INFO_STATUS = 3,
    INFO_VERSION_LABEL = 4,
    INFO_SYSTEM_DATA = 5,
    INFO_SPEAKER_TYPES = 6,
    INFO_LOCK_BLOCK = 19,
    INFO_CURRENT_PRESET = 52,
    INFO_SOUND_DELAY = 64,
    INFO_WIFI_RESET = 65,    // written as eight zero bytes; nothing sends it
    INFO_ZERO_BLOCK_96 = 96, // written as eight zero bytes
    INFO_HANDSHAKE = 204,    // the connect handshake; answered with one byte 0
};

// Header byte 8 of firmware frames (data type 9).
enum FirmwareStep : BYTE {
    HEXApply = 0x36,
    HEXStart = 0x37,
    HEXData = 0x38,
    HEXEnd = 0x39,
    IAP_DSP_REQUEST_INFO = 0x3A,
    IAP_DSP_DATA = 0x3B,
    IAP_DSP_END = 0x3C,
    // A queue entry that stands for the raw handshake pattern; never written
    // as a frame.
    FIRMWARE_HANDSHAKE = 0xFF,
};

namespace frame {

// XOR of `count` bytes: the check of a frame is XorCheck(frame + kCheckFrom,
// total - kCheckFrom - 2).
inline BYTE XorCheck(const BYTE* bytes, std::size_t count) {
    BYTE x = 0;
    for (std::size_t i = 0; i < count; ++i)
        x ^= bytes[i];
    return x;
}

// Payload length announced by a whole frame's header.
inline std::size_t PayloadLength(const BYTE* frameBytes) {
    return frameBytes[kOffLength] | (std::size_t(frameBytes[kOffLength + 1]) << 8);
}

} // namespace frame
