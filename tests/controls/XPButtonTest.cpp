#include "controls/XPButton.h"
#include "TestResources.h"
#include "platform/sys/MessageWindow.h"
#include "platform/sys/UserMessages.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

#include <gtest/gtest.h>

namespace {

// Checked pictures 21..23, unchecked 11..13, all 30 x 16.
constexpr COLORREF kNormal = RGB(200, 0, 0), kHover = RGB(0, 200, 0), kPressed = RGB(0, 0, 200);
constexpr COLORREF kChkNormal = RGB(200, 200, 0), kChkHover = RGB(0, 200, 200),
                   kChkPressed = RGB(200, 0, 200);
constexpr COLORREF kOld = RGB(1, 2, 3);

class XPDialog final : public CDialog {
public:
    CXPButton button;
    int notices = 0;
    int clicks = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 8801, button); }
    LRESULT OnMoveNotice(WPARAM, LPARAM id) {
        EXPECT_EQ(id, 8801);
        ++notices;
        return 0;
    }
    void OnClicked() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(XPDialog, CDialog)
ON_MESSAGE(UM_MOUSE_MOVE_NOTIFY, &XPDialog::OnMoveNotice)
ON_BN_CLICKED(8801, &XPDialog::OnClicked)
END_MESSAGE_MAP()

class XPButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        res.AddBitmap(11, 30, 16, kNormal);
        res.AddBitmap(12, 30, 16, kHover);
        res.AddBitmap(13, 30, 16, kPressed);
        res.AddBitmap(21, 30, 16, kChkNormal);
        res.AddBitmap(22, 30, 16, kChkHover);
        res.AddBitmap(23, 30, 16, kChkPressed);
        res.AddDialog(610, "DIALOG 610 0 0 120 60\n"
                           "CONTROL 8801 Button WS_VISIBLE|BS_OWNERDRAW 10 10 20 10 \"\"\n");
        ASSERT_TRUE(dlg.Create(610));
        platform::win::RenderWindow(dlg.GetSafeHwnd());
    }

    // What the button's window holds now, without painting anything.
    COLORREF Held() {
        const QRgb p = platform::win::Window::From(dlg.button.GetSafeHwnd())->backing.pixel(2, 2);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    COLORREF Shown() {
        platform::win::RenderWindow(dlg.GetSafeHwnd());
        return Held();
    }
    // Marks the window's pixels, so a look that draws nothing shows it.
    void Mark() { platform::win::Window::From(dlg.button.GetSafeHwnd())->backing.fill(QColor(1, 2, 3)); }
    void Move(int x = 4) { platform::win::MouseInput(dlg.button.GetSafeHwnd(), WM_MOUSEMOVE, {x, 4}); }
    void Leave() {
        platform::win::MouseLeftWindows();
        platform::PumpMessages();
    }

    platform::VirtualClock clock;
    TestResources res;
    XPDialog dlg;
};

TEST_F(XPButtonTest, SetBitmapsTakesTheCheckedSetFirstAndANewButtonIsChecked) {
    dlg.button.SetBitmaps(21, 22, 23, 11, 12, 13);
    EXPECT_EQ(Held(), kChkNormal); // drawn at once, no paint message needed
    EXPECT_EQ(dlg.button.GetCheck(), 1);
    dlg.button.SetCheck(0);
    EXPECT_EQ(Held(), kNormal);
    CRect r;
    dlg.button.GetClientRect(&r);
    EXPECT_EQ(r.Size(), CSize(30, 16)); // the picture's size
}

TEST_F(XPButtonTest, TheMouseChoosesNormalHoverAndPressedLooks) {
    const struct {
        int check;
        COLORREF normal, hover, pressed;
    } sets[] = {{1, kChkNormal, kChkHover, kChkPressed},
                {7, kChkNormal, kChkHover, kChkPressed},
                {0, kNormal, kHover, kPressed}};
    dlg.button.SetBitmaps(21, 22, 23, 11, 12, 13);
    for (const auto& s : sets) {
        SCOPED_TRACE(s.check);
        dlg.button.SetCheck(s.check);
        EXPECT_EQ(Shown(), s.normal);
        Move();
        EXPECT_EQ(Shown(), s.hover);
        platform::win::MouseInput(dlg.button.GetSafeHwnd(), WM_LBUTTONDOWN, {4, 4});
        EXPECT_EQ(Held(), s.pressed);
        platform::win::MouseInput(dlg.button.GetSafeHwnd(), WM_LBUTTONUP, {4, 4});
        EXPECT_EQ(Held(), s.hover);
        Leave();
        EXPECT_EQ(Shown(), s.normal);
        clock.Advance(1000);
    }
    EXPECT_EQ(dlg.clicks, 3);
    EXPECT_EQ(dlg.button.GetCheck(), 0); // a click never flips it
}

TEST_F(XPButtonTest, ALookWithIdZeroOrNamingNoPictureDrawsNothing) {
    // The connect button: only checked looks exist.
    dlg.button.SetBitmaps(21, 22, 22, 0, 0, 0);
    Mark();
    dlg.button.SetCheck(0);
    EXPECT_EQ(Held(), kOld);
    dlg.button.SetBitmaps(9999, 9998, 9997, 0, 0, 0); // no such pictures
    dlg.button.SetCheck(1);
    EXPECT_EQ(Held(), kOld);

    // No hover look: while the mouse is over it, pressed or not, a paint
    // leaves what lies under the button.
    const COLORREF under = GetSysColor(COLOR_BTNFACE);
    dlg.button.SetBitmaps(21, 0, 23, 11, 12, 13);
    Move();
    EXPECT_EQ(Shown(), under);
    platform::win::MouseInput(dlg.button.GetSafeHwnd(), WM_LBUTTONDOWN, {4, 4});
    EXPECT_EQ(Shown(), under);
    platform::win::MouseInput(dlg.button.GetSafeHwnd(), WM_LBUTTONUP, {4, 4});
    Leave();
    EXPECT_EQ(Shown(), kChkNormal);
}

TEST_F(XPButtonTest, OneMoveNoticePerEntryWhenEnabled) {
    dlg.button.SetBitmaps(21, 22, 23, 11, 12, 13);
    Move(3);
    EXPECT_EQ(dlg.notices, 0); // off by default
    Leave();
    dlg.button.SetUserValue(1);
    Move(3);
    Move(5);
    Move(6);
    EXPECT_EQ(dlg.notices, 1);
    Leave();
    Move(7);
    EXPECT_EQ(dlg.notices, 2);
}

} // namespace
