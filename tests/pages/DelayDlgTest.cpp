#include "pages/output/DelayDlg.h"
#include "model/Globals.h"
#include "platform/sys/UserMessages.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Input.h"
#include "tests/app/ShellFixture.h"

#include <gtest/gtest.h>

namespace {

using apptest::SolidPictures;

class DelayDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_bChinese = 0;
        pictures.AddDialog(apptest::RecordingParent::IDD, apptest::RecordingParent::kTemplate);
        ASSERT_TRUE(page.Create(apptest::RecordingParent::IDD));
        // As the output page places it.
        ASSERT_TRUE(panel.Create(CDelayDlg::IDD, &page));
        panel.m_pPage = &page;
        panel.MoveWindow(7, 310 - 300, 120, 140);
        panel.ShowWindow(SW_SHOW);
        panel.SetUnitButton1(1);
        page.ShowWindow(SW_SHOW);
    }
    void TearDown() override { g_bChinese = 0; }

    CWnd& Button(UINT id) { return *panel.GetDlgItem(int(id)); }
    void Click(UINT id) {
        platform::win::MouseInput(Button(id).GetSafeHwnd(), WM_LBUTTONDOWN, {4, 4});
        platform::win::MouseInput(Button(id).GetSafeHwnd(), WM_LBUTTONUP, {4, 4});
        platform::win::MouseLeftWindows();
    }
    // The pictures the three buttons show, MS, CM, INCH.
    std::array<COLORREF, 3> Shown() {
        platform::PumpMessages();
        return {apptest::CentreOf(page, Button(2819)), apptest::CentreOf(page, Button(2820)),
                apptest::CentreOf(page, Button(2821))};
    }
    static std::array<COLORREF, 3> Pictures(UINT ms, UINT cm, UINT inch) {
        return {SolidPictures::ColorOf(ms), SolidPictures::ColorOf(cm), SolidPictures::ColorOf(inch)};
    }

    platform::VirtualClock clock;
    SolidPictures pictures;
    apptest::RecordingParent page;
    CDelayDlg panel;
};

TEST_F(DelayDlgTest, StartsWithMillisecondsOnAndPostsNothing) {
    EXPECT_EQ(Shown(), Pictures(4322, 4323, 4326));
    EXPECT_TRUE(page.Take(UM_DELAY_UNIT_CHANGED).empty());
    // The background of the language, at the panel's corner.
    const QImage image = platform::win::RenderWindow(page.GetSafeHwnd());
    CRect r;
    panel.GetWindowRect(&r);
    page.ScreenToClient(&r);
    EXPECT_EQ(apptest::PixelAt(image, r.left + 2, r.top + 2), SolidPictures::ColorOf(1005));
}

TEST_F(DelayDlgTest, AClickTurnsTheOthersOffAndPostsItsUnitEvenWhenAlreadyOn) {
    const WPARAM id = WPARAM(panel.GetDlgCtrlID());
    Click(2820);
    EXPECT_EQ(Shown(), Pictures(4320, 4325, 4326));
    Click(2820);
    Click(2821);
    EXPECT_EQ(Shown(), Pictures(4320, 4323, 4328));
    using M = apptest::RecordingParent::Message;
    EXPECT_EQ(page.Take(UM_DELAY_UNIT_CHANGED), (std::vector<M>{{UM_DELAY_UNIT_CHANGED, id, 2},
                                                                {UM_DELAY_UNIT_CHANGED, id, 2},
                                                                {UM_DELAY_UNIT_CHANGED, id, 3}}));
    EXPECT_EQ(panel.GetUnitState(CDelayDlg::kInch), 1);
    EXPECT_EQ(panel.GetUnitState(CDelayDlg::kCm), 0);
}

TEST_F(DelayDlgTest, ALanguageSwitchKeepsTheUnitAndReskinsTheButtons) {
    Click(2821);
    page.Take(UM_DELAY_UNIT_CHANGED);
    g_bChinese = 1;
    panel.SetUnitButtons(panel.GetUnitState(CDelayDlg::kMs), panel.GetUnitState(CDelayDlg::kCm),
                         panel.GetUnitState(CDelayDlg::kInch));
    panel.Invalidate();
    EXPECT_EQ(Shown(), Pictures(4330, 4333, 4338));
    EXPECT_TRUE(page.Take(UM_DELAY_UNIT_CHANGED).empty());
}

TEST_F(DelayDlgTest, EnterAndEscapeOnlyTakeTheFocus) {
    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        Button(2820).SetFocus();
        platform::win::KeyInput(key);
        EXPECT_EQ(CWnd::GetFocus(), &panel);
    }
    EXPECT_TRUE(page.Take(UM_DELAY_UNIT_CHANGED).empty());
    EXPECT_TRUE(panel.IsWindowVisible());
}

TEST(DelayDlgPicture, BothLanguages) {
    platform::VirtualClock clock;
    SolidPictures pictures(false);
    pictures.AddDialog(apptest::RecordingParent::IDD, "DIALOG 9901 0 0 90 100\nSTYLE WS_POPUP\n");
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        apptest::RecordingParent page;
        ASSERT_TRUE(page.Create(apptest::RecordingParent::IDD));
        CDelayDlg panel;
        ASSERT_TRUE(panel.Create(CDelayDlg::IDD, &page));
        panel.MoveWindow(0, 0, 120, 140);
        panel.ShowWindow(SW_SHOW);
        panel.SetUnitButton2(1);
        page.MoveWindow(0, 0, 120, 140);
        page.ShowWindow(SW_SHOW);
        EXPECT_TRUE(
            apptest::SavePicture(page.GetSafeHwnd(), chinese ? "delay_panel_zh.png" : "delay_panel_en.png"));
    }
    g_bChinese = 0;
}

} // namespace
