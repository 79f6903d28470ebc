#pragma once

// The builders of every frame the application sends (layout in
// model/FrameFormat.h).  Each copies its payload out of the device images or
// the device settings area into the transmit template g_TxFrame, finishes the
// frame and returns it as a new CSendData that the caller owns until it
// appends it to the send queue.
//
// The builders share the template: call them only while holding g_csSend,
// from the first build until the frames are appended.  (Each also takes the
// lock itself, it is recursive, and then g_csModel for the images.)
//
// A builder asked for a record, block, channel, preset or sub-id that does
// not exist returns null instead of reading outside the images.  Builders
// never show a message.

#include "model/SendData.h"
#include "platform/sys/WinTypes.h"

#include <memory>

// Copies the template's header and its payload (length from template bytes
// 12-13) into `buffer`, then stores the XOR check and the end byte AA.
// `total` must be the payload length + 16; otherwise nothing is written and
// the result is false.
bool FinishFrame(BYTE* buffer, int total);

// Writes header bytes 4-10 and 12-13 of the template.
void WriteFrameHeader(BYTE command, int preset, int type, int channel, int block, int linkFlag,
                      int payloadLength);
// The template's payload area (frame::kMaxPayload bytes).
BYTE* FramePayload();
// A new frame from the template as the header last written describes it.
std::unique_ptr<CSendData> NewFrameFromTemplate();

// 1 when the output (0..11) has a non-zero link tag that another output
// shares, else 0.
int IsLinkedOutput(int output);

// Write frame of one 8-byte block of a live record (types 1-4), or the status
// poll for type 7; 24 bytes.
std::unique_ptr<CSendData> BuildBandFrame(int type, int channel, int block);
// Write frame of one whole record, from the live image or from the stored
// image of `preset`.
std::unique_ptr<CSendData> BuildBlockFrame(int preset, int type, int channel, int fromLive, int fromStored);
// Read request of one whole record; 24 bytes.
std::unique_ptr<CSendData> BuildRequestFrame(int preset, int type, int channel, int live, int stored);
// Read request of one device-information item; 24 bytes.
std::unique_ptr<CSendData> BuildRequestFrame9(int subId, int preset);
// Write frame of one device-information item.
std::unique_ptr<CSendData> BuildSystemFrame(int subId, int preset);
