#include "controls/BitmapSlider.h"
#include "TestResources.h"
#include "controls/ButtonRadio.h"
#include "controls/SharedGdiObjects.h"
#include "model/DataDefine.h"
#include "model/Filter.h"
#include "platform/sys/UserMessages.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kChannel = RGB(0, 0, 160), kThumb = RGB(220, 30, 30), kKey = RGB(255, 0, 255);

class SliderDialog final : public CDialog {
public:
    CBitmapSlider slider;
    CButtonRadio radio;
    std::vector<std::pair<UINT, LPARAM>> notices;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 1100, slider);
        DDX_Control(dx, 1200, radio);
    }
    LRESULT OnTracking(WPARAM, LPARAM lp) {
        notices.push_back({UM_SLIDER_TRACKING, lp});
        return 0;
    }
    LRESULT OnPosition(WPARAM, LPARAM lp) {
        notices.push_back({UM_SLIDER_POSITION, lp});
        return 0;
    }
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT kind) {
        HBRUSH answer = CDialog::OnCtlColor(dc, wnd, kind);
        return kind == CTLCOLOR_DLG ? g_brDlgBk.GetHandle() : answer;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SliderDialog, CDialog)
ON_MESSAGE(UM_SLIDER_TRACKING, &SliderDialog::OnTracking)
ON_MESSAGE(UM_SLIDER_POSITION, &SliderDialog::OnPosition)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

class BitmapSliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        res.AddBitmap(40, 20, 110, kChannel);
        res.AddBitmap(41, 16, 10, kThumb);
        res.AddDialog(600, "DIALOG 600 0 0 200 120\n"
                           "CONTROL 1100 Static WS_VISIBLE 10 5 20 20 \"\"\n"
                           "CONTROL 1200 Button WS_VISIBLE|BS_AUTORADIOBUTTON 60 10 60 12 \"Left\"\n");
        if (!g_brDlgBk.GetSafeHandle())
            CreateDialogBrush();
        ASSERT_TRUE(dlg.Create(600));
        ASSERT_TRUE(dlg.slider.SetBitmapChannel(40, 0, FALSE, 0, 0, 0));
        ASSERT_TRUE(dlg.slider.SetBitmapThumb(41, 0, FALSE, 0, 0, 0));
        dlg.slider.SetRange(0, 100);
        dlg.slider.SetMargin(2, 5, 2, 5);
    }
    QImage Render() { return platform::win::RenderWindow(dlg.GetSafeHwnd()); }
    COLORREF At(const QImage& image, CWnd& w, int x, int y) {
        CRect r;
        w.GetWindowRect(&r);
        dlg.ScreenToClient(&r);
        const QRgb p = image.pixel(r.left + x, r.top + y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    std::vector<std::pair<UINT, LPARAM>> Notices() {
        platform::PumpMessages();
        return std::exchange(dlg.notices, {});
    }
    void Mouse(UINT m, int y) { platform::win::MouseInput(dlg.slider.GetSafeHwnd(), m, {10, y}); }

    platform::VirtualClock clock;
    TestResources res;
    SliderDialog dlg;
};

TEST_F(BitmapSliderTest, ThumbFollowsThePositionByKind) {
    // Travel of the thumb centre: 5 + 5 = 10 .. 110 - 5 - 5 = 100.
    struct Case {
        int kind, max, value, centre;
    } cases[] = {
        {0, 100, 100, 10}, {0, 100, 0, 100}, {10, 240, 320, 10}, {10, 240, 80, 100}, {33, 100, 50, 55}};
    for (const auto& c : cases) {
        dlg.slider.SetValueKind(c.kind);
        dlg.slider.SetRange(0, c.max);
        dlg.slider.SetPos(c.value);
        EXPECT_EQ(dlg.slider.GetPos(), c.value) << c.kind;
        const QImage image = Render();
        EXPECT_EQ(At(image, dlg.slider, 10, c.centre), kThumb) << c.kind << " " << c.value;
        EXPECT_EQ(At(image, dlg.slider, 10, c.centre - 6), kChannel) << c.kind << " " << c.value;
    }
}

TEST_F(BitmapSliderTest, TransparentThumbLetsTheChannelShowThroughItsKeyPixels) {
    res.AddBitmap(42, 16, 10, kKey); // every pixel has the key colour
    ASSERT_TRUE(dlg.slider.SetBitmapThumb(42, 0, TRUE, CBitmapSlider::kMaskFromPixel, 0, 0));
    dlg.slider.SetPos(50);
    EXPECT_EQ(At(Render(), dlg.slider, 10, 55), kChannel);
    // The same id again changes nothing, whatever the other arguments say.
    EXPECT_TRUE(dlg.slider.SetBitmapThumb(42, 0, FALSE, 0, 0, 0));
    EXPECT_EQ(At(Render(), dlg.slider, 10, 55), kChannel);
}

TEST_F(BitmapSliderTest, DraggingReportsEvery50MsAndOnRelease) {
    dlg.slider.SetPos(100); // raw 0, centre 10
    Notices();
    Mouse(WM_LBUTTONDOWN, 12); // on the thumb: a drag
    EXPECT_EQ(Notices(), (std::vector<std::pair<UINT, LPARAM>>{{UM_SLIDER_TRACKING, 0}})); // the focus
    Mouse(WM_MOUSEMOVE, 57);
    clock.Advance(50);
    EXPECT_EQ(Notices(), (std::vector<std::pair<UINT, LPARAM>>{{UM_SLIDER_TRACKING, 50}}));
    clock.Advance(50); // nothing changed since
    EXPECT_TRUE(Notices().empty());
    Mouse(WM_LBUTTONUP, 57);
    EXPECT_EQ(Notices(), (std::vector<std::pair<UINT, LPARAM>>{{UM_SLIDER_POSITION, 50}}));
    EXPECT_EQ(dlg.slider.GetPos(), 50);
}

TEST_F(BitmapSliderTest, APressBesideTheThumbStepsOnceAndDoesNotDrag) {
    dlg.slider.SetPos(100);
    Notices();
    Mouse(WM_LBUTTONDOWN, 90);
    Mouse(WM_MOUSEMOVE, 95);
    Mouse(WM_LBUTTONUP, 95);
    EXPECT_EQ(dlg.slider.GetRawPos(), 1);
    auto n = Notices();
    ASSERT_FALSE(n.empty());
    EXPECT_EQ(n.back(), (std::pair<UINT, LPARAM>{UM_SLIDER_POSITION, 1}));
}

TEST_F(BitmapSliderTest, KeysAndWheelClampAndAlwaysReport) {
    dlg.slider.SetFocus();
    dlg.slider.SetPos(5); // raw 95
    Notices();
    platform::win::KeyInput(VK_NEXT);
    EXPECT_EQ(dlg.slider.GetRawPos(), 100);
    platform::win::WheelInput(dlg.slider.GetSafeHwnd(), -WHEEL_DELTA, {5, 5});
    EXPECT_EQ(Notices(),
              (std::vector<std::pair<UINT, LPARAM>>{{UM_SLIDER_POSITION, 100}, {UM_SLIDER_POSITION, 100}}));
    platform::win::WheelInput(dlg.slider.GetSafeHwnd(), WHEEL_DELTA, {5, 5});
    platform::win::KeyInput(VK_HOME);
    EXPECT_EQ(Notices(),
              (std::vector<std::pair<UINT, LPARAM>>{{UM_SLIDER_POSITION, 99}, {UM_SLIDER_POSITION, 0}}));
}

TEST_F(BitmapSliderTest, ARadioButtonShowsTheDialogColourBehindItsCaption) {
    const QImage image = Render();
    EXPECT_EQ(At(image, dlg.radio, 50, 1), RGB(227, 228, 238));
}

} // namespace

namespace {

// A horizontal fader of 110 x 20 pixels: the thumb (10 x 16) travels with
// its centre from x 10 to 100, its top at y 2.
class HorizontalSliderTest : public BitmapSliderTest {
protected:
    void SetUp() override {
        BitmapSliderTest::SetUp();
        res.AddBitmap(50, 110, 20, kChannel);
        res.AddBitmap(51, 10, 16, kThumb);
        dlg.slider.SetVerticalDrag(FALSE);
        ASSERT_TRUE(dlg.slider.SetBitmapChannel(50, 0, FALSE, 0, 0, 0));
        ASSERT_TRUE(dlg.slider.SetBitmapThumb(51, 0, FALSE, 0, 0, 0));
        dlg.slider.SetValueKind(33);
        dlg.slider.SetRange(0, 100);
        dlg.slider.SetMargin(5, 2, 5, 2);
    }
    void MouseX(UINT m, int x) { platform::win::MouseInput(dlg.slider.GetSafeHwnd(), m, {x, 10}); }
};

TEST_F(HorizontalSliderTest, TheThumbTravelsAndIsDraggedAlongX) {
    const struct { int value, centre; } cases[] = {{0, 10}, {50, 55}, {100, 100}};
    for (const auto& c : cases) {
        dlg.slider.SetPos(c.value);
        const QImage image = Render();
        EXPECT_EQ(At(image, dlg.slider, c.centre, 10), kThumb) << c.value;
        EXPECT_EQ(At(image, dlg.slider, c.centre - 6, 10), kChannel) << c.value;
        EXPECT_EQ(At(image, dlg.slider, c.centre, 1), kChannel) << c.value; // above the thumb's top
    }

    dlg.slider.SetPos(0);
    Notices();
    MouseX(WM_LBUTTONDOWN, 12); // on the thumb
    MouseX(WM_MOUSEMOVE, 57);
    MouseX(WM_LBUTTONUP, 57);
    EXPECT_EQ(Notices().back(), (std::pair<UINT, LPARAM>{UM_SLIDER_POSITION, 50}));
    EXPECT_EQ(dlg.slider.GetPos(), 50);
    EXPECT_EQ(At(Render(), dlg.slider, 55, 10), kThumb);

    clock.Advance(1000);
    MouseX(WM_LBUTTONDOWN, 95); // beside the thumb: one step toward the press
    MouseX(WM_LBUTTONUP, 95);
    EXPECT_EQ(dlg.slider.GetPos(), 51);
}

// A filter bound to a real slider moves it: a crossover's frequency by its
// index, a band's dragged gain by its position.
TEST_F(BitmapSliderTest, AFilterMovesTheSliderBoundToIt) {
    CFilter crossover;
    crossover.SetHandlesMode(0);
    crossover.SetType(CFilter::HighPass);
    crossover.SetFreq(20, 0);
    crossover.SetGraphRect(CRect(40, 10, 640, 250));
    dlg.slider.SetValueKind(1);
    dlg.slider.SetRange(0, 240);
    crossover.SetLinkedSlider(&dlg.slider);
    crossover.SetFreq(1000, 1);
    EXPECT_EQ(dlg.slider.GetRawPos(), 240 - FreqToIndex(1000));
    crossover.SetLinkedSlider(nullptr);

    CFilter band;
    band.SetType(CFilter::Peaking);
    band.SetFreq(1000, 0);
    band.SetGainIndex(200);
    band.SetGraphRect(CRect(40, 10, 640, 250));
    dlg.slider.SetValueKind(0);
    dlg.slider.SetRange(0, 400);
    band.SetLinkedSlider(&dlg.slider);
    band.BeginDrag(band.GetHandleRect().CenterPoint());
    // 5 dB above the middle of the 24 dB plot.
    band.DragPoint(CPoint(band.GetHandleRect().CenterPoint().x, 10 + 120 - 50));
    EXPECT_EQ(band.GetGainIndex(), 250);
    EXPECT_EQ(dlg.slider.GetPos(), 250);
    EXPECT_EQ(dlg.slider.GetRawPos(), 150);
}

} // namespace
