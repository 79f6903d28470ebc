#pragma once

// Process-wide state of the device link.  The send lock, the transmit
// template and the model's flags that the link reads live with the model's
// globals (model/Globals.h).

#include "link/FrameFormat.h"
#include "platform/sys/WinTypes.h"

// Header byte 5 of every frame; the processor answers at address 1.
extern int g_nDeviceAddress;

// The USB output report the writer sends: report id 0, then up to 64 frame
// bytes (CSendData::NextHidChunk fills it under the send lock).
extern BYTE g_UsbOutReport[frame::kHidReportSize];
