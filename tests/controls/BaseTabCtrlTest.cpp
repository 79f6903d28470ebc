#include "controls/BaseTabCtrl.h"
#include "TestResources.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kBorder = RGB(90, 90, 90), kAround = RGB(0, 120, 60);

COLORREF TabColor(UINT index) {
    return RGB(40 * index + 40, 0, 200);
}

// Records what the base asks it to draw and paints each part in a colour of
// its own, so the pixels show what was drawn last.
class RecordingTab final : public CBaseTabCtrl {
public:
    RecordingTab() : CBaseTabCtrl(2) {}

    struct Call {
        char part; // 'M' main border, 'I' item, 'B' item border
        UINT item;
        UINT state;
        CRect rect;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> calls;

    void DrawItem(LPDRAWITEMSTRUCT dis) override {
        Record('I', dis);
        CDC::FromHandle(dis->hDC)->FillSolidRect(&dis->rcItem, TabColor(dis->itemID));
    }
    void DrawMainBorder(LPDRAWITEMSTRUCT dis) override {
        Record('M', dis);
        CDC::FromHandle(dis->hDC)->FillSolidRect(&dis->rcItem, kBorder);
    }
    void DrawItemBorder(LPDRAWITEMSTRUCT dis) override { Record('B', dis); }

private:
    void Record(char part, LPDRAWITEMSTRUCT dis) {
        EXPECT_EQ(dis->CtlType, ODT_TAB);
        EXPECT_EQ(dis->itemAction, ODA_DRAWENTIRE);
        calls.push_back({part, part == 'M' ? 0 : dis->itemID, dis->itemState, dis->rcItem});
    }
};

class TabDialog final : public CDialog {
public:
    RecordingTab tab;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 1400, tab); }
};

// Tabs of 40 x 20 pixels from (2, 2); the page area starts at y = 22.
class BaseTabCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        res.AddDialog(710, "DIALOG 710 0 0 200 80\n"
                           "CONTROL 1400 SysTabControl32 WS_VISIBLE 0 0 150 60 \"\"\n");
        ASSERT_TRUE(dlg.Create(710));
        dlg.tab.SetItemSize(CSize(40, 20));
        dlg.tab.SetBkgndColor(kAround);
    }
    void AddTabs(int count, int selected) {
        for (int i = 0; i < count; ++i)
            dlg.tab.InsertItem(i, "Tab");
        dlg.tab.SetCurSel(selected);
    }
    QImage Render() {
        dlg.tab.calls.clear();
        return platform::win::RenderWindow(dlg.GetSafeHwnd());
    }
    COLORREF At(const QImage& image, int x, int y) {
        const QRgb p = image.pixel(x, y); // the tab sits at the dialog's origin
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    CRect Client() {
        CRect r;
        dlg.tab.GetClientRect(&r);
        return r;
    }

    platform::VirtualClock clock;
    TestResources res;
    TabDialog dlg;
};

using Call = RecordingTab::Call;

TEST_F(BaseTabCtrlTest, TheSelectedTabIsDrawnLastOverItsNeighbours) {
    AddTabs(4, 1);
    const QImage image = Render();
    const CRect c = Client();
    const std::vector<Call> expected = {
        {'M', 0, 0, {0, 20, c.right, c.bottom}},
        {'I', 3, 0, {122, 2, 162, 20}},
        {'B', 3, 0, {122, 2, 162, 20}},
        {'I', 2, 0, {82, 2, 122, 20}},
        {'B', 2, 0, {82, 2, 122, 20}},
        {'I', 0, 0, {2, 2, 42, 20}},
        {'B', 0, 0, {2, 2, 42, 20}},
        {'I', 1, ODS_SELECTED, {42, 0, 82, 24}}, // 4 pixels taller than the tab
        {'B', 1, ODS_SELECTED, {42, 0, 82, 24}},
    };
    EXPECT_EQ(dlg.tab.calls, expected);
    EXPECT_EQ(At(image, 60, 22), TabColor(1)); // over the page border
    EXPECT_EQ(At(image, 20, 21), kBorder);     // the others stop 2 pixels short
    EXPECT_EQ(At(image, 60, 0), TabColor(1));
    EXPECT_EQ(At(image, 20, 0), kAround); // the band above the tabs
    EXPECT_EQ(At(image, c.right - 2, 5), kAround);
}

TEST_F(BaseTabCtrlTest, WithoutTabsOnlyThePageBorderIsDrawn) {
    Render();
    ASSERT_EQ(dlg.tab.calls.size(), 1u);
    EXPECT_EQ(dlg.tab.calls[0].part, 'M');
}

TEST_F(BaseTabCtrlTest, DrawModesSwitchTheOwnerDrawStyle) {
    AddTabs(2, 0);
    EXPECT_NE(dlg.tab.GetStyle() & TCS_OWNERDRAWFIXED, 0u); // given at subclassing
    ASSERT_TRUE(dlg.tab.EnableDraw(0));
    EXPECT_EQ(dlg.tab.GetStyle() & TCS_OWNERDRAWFIXED, 0u);
    QImage image = Render();
    EXPECT_TRUE(dlg.tab.calls.empty()); // the control paints itself
    EXPECT_EQ(At(image, 46, 6), GetSysColor(COLOR_BTNFACE));

    ASSERT_TRUE(dlg.tab.EnableDraw(1));
    Render();
    // The control's own painting asks for each tab, in index order.
    ASSERT_EQ(dlg.tab.calls.size(), 2u);
    EXPECT_EQ(dlg.tab.calls[0].item, 0u);
    EXPECT_EQ(dlg.tab.calls[0].state, ODS_SELECTED);
    EXPECT_EQ(dlg.tab.calls[1].item, 1u);

    EXPECT_FALSE(dlg.tab.EnableDraw(3));
    EXPECT_FALSE(dlg.tab.EnableDraw(-1));
    EXPECT_NE(dlg.tab.GetStyle() & TCS_OWNERDRAWFIXED, 0u);
}

TEST_F(BaseTabCtrlTest, TheHandShowsOnlyOverTabsThatCanBeChosen) {
    AddTabs(5, 1);
    auto cursorOver = [&](int x, int y) {
        // The cursor is set before each move, from what the last move found.
        platform::win::MouseInput(dlg.tab.GetSafeHwnd(), WM_MOUSEMOVE, {x, y});
        platform::win::MouseInput(dlg.tab.GetSafeHwnd(), WM_MOUSEMOVE, {x, y});
        return platform::win::CurrentCursor()->resourceId;
    };
    EXPECT_EQ(cursorOver(20, 10), 213u); // tab 0
    EXPECT_EQ(cursorOver(60, 10), 0u);   // the selected tab
    EXPECT_EQ(cursorOver(100, 10), 213u);
    EXPECT_EQ(cursorOver(140, 10), 0u); // tab 3
    EXPECT_EQ(cursorOver(180, 10), 213u);
    EXPECT_EQ(cursorOver(60, 40), 0u); // the page
}

} // namespace
