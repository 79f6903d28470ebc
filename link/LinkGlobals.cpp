#include "link/LinkGlobals.h"

int g_nDeviceAddress = frame::kDeviceAddress;
BYTE g_UsbOutReport[frame::kHidReportSize] = {};
