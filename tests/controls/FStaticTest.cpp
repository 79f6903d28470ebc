// Drawing of the response graph: layout, grid, labels, curves, selection.

#include "GraphFixture.h"

#include "model/DataDefine.h"

BEGIN_MESSAGE_MAP(GraphOwner, CDialog)
ON_MESSAGE(UM_EQ_POINT_DRAGGED, &GraphOwner::OnDragged)
ON_MESSAGE(UM_EQ_GRAPH_KILLFOCUS, &GraphOwner::OnGraphKillFocus)
END_MESSAGE_MAP()

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0), kGrey = RGB(100, 100, 100), kFrame = RGB(149, 149, 149),
                   kRed = RGB(255, 0, 0), kShade = RGB(50, 49, 49), kBypassFill = RGB(155, 155, 155);

bool IsTextGrey(COLORREF c) {
    return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c) && GetRValue(c) > 0;
}
// Red text, also where it blends with black or the shade; not the first
// output's orange-red curve.
bool IsTextRed(COLORREF c) {
    return GetRValue(c) > 120 && GetRValue(c) > GetGValue(c) + 60 &&
           std::abs(GetGValue(c) - GetBValue(c)) <= 2;
}
bool IsWhitish(COLORREF c) {
    return GetRValue(c) > 128 && GetGValue(c) > 128 && GetBValue(c) > 128;
}

class FStaticDrawTest : public GraphTest {
protected:
    // The width of a near-horizontal curve in `colour` at column x: how much
    // of the colour's blue the rows around y carry.
    static double Thickness(const QImage& image, int x, int y, COLORREF colour) {
        double sum = 0;
        for (int row = y - 5; row <= y + 5; ++row) {
            const COLORREF c = At(image, x, row);
            if (GetRValue(c) <= GetRValue(colour) + 2 && GetGValue(c) <= GetGValue(colour) + 2)
                sum += GetBValue(c) / double(GetBValue(colour));
        }
        return sum;
    }
    // Curve point of `output` nearest to column x.
    CPoint CurveAt(int output, int x) {
        const CurvePointF* points = out(output).GetCurvePointsF();
        int best = 0;
        for (int i = 1; i < kFreqSteps; ++i)
            if (std::abs(points[i].x - x) < std::abs(points[best].x - x))
                best = i;
        return CPoint(x, int(std::lround(points[best].y)));
    }
    // Columns of light text pixels inside a rectangle: first and last.
    static std::pair<int, int> TextColumns(const QImage& image, const CRect& r) {
        int first = INT_MAX, last = INT_MIN;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (IsWhitish(At(image, x, y))) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        return {first, last};
    }
    void RaiseBand(int output, int band, int gainIndex) { filter(output, band).SetGainIndex(gainIndex); }
};

TEST_F(FStaticDrawTest, LayoutFramesThePlotWithGridAndAxisLabels) {
    CRect client;
    graph().GetClientRect(&client);
    EXPECT_EQ(CRect(plot()), CRect(40, 10, client.right - 10, client.bottom - 20));
    RaiseBand(0, 30, 260); // something not bypassed, so no text over the plot
    graph().Redraw(-1);
    const QImage image = Render();
    const int w = plot().Width(), h = plot().Height();

    // Frame, then the vertical lines of 30 Hz .. 10 kHz near the top.
    EXPECT_EQ(At(image, plot().left, plot().top + 3), kFrame);
    EXPECT_EQ(At(image, plot().right - 1, plot().top + 3), kFrame);
    EXPECT_EQ(At(image, plot().left + 1, plot().top + 3), kBlack);
    for (int i = 1; i < CFStatic::kGridLines; ++i) {
        const int hz = i < 9 ? 20 + 10 * i : i < 18 ? 100 * (i - 7) : 1000 * (i - 16);
        const int x = FreqToPos(hz, w) + 40;
        EXPECT_EQ(graph().GetGridX(i), x) << hz;
        EXPECT_EQ(At(image, x, plot().top + 3), kGrey) << hz;
        EXPECT_EQ(At(image, x + 1, plot().top + 3), kBlack) << hz;
    }
    // The 3 dB divisions left of the 30 Hz line (the 0 dB one lies under the curve).
    for (int k : {1, 2, 3, 5, 6, 7}) {
        const int y = plot().top + int(h / 8.0 * k);
        EXPECT_EQ(At(image, plot().left + 3, y), kGrey) << k;
        EXPECT_EQ(At(image, plot().left + 3, y + 1), kBlack) << k;
    }

    // Labels in grey on black: the dB labels at x = 6, the frequencies below the plot.
    struct Label {
        const char* text;
        int x, y;
    } labels[] = {{"+12", 6, 5},
                  {"+6", 6, h / 8 * 2 + 3},
                  {"0dB", 6, h / 8 * 4 + 3},
                  {"-9", 6, h / 8 * 7 + 3},
                  {"-12", 6, h},
                  {"20", 30, plot().bottom},
                  {"1K", FreqToPos(1000, w) + 40 - 8, plot().bottom},
                  {"20K", FreqToPos(20000, w) + 40 - 15, plot().bottom}};
    for (const Label& l : labels) {
        int text = 0, other = 0;
        for (int y = l.y; y < l.y + 12; ++y)
            for (int x = l.x; x < l.x + 14; ++x)
                (IsTextGrey(At(image, x, y)) ? text : At(image, x, y) == kBlack ? other : other += 1000) += 1;
        EXPECT_GT(text, 4) << l.text;
        EXPECT_LT(other, 1000) << l.text << ": only grey text on black";
    }
    EXPECT_EQ(At(image, 2, plot().top + h / 2), kBlack);
}

TEST_F(FStaticDrawTest, OverlaidCurvesAreThickerAndTheCurrentOutputIsDrawnOnce) {
    // Output 1 (blue) with a wide dip between the -6 and -9 dB lines.
    filter(1, 20).SetBandwidthIndex(200);
    RaiseBand(1, 20, 125);
    RaiseBand(0, 30, 260);
    const int dipX = filter(1, 20).GetHandleRect().CenterPoint().x + 12;
    const COLORREF blue = RGB(5, 5, 245);

    graph().Redraw(-1);
    EXPECT_LT(Thickness(Render(), dipX, CurveAt(1, dipX).y, blue), 0.2) << "not flagged";

    g_bOutCurveShown[1] = 1;
    graph().Redraw(-1);
    QImage image = Render();
    EXPECT_NEAR(Thickness(image, dipX, CurveAt(1, dipX).y, blue), 3.0, 0.4);
    // The overlay's own curve, recomputed for the drawing.
    RaiseBand(1, 20, 120);
    graph().Redraw(-1);
    image = Render();
    EXPECT_NEAR(Thickness(image, dipX, CurveAt(1, dipX).y, blue), 3.0, 0.4);

    // Current now, and flagged as well: one 2 px curve.
    graph().SelectOutput(1);
    image = Render();
    EXPECT_NEAR(Thickness(image, dipX, CurveAt(1, dipX).y, blue), 2.0, 0.4);
    // The output that was current before is not flagged: no curve of its colour.
    int red = 0;
    for (int x = plot().left; x < plot().right; ++x)
        for (int y = plot().top; y < plot().bottom; ++y)
            red += At(image, x, y) == RGB(231, 29, 0);
    EXPECT_EQ(red, 0);
}

TEST_F(FStaticDrawTest, SelectionShowsShadeBandwidthHandlesRedNumberAndLabel) {
    RaiseBand(0, 10, 260); // +6 dB
    graph().Redraw(10);
    EXPECT_EQ(graph().m_pSelFilter, &filter(0, 10));
    EXPECT_EQ(graph().GetCurBand(), 10);
    QImage image = Render();
    const CFilter& band = filter(0, 10);
    EXPECT_GT(CountIf(image, band.GetHandleRect(), IsTextRed), 0);
    EXPECT_EQ(CountIf(image, filter(0, 20).GetHandleRect(), IsTextRed), 0);
    EXPECT_GT(CountIf(image, filter(0, 20).GetHandleRect(), IsWhitish), 0);
    for (const CRect& r : {band.GetBwLowRect(), band.GetBwHighRect()}) {
        EXPECT_EQ(At(image, r.left, r.top), kRed);
        EXPECT_EQ(At(image, r.CenterPoint().x, r.CenterPoint().y), kShade);
    }
    // Between the handle and the band's number, which sits in the shade.
    const CPoint inside(band.GetHandleRect().CenterPoint().x + 3,
                        (band.GetHandleRect().bottom + band.GetLabelRect().top) / 2);
    EXPECT_EQ(At(image, inside.x, inside.y), kShade);
    EXPECT_GT(CountIf(image, band.GetLabelRect(), IsTextRed), 10);

    // -1 keeps the selection.
    graph().Redraw(-1);
    EXPECT_GT(CountIf(Render(), band.GetHandleRect(), IsTextRed), 0);

    // The owner drops it: nothing selected is shown, the notice band stays.
    graph().m_pSelFilter = nullptr;
    graph().Redraw(-1);
    image = Render();
    EXPECT_EQ(CountIf(image, plot(), IsTextRed), 0);
    EXPECT_EQ(Count(image, plot(), kShade), 0);
    EXPECT_EQ(graph().GetCurBand(), 10);
}

TEST_F(FStaticDrawTest, OnlyAPeakingBandWithBandwidthShowsBandwidthHandles) {
    struct Case {
        const char* what;
        int index;
        int type;
        int gainOnly;
    } cases[] = {{"low shelf", 4, CFilter::LowShelf, 0},
                 {"gain-only peak", 12, CFilter::Peaking, 1},
                 {"high-pass", 31, CFilter::HighPass, 0}};
    for (const Case& c : cases) {
        CFilter& f = filter(0, c.index);
        if (c.index < 31) {
            f.SetType(c.type);
            f.SetSlope(1, 0);
            f.SetGainOnlyLabel(c.gainOnly);
            f.SetGainIndex(270);
        } else {
            f.SetSlope(2, 0);
            f.SetFreq(200, 0);
        }
        graph().Redraw(c.index);
        const QImage image = Render();
        EXPECT_GT(CountIf(image, f.GetLabelRect(), IsTextRed), 5) << c.what;
        EXPECT_NE(At(image, f.GetBwLowRect().left, f.GetBwLowRect().top), kRed) << c.what;
        EXPECT_NE(At(image, f.GetBwHighRect().left, f.GetBwHighRect().top), kRed) << c.what;
        if (c.index < 31) {
            EXPECT_GT(Count(image, plot(), kShade), 20) << c.what;
        }
    }
}

TEST_F(FStaticDrawTest, NumbersAlignByFrequencyAndTheRightEdge) {
    enum Align { Left, Centre, Right };
    struct Case {
        int band, hz;
        Align align;
    } cases[] = {{5, 20, Right}, {25, 20000, Left}, {15, 1000, Centre}, {28, 19000, Left}};
    for (const Case& c : cases) {
        CFilter& f = filter(0, c.band);
        f.SetFreq(c.hz, 0);
        f.SetGainIndex(290); // +9 dB, clear of the other handles
    }
    graph().Redraw(-1);
    const QImage image = Render();
    for (const Case& c : cases) {
        CRect r = filter(0, c.band).GetHandleRect();
        r.left = std::max<int>(r.left, plot().left);
        const auto [first, last] = TextColumns(image, r);
        ASSERT_LE(first, last) << c.hz;
        const CRect& h = filter(0, c.band).GetHandleRect();
        if (c.align == Left)
            EXPECT_LE(first - h.left, 2) << c.hz;
        else if (c.align == Right)
            EXPECT_GE(last, h.right - 3) << c.hz;
        else
            EXPECT_LE(std::abs((first + last) / 2 - h.CenterPoint().x), 2) << c.hz;
    }
    EXPECT_EQ(filter(0, 28).GetHandleRect().right, plot().right);
}

TEST_F(FStaticDrawTest, AllBypassWritesTheTextOverThePlotInTheLanguage) {
    RaiseBand(0, 10, 260);
    graph().Redraw(-1);
    // White numbers blend to the fill's grey at their edges: a few pixels only.
    EXPECT_LT(Count(Render(), plot(), kBypassFill), 100);

    out(0).BypassAllBands(1);
    QImage texts[2];
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        graph().Redraw(-1);
        texts[chinese] = Render();
        EXPECT_GT(Count(texts[chinese], plot(), kBypassFill), 500) << chinese;
        // The translucent outline: bluish grey, darker than the fill.
        int outline = 0;
        for (int y = plot().top; y < plot().bottom; ++y)
            for (int x = plot().left; x < plot().right; ++x) {
                const COLORREF c = At(texts[chinese], x, y);
                outline += GetBValue(c) > GetRValue(c) && GetRValue(c) > 10 && GetBValue(c) < 110;
            }
        EXPECT_GT(outline, 50) << chinese;
    }
    EXPECT_NE(texts[0], texts[1]);
}

TEST_F(FStaticDrawTest, AllBypassTextFollowsALanguageSwitchBackAndForth) {
    out(0).BypassAllBands(1);
    QImage first[2];
    for (int pass = 0; pass < 2; ++pass)
        for (int chinese : {0, 1}) {
            g_bChinese = chinese;
            graph().Redraw(-1);
            const QImage image = Render();
            if (pass == 0)
                first[chinese] = image;
            else
                EXPECT_EQ(image, first[chinese]) << chinese;
        }
    EXPECT_NE(first[0], first[1]);
    g_bChinese = 0;
}

TEST_F(FStaticDrawTest, EmptyPlotBeforeAnOutputAndDrawingOnlyInWorkModesOneAndTwo) {
    RaiseBand(0, 10, 260);
    graph().SetMode(0);
    QImage image = Render();
    EXPECT_EQ(At(image, plot().left, plot().top + 3), RGB(255, 255, 255));
    EXPECT_EQ(At(image, graph().GetGridX(5), plot().top + 3), kGrey);
    EXPECT_EQ(Count(image, plot(), RGB(231, 29, 0)), 0);

    graph().SetMode(4);
    image = Render();
    EXPECT_EQ(At(image, plot().left, plot().top + 3), kFrame);
    EXPECT_GT(Count(image, plot(), RGB(231, 29, 0)), 50);

    struct Case {
        int workMode;
        bool draws;
    } cases[] = {{0, false}, {3, false}, {2, true}, {1, true}};
    for (const Case& c : cases) {
        g_nWorkMode = c.workMode;
        graph().Redraw(10);
        EXPECT_EQ(CountIf(Render(), plot(), IsTextRed) > 0, c.draws) << c.workMode;
        graph().m_pSelFilter = nullptr;
        g_nWorkMode = 1;
        graph().Redraw(-1);
    }
}

TEST_F(FStaticDrawTest, IndexesOutsideTheSetAreIgnored) {
    graph().Redraw(7);
    for (int index : {33, 40, -5}) {
        graph().Redraw(index);
        EXPECT_EQ(graph().m_pSelFilter, &filter(0, 7)) << index;
        EXPECT_EQ(graph().GetCurBand(), 7) << index;
    }
    for (int output : {12, -1, 99}) {
        graph().SelectOutput(output);
        EXPECT_EQ(graph().GetCurOutput(), 0) << output;
        EXPECT_EQ(graph().m_pSelFilter, &filter(0, 7)) << output;
    }
    // A type byte no filter has, as a loaded record can carry: no number.
    filter(0, 3).SetGainIndex(290);
    filter(0, 3).SetType(9);
    graph().Redraw(-1);
    const QImage image = Render();
    EXPECT_EQ(TextColumns(image, filter(0, 3).GetHandleRect()).first, INT_MAX);
    EXPECT_NE(TextColumns(image, filter(0, 4).GetHandleRect()).first, INT_MAX);
}

TEST_F(FStaticDrawTest, OutputModeBeforeAnyOutputDrawsNothing) {
    GraphOwner fresh;
    ASSERT_TRUE(fresh.Create(610));
    fresh.graph.AttachKTVData(&model, 4);
    fresh.graph.SetMode(4);
    fresh.graph.Redraw(3);
    platform::win::MouseInput(fresh.graph.GetSafeHwnd(), WM_MOUSEMOVE, {100, 60});
    platform::win::MouseInput(fresh.graph.GetSafeHwnd(), WM_LBUTTONDOWN, {100, 60});
    platform::win::MouseInput(fresh.graph.GetSafeHwnd(), WM_LBUTTONUP, {100, 60});
    EXPECT_EQ(fresh.graph.m_pSelFilter, nullptr);
    const QImage image = platform::win::RenderWindow(fresh.graph.GetSafeHwnd());
    EXPECT_EQ(At(image, plot().left, plot().top + 3), kBlack);
}

} // namespace
