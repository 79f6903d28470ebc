// Start-up and shut-down of the whole program.

#include "tests/app/AppFixture.h"

namespace {

using apptest::AppFixture;

class Startup : public AppFixture {};

TEST_F(Startup, ShowsTheFramelessMainWindowWithItsViewAndClosesOnTheCloseButton) {
    ASSERT_TRUE(Start());
    ASSERT_NE(View(), nullptr);
    RECT rc;
    app->m_pMainWnd->GetWindowRect(&rc);
    EXPECT_EQ(rc.right - rc.left, 1282);
    EXPECT_EQ(rc.bottom - rc.top, 732);
    EXPECT_EQ(app->m_pMainWnd->GetWindowText(), "KAVRO-TUNE");
    SavePng(Render(), "main_offline_en");

    View()->OnCloseButton();
    Pump();
    EXPECT_EQ(MainWindow(), nullptr);
    EXPECT_EQ(app->m_pMainWnd->GetSafeHwnd(), nullptr);
}

} // namespace
