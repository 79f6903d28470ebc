#include "controls/NumSpin.h"
#include "SpinDialog.h"
#include "TestResources.h"
#include "controls/NumEdit.h"
#include "model/DelaySteps.h"
#include "model/Globals.h"
#include "platform/sys/RecordingMessageBox.h"
#include "platform/sys/UserMessages.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"

#include <gtest/gtest.h>

namespace {

class NumSpinTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_bChinese = 0;
        res.AddDialog(731, "DIALOG 731 0 0 200 80\n"
                           "CONTROL 1000 Edit WS_VISIBLE|WS_TABSTOP 10 10 80 12 \"\"\n"
                           "CONTROL 1001 msctls_updown32 WS_VISIBLE|UDS_ARROWKEYS 92 10 10 24 \"\"\n"
                           "CONTROL 1002 Button WS_VISIBLE|WS_TABSTOP 10 40 50 14 \"OK\"\n");
        ASSERT_TRUE(dlg.Create(731));
        dlg.spin.SetBuddy(&dlg.edit);
        dlg.GetDlgItem(1002)->SetFocus();
    }
    void TearDown() override { g_bChinese = 0; }

    void Key(UINT key, int times = 1) {
        dlg.edit.SetFocus();
        for (int i = 0; i < times; ++i)
            platform::win::KeyInput(key);
    }
    // Presses the up (+1) or down (-1) arrow of the spin.
    void Press(int arrow) {
        CRect r;
        dlg.spin.GetClientRect(&r);
        platform::win::MouseInput(dlg.spin.GetSafeHwnd(), WM_LBUTTONDOWN,
                                  {r.Width() / 2, arrow > 0 ? 2 : r.Height() - 3});
    }
    void Release() {
        platform::win::MouseInput(dlg.spin.GetSafeHwnd(), WM_LBUTTONUP, {1, 1});
        clock.Advance(600);
    }
    std::vector<CString> Events() {
        platform::PumpMessages();
        return std::exchange(dlg.events, {});
    }

    platform::VirtualClock clock;
    TestResources res;
    SpinDialog dlg;
};

TEST_F(NumSpinTest, FrequencyStepsFollowTheTableOnlyWhenTheTypeCameFirst) {
    struct Case {
        bool typeFirst;
        UINT key;
        std::vector<int> texts;
    } cases[] = {
        {true, VK_UP, {1030, 1060}},
        {true, VK_DOWN, {972, 944}},
        {false, VK_UP, {1001, 1002}},
        {false, VK_DOWN, {999, 998}},
    };
    for (const auto& c : cases) {
        dlg.spin.SetMode(0);
        if (c.typeFirst)
            dlg.edit.SetType(8, "");
        dlg.spin.SetRange(20, 20000);
        if (!c.typeFirst)
            dlg.edit.SetType(8, "");
        dlg.spin.SetPos(1000);
        for (int expected : c.texts) {
            Key(c.key);
            EXPECT_EQ(dlg.edit.GetWindowText(), std::to_string(expected) + "Hz")
                << c.typeFirst << " " << c.key;
        }
        EXPECT_EQ(Events(), (std::vector<CString>{"spin " + std::to_string(c.texts[0]),
                                                  "spin " + std::to_string(c.texts[1])}));
        dlg.edit.SetType(0, "");
    }
}

TEST_F(NumSpinTest, FrequencyStepsNearTheBottomOfTheTable) {
    dlg.edit.SetType(8, "");
    dlg.spin.SetRange(20, 20000);
    dlg.spin.SetPos(20);
    std::vector<int> up, down;
    for (int i = 0; i < 9; ++i) {
        Key(VK_UP);
        up.push_back(dlg.spin.GetPos());
    }
    EXPECT_EQ(up, (std::vector<int>{21, 22, 23, 24, 25, 27, 28, 29, 31}));
    dlg.spin.SetPos(32);
    for (int i = 0; i < 6; ++i) {
        Key(VK_DOWN);
        down.push_back(dlg.spin.GetPos());
    }
    EXPECT_EQ(down, (std::vector<int>{30, 27, 25, 23, 21, 20}));
}

TEST_F(NumSpinTest, AHeldArrowTellsOnlyAtTicksAfterAChangeAndOnRelease) {
    dlg.spin.SetRange(0, 384);
    dlg.edit.SetType(0, "");
    dlg.spin.SetMode(2);
    dlg.spin.SetPos(100);
    Events();
    Press(1);                                     // a step at the press
    EXPECT_EQ(dlg.edit.GetWindowText(), "2.104"); // 101 samples
    EXPECT_TRUE(Events().empty());
    clock.Advance(400);
    EXPECT_EQ(Events(), std::vector<CString>{"spin 101"});
    clock.Advance(99); // no step before 500 ms
    EXPECT_EQ(dlg.spin.GetPos(), 101);
    clock.Advance(1); // then every 50 ms
    EXPECT_EQ(dlg.spin.GetPos(), 102);
    clock.Advance(250);
    EXPECT_EQ(dlg.spin.GetPos(), 107);
    EXPECT_EQ(dlg.edit.GetWindowText(), "2.229"); // the text follows every step
    EXPECT_TRUE(Events().empty());
    Release();
    EXPECT_EQ(Events(), std::vector<CString>{"spin 107"}); // and no UM_SPIN_STEP while held

    // At the end of the range the steps change nothing and nothing is told.
    dlg.spin.SetPos(384);
    Press(1);
    clock.Advance(1000);
    Release();
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(dlg.spin.GetPos(), 384);
}

TEST_F(NumSpinTest, ADelayKeyStepTellsPostsItsStepAndLeavesAReleaseNotice) {
    dlg.spin.SetRange(0, 384);
    dlg.edit.SetType(1, "CM");
    dlg.spin.SetMode(2);
    dlg.spin.SetPos(100);
    Events();
    Key(VK_UP);
    const int expected = DelayStepByCm(100, 1);
    EXPECT_EQ(dlg.spin.GetPos(), expected);
    EXPECT_EQ(Events(), (std::vector<CString>{"spin " + std::to_string(expected), "step 1001 1"}));
    Key(VK_DOWN);
    EXPECT_EQ(Events(), (std::vector<CString>{"spin 100", "step 1001 -1"}));

    // The key step left its change pending: the next release on the spin
    // tells once more, although the press itself changed nothing.
    dlg.spin.SetPos(384);
    Key(VK_UP);
    Events();
    dlg.spin.SetPos(383);
    dlg.edit.SetType(0, "");
    Key(VK_UP);
    EXPECT_EQ(Events(), (std::vector<CString>{"spin 384", "step 1001 1"}));
    Press(1);
    Release();
    EXPECT_EQ(Events(), std::vector<CString>{"spin 384"});
}

TEST_F(NumSpinTest, ArrowKeysStepAHiddenSpinAndTypedTextCountsFirst) {
    dlg.spin.SetRange(0, 100);
    dlg.edit.SetType(33, "");
    dlg.spin.SetPos(10);
    dlg.spin.ShowWindow(SW_HIDE);
    dlg.edit.SetFocus();
    platform::win::CharInput('5');
    platform::win::CharInput('0');
    Key(VK_UP);
    EXPECT_EQ(dlg.edit.GetWindowText(), "51");
    EXPECT_EQ(Events(), std::vector<CString>{"spin 51"});
    // A key step at the end of the range still reaches the spin and is told.
    dlg.spin.SetPos(100);
    Key(VK_UP);
    EXPECT_EQ(Events(), std::vector<CString>{"spin 100"});
}

TEST_F(NumSpinTest, SetPosOutsideTheRangeWarnsInTheLanguageAndBounds) {
    dlg.spin.SetRange(0, 600);
    dlg.edit.SetType(33, "");
    struct Case {
        int chinese;
        int pos;
        CString text;
        int helpId;
        int result;
    } cases[] = {{0, 700, "Set Pos Error!", -3, 600}, {1, -5, "设定Pos错误!", -2, 0}};
    for (const auto& c : cases) {
        platform::RecordingMessageBox boxes;
        g_bChinese = c.chinese;
        dlg.spin.SetPos(c.pos);
        ASSERT_EQ(boxes.Entries().size(), 1u);
        EXPECT_EQ(boxes.Entries()[0].text, c.text);
        EXPECT_EQ(boxes.Entries()[0].helpId, c.helpId);
        EXPECT_EQ(boxes.Entries()[0].type, UINT(MB_OK));
        EXPECT_EQ(dlg.spin.GetPos(), c.result);
        EXPECT_EQ(dlg.edit.GetValue(), c.result);
    }
    EXPECT_TRUE(Events().empty());
}

} // namespace
