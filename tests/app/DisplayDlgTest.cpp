// The transfer-progress popup: what it disables and enables again, its
// blinking and self-closing on the virtual clock, and the keys and close
// requests it ignores.

#include "app/DisplayDlg.h"
#include "link/LinkProgress.h"
#include "model/Globals.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Input.h"
#include "tests/app/ShellFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class DisplayDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_bChinese = 0;
        g_bTransferBusy = 1;
        pictures.AddDialog(apptest::RecordingParent::IDD, apptest::RecordingParent::kTemplate);
        ASSERT_TRUE(view.Create(apptest::RecordingParent::IDD));
        view.ShowWindow(SW_SHOW);
        ASSERT_NE(CDisplayDlg::CreateForView(&view), nullptr);
        ASSERT_EQ(g_pTransferProgress.load(), &g_pDisplayDlg->m_progress);
    }
    void TearDown() override {
        CDisplayDlg::DestroyForView();
        g_pProgramDlg = nullptr;
        g_bTransferBusy = 0;
        g_bChinese = 0;
    }

    CDisplayDlg& Popup() { return *g_pDisplayDlg; }
    bool Shown() { return Popup().IsWindowVisible() != 0; }
    // Which of the label's text colours its pixels show.
    bool LabelHas(COLORREF color) {
        const QImage image = platform::win::RenderWindow(Popup().GetSafeHwnd());
        CRect r;
        Popup().m_label.GetWindowRect(&r);
        Popup().ScreenToClient(&r);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (apptest::PixelAt(image, x, y) == color)
                    return true;
        return false;
    }

    platform::VirtualClock clock;
    apptest::SolidPictures pictures;
    apptest::RecordingParent view;
};

TEST_F(DisplayDlgTest, TheFlagChoosesTheWindowToDisableAndCloseEnablesItAgain) {
    CDialog presets;
    ASSERT_TRUE(presets.Create(apptest::RecordingParent::IDD));
    struct Case {
        int flag;
        bool presetDialogOpen;
        bool viewEnabled;
        bool presetsEnabled;
    };
    const Case cases[] = {
        {0, false, false, true}, {0, true, false, true}, {1, false, true, true}, {1, true, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.flag << c.presetDialogOpen);
        g_pProgramDlg = c.presetDialogOpen ? &presets : nullptr;
        CDisplayDlg::ShowTransferPopup(c.flag);
        EXPECT_TRUE(Shown());
        EXPECT_EQ(view.IsWindowEnabled() != 0, c.viewEnabled);
        EXPECT_EQ(presets.IsWindowEnabled() != 0, c.presetsEnabled);
        EXPECT_TRUE(Popup().GetExStyle() & WS_EX_TOPMOST);
        CRect popup, owner;
        Popup().GetWindowRect(&popup);
        view.GetWindowRect(&owner);
        EXPECT_LE(std::abs(popup.CenterPoint().x - owner.CenterPoint().x), 1) << "centred over its owner";
        EXPECT_LE(std::abs(popup.CenterPoint().y - owner.CenterPoint().y), 1);
        CDisplayDlg::CloseTransferPopup();
        EXPECT_FALSE(Shown());
        EXPECT_TRUE(view.IsWindowEnabled());
        EXPECT_TRUE(presets.IsWindowEnabled());
    }
}

TEST_F(DisplayDlgTest, OnlyWhatItDisabledIsEnabledAgainWhateverCameBetween) {
    // Two shows before one close.
    CDisplayDlg::ShowTransferPopup(0);
    CDisplayDlg::ShowTransferPopup(0);
    CDisplayDlg::CloseTransferPopup();
    EXPECT_TRUE(view.IsWindowEnabled());
    // A window another part disabled stays so.
    view.EnableWindow(FALSE);
    CDisplayDlg::ShowTransferPopup(0);
    CDisplayDlg::CloseTransferPopup();
    EXPECT_FALSE(view.IsWindowEnabled());
    view.EnableWindow(TRUE);
    // The preset dialog closed while the popup showed.
    {
        CDialog presets;
        ASSERT_TRUE(presets.Create(apptest::RecordingParent::IDD));
        g_pProgramDlg = &presets;
        CDisplayDlg::ShowTransferPopup(1);
        g_pProgramDlg = nullptr;
    }
    CDisplayDlg::ShowTransferPopup(0);
    clock.Advance(CDisplayDlg::kBlinkMs);
    g_bTransferBusy = 0;
    clock.Advance(CDisplayDlg::kBlinkMs);
    EXPECT_FALSE(Shown());
    EXPECT_TRUE(view.IsWindowEnabled());
}

TEST_F(DisplayDlgTest, ABatchEndedAtTheFirstTickClosesItAfter200Ms) {
    g_bTransferBusy = 0;
    CDisplayDlg::ShowTransferPopup(0);
    clock.Advance(CDisplayDlg::kBlinkMs - 1);
    EXPECT_TRUE(Shown());
    clock.Advance(1);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(Popup().m_label.GetWindowText(), "End of data transmission");
    EXPECT_TRUE(view.IsWindowEnabled());
}

TEST_F(DisplayDlgTest, TheTextBlinksRedAndDarkBlueWhileTheBatchRuns) {
    CDisplayDlg::ShowTransferPopup(1);
    EXPECT_EQ(Popup().m_label.GetWindowText(), "Data transmission");
    EXPECT_TRUE(LabelHas(RGB(0, 0, 128)));
    for (int tick = 1; tick <= 4; ++tick) {
        clock.Advance(CDisplayDlg::kBlinkMs);
        const bool red = tick % 2 == 1;
        EXPECT_EQ(LabelHas(RGB(255, 0, 0)), red) << tick;
        EXPECT_EQ(LabelHas(RGB(0, 0, 128)), !red) << tick;
    }
    // The link closed meanwhile: no more ticks.
    CDisplayDlg::CloseTransferPopup();
    EXPECT_FALSE(Shown());
    clock.Advance(10 * CDisplayDlg::kBlinkMs);
    EXPECT_FALSE(Shown());
}

TEST_F(DisplayDlgTest, CloseRequestsAndKeysLeaveItShowing) {
    CDisplayDlg::ShowTransferPopup(1);
    Popup().SendMessage(WM_CLOSE);
    Popup().SetFocus();
    platform::win::KeyInput(VK_RETURN);
    platform::win::KeyInput(VK_ESCAPE);
    platform::PumpMessages();
    EXPECT_TRUE(Shown());
}

TEST_F(DisplayDlgTest, RangesReachThePopupsBarAndTheUpdateDialogsWhileItIsOpen) {
    CGradientProgressCtrl updateBar;
    CDisplayDlg::SetProgressRanges(40);
    EXPECT_EQ(Popup().m_progress.GetUpper(), 40);
    g_pFirmwareProgress = &updateBar;
    CDisplayDlg::SetProgressRanges(50);
    CDisplayDlg::SetPopupProgressRange(60);
    g_pFirmwareProgress = nullptr;
    EXPECT_EQ(updateBar.GetUpper(), 50);
    EXPECT_EQ(Popup().m_progress.GetUpper(), 60);
}

TEST(DisplayDlgPicture, BothLanguages) {
    platform::VirtualClock clock;
    apptest::SolidPictures pictures(false);
    pictures.AddDialog(apptest::RecordingParent::IDD, apptest::RecordingParent::kTemplate);
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        g_bTransferBusy = 1;
        apptest::RecordingParent view;
        ASSERT_TRUE(view.Create(apptest::RecordingParent::IDD));
        CDisplayDlg::CreateForView(&view);
        CDisplayDlg::SetProgressRanges(90);
        g_pDisplayDlg->m_progress.SetPos(37);
        CDisplayDlg::ShowTransferPopup(0);
        clock.Advance(CDisplayDlg::kBlinkMs);
        EXPECT_TRUE(apptest::SavePicture(g_pDisplayDlg->GetSafeHwnd(),
                                         chinese ? "transfer_popup_zh.png" : "transfer_popup_en.png"));
        CDisplayDlg::CloseTransferPopup();
        CDisplayDlg::DestroyForView();
    }
    g_bChinese = 0;
    g_bTransferBusy = 0;
}

} // namespace
