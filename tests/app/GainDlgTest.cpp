// The master gain panel: fader, number and mute as the user works them, the
// values it posts to its parent and the background it paints.

#include "app/GainDlg.h"
#include "model/Globals.h"
#include "platform/sys/RecordingMessageBox.h"
#include "platform/sys/UserMessages.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Input.h"
#include "tests/app/ShellFixture.h"
#include "tests/link/FakePing.h"
#include "tests/link/SyncFixture.h"

#include <gtest/gtest.h>

namespace {

using apptest::SolidPictures;

// The panel as the view sets it up.
inline void SetUpAsTheView(CGainDlg& panel, CWnd& parent, int value) {
    ASSERT_TRUE(panel.Create(CGainDlg::IDD, &parent));
    panel.SetDlgCtrlID(2818);
    panel.MoveWindow(25, 20, 84, 220);
    panel.SetFaderBitmaps(357, 357, FALSE, 0xFF000000, 0, 0);
    panel.SetFaderThumb(358, 282, FALSE, 0xFF000000, 0, 0);
    panel.SetFaderRange(0, CGainDlg::kMaxValue, FALSE);
    panel.SetFaderPos(value);
    panel.ShowWindow(SW_SHOW);
    parent.ShowWindow(SW_SHOW);
}

class GainDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_bChinese = 0;
        g_bPresetLocked = 0;
        g_bMasterOn = 1;
        pictures.AddDialog(apptest::RecordingParent::IDD, apptest::RecordingParent::kTemplate);
        ASSERT_TRUE(parent.Create(apptest::RecordingParent::IDD));
        SetUpAsTheView(panel, parent, 40);
        parent.Take(UM_MASTER_GAIN_CHANGED);
    }
    void TearDown() override {
        g_bChinese = 0;
        g_bPresetLocked = 0;
        g_bMasterOn = 1;
    }

    std::vector<LPARAM> Posted() {
        std::vector<LPARAM> values;
        for (const auto& m : parent.Take(UM_MASTER_GAIN_CHANGED)) {
            EXPECT_EQ(m.wParam, 2818u);
            values.push_back(m.lParam);
        }
        return values;
    }
    // The fader's thumb centre in the fader, found by its picture's colour.
    int ThumbY() {
        const QImage image = platform::win::RenderWindow(parent.GetSafeHwnd());
        CRect r;
        panel.m_fader.GetWindowRect(&r);
        parent.ScreenToClient(&r);
        const int x = r.left + 36 + 7; // the left margin, then half the thumb
        int first = -1, last = -1;
        for (int y = 0; y < r.Height(); ++y) {
            const COLORREF c = apptest::PixelAt(image, x, r.top + y);
            if (c == SolidPictures::ColorOf(358) || c == SolidPictures::ColorOf(282)) {
                first = first < 0 ? y : first;
                last = y;
            }
        }
        return (first + last) / 2;
    }
    void Fader(UINT message, int y) {
        platform::win::MouseInput(panel.m_fader.GetSafeHwnd(), message, {43, y});
    }
    void Type(const char* text) {
        panel.m_edit.SetFocus();
        panel.m_edit.SetSel(0, -1);
        for (const char* p = text; *p; ++p)
            platform::win::CharInput(UINT(static_cast<unsigned char>(*p)));
        platform::win::KeyInput(VK_RETURN);
    }
    COLORREF Background() {
        panel.Invalidate();
        const QImage image = platform::win::RenderWindow(parent.GetSafeHwnd());
        CRect r;
        panel.GetWindowRect(&r);
        parent.ScreenToClient(&r);
        return apptest::PixelAt(image, r.left + 1, r.top + 1);
    }

    platform::VirtualClock clock;
    platform::RecordingMessageBox boxes;
    SolidPictures pictures;
    apptest::RecordingParent parent;
    CGainDlg panel;
};

TEST_F(GainDlgTest, ADragPostsEachNewValueAndTheReleasePostsAgainAndFocusesTheNumber) {
    const int y = ThumbY();
    ASSERT_GT(y, 0);
    Fader(WM_LBUTTONDOWN, y);
    Posted(); // the press takes the focus
    std::vector<LPARAM> seen;
    for (int step = 1; step <= 3; ++step) {
        Fader(WM_MOUSEMOVE, y + 10 * step);
        clock.Advance(50);
        const auto posted = Posted();
        ASSERT_EQ(posted.size(), 1u) << step;
        EXPECT_EQ(posted[0], panel.GetFaderPos());
        EXPECT_EQ(panel.m_spin.GetPos(), panel.GetFaderPos());
        seen.push_back(posted[0]);
    }
    EXPECT_NE(seen.front(), seen.back());
    Fader(WM_LBUTTONUP, y + 30);
    EXPECT_EQ(Posted(), std::vector<LPARAM>{panel.GetFaderPos()});
    EXPECT_EQ(CWnd::GetFocus(), &panel.m_edit);
}

TEST_F(GainDlgTest, ATypedValueMovesTheFaderAndNothingOutsideTheRangeIsPosted) {
    struct Case {
        const char* typed;
        int value; // -1: stays as it was
        const char* shown;
    };
    // -1: whatever the edit makes of it, as long as it stays in range.
    const Case cases[] = {
        {"-10", 50, "-10dB"}, {"6", 66, "6dB"},     {"12", 66, "6dB"},      {"-60", 0, "OFF"},
        {"-99", 0, "OFF"},    {"nan", -1, nullptr}, {"1e999", -1, nullptr}, {"abc", 40, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        panel.SetFaderPos(40);
        Type(c.typed);
        EXPECT_EQ(CWnd::GetFocus(), &panel) << "Enter commits by taking the focus";
        for (LPARAM v : Posted())
            EXPECT_TRUE(v >= 0 && v <= CGainDlg::kMaxValue) << v;
        EXPECT_EQ(panel.m_spin.GetPos(), panel.GetFaderPos());
        if (c.value >= 0) {
            EXPECT_EQ(panel.GetFaderPos(), c.value);
        }
        if (c.shown) {
            EXPECT_EQ(panel.m_edit.GetWindowText(), c.shown);
        }
    }
    g_bChinese = 1;
    panel.SetFaderPos(0);
    EXPECT_EQ(panel.m_edit.GetWindowText(), "关闭");
}

// The arrow keys step from the value the view set, not from an older copy.
TEST_F(GainDlgTest, AnArrowKeyStepsFromTheValueSet) {
    const struct {
        int set;
        UINT key;
        LPARAM posted;
    } cases[] = {{40, VK_UP, 41}, {20, VK_DOWN, 19}, {0, VK_UP, 1}, {70, VK_DOWN, 65}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        panel.SetFaderPos(c.set);
        panel.m_edit.SetFocus();
        platform::win::KeyInput(c.key);
        EXPECT_EQ(Posted(), std::vector<LPARAM>{c.posted});
        EXPECT_EQ(panel.GetFaderPos(), c.posted);
    }
    EXPECT_TRUE(boxes.Entries().empty()); // a value beyond the range shows as its end
}

TEST_F(GainDlgTest, EscapeAndSliderNoticesOfOtherControlsChangeNothing) {
    panel.m_edit.SetFocus();
    platform::win::KeyInput(VK_ESCAPE);
    EXPECT_EQ(CWnd::GetFocus(), &panel);
    EXPECT_TRUE(panel.IsWindowVisible());
    for (UINT message : {UM_SLIDER_POSITION, UM_SLIDER_TRACKING})
        panel.SendMessage(message, 2817, 5);
    EXPECT_TRUE(Posted().empty());
    EXPECT_EQ(panel.m_spin.GetPos(), 40);
    EXPECT_EQ(panel.GetFaderPos(), 40);
}

TEST_F(GainDlgTest, MuteTogglesTheMasterFlagAndTheButton) {
    auto click = [&] {
        platform::win::MouseInput(panel.m_btnMute.GetSafeHwnd(), WM_LBUTTONDOWN, {3, 3});
        platform::win::MouseInput(panel.m_btnMute.GetSafeHwnd(), WM_LBUTTONUP, {3, 3});
        platform::win::MouseLeftWindows();
        clock.Advance(600);
    };
    click();
    EXPECT_EQ(int(g_bMasterOn), 0);
    EXPECT_TRUE(panel.m_btnMute.GetSelected());
    EXPECT_EQ(apptest::CentreOf(parent, panel.m_btnMute), SolidPictures::ColorOf(1008));
    click();
    EXPECT_EQ(int(g_bMasterOn), 1);
    EXPECT_FALSE(panel.m_btnMute.GetSelected());
    EXPECT_EQ(apptest::CentreOf(parent, panel.m_btnMute), SolidPictures::ColorOf(1007));
    EXPECT_TRUE(Posted().empty());
}

TEST_F(GainDlgTest, TheBackgroundFollowsLanguageAndLock) {
    const std::tuple<int, int, UINT> cases[] = {{0, 0, 1153}, {0, 1, 1212}, {1, 0, 739}, {1, 1, 1211}};
    for (const auto& [chinese, locked, picture] : cases) {
        g_bChinese = chinese;
        g_bPresetLocked = locked;
        EXPECT_EQ(Background(), SolidPictures::ColorOf(picture)) << chinese << locked;
    }
}

TEST(GainDlgPicture, BothLanguagesAndLocked) {
    platform::VirtualClock clock;
    SolidPictures pictures(false);
    pictures.AddDialog(apptest::RecordingParent::IDD, "DIALOG 9901 0 0 60 160\nSTYLE WS_POPUP\n");
    const std::tuple<int, int, const char*> cases[] = {
        {0, 0, "gain_panel_en.png"}, {1, 0, "gain_panel_zh.png"}, {0, 1, "gain_panel_locked_en.png"}};
    for (const auto& [chinese, locked, file] : cases) {
        g_bChinese = chinese;
        g_bPresetLocked = locked;
        apptest::RecordingParent parent;
        ASSERT_TRUE(parent.Create(apptest::RecordingParent::IDD));
        CGainDlg panel;
        SetUpAsTheView(panel, parent, chinese ? 0 : 54);
        panel.MoveWindow(0, 0, 84, 220);
        parent.MoveWindow(0, 0, 84, 220);
        EXPECT_TRUE(apptest::SavePicture(parent.GetSafeHwnd(), file));
    }
    g_bChinese = 0;
    g_bPresetLocked = 0;
}

// The mute against the simulated processor over the in-process USB device.
class GainDlgMuteThreaded : public linktest::SyncView {
protected:
    void SetUp() override {
        SyncView::SetUp();
        ping.Answer(true);
        Bus().Plug();
        view->InitLink();
        ASSERT_TRUE(PumpUntil([&] { return g_bOnline != 0 && syncForm.allControlsUpdated > 0; }));
        pictures.AddDialog(apptest::RecordingParent::IDD, apptest::RecordingParent::kTemplate);
        ASSERT_TRUE(parent.Create(apptest::RecordingParent::IDD));
        SetUpAsTheView(panel, parent, 40);
        panel.m_pView = view.get();
    }
    void TearDown() override {
        view->StopCommThread(1);
        SyncView::TearDown();
    }
    bool PumpUntil(const std::function<bool()>& done) {
        return platform::WaitHandlingSentMessages(
            [&] {
                platform::PumpMessages();
                return done();
            },
            20000);
    }

    linktest::FakePingRunner ping;
    SolidPictures pictures;
    apptest::RecordingParent parent;
    CGainDlg panel;
};

TEST_F(GainDlgMuteThreaded, TheMuteReachesTheProcessor) {
    ASSERT_EQ(processor.Memory().settings.systemData[6], 1);
    platform::win::MouseInput(panel.m_btnMute.GetSafeHwnd(), WM_LBUTTONDOWN, {3, 3});
    platform::win::MouseInput(panel.m_btnMute.GetSafeHwnd(), WM_LBUTTONUP, {3, 3});
    EXPECT_TRUE(PumpUntil([&] { return processor.Memory().settings.systemData[6] == 0; }));
}

} // namespace
