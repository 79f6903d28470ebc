#pragma once

// Helpers shared by the channel classes (outputs, music inputs, the
// microphone, the effect): little-endian words of their records, the 8-byte
// crossover layout (high-pass frequency, family, slope; low-pass frequency,
// family, slope) they all use, and the walk over their equaliser sets, whose
// last two filters are the high-pass and the low-pass.

#include "platform/sys/WinTypes.h"

#include <array>
#include <cstdint>

class CFilter;
class CKTVEQ;
class CPoint;
struct CurvePointF;

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

// Element `index` of the set; the index must lie in the set.
CFilter* FilterAt(const CKTVEQ& eq, int index);
// The second-last and the last element, asserted to be of their type.
CFilter* HighPassOf(const CKTVEQ& eq);
CFilter* LowPassOf(const CKTVEQ& eq);
// CFilter::StepSentFreq (keep) on every filter of the set.
void StepAllSentFreq(const CKTVEQ& eq, int keep);
// Copies the y of the set's summed curve, integer and float, into the
// channel's own 241-point arrays.
void CopySumCurveY(const CKTVEQ& eq, CPoint* points, CurvePointF* pointsF);
