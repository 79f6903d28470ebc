// Point editing of the response graph: hover, drags, cursors and the
// notices to the owner on the virtual clock.

#include "GraphFixture.h"

#include "model/DataDefine.h"

namespace {

class FStaticTrackingTest : public GraphTest {
protected:
    // A move, and a second one so the cursor reflects the first.
    void Hover(CPoint p) {
        Mouse(WM_MOUSEMOVE, p);
        Mouse(WM_MOUSEMOVE, p);
    }
    static CPoint Centre(const CRect& r) { return r.CenterPoint(); }
    static const platform::win::CursorData* Standard(UINT id) { return LoadCursor(nullptr, id); }
    CPoint Empty() { return CPoint(plot().left + 5, plot().top + 5); }
    GraphNotice Dragged(int index) {
        return {UM_EQ_POINT_DRAGGED, WPARAM(index), LPARAM(0x300 + graph().GetCurOutput())};
    }
};

using Notices_ = std::vector<GraphNotice>;

TEST_F(FStaticTrackingTest, HoverSelectsAHandleAndLeavingABandKeepsIt) {
    CFilter& band = filter(0, 10);
    Hover(Centre(band.GetHandleRect()));
    EXPECT_EQ(graph().m_pSelFilter, &band);
    EXPECT_EQ(graph().GetCurBand(), 10);
    EXPECT_TRUE(graph().IsOnHandle());
    EXPECT_TRUE(band.m_bHitCentre);
    EXPECT_EQ(platform::win::CurrentCursor(), Standard(IDC_SIZEALL));

    Hover(Empty());
    EXPECT_EQ(graph().m_pSelFilter, &band);
    EXPECT_FALSE(graph().IsOnHandle());
    EXPECT_EQ(platform::win::CurrentCursor(), Standard(IDC_ARROW));

    // Another handle takes the selection.
    Hover(Centre(filter(0, 20).GetHandleRect()));
    EXPECT_EQ(graph().m_pSelFilter, &filter(0, 20));
    EXPECT_EQ(graph().GetCurBand(), 20);
    EXPECT_TRUE(Notices().empty()) << "hovering changes nothing to report";
    EXPECT_TRUE(Tick().empty());
}

TEST_F(FStaticTrackingTest, CursorShowsWhatAPressWouldDrag) {
    filter(0, 12).SetGainOnlyLabel(1);
    filter(0, 31).SetFreq(200, 0);
    struct Case {
        const char* what;
        int index;
        bool viaBandwidth;
        UINT cursor;
    } cases[] = {{"point", 10, false, IDC_SIZEALL},
                 {"bandwidth", 10, true, IDC_SIZEWE},
                 {"gain-only point", 12, false, IDC_SIZENS},
                 {"crossover corner", 31, false, IDC_SIZEWE}};
    for (const Case& c : cases) {
        Hover(Empty());
        graph().m_pSelFilter = nullptr;
        CFilter& f = filter(0, c.index);
        Hover(Centre(f.GetHandleRect()));
        if (c.viaBandwidth)
            Hover(Centre(f.GetBwHighRect()));
        EXPECT_EQ(graph().m_pSelFilter, &f) << c.what;
        EXPECT_EQ(platform::win::CurrentCursor(), Standard(c.cursor)) << c.what;
    }
}

TEST_F(FStaticTrackingTest, PointDragFollowsThePointerAndNoticesAreCoalesced) {
    graph().SelectOutput(3);
    CFilter& band = filter(3, 10);
    const CPoint start = Centre(band.GetHandleRect());
    Hover(start);
    Mouse(WM_LBUTTONDOWN, start);
    EXPECT_TRUE(band.m_bDragCentre);
    EXPECT_EQ(CWnd::GetFocus(), &graph());

    const int w = plot().Width(), h = plot().Height();
    const CPoint steps[] = {start + CPoint(8, -4), start + CPoint(20, -10), start + CPoint(30, -20)};
    for (const CPoint& p : steps)
        Mouse(WM_MOUSEMOVE, p);
    const CPoint last = steps[2];
    EXPECT_EQ(band.GetFreq(), PosToFreq(last.x - 40, w));
    EXPECT_NEAR(band.GetGain(), 12.0 - (last.y - 10) * 24.0 / h, 0.051);
    EXPECT_TRUE(Notices().empty()) << "nothing before the timer";
    EXPECT_EQ(Tick(), (Notices_{Dragged(10)})) << "three steps, one notice";
    EXPECT_TRUE(Tick().empty()) << "no change since";

    // A pointer far outside the plot: the handle stops at the edge, the drag
    // goes on with the pointer outside it, and the arrow shows.
    const CPoint far(plot().right + 200, last.y);
    Mouse(WM_MOUSEMOVE, far);
    Mouse(WM_MOUSEMOVE, far + CPoint(5, 0));
    EXPECT_EQ(band.GetFreq(), 20000);
    EXPECT_EQ(band.GetHandleRect().right, plot().right);
    EXPECT_FALSE(graph().IsOnHandle()) << "the arrow when the capture ends";
    EXPECT_EQ(Tick(), (Notices_{Dragged(10)}));

    // Release: the notice repeats until the owner clears the flag.
    Mouse(WM_LBUTTONUP, far);
    EXPECT_FALSE(band.m_bDragCentre);
    EXPECT_FALSE(band.m_bHitCentre);
    EXPECT_TRUE(graph().m_bButtonUp);
    EXPECT_EQ(Tick(), (Notices_{Dragged(10)}));
    EXPECT_EQ(Tick(), (Notices_{Dragged(10)}));
    owner.clearsButtonUp = true;
    EXPECT_EQ(Tick(), (Notices_{Dragged(10)}));
    EXPECT_FALSE(graph().m_bButtonUp);
    EXPECT_TRUE(Tick(600).empty());
}

TEST_F(FStaticTrackingTest, AClickWithoutDragNoticesOnceForTheLastBand) {
    owner.clearsButtonUp = true;
    struct Case {
        const char* what;
        int hovered; // -1: none ever
        int expected;
    } cases[] = {{"nothing ever selected", -1, 0}, {"band 14 hovered before", 14, 14}};
    for (const Case& c : cases) {
        if (c.hovered >= 0) {
            Hover(Centre(filter(0, c.hovered).GetHandleRect()));
            Hover(Empty());
        }
        Mouse(WM_LBUTTONDOWN, Empty());
        Mouse(WM_LBUTTONUP, Empty());
        EXPECT_TRUE(Notices().empty()) << c.what;
        EXPECT_EQ(Tick(), (Notices_{Dragged(c.expected)})) << c.what;
        EXPECT_TRUE(Tick(1000).empty()) << c.what;
    }
}

TEST_F(FStaticTrackingTest, BandwidthHandlesDragOnlyAPeakingBand) {
    struct Case {
        const char* what;
        int index;
        int type;
        int gainOnly;
        bool drags;
    } cases[] = {{"peaking", 10, CFilter::Peaking, 0, true},
                 {"high shelf", 16, CFilter::HighShelf, 0, false},
                 {"gain-only peaking", 20, CFilter::Peaking, 1, false}};
    for (const Case& c : cases) {
        CFilter& f = filter(0, c.index);
        f.SetType(c.type);
        f.SetGainOnlyLabel(c.gainOnly);
        f.SetGainIndex(260);
        graph().Redraw(c.index);
        const double before = f.GetBandwidth();
        const CPoint handle = Centre(f.GetBwHighRect());
        Hover(Centre(f.GetHandleRect()));
        Hover(handle);
        EXPECT_EQ(bool(f.m_bHitHigh), !c.gainOnly) << c.what;
        Mouse(WM_LBUTTONDOWN, handle);
        EXPECT_EQ(bool(f.m_bDragHigh), c.drags) << c.what;
        Mouse(WM_MOUSEMOVE, handle + CPoint(25, 0));
        Mouse(WM_LBUTTONUP, handle + CPoint(25, 0));
        EXPECT_EQ(f.GetBandwidth() > before, c.drags) << c.what;
        EXPECT_FALSE(f.m_bDragHigh) << c.what;
        EXPECT_FALSE(f.m_bHitHigh) << c.what;
        if (c.drags) {
            EXPECT_EQ(Tick(), (Notices_{Dragged(c.index)})) << c.what;
        }
        Tick();
        graph().m_bButtonUp = 0;
    }
}

TEST_F(FStaticTrackingTest, CrossoverCornerDragsAndMustBeReenteredAfterARelease) {
    CFilter& hp = filter(0, 31);
    hp.SetFreq(200, 0);
    hp.SetSlope(2, 0);
    const CPoint corner = Centre(hp.GetHandleRect());
    Hover(corner);
    EXPECT_EQ(graph().m_pSelFilter, &hp);
    EXPECT_EQ(graph().GetCurBand(), 31);

    Mouse(WM_LBUTTONDOWN, corner);
    Mouse(WM_MOUSEMOVE, corner + CPoint(30, 0));
    const int dragged = hp.GetFreq();
    EXPECT_EQ(dragged, PosToFreq(corner.x + 30 - 40, plot().Width()));
    Mouse(WM_LBUTTONUP, corner + CPoint(30, 0));
    EXPECT_EQ(Tick(), (Notices_{Dragged(31)}));

    // Still over the marker: a press starts no drag.  (Presses are kept
    // apart so that none of them is a double click.)
    const CPoint moved = Centre(hp.GetHandleRect());
    Hover(moved);
    EXPECT_EQ(graph().m_pSelFilter, &hp);
    Tick(GetDoubleClickTime() + 1);
    Mouse(WM_LBUTTONDOWN, moved);
    Mouse(WM_MOUSEMOVE, moved + CPoint(30, 0));
    Mouse(WM_LBUTTONUP, moved + CPoint(30, 0));
    EXPECT_EQ(hp.GetFreq(), dragged);
    EXPECT_EQ(graph().m_pSelFilter, nullptr) << "leaving the marker drops the selection";

    // Entering again makes it draggable.
    Hover(moved);
    EXPECT_TRUE(hp.m_bHitCentre);
    Tick(GetDoubleClickTime() + 1);
    Mouse(WM_LBUTTONDOWN, moved);
    Mouse(WM_MOUSEMOVE, moved + CPoint(30, 0));
    Mouse(WM_LBUTTONUP, moved + CPoint(30, 0));
    EXPECT_GT(hp.GetFreq(), dragged);
}

TEST_F(FStaticTrackingTest, LosingTheFocusTellsTheOwner) {
    Mouse(WM_LBUTTONDOWN, Empty());
    Mouse(WM_LBUTTONUP, Empty());
    EXPECT_EQ(CWnd::GetFocus(), &graph());
    Notices();
    owner.GetDlgItem(1200)->SetFocus();
    EXPECT_EQ(Notices(), (Notices_{{UM_EQ_GRAPH_KILLFOCUS, 0, 0}}));
}

TEST_F(FStaticTrackingTest, WithoutAnOwnerNothingIsPosted) {
    graph().SetOwner(nullptr);
    const CPoint p = Centre(filter(0, 10).GetHandleRect());
    Hover(p);
    Mouse(WM_LBUTTONDOWN, p);
    Mouse(WM_MOUSEMOVE, p + CPoint(20, 10));
    Mouse(WM_LBUTTONUP, p + CPoint(20, 10));
    owner.GetDlgItem(1200)->SetFocus();
    EXPECT_TRUE(Tick(1000).empty());
}

TEST_F(FStaticTrackingTest, TrackingOnlyInAShownModeAndWorkModesOneAndTwo) {
    struct Case {
        int mode, workMode;
        bool tracks;
    } cases[] = {{0, 1, false}, {4, 0, false}, {4, 3, false}, {4, 2, true}, {4, 1, true}};
    for (const Case& c : cases) {
        graph().SetMode(c.mode);
        g_nWorkMode = c.workMode;
        graph().m_pSelFilter = nullptr;
        Hover(Centre(filter(0, 10).GetHandleRect()));
        EXPECT_EQ(graph().m_pSelFilter != nullptr, c.tracks) << c.mode << " " << c.workMode;
        Hover(Empty());
    }
}

TEST_F(FStaticTrackingTest, APressAfterTheOwnerDroppedTheSelectionDragsNothing) {
    CFilter& band = filter(0, 10);
    const CPoint p = Centre(band.GetHandleRect());
    Hover(p);
    ASSERT_TRUE(graph().IsOnHandle());
    graph().m_pSelFilter = nullptr;
    graph().Redraw(-1);
    const int freq = band.GetFreq();
    Mouse(WM_LBUTTONDOWN, p);
    EXPECT_FALSE(band.m_bDragCentre);
    Mouse(WM_LBUTTONUP, p);
    EXPECT_EQ(band.GetFreq(), freq);
}

} // namespace
