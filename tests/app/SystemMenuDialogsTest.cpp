// The system menu's update and about items, in the whole program: each runs
// its dialog modally over the disabled main window, and what the update
// dialog lent the link is withdrawn when it has closed.

#include "link/LinkGlobals.h"
#include "link/LinkProgress.h"
#include "tests/app/AppFixture.h"

#include <QTimer>

namespace {

using apptest::AppFixture;

class SystemMenuDialogs : public AppFixture {};

TEST_F(SystemMenuDialogs, UpdateAndAboutRunModallyAndLeaveNothingBehind) {
    ASSERT_TRUE(Start());
    struct Case {
        UINT item;
        const char* caption;
        bool lendsLabel;
    };
    for (const Case c : {Case{731, "About", false}, Case{727, "Device Firmware Update", true}}) {
        SCOPED_TRACE(c.caption);
        CString caption;
        bool lent = false;
        bool mainEnabled = true;
        // Runs inside the dialog's modal loop, then closes it by its close box.
        QTimer::singleShot(0, [&] {
            CWnd* focus = CWnd::GetFocus();
            CWnd* top = focus ? focus->GetTopLevelParent() : nullptr;
            ASSERT_NE(top, nullptr);
            caption = top->GetWindowText();
            lent = g_pUpdateStatusLabel.load() != nullptr && g_pFirmwareProgress.load() != nullptr;
            mainEnabled = app->m_pMainWnd->IsWindowEnabled();
            top->SendMessage(WM_CLOSE);
        });
        View()->SendMessage(WM_COMMAND, c.item, 0);
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(lent, c.lendsLabel);
        EXPECT_FALSE(mainEnabled);
        EXPECT_TRUE(app->m_pMainWnd->IsWindowEnabled());
        EXPECT_EQ(g_pUpdateStatusLabel.load(), nullptr);
        EXPECT_EQ(g_pFirmwareProgress.load(), nullptr);
        EXPECT_EQ(g_bReconnectPending, 0);
        EXPECT_EQ(g_bUpgrading, 0);
    }
}

} // namespace
