#pragma once

// The response graph on a page-like owner, set up the way the output page
// does it, with the model's twelve outputs and the drawing globals restored
// after each test.

#include "TestResources.h"
#include "controls/FStatic.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "platform/sys/UserMessages.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <tuple>
#include <vector>

struct GraphNotice {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const GraphNotice&) const = default;
};

// Its message map is in FStaticTest.cpp.
class GraphOwner final : public CDialog {
public:
    CFStatic graph;
    std::vector<GraphNotice> notices;
    // Like the output page: a handled notice clears the graph's button-up flag.
    bool clearsButtonUp = false;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 4000, graph); }
    LRESULT OnDragged(WPARAM wp, LPARAM lp) {
        notices.push_back({UM_EQ_POINT_DRAGGED, wp, lp});
        if (clearsButtonUp && graph.m_bButtonUp)
            graph.m_bButtonUp = 0;
        return 0;
    }
    LRESULT OnGraphKillFocus(WPARAM wp, LPARAM lp) {
        notices.push_back({UM_EQ_GRAPH_KILLFOCUS, wp, lp});
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

class GraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::copy(std::begin(g_bOutCurveShown), std::end(g_bOutCurveShown), std::begin(m_savedShown));
        std::fill(std::begin(g_bOutCurveShown), std::end(g_bOutCurveShown), 0);
        m_savedWorkMode = g_nWorkMode;
        m_savedChinese = g_bChinese;
        g_nWorkMode = 1;
        g_bChinese = 0;
        res.AddDialog(610, "DIALOG 610 0 0 430 150\n"
                           "CONTROL 4000 Static WS_VISIBLE|SS_NOTIFY 5 5 410 110 \"\"\n"
                           "CONTROL 1200 Button WS_VISIBLE 5 125 40 12 \"Other\"\n");
        ASSERT_TRUE(owner.Create(610));
        owner.ShowWindow(SW_SHOW);
        graph().SetOwner(&owner);
        graph().AttachKTVData(&model, 4);
        graph().SelectOutput(0);
        graph().SetMode(4);
        Notices();
    }
    void TearDown() override {
        std::copy(std::begin(m_savedShown), std::end(m_savedShown), std::begin(g_bOutCurveShown));
        g_nWorkMode = m_savedWorkMode;
        g_bChinese = m_savedChinese;
    }

    CFStatic& graph() { return owner.graph; }
    CKTV_OutData& out(int n) { return *model.GetOutput(n); }
    CFilter& filter(int output, int index) { return *out(output).GetEQ().GetAt(index); }
    const CRect& plot() { return graph().GetPlotRect(); }

    // The graph's pixels in its client coordinates.
    QImage Render() { return platform::win::RenderWindow(graph().GetSafeHwnd()); }
    static COLORREF At(const QImage& image, int x, int y) {
        const QRgb p = image.pixel(x, y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    template <typename Pred> static int CountIf(const QImage& image, const CRect& r, Pred pred) {
        int n = 0;
        for (int y = std::max(r.top, 0); y < std::min<int>(r.bottom, image.height()); ++y)
            for (int x = std::max(r.left, 0); x < std::min<int>(r.right, image.width()); ++x)
                n += pred(At(image, x, y));
        return n;
    }
    static int Count(const QImage& image, const CRect& r, COLORREF colour) {
        return CountIf(image, r, [colour](COLORREF c) { return c == colour; });
    }

    void Mouse(UINT message, CPoint p) { platform::win::MouseInput(graph().GetSafeHwnd(), message, p); }
    std::vector<GraphNotice> Notices() {
        platform::PumpMessages();
        return std::exchange(owner.notices, {});
    }
    std::vector<GraphNotice> Tick(int ms = CFStatic::kNoticeMs) {
        clock.Advance(ms);
        return Notices();
    }

    platform::VirtualClock clock;
    TestResources res;
    CKTV_Data model;
    GraphOwner owner;

private:
    int m_savedShown[kOutputCount] = {};
    int m_savedWorkMode = 1;
    int m_savedChinese = 0;
};
