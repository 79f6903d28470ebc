#include "model/ModeTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Row(const CModeTable& t) {
    return {std::begin(t.m_CurrentRow), std::end(t.m_CurrentRow)};
}

CModeTable Fresh() {
    CModeTable t;
    t.Init();
    return t;
}

TEST(ModeTable, InitStartsOnFirstRowWithNothingSelected) {
    CModeTable t = Fresh();
    EXPECT_EQ(Row(t), (std::vector<int>{0, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(t.Lookup(0, 0), 1);
    EXPECT_EQ(t.m_nSelection, 6);
}

TEST(ModeTable, UnavailableSelectionFallsBackToOff) {
    CModeTable t = Fresh();
    t.m_nSelection = 0;
    EXPECT_EQ(t.Lookup(0, 2), 0);
    EXPECT_EQ(Row(t), (std::vector<int>{0, 1, 1, 1, 0, 0, 1}));
    EXPECT_EQ(t.m_nSelection, 6);
}

TEST(ModeTable, UnknownModeOrTypeKeepsTheRow) {
    CModeTable t = Fresh();
    t.Lookup(1, 1);
    const std::vector<int> type1Mode1{1, 0, 1, 0, 0, 0, 1};
    for (auto [mode, type] : {std::pair{5, 1}, {4, 2}, {6, 0}, {-1, 0}, {0, 3}, {0, -1}}) {
        t.m_nSelection = 0;
        EXPECT_EQ(t.Lookup(mode, type), 1) << mode << "," << type;
        EXPECT_EQ(Row(t), type1Mode1) << mode << "," << type;
    }
}

TEST(ModeTable, Aux2IsOfferedOnlyInItsRows) {
    struct Case {
        int type, mode, offered;
    };
    const Case cases[] = {{0, 0, 1}, {0, 1, 0}, {0, 2, 1}, {0, 3, 1}, {0, 4, 0},
                          {0, 5, 1}, {1, 0, 1}, {1, 1, 0}, {1, 2, 1}, {1, 3, 1},
                          {1, 4, 0}, {2, 0, 0}, {2, 1, 0}, {2, 2, 0}, {2, 3, 0}};
    for (const Case& c : cases) {
        CModeTable t = Fresh();
        t.m_nSelection = 4;
        EXPECT_EQ(t.Lookup(c.mode, c.type), c.offered) << c.type << "/" << c.mode;
        EXPECT_EQ(t.m_nSelection, c.offered ? 4 : 6) << c.type << "/" << c.mode;
    }
}

// The selection is copied from a processor reply; a byte outside the seven
// sources must not index past the row.
TEST(ModeTable, SelectionOutsideTheSourcesCountsAsOff) {
    for (int selection : {7, 254, -1, 1000000}) {
        CModeTable t = Fresh();
        t.m_nSelection = selection;
        EXPECT_EQ(t.Lookup(1, 0), 1) << selection;
        EXPECT_EQ(t.m_nSelection, 6) << selection;
    }
}

} // namespace
