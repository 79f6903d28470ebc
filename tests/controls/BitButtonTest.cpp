#include "controls/BitButton.h"
#include "TestResources.h"
#include "platform/sys/MessageWindow.h"
#include "platform/sys/UserMessages.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

#include <gtest/gtest.h>

namespace {

// Picture ids: unselected 11..13, selected 21..23, disabled 31 / 32.
constexpr COLORREF kNormal = RGB(200, 0, 0), kHover = RGB(0, 200, 0), kPressed = RGB(0, 0, 200);
constexpr COLORREF kSelNormal = RGB(200, 200, 0), kSelHover = RGB(0, 200, 200),
                   kSelPressed = RGB(200, 0, 200);
constexpr COLORREF kDisabled = RGB(90, 90, 90), kSelDisabled = RGB(160, 160, 160);

class ButtonDialog final : public CDialog {
public:
    CBitButton plain;
    CBitButton split;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 1001, plain);
        DDX_Control(dx, 2830, split);
    }
};

class BitButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        res.AddBitmap(11, 40, 20, kNormal);
        res.AddBitmap(12, 40, 20, kHover);
        res.AddBitmap(13, 40, 20, kPressed);
        res.AddBitmap(21, 40, 20, kSelNormal);
        res.AddBitmap(22, 40, 20, kSelHover);
        res.AddBitmap(23, 40, 20, kSelPressed);
        res.AddBitmap(31, 40, 20, kDisabled);
        res.AddBitmap(32, 40, 20, kSelDisabled);
        res.AddDialog(500, "DIALOG 500 0 0 200 100\n"
                           "CONTROL 1001 Button WS_VISIBLE|WS_TABSTOP 10 10 50 14 \"\"\n"
                           "CONTROL 2830 Button WS_VISIBLE 10 40 50 14 \"\"\n");
        ASSERT_TRUE(dlg.Create(500));
        dlg.plain.SetBitmaps(11, 12, 13, 21, 22, 23);
        dlg.plain.SetDisabledBitmaps(31, 32);
    }

    // The colour in the middle of the button, in the rendered dialog.
    COLORREF Shown(CWnd& button) {
        const QImage image = platform::win::RenderWindow(dlg.GetSafeHwnd());
        CRect r;
        button.GetWindowRect(&r);
        dlg.ScreenToClient(&r);
        const QRgb p = image.pixel(r.left + 3, r.top + 3);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }

    void Move(CWnd& w, int x = 5, int y = 5) {
        platform::win::MouseInput(w.GetSafeHwnd(), WM_MOUSEMOVE, {x, y});
    }

    platform::VirtualClock clock;
    TestResources res;
    ButtonDialog dlg;
};

TEST_F(BitButtonTest, EveryStateShowsItsPicture) {
    EXPECT_EQ(Shown(dlg.plain), kNormal);
    CRect r;
    dlg.plain.GetClientRect(&r);
    EXPECT_EQ(r.Width(), 40); // resized to its picture at the first paint
    EXPECT_EQ(r.Height(), 20);
    Move(dlg.plain);
    EXPECT_EQ(Shown(dlg.plain), kHover);
    platform::win::MouseInput(dlg.plain.GetSafeHwnd(), WM_LBUTTONDOWN, {5, 5});
    EXPECT_EQ(Shown(dlg.plain), kPressed);
    platform::win::MouseInput(dlg.plain.GetSafeHwnd(), WM_LBUTTONUP, {5, 5});
    dlg.plain.SetSelected(TRUE);
    EXPECT_EQ(Shown(dlg.plain), kSelHover);
    clock.Advance(1000); // not a double click
    platform::win::MouseInput(dlg.plain.GetSafeHwnd(), WM_LBUTTONDOWN, {5, 5});
    EXPECT_EQ(Shown(dlg.plain), kSelPressed);
    platform::win::MouseInput(dlg.plain.GetSafeHwnd(), WM_LBUTTONUP, {5, 5});
    platform::win::MouseLeftWindows();
    platform::PumpMessages(); // the leave notice is posted
    EXPECT_EQ(Shown(dlg.plain), kSelNormal);
    dlg.plain.EnableWindow(FALSE);
    EXPECT_EQ(Shown(dlg.plain), kSelDisabled);
    dlg.plain.SetSelected(FALSE);
    EXPECT_EQ(Shown(dlg.plain), kDisabled);
}

TEST_F(BitButtonTest, PressedWithoutHoverShowsNormalAndZeroSelectedIdsCopyUnselected) {
    dlg.plain.SetBitmaps(11, 12, 13, 21, 0, 0);
    dlg.plain.SetSelected(TRUE);
    Move(dlg.plain);
    EXPECT_EQ(Shown(dlg.plain), kHover); // the selected hover id was 0
    platform::win::MouseInput(dlg.plain.GetSafeHwnd(), WM_LBUTTONDOWN, {5, 5});
    platform::win::MouseLeftWindows();
    platform::PumpMessages();
    EXPECT_EQ(Shown(dlg.plain), kSelNormal); // pressed but not hovering
}

TEST_F(BitButtonTest, AllZeroIdsPaintTheButtonFace) {
    EXPECT_EQ(Shown(dlg.split), GetSysColor(COLOR_BTNFACE));
    dlg.split.EnableWindow(FALSE);
    EXPECT_EQ(Shown(dlg.split), GetSysColor(COLOR_BTNFACE));
}

TEST_F(BitButtonTest, SetSelectedRepaintsEvenWithTheSameValue) {
    Shown(dlg.plain);
    dlg.plain.SetSelected(FALSE);
    EXPECT_FALSE(platform::win::Window::From(dlg.plain.GetSafeHwnd())->invalid.isEmpty());
}

TEST_F(BitButtonTest, TheHandCursorShowsOverTheButton) {
    Move(dlg.plain);
    const auto* cursor = platform::win::CurrentCursor();
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->resourceId, 213u);
}

class RecordingDialog final : public CDialog {
public:
    CBitButton split;
    CBitButton other;
    int commands = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 2830, split);
        DDX_Control(dx, 1001, other);
    }
    LRESULT OnButtonClick(WPARAM wp, LPARAM) {
        clicks.push_back(wp);
        return 0;
    }
    void OnSplitClicked() { ++commands; }
    DECLARE_MESSAGE_MAP()

public:
    std::vector<WPARAM> clicks;
};

BEGIN_MESSAGE_MAP(RecordingDialog, CDialog)
ON_MESSAGE(UM_BUTTON_CLICK, &RecordingDialog::OnButtonClick)
ON_BN_CLICKED(2830, &RecordingDialog::OnSplitClicked)
END_MESSAGE_MAP()

TEST(ClickSplit, SingleDoubleAndRightClicksOfControl2830) {
    platform::VirtualClock clock;
    TestResources res;
    res.AddDialog(501, "DIALOG 501 0 0 200 100\n"
                       "CONTROL 2830 Button WS_VISIBLE 10 40 50 14 \"\"\n"
                       "CONTROL 1001 Button WS_VISIBLE 10 10 50 14 \"\"\n");
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Create(501));
    const HWND split = dlg.split.GetSafeHwnd();
    auto click = [&](UINT down, UINT up) {
        platform::win::MouseInput(split, down, {5, 5});
        platform::win::MouseInput(split, up, {5, 5});
        platform::PumpMessages();
    };
    auto take = [&] {
        platform::PumpMessages();
        return std::exchange(dlg.clicks, {});
    };

    click(WM_LBUTTONDOWN, WM_LBUTTONUP);
    clock.Advance(199);
    EXPECT_TRUE(take().empty());
    clock.Advance(1);
    EXPECT_EQ(take(), std::vector<WPARAM>{0x201});
    EXPECT_EQ(dlg.commands, 1); // the ordinary click notice stays

    clock.Advance(1000);
    click(WM_LBUTTONDOWN, WM_LBUTTONUP);
    clock.Advance(100);
    click(WM_LBUTTONDOWN, WM_LBUTTONUP); // within 200 ms: a double click only
    EXPECT_EQ(take(), std::vector<WPARAM>{0x203});
    clock.Advance(500);
    EXPECT_TRUE(take().empty());

    clock.Advance(1000);
    click(WM_LBUTTONDOWN, WM_LBUTTONUP);
    clock.Advance(300); // slower, but within the double-click time
    click(WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_EQ(take(), (std::vector<WPARAM>{0x201, 0x203}));

    clock.Advance(1000);
    click(WM_RBUTTONDOWN, WM_RBUTTONUP);
    EXPECT_EQ(take(), std::vector<WPARAM>{0x204});

    platform::win::MouseInput(dlg.other.GetSafeHwnd(), WM_LBUTTONDOWN, {5, 5});
    platform::win::MouseInput(dlg.other.GetSafeHwnd(), WM_RBUTTONDOWN, {5, 5});
    clock.Advance(1000);
    EXPECT_TRUE(take().empty()); // only control 2830 splits its clicks
}

} // namespace
