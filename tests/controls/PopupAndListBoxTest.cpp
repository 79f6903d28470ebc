// The window layer's owned popups and list boxes, as the drop-down uses them.

#include "TestResources.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"
#include "platform/win/ListBox.h"
#include "platform/win/Window.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

class ListDialog final : public CDialog {
public:
    std::vector<UINT> codes;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (LOWORD(wParam) == 1825)
            codes.push_back(HIWORD(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }
};

TEST(OwnedPopup, LivesInScreenCoordinatesAndShowsNoWindowWhileEmpty) {
    TestResources res;
    res.AddDialog(650, "DIALOG 650 40 30 100 60\n"
                       "CONTROL 1001 Button WS_VISIBLE 10 10 40 14 \"\"\n");
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(650));
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(WS_EX_TOPMOST, "DropWnd", nullptr, WS_POPUP | WS_CHILD | WS_VISIBLE,
                               RECT{0, 0, 0, 0}, dlg.GetDlgItem(1001), 0));
    auto* record = platform::win::Window::From(popup.GetSafeHwnd());
    EXPECT_TRUE(popup.IsWindowVisible());
    EXPECT_FALSE(record->widget->isVisible()); // visible, but nothing to show yet
    popup.MoveWindow(300, 200, 80, 40);
    CRect r;
    popup.GetWindowRect(&r);
    EXPECT_EQ(r, CRect(300, 200, 380, 240)); // not moved with its owner
    EXPECT_TRUE(record->widget->isWindow());
    EXPECT_TRUE(record->widget->isVisible());
    const Qt::WindowFlags flags = record->widget->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_NE(flags & Qt::WindowType_Mask, Qt::Popup); // no grab
    CPoint origin(0, 0);
    popup.ClientToScreen(&origin);
    EXPECT_EQ(origin, CPoint(300, 200));

    // A dialog-like window (WS_POPUP alone) keeps its frame.
    CWnd owned;
    ASSERT_TRUE(owned.CreateEx(0, "Owned", nullptr, WS_POPUP, RECT{10, 10, 60, 60}, &dlg, 0));
    const Qt::WindowFlags ownedFlags =
        platform::win::Window::From(owned.GetSafeHwnd())->widget->windowFlags();
    EXPECT_FALSE(ownedFlags.testFlag(Qt::FramelessWindowHint));
}

TEST(ListBox, TellsEveryMousePickAndKeyMoveButNoProgramSelection) {
    platform::VirtualClock clock;
    TestResources res;
    res.AddDialog(651, "DIALOG 651 0 0 100 100\n");
    ListDialog dlg;
    ASSERT_TRUE(dlg.Create(651));
    CListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY, RECT{0, 0, 80, 60}, &dlg, 1825));
    list.SetItemHeight(0, 14);
    for (const char* text : {"a", "b", "c", "d", "e", "f"})
        list.AddString(text);
    const HWND hwnd = list.GetSafeHwnd();
    const struct {
        const char* name;
        std::function<void()> act;
        int selected;
        std::vector<UINT> codes;
    } steps[] = {
        {"program selection", [&] { list.SetCurSel(1); }, 1, {}},
        {"press on another entry",
         [&] {
             platform::win::MouseInput(hwnd, WM_LBUTTONDOWN, {5, 2 * 14 + 3});
         },
         2,
         {LBN_SETFOCUS, LBN_SELCHANGE}},
        {"press on the same entry",
         [&] {
             platform::win::MouseInput(hwnd, WM_LBUTTONDOWN, {5, 2 * 14 + 3});
         },
         2,
         {LBN_SELCHANGE}},
        {"key down", [&] { platform::win::KeyInput(VK_DOWN); }, 3, {LBN_SELCHANGE}},
        {"key end, scrolled into view", [&] { platform::win::KeyInput(VK_END); }, 5, {LBN_SELCHANGE}},
        {"key down at the end", [&] { platform::win::KeyInput(VK_DOWN); }, 5, {}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        s.act();
        platform::win::MouseInput(hwnd, WM_LBUTTONUP, {5, 3});
        EXPECT_EQ(list.GetCurSel(), s.selected);
        EXPECT_EQ(std::exchange(dlg.codes, {}), s.codes);
        clock.Advance(1000); // no double clicks
    }
    EXPECT_EQ(list.GetTopIndex(), 2); // four rows of 14 in 60 pixels: entries 2..5
}

} // namespace
