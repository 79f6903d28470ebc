#include "platform/win/DialogTemplate.h"
#include "TestResources.h"
#include "platform/win/Dialog.h"
#include "platform/win/Window.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using platform::win::ParseDialogTemplate;

TEST(DialogTemplate, NumbersOutsideAnyRealDialogAreRefusedWithTheReason) {
    const struct {
        const char* source;
        const char* reason; // empty: accepted
    } cases[] = {
        {"DIALOG 1 -10 0 4096 4096\nFONT 9 \"Arial\"\nCONTROL 2 Button 0 -4096 4096 0 0", ""},
        {"DIALOG 1 2147483600 0 10 10", "2147483600"},
        {"DIALOG 1 0 0 20000 20000", "20000"},
        {"DIALOG 1 0 0 10 -1", "-1"},
        {"DIALOG 1 0 0 10 1O", "1O"},
        {"DIALOG 1 0 0 10 10\nCONTROL 2 Button 0 0 0 10 99999", "99999"},
        {"DIALOG 1 0 0 10 10\nCONTROL 2 Button 0 -2147483647 0 10 10", "-2147483647"},
        {"DIALOG 1 0 0 10 10\nFONT 0 \"Arial\"", "font size 0"},
        {"DIALOG 1 0 0 10 10\nFONT 100000 \"Arial\"", "font size 100000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        CString error;
        const auto t = ParseDialogTemplate(c.source, &error);
        if (!*c.reason) {
            ASSERT_TRUE(t.has_value()) << error;
            EXPECT_EQ(t->cx, 4096);
            EXPECT_EQ(t->items.at(0).y, 4096);
            continue;
        }
        EXPECT_FALSE(t.has_value());
        EXPECT_NE(error.find(c.reason), CString::npos) << error;
    }

    TestResources res;
    res.AddDialog(740, "DIALOG 740 0 0 30000 30000\n");
    CDialog dlg(740);
    EXPECT_FALSE(dlg.Create(740));
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

// However large a window is made, its backing image stays bounded.
TEST(DialogTemplate, BackingImageOfAHugeWindowIsBounded) {
    using namespace platform::win;
    const HWND hwnd =
        CreateWindowRecord(0, "Static", "", WS_POPUP, QRect(0, 0, 50000, 3), nullptr, 0, nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(RenderWindow(hwnd).size(), QSize(kMaxBackingSide, 3));
    Window::From(hwnd)->SetRect(QRect(0, 0, INT_MAX / 2, INT_MAX / 2), false);
    EXPECT_EQ(RenderWindow(hwnd).size(), QSize(kMaxBackingSide, kMaxBackingSide));
    DestroyWindowRecord(hwnd);
}

} // namespace
