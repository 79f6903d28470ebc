#include "model/OutputGroups.h"
#include "model/Globals.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

void Classify(const std::array<int, 12>& types) {
    for (int k = 0; k < 12; ++k)
        g_SpkTypeState[kSpkTypeOutputBase + k] = BYTE(types[k]);
    COutputGroups::Classify();
}

std::vector<int> V(const int* from, int n) {
    return std::vector<int>(from, from + n);
}

TEST(OutputGroups, FrontLeftModesByMembers) {
    Classify({1, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0});
    const COutputGroups& g = g_OutputGroups;
    EXPECT_EQ(g.frontLeftState, 0);
    EXPECT_EQ(g.frontLeftMode, 2);
    EXPECT_EQ(V(g.frontLeftTypes, 3), (std::vector<int>{1, 3, -1}));
    EXPECT_EQ(V(g.frontLeftSlots, 12), (std::vector<int>{0, -1, -1, -1, 4, -1, -1, -1, -1, -1, -1, -1}));

    Classify({1, 0, 2, 0, 3, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(g.frontLeftMode, 4);
    EXPECT_EQ(V(g.frontLeftTypes, 3), (std::vector<int>{1, 2, 3}));

    Classify({1, 5, 2, 0, 3, 0, 0, 0, 0, 0, 0, 0}); // four members, only possible from a file
    EXPECT_EQ(g.frontLeftState, -1);
    EXPECT_EQ(g.frontLeftMode, -1);
    EXPECT_EQ(V(g.frontLeftTypes, 3), (std::vector<int>{1, 5, 2}));

    struct Case {
        std::array<int, 12> types;
        int mode;
    };
    const Case modes[] = {
        {{7, 8}, 1},
        {{9, 7}, 2},
        {{8, 9}, 3},
        {{11, 10}, 3},
    };
    for (const Case& c : modes) {
        Classify(c.types);
        EXPECT_EQ(g.frontRightMode, c.mode) << c.types[0] << "," << c.types[1];
        EXPECT_EQ(g.frontRightState, 0);
    }
}

TEST(OutputGroups, OtherGroupsAndHiding) {
    Classify({19, 20, 13, 14, 16, 17, 22, 23, 0, 0, 0, 24});
    const COutputGroups& g = g_OutputGroups;
    EXPECT_EQ(g.centreState, 0);
    EXPECT_EQ(g.rearLeftState, 0);
    EXPECT_EQ(g.rearRightState, 0);
    EXPECT_EQ(g.subwooferState, 0);
    EXPECT_EQ(g.frontLeftState, -1);
    EXPECT_EQ(V(g.subwooferSlots, 12), (std::vector<int>{-1, -1, -1, -1, -1, -1, 6, 7, -1, -1, -1, -1}));

    bool hidden = false;
    for (int fullRange : {6, 21}) {
        std::array<int, 12> types;
        types.fill(fullRange);
        Classify(types);
        for (int state : {g.centreState, g.frontLeftState, g.frontRightState, g.rearLeftState,
                          g.rearRightState, g.subwooferState})
            EXPECT_EQ(state, -1) << fullRange;
    }
    COutputGroups::Classify([&] { hidden = true; });
    EXPECT_TRUE(hidden);
}

} // namespace
