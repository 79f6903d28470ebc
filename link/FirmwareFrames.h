#pragma once

// The frames of a firmware transfer.  They share the header and the finishing
// step of every other frame (model/FrameBuilders.h): write command, device
// address, preset 0, data type 9, the FirmwareStep in the channel byte,
// block 0, link flag 0.  Each frame carries its step (CSendData::GetCommand).
//
//   step  payload                                          frame
//   '6'   16 zero bytes                                    32
//   ':'   16 zero bytes                                    32
//   ';'   32-bit address, 44 DSP bytes (last one 0-filled) 64
//   '7'   the 4-byte MCU header                            20
//   '8'   48 MCU data bytes (last one 0xFF-filled)         64
//   '9'   the check byte                                   17
//
// The handshake is a queue entry of step 0xFF that is never written as a
// frame: while it is at the head the write steps send a raw pattern instead.

#include "model/SendData.h"
#include "platform/sys/WinTypes.h"

#include <cstddef>
#include <memory>

inline constexpr std::size_t kFirmwareRequestPayload = 16;
inline constexpr std::size_t kDspPiece = 44;
inline constexpr std::size_t kDspAddressBytes = 4;
inline constexpr std::size_t kMcuPiece = 48;
inline constexpr BYTE kMcuPadding = 0xFF;

// A firmware frame of `step` carrying `length` payload bytes.  Call with the
// send lock held, as every builder.  Null when the payload does not fit.
std::unique_ptr<CSendData> BuildFirmwareFrame(BYTE step, const BYTE* payload, std::size_t length);
// The queue entry that stands for the raw handshake: a 64-byte frame of step
// 0xFF whose payload is 24 pairs 43 11.
std::unique_ptr<CSendData> BuildFirmwareHandshakeMarker();
// The raw handshake as a 65-byte report: report id 0, then 32 pairs 43 11.
void FillFirmwareHandshakeReport(BYTE* report);

// How often a frame of `step` may be written before the link counts as lost:
// over USB the erase frame four times and every other frame twice; over the
// network every frame twice.
int UsbFirmwareWriteLimit(int step);
int NetFirmwareWriteLimit(int step);
// How long the processor may take to answer a frame of `step`: over USB in
// whole seconds from the start of the exchange, over the network as the
// socket's receive time-out.
int UsbFirmwareReadLimitSeconds(int step);
int NetFirmwareRecvTimeoutMs(int step);
// Whether a frame of `step` may be written once more when its answer was lost
// after it went out whole.  An MCU data frame carries no address: the loader
// appends it to what it holds, so a second copy would be stored behind the
// first.  The others name where they go, or start or erase afresh.
bool IsFirmwareFrameRepeatable(int step);
