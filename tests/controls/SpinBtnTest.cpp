#include "controls/SpinBtn.h"
#include "SpinDialog.h"
#include "TestResources.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/Globals.h"
#include "platform/sys/UserMessages.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kNormal = RGB(10, 10, 10), kLeft = RGB(200, 0, 0), kActive = RGB(0, 200, 0),
                   kRight = RGB(0, 0, 200);

// The output page's delay edit: read-only, with its spin button over it.
class SpinBtnTest : public ::testing::Test {
protected:
    void SetUp() override {
        res.AddBitmap(804, 93, 18, kNormal);
        res.AddBitmap(805, 93, 18, kLeft);
        res.AddBitmap(806, 93, 18, kActive);
        res.AddBitmap(807, 93, 18, kRight);
        res.AddDialog(732, "DIALOG 732 0 0 200 80\n"
                           "CONTROL 1000 Edit WS_VISIBLE|WS_TABSTOP 10 10 70 12 \"\"\n"
                           "CONTROL 1001 msctls_updown32 UDS_ARROWKEYS 92 10 10 12 \"\"\n"
                           "CONTROL 1002 Button WS_VISIBLE|WS_TABSTOP 10 40 50 14 \"OK\"\n");
        ASSERT_TRUE(dlg.Create(732));
        dlg.GetDlgItem(1002)->SetFocus();
        dlg.spin.SetBuddy(&dlg.edit);
        dlg.spin.SetRange(0, 384);
        dlg.edit.SetType(0, "MS");
        dlg.spin.SetMode(2);
        dlg.edit.CreateSpin(2000);
        button().SetBitmaps(804, 805, 806, 807);
        dlg.edit.AttachSpin(1001, &dlg.spin);
        dlg.edit.SetReadOnly(TRUE);
        dlg.spin.SetPos(100);
    }
    CSpinBtn& button() { return dlg.edit.GetSpinButton(); }
    void Mouse(UINT message, int x) { platform::win::MouseInput(button().GetSafeHwnd(), message, {x, 9}); }
    // A click on the button gives the edit the focus and switches it on.
    void Activate(int x) {
        Mouse(WM_LBUTTONDOWN, x);
        platform::PumpMessages();
        Mouse(WM_LBUTTONUP, x);
    }
    void Wait(int ms) {
        clock.Advance(ms);
        platform::PumpMessages();
    }
    std::vector<CString> Events() {
        platform::PumpMessages();
        return std::exchange(dlg.events, {});
    }
    COLORREF ButtonPixel() {
        const QImage image = platform::win::RenderWindow(dlg.GetSafeHwnd());
        CRect r;
        button().GetWindowRect(&r);
        dlg.ScreenToClient(&r);
        const QRgb p = image.pixel(r.left + 2, r.top + 2);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }

    platform::VirtualClock clock;
    TestResources res;
    SpinDialog dlg;
};

TEST_F(SpinBtnTest, TheButtonTakesThePictureSizeAndItsParts) {
    CRect r;
    button().GetClientRect(&r);
    EXPECT_EQ(r.Size(), CSize(93, 18));
    EXPECT_EQ(button().GetLeftPart(), CRect(0, 0, 16, 18));
    EXPECT_EQ(button().GetMiddlePart(), CRect(16, 0, 76, 18));
    EXPECT_EQ(button().GetRightPart(), CRect(76, 0, 93, 18));
}

TEST_F(SpinBtnTest, ShownOnlyWhileReadOnlyWithTheEditsText) {
    EXPECT_TRUE(button().GetStyle() & WS_VISIBLE);
    EXPECT_EQ(button().GetWindowText(), "2.083");
    dlg.spin.SetPos(47);
    EXPECT_EQ(button().GetWindowText(), "0.979");
    EXPECT_EQ(ButtonPixel(), kNormal);
    dlg.edit.SetReadOnly(FALSE);
    EXPECT_FALSE(button().GetStyle() & WS_VISIBLE);
}

TEST_F(SpinBtnTest, AClickOnlyActivatesADoubleClickOnASideSteps) {
    Activate(84);
    EXPECT_EQ(::GetFocus(), dlg.edit.GetSafeHwnd());
    EXPECT_TRUE(button().IsActive());
    EXPECT_EQ(Events(), std::vector<CString>{"edit"}); // the edit's click notice
    EXPECT_EQ(dlg.spin.GetPos(), 100);
    EXPECT_EQ(ButtonPixel(), kActive);

    Mouse(WM_MOUSEMOVE, 85);
    EXPECT_EQ(button().GetState(), 3);
    EXPECT_EQ(ButtonPixel(), kRight);
    Mouse(WM_LBUTTONDOWN, 85); // the second press of a double click
    Mouse(WM_LBUTTONUP, 85);
    EXPECT_EQ(dlg.spin.GetPos(), 101);
    EXPECT_EQ(Events(), (std::vector<CString>{"spin 101", "step 1001 1"}));
    EXPECT_EQ(dlg.edit.GetWindowText(), "2.104");
    EXPECT_EQ(button().GetWindowText(), "2.104");
}

TEST_F(SpinBtnTest, HeldAfterAHoverItStepsEvery100MsByThePartUnderThePointer) {
    Activate(40);
    Wait(600);
    Events();
    Mouse(WM_LBUTTONDOWN, 40);
    platform::PumpMessages();
    Mouse(WM_MOUSEMOVE, 5); // the left part
    Wait(1);                // the hover notice
    platform::PumpMessages();
    Wait(100);
    EXPECT_EQ(dlg.spin.GetPos(), 99);
    Wait(100);
    EXPECT_EQ(dlg.spin.GetPos(), 98);
    Mouse(WM_MOUSEMOVE, 40); // the middle steps nothing
    Wait(300);
    EXPECT_EQ(dlg.spin.GetPos(), 98);
    Mouse(WM_MOUSEMOVE, 90);
    Wait(100);
    EXPECT_EQ(dlg.spin.GetPos(), 99);
    Mouse(WM_LBUTTONUP, 90);
    Wait(500);
    EXPECT_EQ(dlg.spin.GetPos(), 99);
    EXPECT_EQ(Events(), (std::vector<CString>{"edit", "spin 99", "step 1001 -1", "spin 98", "step 1001 -1",
                                              "spin 99", "step 1001 1"}));
}

TEST_F(SpinBtnTest, AMissingPictureDrawsTheButtonFace) {
    button().SetBitmaps(804, 805, 9999, 807);
    Activate(40);
    EXPECT_EQ(ButtonPixel(), GetSysColor(COLOR_BTNFACE));
}

} // namespace
