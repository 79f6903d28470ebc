#include "controls/GradientProgressCtrl.h"
#include "TestResources.h"
#include "platform/sys/MessageWindow.h"
#include "platform/win/Dialog.h"
#include "platform/win/Window.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace {

constexpr COLORREF kBack = RGB(212, 208, 200); // COLOR_BTNFACE

COLORREF Band(int i) {
    return RGB(255 - i, 0, i);
}

class GradientProgressCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        res.AddDialog(620, "DIALOG 620 0 0 200 60\n");
        ASSERT_TRUE(dlg.Create(620));
    }
    void Make(int width, int height = 20) {
        ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, width, height}, &dlg, 2777));
    }
    QImage Render() {
        platform::PumpMessages();
        const QImage all = platform::win::RenderWindow(dlg.GetSafeHwnd());
        CRect r;
        bar.GetClientRect(&r);
        return all.copy(0, 0, r.Width(), r.Height());
    }
    static COLORREF At(const QImage& image, int x, int y = 10) {
        const QRgb p = image.pixel(x, y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    bool AllBackground(const QImage& image) {
        for (int x = 0; x < image.width(); ++x)
            if (At(image, x) != kBack)
                return false;
        return true;
    }

    TestResources res;
    CDialog dlg;
    CGradientProgressCtrl bar;
};

TEST_F(GradientProgressCtrlTest, AFullBarOf255PixelsShowsEveryBand) {
    Make(255);
    bar.SetRange(0, 100);
    bar.SetPos(100);
    const QImage image = Render();
    for (int x = 0; x < 255; ++x)
        ASSERT_EQ(At(image, x), Band(x)) << x;
}

TEST_F(GradientProgressCtrlTest, ANarrowBarStillRunsThroughAllBandsSomeOfThemEmpty) {
    Make(100);
    bar.SetRange(0, 100);
    bar.SetPos(100);
    const QImage image = Render();
    const float w = 100.0f / 255.0f;
    std::set<COLORREF> shown;
    for (int i = 0; i < 255; ++i) {
        const int left = int(float(i) * w), right = int(float(i + 1) * w);
        for (int x = left; x < right; ++x)
            EXPECT_EQ(At(image, x), Band(i)) << x;
        if (right > left)
            shown.insert(Band(i));
    }
    EXPECT_LT(shown.size(), 255u);
    EXPECT_EQ(At(image, 99), Band(254)); // the ramp reaches blue
}

TEST_F(GradientProgressCtrlTest, ThePartFilledEndsOnABandEdgeAndTheRestIsBackground) {
    Make(255);
    bar.SetRange(0, 100);
    bar.SetPos(50); // filled extent 127: band 127 crosses it and is drawn whole
    const QImage image = Render();
    EXPECT_EQ(At(image, 127), Band(127));
    EXPECT_EQ(At(image, 128), kBack);
    EXPECT_EQ(At(image, 254, 19), kBack);
}

TEST_F(GradientProgressCtrlTest, PositionsWithNothingToFillShowOnlyTheBackground) {
    Make(255);
    const struct {
        const char* name;
        int lower, upper, pos;
    } cases[] = {
        {"at the lower bound", 10, 100, 10},
        {"below the lower bound", 10, 100, 5},
        {"an upper bound of 0", -10, 0, -5},
        {"a negative upper bound", -10, -2, -5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bar.SetRange(c.lower, c.upper);
        bar.SetShowPercent(1);
        bar.SetPos(c.pos);
        EXPECT_TRUE(AllBackground(Render())); // no percentage either
    }
}

TEST_F(GradientProgressCtrlTest, APositionAboveTheUpperBoundIsTheUpperBound) {
    Make(255);
    bar.SetRange(0, 110);
    bar.SetPos(500);
    EXPECT_EQ(bar.GetCurPos(), 110);
    EXPECT_EQ(At(Render(), 254), Band(254));
    bar.SetPos(-20); // no lower clamp
    EXPECT_EQ(bar.GetCurPos(), -20);
}

TEST_F(GradientProgressCtrlTest, ThePercentageIsWholeOnlyAtTheEnd) {
    const struct {
        int pos, lower, upper;
        const char* text;
    } cases[] = {
        {55, 0, 110, "50.00 %"}, {110, 0, 110, "100 %"},  {1, 0, 3, "33.33 %"},
        {6, 5, 6, "100 %"},      {99, 0, 100, "99.00 %"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CGradientProgressCtrl::PercentText(c.pos, c.lower, c.upper), c.text);

    Make(255);
    bar.SetRange(0, 100);
    bar.SetPos(100);
    const QImage plain = Render();
    bar.SetShowPercent(1);
    bar.Invalidate();
    EXPECT_NE(Render(), plain); // the text is written over the ramp
}

TEST_F(GradientProgressCtrlTest, PositionsSetInABurstArePaintedOnce) {
    Make(255);
    bar.SetRange(0, 100);
    Render();
    auto* record = platform::win::Window::From(bar.GetSafeHwnd());
    const int before = record->paints;
    for (int pos = 1; pos <= 5; ++pos)
        bar.SetPos(pos * 10);
    platform::PumpMessages();
    EXPECT_EQ(record->paints, before);
    Render();
    EXPECT_EQ(record->paints, before + 1);
}

TEST_F(GradientProgressCtrlTest, SetPosFromAWorkerThreaded) {
    Make(255);
    bar.SetRange(0, 1000);
    CGradientProgressCtrl windowless; // posts nothing, keeps the position
    std::thread worker([&] {
        for (int pos = 1; pos <= 1000; ++pos) {
            bar.SetPos(pos);
            windowless.SetPos(pos);
            (void)bar.GetUpper();
        }
    });
    while (bar.GetCurPos() < 1000)
        platform::PumpMessages();
    worker.join();
    EXPECT_EQ(windowless.GetCurPos(), 100); // clamped to its upper bound
    EXPECT_EQ(At(Render(), 254), Band(254));
}

} // namespace
