#pragma once

// Display texts of the input values, shared by the microphone and the music
// inputs.

#include "platform/sys/WinTypes.h"

// "%d" of gain minus 80, then "dB".
CString FormatInputGain(int gain);
// "On" or "OFF".
CString FormatInputOnOff(int on);
// "OFF" for 0, else the threshold minus 120 in dBu with one decimal.
CString FormatInputThreshold(int threshold);
