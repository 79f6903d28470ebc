#include "platform/win/PaintDC.h"
#include "platform/win/Window.h"
#include "platform/win/Wnd.h"

#include <gtest/gtest.h>

namespace {

TEST(ScrollBar, PositionKeepsAPageInsideTheRangeAndAnEmptyRangeHides) {
    struct Case {
        int min, max;
        UINT page;
        int pos;
        int expectPos;
        bool shown;
    };
    const Case cases[] = {
        {0, 199, 100, 50, 50, true}, {0, 199, 100, 150, 100, true}, // max - page + 1
        {0, 199, 0, 500, 199, true}, {0, 199, 100, -5, 0, true},    //
        {0, 0, 100, 30, 0, false},   {0, 99, 100, 10, 0, false},    // fits in one page
        {10, 20, 5, 0, 10, true},
    };
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, "AfxWnd", "", WS_POPUP, RECT{0, 0, 100, 100}, nullptr, 0));
    for (const Case& c : cases) {
        SCROLLINFO si;
        si.fMask = SIF_PAGE; // before the range, as a grid sets it
        si.nPage = c.page;
        wnd.SetScrollInfo(SB_VERT, &si);
        wnd.SetScrollRange(SB_VERT, c.min, c.max);
        wnd.SetScrollPos(SB_VERT, c.pos);
        EXPECT_EQ(wnd.GetScrollPos(SB_VERT), c.expectPos) << c.max << " " << c.page << " " << c.pos;
        EXPECT_EQ((wnd.GetStyle() & WS_VSCROLL) != 0, c.shown) << c.max << " " << c.page;
        SCROLLINFO track;
        wnd.GetScrollInfo(SB_VERT, &track, SIF_TRACKPOS);
        EXPECT_EQ(track.nTrackPos, c.expectPos);
    }
    EXPECT_EQ(wnd.GetScrollPos(SB_HORZ), 0);
    EXPECT_FALSE(wnd.GetStyle() & WS_HSCROLL);
}

// A window painting one colour per row band, so moved pixels show where they went.
class Bands final : public CWnd {
public:
    int paints = 0;
    QRect painted;

protected:
    DECLARE_MESSAGE_MAP()
    void OnPaint() {
        CPaintDC dc(this);
        ++paints;
        painted = QRect(QPoint(dc.m_ps.rcPaint.left, dc.m_ps.rcPaint.top),
                        QPoint(dc.m_ps.rcPaint.right - 1, dc.m_ps.rcPaint.bottom - 1));
        for (int y = 0; y < 100; y += 10)
            dc.FillSolidRect(0, y, 100, 10, RGB(y * 2, 0, 0));
    }
};

BEGIN_MESSAGE_MAP(Bands, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(ScrollWindow, MovesThePixelsAndInvalidatesOnlyWhatTheyUncovered) {
    Bands wnd;
    ASSERT_TRUE(wnd.CreateEx(0, "AfxWnd", "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100}, nullptr, 0));
    platform::win::RenderWindow(wnd.GetSafeHwnd());
    const auto pixel = [&](int y) {
        return qRed(platform::win::Window::From(wnd.GetSafeHwnd())->backing.pixel(5, y));
    };
    // Up by 10 below a 20-pixel header: the header stays.
    const RECT area{0, 30, 100, 100};
    wnd.ScrollWindow(0, -10, &area);
    EXPECT_EQ(pixel(25), 60); // band 30..39 moved up to 20..29
    EXPECT_EQ(pixel(15), 20); // untouched
    EXPECT_EQ(platform::win::Window::From(wnd.GetSafeHwnd())->invalid.boundingRect(), QRect(0, 90, 100, 10));
    const int before = wnd.paints;
    platform::win::RenderWindow(wnd.GetSafeHwnd());
    EXPECT_EQ(wnd.paints, before + 1);
    EXPECT_EQ(wnd.painted, QRect(0, 90, 100, 10));

    // Down by 10 from the header: the strip under it is to be painted.
    const RECT below{0, 20, 100, 100};
    wnd.ScrollWindow(0, 10, &below);
    EXPECT_EQ(pixel(35), 60);
    EXPECT_EQ(platform::win::Window::From(wnd.GetSafeHwnd())->invalid.boundingRect(), QRect(0, 20, 100, 10));
}

} // namespace
