#pragma once

// Byte helpers shared by the channel classes that move their values to and
// from records of the device image: little-endian words and the 8-byte
// crossover layout (high-pass frequency, family, slope; low-pass frequency,
// family, slope) that outputs, music inputs, the microphone and the effect
// all use.

#include "platform/sys/WinTypes.h"

#include <array>
#include <cstdint>

class CFilter;

using CrossoverRecord = std::array<BYTE, 8>;

inline WORD GetLe16(const BYTE* at) {
    return static_cast<WORD>(at[0] | (at[1] << 8));
}

inline int GetLe16Signed(const BYTE* at) {
    return static_cast<std::int16_t>(GetLe16(at));
}

// Keeps the low 16 bits of `value`.
inline void PutLe16(BYTE* at, unsigned value) {
    at[0] = static_cast<BYTE>(value & 0xFF);
    at[1] = static_cast<BYTE>((value >> 8) & 0xFF);
}

// The crossover as the processor gets it: the sent frequencies.
CrossoverRecord CrossoverBytes(const CFilter& highPass, const CFilter& lowPass);

// Sets both filters from a crossover record through their setters: with
// `mark` set each becomes changed while a processor is online.  Outputs read
// the frequencies unsigned, the inputs and the effect signed.
void ApplyCrossoverBytes(CFilter& highPass, CFilter& lowPass, const BYTE* record, bool signedFrequencies,
                         int mark);

// Loads both filters from a crossover record without marking them, so target
// and sent frequency end equal and neither filter is pending.
void LoadCrossoverBytes(CFilter& highPass, CFilter& lowPass, const BYTE* record, bool signedFrequencies);
