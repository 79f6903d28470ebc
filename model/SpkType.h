#pragma once

#include "platform/sys/WinTypes.h"

// Speaker-type bookkeeping: which of the 25 types (0 none, 1..24 speaker
// positions) each output has, and for every type whether it is free (3), in
// use (2) or excluded (1) by the types already in use.  All of it lives in
// g_SpkTypeState; the output types are entries 26..37, written by callers.
//
// An output changing its type: SpkType_Release (old, output), store the new
// type, SpkType_Select (new, output).  After the twelve types were replaced
// at once: SpkType_ResetStates, store them, SpkType_RebuildStates.
//
// Select and release recompute every state from the stored types rather than
// adjusting the previous states: stepwise adjustment drifts, and then a menu
// offers a type that another output already has.  Release leaves the
// releasing output out of the recomputation.

inline constexpr int kSpkTypeCount = 25; // 0..24
inline constexpr BYTE kSpkExcluded = 1;
inline constexpr BYTE kSpkInUse = 2;
inline constexpr BYTE kSpkFree = 3;

void SpkType_ResetStates();
void SpkType_RebuildStates();
void SpkType_Select(int type, int output);
void SpkType_Release(int type, int output);
int SpkType_RemoveDuplicates();
int SpkType_AnyAssigned();
int SpkType_BuildPairs();
int SpkType_BuildOrderedPairs();
