// The layer's up-down control on its own: what its parent hears while an
// arrow is pressed, held and left, and from its buddy's arrow keys.

#include "platform/sys/VirtualClock.h"
#include "platform/win/Edit.h"
#include "platform/win/Input.h"
#include "platform/win/SpinButtonCtrl.h"

#include <gtest/gtest.h>

namespace {

class Parent final : public CWnd {
public:
    std::vector<int> deltas; // one per UDN_DELTAPOS
    int scrolls = 0;
    bool refuse = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NOTIFY) {
            auto* nm = reinterpret_cast<NMUPDOWN*>(lParam);
            if (nm->hdr.code == UDN_DELTAPOS) {
                deltas.push_back(nm->iDelta);
                return refuse ? 1 : 0;
            }
        }
        if (message == WM_VSCROLL || message == WM_HSCROLL)
            ++scrolls;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class UpDownTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateEx(0, "KtTestParent", "", WS_POPUP, CRect(0, 0, 200, 100), nullptr, 0));
        ASSERT_TRUE(buddy.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 30), &parent, 10));
        ASSERT_TRUE(spin.Create(WS_CHILD | WS_VISIBLE | UDS_ARROWKEYS, CRect(60, 10, 76, 40), &parent, 11));
        spin.SetBuddy(&buddy);
        spin.SetRange32(0, 5);
        spin.SetPos32(3);
    }
    void Mouse(UINT message, int y) { platform::win::MouseInput(spin.GetSafeHwnd(), message, {8, y}); }

    platform::VirtualClock clock;
    Parent parent;
    CEdit buddy;
    CSpinButtonCtrl spin;
};

TEST_F(UpDownTest, AHeldArrowStepsAtThePressThenEvery50MsAfter500) {
    Mouse(WM_LBUTTONDOWN, 25); // the lower arrow
    EXPECT_EQ(parent.deltas, std::vector<int>{-1});
    EXPECT_EQ(CWnd::GetCapture(), &spin);
    clock.Advance(499);
    EXPECT_EQ(parent.deltas.size(), 1u);
    clock.Advance(1);
    clock.Advance(100);
    // Also past the end of the range: every step is announced.
    EXPECT_EQ(parent.deltas, (std::vector<int>{-1, -1, -1, -1}));
    EXPECT_EQ(spin.GetPos32(), 0);
    Mouse(WM_MOUSEMOVE, 5); // off the pressed arrow: no steps
    clock.Advance(200);
    EXPECT_EQ(parent.deltas.size(), 4u);
    Mouse(WM_MOUSEMOVE, 25);
    clock.Advance(50);
    EXPECT_EQ(parent.deltas.size(), 5u);
    Mouse(WM_LBUTTONUP, 25);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    clock.Advance(500);
    EXPECT_EQ(parent.deltas.size(), 5u);
    EXPECT_EQ(parent.scrolls, 0);
}

TEST_F(UpDownTest, TheBuddysArrowKeysStepItEvenHidden) {
    spin.ShowWindow(SW_HIDE);
    buddy.SetFocus();
    platform::win::KeyInput(VK_UP);
    platform::win::KeyInput(VK_DOWN);
    platform::win::KeyInput(VK_UP);
    EXPECT_EQ(parent.deltas, (std::vector<int>{1, -1, 1}));
    EXPECT_EQ(spin.GetPos32(), 4);
    parent.refuse = true; // a refused step leaves the position
    platform::win::KeyInput(VK_UP);
    EXPECT_EQ(spin.GetPos32(), 4);
    // Without UDS_ARROWKEYS the keys stay the buddy's.
    spin.ModifyStyle(UDS_ARROWKEYS, 0);
    platform::win::KeyInput(VK_UP);
    EXPECT_EQ(parent.deltas.size(), 4u);
}

} // namespace
