#include "controls/ComBoxBtn.h"
#include "TestResources.h"
#include "platform/sys/MessageWindow.h"
#include "platform/sys/UserMessages.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "platform/win/WorkArea.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <utility>

namespace {

constexpr COLORREF kNormal = RGB(40, 60, 90), kHover = RGB(90, 140, 40);
constexpr int kReportedId = 1015;

class DropDialog final : public CDialog {
public:
    CComBoxBtn combo;
    std::vector<std::pair<WPARAM, LPARAM>> picks;
    std::vector<std::pair<WPARAM, LPARAM>> moves;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 1012, combo); }
    LRESULT OnPicked(WPARAM wp, LPARAM lp) {
        picks.emplace_back(wp, lp);
        return 0;
    }
    LRESULT OnMoved(WPARAM wp, LPARAM lp) {
        moves.emplace_back(wp, lp);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DropDialog, CDialog)
ON_MESSAGE(UM_DROPLIST_SELECTED, &DropDialog::OnPicked)
ON_MESSAGE(UM_MOUSE_MOVE_NOTIFY, &DropDialog::OnMoved)
END_MESSAGE_MAP()

// A button of 80 x 20 pixels (the picture's size) holding four entries of
// 14 pixels; the output page's control 1012 reports 1015.
class ComBoxBtnTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::win::SetWorkAreaForTesting(RECT{0, 0, 1920, 1080});
        res.AddBitmap(701, 80, 20, kNormal);
        res.AddBitmap(702, 80, 20, kHover);
        res.AddDialog(600, "DIALOG 600 0 0 200 120\n"
                           "CONTROL 1012 Button WS_VISIBLE|WS_TABSTOP 10 10 60 14 \"\"\n"
                           "CONTROL 1013 Edit WS_VISIBLE|WS_TABSTOP 10 90 60 14 \"\"\n");
        ASSERT_TRUE(dlg.Create(600));
        dlg.combo.SetBitmap(701, 702);
        ASSERT_TRUE(dlg.combo.CreateDropList(&dlg, kReportedId));
        Fill(4);
        dlg.combo.SetUserFlag(1);
    }
    void TearDown() override { platform::win::SetWorkAreaForTesting(std::nullopt); }

    void Fill(int count) {
        dlg.combo.ResetContent();
        for (int i = 0; i < count; ++i)
            dlg.combo.AddString("Entry " + std::to_string(i));
    }
    HWND Button() { return dlg.combo.GetSafeHwnd(); }
    CListBox& List() { return *dlg.combo.GetDropWnd()->GetList(); }
    CRect ButtonRect() {
        CRect r;
        dlg.combo.GetWindowRect(&r);
        return r;
    }
    CRect PopupRect() {
        CRect r;
        dlg.combo.GetDropWnd()->GetWindowRect(&r);
        return r;
    }
    bool PopupShown() { return (dlg.combo.GetDropWnd()->GetStyle() & WS_VISIBLE) != 0; }
    void Press(HWND hwnd, POINT at) {
        platform::win::MouseInput(hwnd, WM_LBUTTONDOWN, at);
        platform::win::MouseInput(hwnd, WM_LBUTTONUP, at);
        clock.Advance(1000); // no double clicks
    }
    void Open() { Press(Button(), {5, 5}); }
    std::vector<std::pair<WPARAM, LPARAM>> TakePicks() {
        platform::PumpMessages();
        return std::exchange(dlg.picks, {});
    }

    platform::VirtualClock clock;
    TestResources res;
    DropDialog dlg;
};

using Picks = std::vector<std::pair<WPARAM, LPARAM>>;

TEST_F(ComBoxBtnTest, ThePopupOpensUnderTheButtonCoveringItsLastRow) {
    const struct {
        int entries;
        int height; // the list's height plus the overlapped row
    } cases[] = {{3, 43}, {5, 71}, {9, 127}, {12, 131}};
    const CRect b = ButtonRect();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entries);
        Fill(c.entries);
        Open();
        EXPECT_TRUE(PopupShown());
        EXPECT_EQ(PopupRect(), CRect(b.left, b.bottom - 1, b.right, b.bottom - 1 + c.height));
        CRect list;
        List().GetWindowRect(&list);
        EXPECT_EQ(list, PopupRect()); // the list covers the whole popup
    }
    // Twelve entries do not fit: the last lies below the list's bottom.
    CRect last, client;
    List().GetItemRect(11, &last);
    List().GetClientRect(&client);
    EXPECT_GT(last.bottom, client.bottom);
}

TEST_F(ComBoxBtnTest, AtTheBottomOfTheWorkAreaThePopupOpensUpward) {
    Fill(5);
    const CRect b = ButtonRect();
    platform::win::SetWorkAreaForTesting(RECT{0, 0, 1920, b.bottom + 69});
    Open();
    EXPECT_EQ(PopupRect(), CRect(b.left, b.top - 70, b.right, b.top));
    platform::win::SetWorkAreaForTesting(RECT{0, 0, 1920, b.bottom + 70});
    Open();
    EXPECT_EQ(PopupRect().top, b.bottom - 1); // just fits below
}

TEST_F(ComBoxBtnTest, APickShowsTheEntryAndPostsTheReportedIdAndIndex) {
    Open();
    const HWND list = List().GetSafeHwnd();
    platform::win::MouseInput(list, WM_MOUSEMOVE, {20, 2 * 14 + 5});
    EXPECT_EQ(List().GetCurSel(), 2); // the entry under the mouse
    Press(list, {20, 2 * 14 + 5});
    EXPECT_FALSE(PopupShown());
    EXPECT_EQ(TakePicks(), (Picks{{kReportedId, 2}}));
    EXPECT_EQ(dlg.combo.GetWindowText(), "Entry 2");
    EXPECT_EQ(dlg.combo.GetCurSel(), 2);
    // Picking the shown entry again still reports it.
    Open();
    Press(list, {20, 2 * 14 + 5});
    EXPECT_EQ(TakePicks(), (Picks{{kReportedId, 2}}));
}

TEST_F(ComBoxBtnTest, BeforeTheFirstPressTheMouseLeavesTheFocusAloneAndThePressOpensIt) {
    // The popup exists, visible with no size, from its creation: that is not
    // shown, and the keys stay where they were.
    CWnd& other = *dlg.GetDlgItem(1013);
    other.SetFocus();
    platform::win::MouseInput(Button(), WM_MOUSEMOVE, {3, 3}, MK_SHIFT);
    EXPECT_EQ(dlg.moves, (Picks{{WPARAM(MK_SHIFT), 1012}}));
    EXPECT_EQ(CWnd::GetFocus(), &other);
    Open();
    EXPECT_TRUE(PopupShown());
    EXPECT_FALSE(PopupRect().IsRectEmpty());
    platform::win::MouseInput(Button(), WM_MOUSEMOVE, {4, 4});
    EXPECT_EQ(CWnd::GetFocus(), &List());
}

TEST_F(ComBoxBtnTest, AKeyInTheListWithTheMouseOutsideTakesTheChangeBack) {
    Open();
    platform::win::MouseInput(Button(), WM_MOUSEMOVE, {7, 7}); // the focus goes into the list
    ASSERT_EQ(CWnd::GetFocus(), &List());
    platform::win::KeyInput(VK_DOWN);
    EXPECT_FALSE(PopupShown());
    EXPECT_EQ(List().GetCurSel(), 0);
    EXPECT_TRUE(TakePicks().empty());
    EXPECT_EQ(dlg.combo.GetWindowText(), "");
}

TEST_F(ComBoxBtnTest, AnotherApplicationTakingTheKeyboardClosesThePopup) {
    Open();
    platform::win::MouseInput(Button(), WM_MOUSEMOVE, {7, 7});
    ASSERT_EQ(CWnd::GetFocus(), &List());
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(PopupShown());
    EXPECT_TRUE(TakePicks().empty());
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
}

TEST_F(ComBoxBtnTest, TheWheelStepsOnceAWholeNotchGathersAndPostsAtEveryStep) {
    const struct {
        const char* name;
        int start;
        std::vector<int> deltas;
        int selected;
        Picks posted;
    } cases[] = {
        {"three thirds of a notch down", 0, {-40, -40, -40}, 1, {{kReportedId, 1}}},
        {"a double notch is one step", 0, {-240}, 1, {{kReportedId, 1}}},
        {"up at the first entry", 0, {120}, 0, {{kReportedId, 0}}},
        {"down at the last entry", 3, {-120}, 3, {{kReportedId, 3}}},
        {"half a notch each way", 1, {60, -60}, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dlg.combo.SetCurSel(c.start);
        platform::win::WheelInput(Button(), 60, {5, 5}); // empties a sum left over
        platform::win::WheelInput(Button(), -60, {5, 5});
        TakePicks();
        ::SetFocus(Button());
        for (size_t i = 0; i < c.deltas.size(); ++i) {
            platform::win::WheelInput(Button(), c.deltas[i], {5, 5});
            if (i + 1 < c.deltas.size()) { // nothing before the notch is whole
                EXPECT_TRUE(TakePicks().empty());
            }
        }
        EXPECT_EQ(TakePicks(), c.posted);
        EXPECT_EQ(dlg.combo.GetCurSel(), c.selected);
        EXPECT_EQ(dlg.combo.GetWindowText(), "Entry " + std::to_string(c.selected));
    }
}

TEST_F(ComBoxBtnTest, SetCurSelPostsNothingAndIgnoresIndexesNamingNoEntry) {
    dlg.combo.SetCurSel(2);
    EXPECT_EQ(dlg.combo.GetWindowText(), "Entry 2");
    for (int bad : {4, -1, 1000}) {
        dlg.combo.SetCurSel(bad);
        EXPECT_EQ(dlg.combo.GetCurSel(), 2);
        EXPECT_EQ(dlg.combo.GetWindowText(), "Entry 2");
    }
    // A pick naming no entry changes nothing either.
    dlg.combo.SendMessage(UM_DROPLIST_SELECTED, 9, 0);
    EXPECT_EQ(dlg.combo.GetWindowText(), "Entry 2");
    EXPECT_TRUE(TakePicks().empty());
}

TEST_F(ComBoxBtnTest, RefillingSelectsTheFirstEntryAtTheSecondAndKeepsTheCaption) {
    dlg.combo.SetCurSel(3);
    dlg.combo.ResetContent();
    EXPECT_EQ(dlg.combo.GetCurSel(), -1);
    dlg.combo.AddString("a");
    EXPECT_EQ(dlg.combo.GetCurSel(), -1);
    dlg.combo.AddString("b");
    EXPECT_EQ(dlg.combo.GetCurSel(), 0);
    EXPECT_EQ(dlg.combo.GetWindowText(), "Entry 3");
}

COLORREF Pixel(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

TEST_F(ComBoxBtnTest, ButtonAndListPaintTheirColours) {
    const CRect b = ButtonRect();
    CRect inDialog = b;
    dlg.ScreenToClient(&inDialog);
    EXPECT_EQ(Pixel(platform::win::RenderWindow(dlg.GetSafeHwnd()), inDialog.left + 1, inDialog.top + 1),
              kNormal);

    Fill(3);
    Open();
    platform::win::MouseInput(List().GetSafeHwnd(), WM_MOUSEMOVE, {20, 14 + 3});
    const QImage popup = platform::win::RenderWindow(dlg.combo.GetDropWnd()->GetSafeHwnd());
    Press(List().GetSafeHwnd(), {20, 14 + 3});
    // A pick leaves the button in its hover look.
    EXPECT_EQ(Pixel(platform::win::RenderWindow(dlg.GetSafeHwnd()), inDialog.left + 1, inDialog.top + 1),
              kHover);
    EXPECT_EQ(Pixel(popup, 1, 3), RGB(27, 34, 50));          // entry 0
    EXPECT_EQ(Pixel(popup, 1, 14 + 3), RGB(13, 133, 138));   // entry 1, under the mouse
    EXPECT_EQ(Pixel(popup, 1, 3 * 14 + 0), RGB(27, 34, 50)); // below the last entry
}

TEST_F(ComBoxBtnTest, APictureIdNamingNoResourceDrawsTheButtonFace) {
    dlg.combo.SetBitmap(7010, 7020);
    CRect r = ButtonRect();
    dlg.ScreenToClient(&r);
    dlg.combo.Invalidate();
    EXPECT_EQ(Pixel(platform::win::RenderWindow(dlg.GetSafeHwnd()), r.left + 1, r.top + 1),
              GetSysColor(COLOR_BTNFACE));
}

} // namespace
