#include "model/SpkType.h"

#include "model/Globals.h"

#include <algorithm>

namespace {

BYTE* const s = g_SpkTypeState;

BYTE KeepOrFree(BYTE x) {
    return x == kSpkInUse ? kSpkInUse : kSpkFree;
}
BYTE AllowIf(bool condition, BYTE x) {
    return condition ? KeepOrFree(x) : kSpkExcluded;
}
bool Used(int type) {
    return s[type] == kSpkInUse;
}

bool NoTweeter() {
    return !Used(1) && !Used(7);
}
bool NoMidrange() {
    return !Used(2) && !Used(8);
}
bool NoWoofer() {
    return !Used(3) && !Used(9);
}
bool NoMidTweeter() {
    return !Used(4) && !Used(10);
}
bool NoMidWoofer() {
    return !Used(5) && !Used(11);
}

// A position used on one side stays free on the other; a position excluded
// on one side is excluded on the other.
void Mirror(int from, int to, int count) {
    for (int p = 1; p <= count; ++p) {
        if (s[to + p] != kSpkInUse)
            s[to + p] = s[from + p] == kSpkInUse ? kSpkFree : s[from + p];
    }
}

// Front types: position p (1 tweeter, 2 midrange, 3 woofer, 4 M&T, 5 M&WF,
// 6 full range) of the side starting after `base`.
void SelectFront(int base, int p) {
    auto S = [base](int q) -> BYTE& { return s[base + q]; };
    switch (p) {
    case 1:
        S(1) = kSpkInUse;
        S(2) = AllowIf(NoMidWoofer(), S(2));
        S(3) = AllowIf(NoMidWoofer(), S(3));
        S(4) = kSpkExcluded;
        S(5) = AllowIf(NoMidrange() && NoWoofer(), S(5));
        S(6) = kSpkExcluded;
        break;
    case 2:
        S(1) = KeepOrFree(S(1));
        S(2) = kSpkInUse;
        S(3) = KeepOrFree(S(3));
        S(4) = S(5) = S(6) = kSpkExcluded;
        break;
    case 3:
        S(1) = AllowIf(NoMidTweeter(), S(1));
        S(2) = AllowIf(NoMidTweeter(), S(2));
        S(3) = kSpkInUse;
        S(4) = AllowIf(NoMidrange() && NoTweeter(), S(4));
        S(5) = S(6) = kSpkExcluded;
        break;
    case 4:
        S(1) = S(2) = kSpkExcluded;
        S(3) = KeepOrFree(S(3));
        S(4) = kSpkInUse;
        S(5) = S(6) = kSpkExcluded;
        break;
    case 5:
        S(1) = KeepOrFree(S(1));
        S(2) = S(3) = S(4) = kSpkExcluded;
        S(5) = kSpkInUse;
        S(6) = kSpkExcluded;
        break;
    case 6:
        S(1) = S(2) = S(3) = S(4) = S(5) = kSpkExcluded;
        S(6) = kSpkInUse;
        break;
    }
    if (base == 0)
        Mirror(0, 6, 6);
    else
        Mirror(6, 0, 6);
}

// Rear types: position p (1 tweeter, 2 woofer, 3 full range).
void SelectRear(int base, int p) {
    auto S = [base](int q) -> BYTE& { return s[base + q]; };
    switch (p) {
    case 1:
        S(2) = KeepOrFree(S(2));
        S(1) = kSpkInUse;
        S(3) = kSpkExcluded;
        break;
    case 2:
        S(2) = kSpkInUse;
        S(1) = KeepOrFree(S(1));
        S(3) = kSpkExcluded;
        break;
    case 3:
        S(2) = S(1) = kSpkExcluded;
        S(3) = kSpkInUse;
        break;
    }
    Mirror(base, base == 12 ? 15 : 12, 3);
}

// Centre (19..21) and subwoofers (22..24): two parts and a full-range type.
void SelectTriple(int base, int p) {
    auto S = [base](int q) -> BYTE& { return s[base + q]; };
    switch (p) {
    case 1:
        S(1) = kSpkInUse;
        S(2) = KeepOrFree(S(2));
        S(3) = kSpkExcluded;
        break;
    case 2:
        S(1) = KeepOrFree(S(1));
        S(2) = kSpkInUse;
        S(3) = kSpkExcluded;
        break;
    case 3:
        S(1) = S(2) = kSpkExcluded;
        S(3) = kSpkInUse;
        break;
    }
}

void ApplySelectRule(int type) {
    if (type == 0)
        s[0] = kSpkInUse;
    else if (type <= 6)
        SelectFront(0, type);
    else if (type <= 12)
        SelectFront(6, type - 6);
    else if (type <= 15)
        SelectRear(12, type - 12);
    else if (type <= 18)
        SelectRear(15, type - 15);
    else if (type <= 21)
        SelectTriple(18, type - 18);
    else if (type <= 24)
        SelectTriple(21, type - 21);
}

bool IsKnownType(int type) {
    return type >= 0 && type < kSpkTypeCount;
}

int OutputType(int output) {
    return s[kSpkTypeOutputBase + output];
}

void ApplyRulesOfOutputs(int skippedOutput) {
    for (int k = 0; k < kOutputCount; ++k) {
        if (k != skippedOutput && IsKnownType(OutputType(k)))
            ApplySelectRule(OutputType(k));
    }
}

// The states as the stored output types give them, from scratch.
void Recompute(int skippedOutput) {
    std::fill(s, s + kSpkTypeOutputBase, kSpkFree);
    ApplyRulesOfOutputs(skippedOutput);
}

int MirrorType(int type) {
    if (type >= 1 && type <= 6)
        return type + 6;
    if (type >= 7 && type <= 12)
        return type - 6;
    if (type >= 13 && type <= 15)
        return type + 3;
    if (type >= 16 && type <= 18)
        return type - 3;
    if (type == 22)
        return 23;
    if (type == 23)
        return 22;
    return -1;
}

bool IsRightSide(int type) {
    return (type >= 7 && type <= 12) || (type >= 16 && type <= 18) || type == 23;
}

int FillPairs(SpkPair (&table)[kSpkPairCount]) {
    for (SpkPair& pair : table)
        pair.used = 0;
    for (int i = 0; i < kOutputCount - 1; ++i) {
        int mirror = MirrorType(OutputType(i));
        if (mirror < 0)
            continue;
        for (int j = i + 1; j < kOutputCount; ++j) {
            if (OutputType(j) != mirror)
                continue;
            auto free =
                std::find_if(std::begin(table), std::end(table), [](const SpkPair& p) { return !p.used; });
            if (free != std::end(table))
                *free = {i, j, 1};
            break;
        }
    }
    return std::any_of(std::begin(table), std::end(table), [](const SpkPair& p) { return p.used != 0; }) ? 1
                                                                                                         : 0;
}

} // namespace

void SpkType_ResetStates() {
    std::fill(s, s + kSpkTypeStateSize, kSpkFree);
}

void SpkType_RebuildStates() {
    ApplyRulesOfOutputs(-1);
}

void SpkType_Select(int type, int /*output*/) {
    if (IsKnownType(type))
        Recompute(-1);
}

void SpkType_Release(int type, int output) {
    if (IsKnownType(type))
        Recompute(output);
}

int SpkType_RemoveDuplicates() {
    int cleared = 0;
    for (int i = 0; i < kOutputCount - 1; ++i) {
        int type = OutputType(i);
        if (type == 0)
            continue;
        for (int j = i + 1; j < kOutputCount; ++j) {
            if (OutputType(j) == type) {
                s[kSpkTypeOutputBase + j] = 0;
                cleared = 1;
            }
        }
    }
    return cleared;
}

int SpkType_AnyAssigned() {
    for (int k = 0; k < 8; ++k)
        if (OutputType(k) != 0)
            return 1;
    return 0;
}

int SpkType_BuildPairs() {
    return FillPairs(g_SpkPairs[0]);
}

int SpkType_BuildOrderedPairs() {
    if (!FillPairs(g_SpkPairs[1]))
        return 0;
    for (SpkPair& pair : g_SpkPairs[1]) {
        if (pair.used && IsRightSide(OutputType(pair.first)))
            std::swap(pair.first, pair.second);
    }
    return 1;
}
