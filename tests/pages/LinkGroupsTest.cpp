#include "FakeLinkSurface.h"

#include "model/DeviceDefaults.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

namespace {

class LinkGroupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_bOnline = 0;
        InitDefaultDeviceData();
        m_model = std::make_unique<CKTV_Data>();
        std::fill(std::begin(g_LastLinkGroup), std::end(g_LastLinkGroup), LastLinkGroup{});
        g_bLinkGroupForming = 0;
        g_nLinkGroupFounder = -1;
        g_nCurOutChannel = 0;
        m_surface.Select(0);
        CLinkGroups::Rebuild(*m_model, m_surface);
        ClearDirty();
    }
    void TearDown() override { g_nCurOutChannel = 0; }

    void Click(int output, WPARAM kind) {
        CLinkGroups::OnGroupClick(m_surface, output, m_model->GetOutput(output), kind);
    }
    void ClearDirty() {
        for (int k = 0; k < kOutputCount; ++k)
            m_model->GetOutput(k)->SetLimiterDirty(0);
    }
    static std::string Numbers() {
        std::string s;
        for (int k = 0; k < kOutputCount; ++k)
            s += "0123456789abc"[CLinkGroups::NumberOf(k)];
        return s;
    }
    static std::string ImageNumbers() {
        std::string s;
        for (int k = 0; k < kOutputCount; ++k) {
            const BYTE b = g_DeviceImage[OutputRecordOffset(k) + 287];
            s += b <= 12 ? "0123456789abc"[b] : '?';
        }
        return s;
    }
    std::string Dirty() {
        std::string s;
        for (int k = 0; k < kOutputCount; ++k)
            s += m_model->GetOutput(k)->GetLimiterDirty() ? '1' : '0';
        return s;
    }

    std::unique_ptr<CKTV_Data> m_model;
    FakeLinkSurface m_surface;
};

constexpr WPARAM S = CLinkGroups::kSingleClick;
constexpr WPARAM D = CLinkGroups::kDoubleClick;
constexpr WPARAM R = CLinkGroups::kRightClick;

// One step of a scenario and the state after it.  `edit` marks the output
// edited before the click (-1 none); `anchor` is the output whose group the
// off-and-restore addressed (-1: none ran).
struct Step {
    int edit;
    int output;
    WPARAM kind;
    const char* numbers; // group number of each output, hex
    const char* groupLatched;
    const char* selectLatched;
    int cur;
    int anchor;
};

TEST_F(LinkGroupsTest, ClickScenario) {
    const Step steps[] = {
        // Single click creates group 1 and keeps the current output.
        {-1, 3, S, "000100000000", "000100000000", "100000000000", 0, -1},
        // The group being formed takes the next single click.
        {-1, 5, S, "000101000000", "000101000000", "100000000000", 0, 3},
        // Leave and remember, then rejoin through the remaining member.
        {-1, 3, S, "000001000000", "000001000000", "100000000000", 0, -1},
        {-1, 3, S, "000101000000", "000101000000", "100000000000", 0, 5},
        // An edit between leaving and clicking again blocks the rejoin: a new group.
        {-1, 3, S, "000001000000", "000001000000", "100000000000", 0, -1},
        {3, 3, S, "000201000000", "000101000000", "100000000000", 0, -1},
        // Right click leaves and forgets; on an unlatched button it does nothing.
        {-1, 3, R, "000001000000", "000001000000", "100000000000", 0, -1},
        {-1, 3, R, "000001000000", "000001000000", "100000000000", 0, -1},
        // Double click on an unlatched button: new group, made current.
        {-1, 7, D, "000001020000", "000001010000", "000000010000", 7, -1},
        // The current output's latched group takes a single click.
        {-1, 8, S, "000001022000", "000001011000", "000000011000", 7, 7},
        // Double click on a member: a new group of its own, still latched.
        {-1, 8, D, "000001023000", "000001011000", "000000001000", 8, -1},
        // The last member of group 1 leaves: nobody can rejoin it.
        {-1, 5, S, "000000023000", "000000011000", "000000001000", 8, -1},
        {-1, 5, S, "000003023000", "000001011000", "000001001000", 8, 8},
    };
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE("step " + std::to_string(n++));
        m_surface.mutes.clear();
        if (s.edit >= 0)
            g_bOutChanged[s.edit] = 1;
        const BOOL wasLatched = m_surface.group[s.output];
        Click(s.output, s.kind);
        EXPECT_EQ(Numbers(), s.numbers);
        EXPECT_EQ(ImageNumbers(), s.numbers);
        EXPECT_EQ(FakeLinkSurface::Flags(m_surface.group), s.groupLatched);
        EXPECT_EQ(FakeLinkSurface::Flags(m_surface.select), s.selectLatched);
        EXPECT_EQ(g_nCurOutChannel, s.cur);
        for (int k = 0; k < kOutputCount; ++k)
            EXPECT_EQ(m_surface.image[k], m_surface.group[k] ? CLinkGroups::NumberOf(k) : m_surface.image[k]);
        if (s.anchor < 0) {
            EXPECT_TRUE(m_surface.mutes.empty());
        } else {
            EXPECT_EQ(m_surface.mutes, (std::vector<std::pair<int, int>>{{s.anchor, 1}, {s.anchor, 0}}));
        }
        // Only the clicked output's block 35 goes out, unless nothing happened.
        std::string dirty(kOutputCount, '0');
        if (s.kind != R || wasLatched)
            dirty[s.output] = '1';
        EXPECT_EQ(Dirty(), dirty);
        ClearDirty();
    }
}

TEST_F(LinkGroupsTest, AfterEveryGroupWasLeftNobodyRemembersOne) {
    Click(1, S);
    Click(2, S); // joins the forming group 1
    Click(4, D); // group 2, current
    Click(6, S); // joins the current output's group 2
    for (int o : {1, 2, 4, 6})
        Click(o, S);
    EXPECT_EQ(Numbers(), "000000000000");
    for (int k = 0; k < kOutputCount; ++k)
        EXPECT_EQ(g_LastLinkGroup[k].bLeft, 0) << k;
    for (int g = 0; g < kOutputCount; ++g)
        EXPECT_EQ(g_nLinkGroupMask[g], 0) << g;
}

TEST_F(LinkGroupsTest, ASlowDoubleClickIsASingleThenADoubleClick) {
    Click(4, S); // creates group 1
    Click(4, D); // leaves it and starts group 1 again, made current
    EXPECT_EQ(Numbers(), "000010000000");
    EXPECT_EQ(g_nCurOutChannel, 4);
    EXPECT_EQ(m_surface.shown, std::vector<int>{4});
}

// After a rebuild an output may remember a group that no longer has a member,
// or whose number the image gave to other outputs, and the founder may be in
// no group: none of them may be joined.
TEST_F(LinkGroupsTest, StaleMemoriesAfterARebuildAreForgotten) {
    const struct {
        const char* name;
        std::vector<int> members; // outputs the loaded image puts in group 1
        const char* numbers;      // after output 5's single click
    } cases[] = {
        {"nobody in a group", {}, "000001000000"},
        {"group 1 now outputs 7 and 8", {7, 8}, "000002011000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Click(2, S); // founder 2 creates group 1
        Click(5, S); // 5 joins
        Click(5, S); // 5 leaves and remembers group 1
        ASSERT_EQ(g_LastLinkGroup[5].bLeft, 1);
        for (int k = 0; k < kOutputCount; ++k)
            g_DeviceImage[OutputRecordOffset(k) + 287] = 0;
        for (int k : c.members)
            g_DeviceImage[OutputRecordOffset(k) + 287] = 1;
        g_bLinkGroupForming = 1;
        m_surface.group[g_nCurOutChannel] = FALSE;
        CLinkGroups::Rebuild(*m_model, m_surface);
        g_bLinkGroupForming = 1; // as a latched current button would leave it
        m_surface.mutes.clear();
        Click(5, S);
        EXPECT_TRUE(m_surface.mutes.empty());
        EXPECT_EQ(Numbers(), c.numbers); // a new group of its own
        EXPECT_EQ(g_LastLinkGroup[5].bLeft, 0);
        ASSERT_GT(CLinkGroups::NumberOf(5), 0);
        EXPECT_EQ(g_nLinkGroupSize[CLinkGroups::NumberOf(5) - 1], 1);
    }
}

TEST_F(LinkGroupsTest, LeavingClearsTheBitEvenWhenItIsNotSet) {
    // Outputs 3 and 7 in group 1 from the image; output 5 carries number 1
    // in the table without a bit, as after a table reload without the rebuild.
    g_DeviceImage[OutputRecordOffset(3) + 287] = 1;
    g_DeviceImage[OutputRecordOffset(7) + 287] = 1;
    CLinkGroups::Rebuild(*m_model, m_surface);
    ASSERT_EQ(g_nLinkGroupMask[0], 0x88);
    g_OutLinkTable[1 + 5] = 1;
    g_nLinkGroupSize[0] = 3;
    m_surface.group[5] = TRUE;
    Click(5, R);
    EXPECT_EQ(g_nLinkGroupMask[0], 0x88);
    Click(7, R);
    Click(7, R); // unlatched now: nothing
    EXPECT_EQ(g_nLinkGroupMask[0], 0x08);
    EXPECT_EQ(g_nLinkGroupSize[0], 1);
}

TEST_F(LinkGroupsTest, NoFreeGroupChangesNothing) {
    class Full final : public ILinkGroupSurface {
    public:
        explicit Full(FakeLinkSurface& inner) : m(inner) {}
        void SetGroupImage(int o, int n) override { m.SetGroupImage(o, n); }
        BOOL IsGroupLatched(int o) override { return m.IsGroupLatched(o); }
        void SetGroupLatched(int o, BOOL l) override { m.SetGroupLatched(o, l); }
        BOOL IsSelectLatched(int o) override { return m.IsSelectLatched(o); }
        void SetSelectLatched(int o, BOOL l) override { m.SetSelectLatched(o, l); }
        int FindFreeSlot() override { return -1; }
        void HighlightLinkGroup(int o, int n) override { m.HighlightLinkGroup(o, n); }
        void MuteLinkedOutputs(int a, int f) override { m.MuteLinkedOutputs(a, f); }
        void RedrawGraph() override { m.RedrawGraph(); }
        void ShowChannel(int o) override { m.ShowChannel(o); }
        void UnlatchPageLinkMark() override { m.UnlatchPageLinkMark(); }

    private:
        FakeLinkSurface& m;
    } full(m_surface);
    for (WPARAM kind : {S, D}) {
        CLinkGroups::OnGroupClick(full, 6, m_model->GetOutput(6), kind);
        EXPECT_EQ(Numbers(), "000000000000");
        EXPECT_EQ(FakeLinkSurface::Flags(m_surface.group), "000000000000");
        EXPECT_EQ(Dirty(), "000000000000");
        EXPECT_EQ(g_nCurOutChannel, 0);
    }
}

TEST_F(LinkGroupsTest, UnknownKindsAndOutputsChangeNothing) {
    for (auto [output, kind] : std::vector<std::pair<int, WPARAM>>{{3, 0x202}, {3, 0}, {-1, S}, {12, D}}) {
        CLinkGroups::OnGroupClick(m_surface, output, nullptr, kind);
        EXPECT_EQ(Numbers(), "000000000000");
        EXPECT_EQ(FakeLinkSurface::Flags(m_surface.group), "000000000000");
    }
}

TEST_F(LinkGroupsTest, RebuildFromTheImage) {
    const BYTE bytes[kOutputCount] = {2, 0, 2, 13, 255, 5, 0, 0, 0, 0, 0, 12};
    for (int k = 0; k < kOutputCount; ++k)
        g_DeviceImage[OutputRecordOffset(k) + 287] = bytes[k];
    g_bOutChanged[4] = 1;
    g_nCurOutChannel = 2;
    CLinkGroups::Rebuild(*m_model, m_surface);
    EXPECT_EQ(Numbers(), "20200500000c");
    EXPECT_EQ(FakeLinkSurface::Flags(m_surface.group), "101001000001");
    EXPECT_EQ(FakeLinkSurface::Flags(m_surface.select), "101000000000");
    EXPECT_EQ(m_surface.image, (std::array<int, kOutputCount>{2, 0, 2, 0, 0, 5, 0, 0, 0, 0, 0, 12}));
    EXPECT_EQ(g_nLinkGroupMask[1], 0x5);
    EXPECT_EQ(g_nLinkGroupSize[1], 2);
    EXPECT_EQ(g_bLinkGroupForming, 1);
    EXPECT_EQ(g_bOutChanged[4], 0);
    EXPECT_EQ(g_DeviceImage[OutputRecordOffset(3) + 287], 13); // kept as loaded
}

// ---- Property test ---------------------------------------------------------

class LinkGroupsProperty : public LinkGroupsTest {
protected:
    void CheckInvariants(const std::array<bool, kOutputCount>& stale) {
        for (int g = 0; g < kOutputCount; ++g) {
            int members = 0;
            for (int k = 0; k < kOutputCount; ++k) {
                const bool member = CLinkGroups::NumberOf(k) == g + 1;
                const bool bit = (g_nLinkGroupMask[g] >> k) & 1;
                members += member;
                if (member) {
                    EXPECT_EQ(g_LastLinkGroup[k].bLeft, 0) << "member " << k;
                    EXPECT_EQ(g_LastLinkGroup[k].nGroup, g) << "member " << k;
                    EXPECT_TRUE(bit) << "member " << k << " group " << g;
                } else if (bit) {
                    EXPECT_EQ(g_LastLinkGroup[k].bLeft, 1) << "stray bit " << k << " group " << g;
                    EXPECT_EQ(g_LastLinkGroup[k].nGroup, g) << "stray bit " << k << " group " << g;
                }
            }
            EXPECT_EQ(g_nLinkGroupMask[g] >> kOutputCount, 0);
            EXPECT_EQ(g_nLinkGroupSize[g], members) << "group " << g;
            EXPECT_EQ(g_bLinkGroupUsed[g], members > 0 ? 1 : 0) << "group " << g;
        }
        for (int k = 0; k < kOutputCount; ++k) {
            EXPECT_EQ(m_surface.group[k], CLinkGroups::NumberOf(k) != 0) << k;
            const BYTE b = g_DeviceImage[OutputRecordOffset(k) + 287];
            EXPECT_EQ(CLinkGroups::NumberOf(k), b <= 12 ? b : 0) << k;
            if (g_LastLinkGroup[k].bLeft && !stale[k]) {
                const int g = g_LastLinkGroup[k].nGroup;
                ASSERT_TRUE(g >= 0 && g < kOutputCount);
                EXPECT_GT(g_nLinkGroupSize[g], 0) << "output " << k << " remembers an empty group";
            }
        }
    }
};

TEST_F(LinkGroupsProperty, InvariantsHoldAfterEveryStep) {
    const BYTE numbers[] = {0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 255};
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        std::array<bool, kOutputCount> stale{};
        auto reload = [&] {
            for (int k = 0; k < kOutputCount; ++k)
                g_DeviceImage[OutputRecordOffset(k) + 287] = numbers[pick(int(std::size(numbers)))];
            CLinkGroups::Rebuild(*m_model, m_surface);
            for (int k = 0; k < kOutputCount; ++k)
                stale[k] = g_LastLinkGroup[k].bLeft != 0;
        };
        reload();
        for (int step = 0; step < 300; ++step) {
            const int what = pick(20);
            const int o = pick(kOutputCount);
            if (what == 0) {
                reload();
            } else if (what == 1) {
                g_bOutChanged[o] = 1;
            } else if (what == 2) {
                m_surface.Select(o);
            } else {
                const WPARAM kind = what < 12 ? S : what < 16 ? D : R;
                Click(o, kind);
                if (!g_LastLinkGroup[o].bLeft)
                    stale[o] = false;
                else if (kind == S && m_surface.group[o] == FALSE && CLinkGroups::NumberOf(o) == 0)
                    stale[o] = false; // it has just left and remembers a live group
            }
            CheckInvariants(stale);
            if (HasFailure())
                return;
        }
    }
}

} // namespace
