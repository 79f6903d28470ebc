#include "model/SpkType.h"
#include "model/Globals.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

namespace {

using States = std::array<BYTE, kSpkTypeCount>;

States CurrentStates() {
    States st{};
    std::copy_n(g_SpkTypeState, kSpkTypeCount, st.begin());
    return st;
}

void StoreType(int output, int type) {
    g_SpkTypeState[kSpkTypeOutputBase + output] = BYTE(type);
}
int TypeOf(int output) {
    return g_SpkTypeState[kSpkTypeOutputBase + output];
}

// The way the processor's or a file's types arrive: all twelve at once.
void LoadTypes(const std::array<int, 12>& types) {
    SpkType_ResetStates();
    for (int k = 0; k < 12; ++k)
        StoreType(k, types[k]);
    SpkType_RebuildStates();
}

States RebuildOf(const std::array<int, 12>& types) {
    LoadTypes(types);
    return CurrentStates();
}

std::array<int, 12> CurrentTypes() {
    std::array<int, 12> types{};
    for (int k = 0; k < 12; ++k)
        types[k] = TypeOf(k);
    return types;
}

// The way an output strip changes its output's type.
void ChangeType(int output, int type) {
    SpkType_Release(TypeOf(output), output);
    StoreType(output, type);
    SpkType_Select(type, output);
}

// What the strip's menu offers to `output`: its own type given up.
States MenuFor(int output) {
    int own = TypeOf(output);
    ChangeType(output, 0);
    States menu = CurrentStates();
    ChangeType(output, own);
    return menu;
}

std::vector<int> Offered(int output) {
    States menu = MenuFor(output);
    std::vector<int> offered{0};
    for (int t = 1; t < kSpkTypeCount; ++t)
        if (menu[t] == kSpkFree)
            offered.push_back(t);
    return offered;
}

bool Contains(const std::vector<int>& v, int x) {
    return std::find(v.begin(), v.end(), x) != v.end();
}

TEST(SpkType, DefaultOutputMapStates) {
    States st = RebuildOf({1, 7, 5, 11, 15, 18, 21, 24, 0, 0, 0, 0});
    for (int t : {0, 1, 5, 7, 11, 15, 18, 21, 24})
        EXPECT_EQ(st[t], kSpkInUse) << t;
    for (int t : {2, 3, 4, 6, 8, 9, 10, 12, 13, 14, 16, 17, 19, 20, 22, 23})
        EXPECT_EQ(st[t], kSpkExcluded) << t;
}

TEST(SpkType, FullRangeExcludesItsSideAndFreesOnRelease) {
    States st = RebuildOf({6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    for (int t = 1; t <= 5; ++t) {
        EXPECT_EQ(st[t], kSpkExcluded) << t;
        EXPECT_EQ(st[t + 6], kSpkExcluded) << t + 6;
    }
    EXPECT_EQ(st[6], kSpkInUse);
    EXPECT_EQ(st[12], kSpkFree);

    SpkType_Release(6, 0);
    st = CurrentStates();
    for (int t = 1; t <= 12; ++t)
        EXPECT_EQ(st[t], kSpkFree) << t;
}

TEST(SpkType, MidrangeBesideRightTweeter) {
    States st = RebuildOf({7, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const std::pair<int, BYTE> expected[] = {{1, kSpkFree},      {2, kSpkInUse},     {3, kSpkFree},
                                             {4, kSpkExcluded},  {5, kSpkExcluded},  {6, kSpkExcluded},
                                             {7, kSpkInUse},     {8, kSpkFree},      {9, kSpkFree},
                                             {10, kSpkExcluded}, {11, kSpkExcluded}, {12, kSpkExcluded}};
    for (auto [t, state] : expected)
        EXPECT_EQ(st[t], state) << t;
}

TEST(SpkType, ReleasingNullKeepsItWhileAnotherOutputHasIt) {
    LoadTypes({1, 2, 3, 0, 4, 5, 6, 7, 8, 0, 9, 10});
    SpkType_Release(0, 3);
    EXPECT_EQ(g_SpkTypeState[0], kSpkInUse);
    LoadTypes({1, 2, 3, 0, 13, 14, 16, 17, 19, 20, 22, 23});
    SpkType_Release(0, 3);
    EXPECT_EQ(g_SpkTypeState[0], kSpkFree);
}

TEST(SpkType, TypesAboveTheRangeChangeNothing) {
    LoadTypes({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    States before = CurrentStates();
    StoreType(1, 25);
    SpkType_Select(25, 1);
    SpkType_Release(200, 0);
    EXPECT_EQ(CurrentStates(), before);
    EXPECT_EQ(RebuildOf({1, 25, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
              RebuildOf({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// Output 2 takes type 9, output 1 type 2, then output 1 changes to type 11.
// Type 11 (midrange and woofer) is not offered beside the woofer in use, and
// once output 1 has it anyway, output 2's woofer must not be offered to it.
TEST(SpkType, ChangingTypeDoesNotOfferATypeInUse) {
    LoadTypes({});
    ChangeType(2, 9);
    ChangeType(1, 2);
    EXPECT_FALSE(Contains(Offered(1), 11));
    ChangeType(1, 11);
    EXPECT_FALSE(Contains(Offered(1), 9));
    EXPECT_EQ(CurrentStates(), RebuildOf(CurrentTypes()));
}

// Random walks of the strip's menu: every pick is a type the menu offers.
// After each change the states equal a rebuild from the types, no menu
// offers a type another output has, and no two outputs share a type.
TEST(SpkType, ValidChangesKeepStatesEqualToARebuild) {
    std::mt19937 rng(20240601);
    for (int walk = 0; walk < 300; ++walk) {
        LoadTypes({});
        for (int change = 0; change < 40; ++change) {
            int output = int(rng() % 12);
            std::vector<int> offered = Offered(output);
            int type = offered[rng() % offered.size()];
            ChangeType(output, type);

            std::array<int, 12> types = CurrentTypes();
            States after = CurrentStates();
            ASSERT_EQ(after, RebuildOf(types)) << "walk " << walk << " change " << change;
            for (int o = 0; o < 12; ++o) {
                std::vector<int> menu = Offered(o);
                for (int other = 0; other < 12; ++other) {
                    if (other == o || types[other] == 0)
                        continue;
                    ASSERT_FALSE(Contains(menu, types[other]))
                        << "walk " << walk << " change " << change << ": output " << o << " offered type "
                        << types[other] << " of output " << other;
                }
            }
            for (int a = 0; a < 12; ++a)
                for (int b = a + 1; b < 12; ++b)
                    ASSERT_TRUE(types[a] == 0 || types[a] != types[b]) << "walk " << walk;
        }
    }
}

TEST(SpkType, RemoveDuplicatesKeepsTheEarliest) {
    LoadTypes({4, 4, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(SpkType_RemoveDuplicates(), 1);
    EXPECT_EQ(CurrentTypes(), (std::array<int, 12>{4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(SpkType_RemoveDuplicates(), 0);
}

TEST(SpkType, AnyAssignedLooksAtTheFirstEightOutputs) {
    LoadTypes({0, 0, 0, 0, 0, 0, 0, 0, 5, 5, 5, 5});
    EXPECT_EQ(SpkType_AnyAssigned(), 0);
    LoadTypes({0, 0, 0, 0, 0, 0, 0, 24, 0, 0, 0, 0});
    EXPECT_EQ(SpkType_AnyAssigned(), 1);
}

TEST(SpkType, PairsListLeftFirstOnlyInTheOrderedTable) {
    LoadTypes({0, 0, 8, 0, 0, 2, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(SpkType_BuildPairs(), 1);
    EXPECT_EQ(SpkType_BuildOrderedPairs(), 1);
    const SpkPair& a = g_SpkPairs[0][0];
    const SpkPair& b = g_SpkPairs[1][0];
    EXPECT_EQ(std::tuple(a.first, a.second, a.used), std::tuple(2, 5, 1));
    EXPECT_EQ(std::tuple(b.first, b.second, b.used), std::tuple(5, 2, 1));
    EXPECT_EQ(g_SpkPairs[0][1].used, 0);
}

TEST(SpkType, PairsOfEveryMirrorAndNoneForUnpairedTypes) {
    LoadTypes({23, 1, 13, 19, 7, 16, 22, 21, 24, 12, 6, 20});
    EXPECT_EQ(SpkType_BuildOrderedPairs(), 1);
    std::vector<std::pair<int, int>> pairs;
    for (const SpkPair& p : g_SpkPairs[1])
        if (p.used)
            pairs.push_back({p.first, p.second});
    EXPECT_EQ(pairs, (std::vector<std::pair<int, int>>{{6, 0}, {1, 4}, {2, 5}, {10, 9}}));

    LoadTypes({19, 20, 21, 24, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(SpkType_BuildPairs(), 0);
    EXPECT_EQ(SpkType_BuildOrderedPairs(), 0);
}

} // namespace
