#pragma once

// The equaliser's axes and units: the frequency axis of every response curve,
// the Q of each bandwidth step, the default band frequencies, the mappings
// between dB, Hz and graph pixels, and the byte-field text conversions.
// Stateless; safe on any thread.

#include "platform/sys/WinTypes.h"

inline constexpr int kFreqTableSize = 242; // entry 0 is no frequency
inline constexpr int kFreqSteps = 241;     // step s is entry s + 1
inline constexpr int kQTableSize = 296;

extern const double g_FreqTable[kFreqTableSize];
extern const double g_QTable[kQTableSize];
extern const int g_OutBandTable[31];
extern const int g_InBandTable[15];
extern const int g_EffectBandTable[3];

int QToIndex(double q);

// Graph positions: x to the right from the 20 Hz edge over three decades,
// y downward from the +12 dB edge over 24 dB.
int GainToPos(double dB, int height);
double GainToPosF(double dB, int height);
int FreqToPos(double hz, int width);
double FreqToPosF(double hz, int width);
double PosToGain(int y, int height);
int PosToFreq(int x, int width);

int FreqToIndex(double hz);

// Byte fields hold GBK; every length counts encoded bytes.
CString BytesToString(const BYTE* field, int size);
CString BytesToStringN(const BYTE* field, int n);
BOOL IsBlank(const CString& text);
// Both store the text zero-padded to the field size when its bytes leave at
// least one 0 byte; otherwise they tell the user and leave the field as it was.
BOOL StringToBytesPad(BYTE* field, const CString& text, int length);
BOOL StringToBytesZ(BYTE* field, int count, const CString& text);
// The same test alone: TRUE when the text fits a field of `size` bytes,
// otherwise the user is told.  The message box runs a message loop, so a
// caller that stores under g_csModel checks first, with no lock held, and
// then stores with platform::StoreGbkField.
BOOL CheckTextLength(const CString& text, int size);
// 1 when the first `length` bytes of `name` equal those of another stored preset.
int IsPresetNameDuplicate(int presetIndex, const BYTE* name, int selector, int length);

// Truncates toward zero like a C cast, but maps NaN to 0 and saturates at the
// int range instead of being undefined.
int TruncToInt(double value);
