#include "controls/BtnPng.h"
#include "TestResources.h"
#include "model/Globals.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// Pictures: unchecked 11..13, checked 21..23, second language 41..46; a
// half-transparent one, 31.
constexpr COLORREF kBack = RGB(40, 60, 80), kOtherBack = RGB(250, 250, 250);
constexpr COLORREF kN = RGB(200, 0, 0), kH = RGB(0, 200, 0), kP = RGB(0, 0, 200);
constexpr COLORREF kCN = RGB(200, 200, 0), kCH = RGB(0, 200, 200), kCP = RGB(200, 0, 200);
constexpr COLORREF kLangN = RGB(120, 120, 0);

class PngDialog final : public CDialog {
public:
    CBtnPng a, b, c;
    COLORREF back = kBack;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 1301, a);
        DDX_Control(dx, 1302, b);
        DDX_Control(dx, 1303, c);
    }
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT kind) {
        HBRUSH answer = CDialog::OnCtlColor(dc, wnd, kind);
        if (kind != CTLCOLOR_DLG)
            return answer;
        m_brush.DeleteObject();
        m_brush.CreateSolidBrush(back);
        return m_brush.GetHandle();
    }
    DECLARE_MESSAGE_MAP()

private:
    CBrush m_brush;
};

BEGIN_MESSAGE_MAP(PngDialog, CDialog)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

class BtnPngTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::pair<UINT, COLORREF> pictures[] = {{11, kN},  {12, kH},  {13, kP},    {21, kCN},
                                                      {22, kCH}, {23, kCP}, {41, kLangN}};
        for (auto [id, color] : pictures)
            res.AddPng(id, 30, 20, color);
        res.AddPng(31, 30, 20, RGB(255, 0, 0), 128);
        res.AddDialog(700, "DIALOG 700 0 0 200 100\n"
                           "CONTROL 1301 Button WS_VISIBLE 10 10 40 30 \"\"\n"
                           "CONTROL 1302 Button WS_VISIBLE 60 10 40 30 \"\"\n"
                           "CONTROL 1303 Button WS_VISIBLE 110 10 40 30 \"\"\n");
        ASSERT_TRUE(dlg.Create(700));
    }
    void TearDown() override { g_bChinese = 0; }

    // The colour at the button's centre, in its rendered dialog.
    static COLORREF Shown(CWnd& button) {
        CWnd* parent = button.GetParent();
        const QImage image = platform::win::RenderWindow(parent->GetSafeHwnd());
        CRect r;
        button.GetWindowRect(&r);
        parent->ScreenToClient(&r);
        const QRgb p = image.pixel(r.CenterPoint().x, r.CenterPoint().y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    void Hover(CWnd& button) {
        platform::win::MouseInput(button.GetSafeHwnd(), WM_MOUSEMOVE, {5, 5});
        clock.Advance(1); // the hover notice
        platform::PumpMessages();
    }
    void Leave() {
        platform::win::MouseLeftWindows();
        platform::PumpMessages();
    }
    void Click(CWnd& button, std::function<void()> whilePressed) {
        clock.Advance(1000); // never a double click
        platform::win::MouseInput(button.GetSafeHwnd(), WM_LBUTTONDOWN, {5, 5});
        whilePressed();
        platform::win::MouseInput(button.GetSafeHwnd(), WM_LBUTTONUP, {5, 5});
    }

    // What the button shows in its eight states: normal, hover, pressed,
    // the same checked, disabled, disabled checked.
    std::array<COLORREF, 8> EveryState(CBtnPng& button) {
        std::array<COLORREF, 8> shown{};
        for (int checked = 0; checked < 2; ++checked) {
            button.SetChecked(checked);
            shown[3 * checked] = Shown(button);
            Hover(button);
            shown[3 * checked + 1] = Shown(button);
            Click(button, [&] { shown[3 * checked + 2] = Shown(button); });
            Leave();
        }
        button.SetChecked(FALSE);
        button.EnableWindow(FALSE);
        shown[6] = Shown(button);
        button.SetChecked(TRUE);
        shown[7] = Shown(button);
        return shown;
    }

    platform::VirtualClock clock;
    TestResources res;
    PngDialog dlg;
};

TEST_F(BtnPngTest, AStateWithoutAPictureShowsTheStateComposedBeforeIt) {
    struct Case {
        const char* name;
        UINT images[3];
        UINT checkedImages[3];
        std::array<COLORREF, 8> shown;
    } cases[] = {
        {"all six", {11, 12, 13}, {21, 22, 23}, {kN, kH, kP, kCN, kCH, kCP, kCP, kCP}},
        {"unchecked only", {11, 12, 13}, {0, 0, 0}, {kN, kH, kP, kP, kP, kP, kP, kP}},
        {"checked only", {0, 0, 0}, {21, 22, 23}, {kBack, kBack, kBack, kCN, kCH, kCP, kCP, kCP}},
        {"no hover pictures", {11, 0, 13}, {21, 0, 0}, {kN, kN, kP, kCN, kCN, kCN, kCN, kCN}},
        {"none", {0, 0, 0}, {0, 0, 0}, {kBack, kBack, kBack, kBack, kBack, kBack, kBack, kBack}},
    };
    for (const auto& c : cases) {
        PngDialog fresh;
        ASSERT_TRUE(fresh.Create(700));
        const UINT* i = c.images;
        const UINT* k = c.checkedImages;
        if (i[0] || i[1] || i[2])
            fresh.a.SetImages(i[0], i[1], i[2]);
        if (k[0] || k[1] || k[2])
            fresh.a.SetCheckedImages(k[0], k[1], k[2]);
        EXPECT_EQ(EveryState(fresh.a), c.shown) << c.name;
    }
}

TEST_F(BtnPngTest, APictureBlendsOverTheParentsPixelsCapturedAtTheFirstPaint) {
    dlg.a.SetImages(31, 31, 31);
    CRect r;
    dlg.a.GetClientRect(&r);
    EXPECT_EQ(r.Width(), 30); // sized to the normal picture
    EXPECT_EQ(r.Height(), 20);
    const COLORREF blended = Shown(dlg.a);
    EXPECT_NEAR(GetRValue(blended), (255 * 128 + 40 * 127) / 255, 2);
    EXPECT_NEAR(GetGValue(blended), 60 * 127 / 255, 2);
    EXPECT_NEAR(GetBValue(blended), 80 * 127 / 255, 2);
    // The parent changes its colour: the button keeps the background it saw.
    dlg.back = kOtherBack;
    dlg.Invalidate(TRUE);
    const QImage image = platform::win::RenderWindow(dlg.GetSafeHwnd());
    EXPECT_EQ(image.pixel(2, 2) & 0xFFFFFF, qRgb(250, 250, 250) & 0xFFFFFF);
    EXPECT_EQ(Shown(dlg.a), blended);
}

TEST_F(BtnPngTest, SetCheckedRepaintsOnlyOnAChange) {
    dlg.a.SetImages(11, 12, 13);
    Shown(dlg.a);
    auto* w = platform::win::Window::From(dlg.a.GetSafeHwnd());
    dlg.a.SetChecked(FALSE);
    EXPECT_TRUE(w->invalid.isEmpty());
    dlg.a.SetChecked(TRUE);
    EXPECT_FALSE(w->invalid.isEmpty());
    EXPECT_TRUE(dlg.a.GetChecked());
}

TEST_F(BtnPngTest, BuddiesFollowTheHoverOfAnUncheckedButtonUntilItIsHidden) {
    for (CBtnPng* button : {&dlg.a, &dlg.b, &dlg.c}) {
        button->SetImages(11, 12, 13);
        button->SetCheckedImages(21, 22, 23);
    }
    dlg.a.SetBuddies(&dlg.b, &dlg.c);
    Hover(dlg.a);
    EXPECT_EQ(Shown(dlg.b), kH);
    EXPECT_EQ(Shown(dlg.c), kH);
    Leave();
    EXPECT_EQ(Shown(dlg.b), kN);

    dlg.a.SetChecked(TRUE);
    Hover(dlg.a);
    EXPECT_EQ(Shown(dlg.b), kN); // a checked button leaves its buddies alone
    Leave();

    // Unchecking clears the buddies' hover look...
    Hover(dlg.b);
    dlg.a.SetChecked(FALSE);
    EXPECT_EQ(Shown(dlg.b), kN);
    // ...unless the button was hidden, which forgets them.
    dlg.a.SetChecked(TRUE);
    Hover(dlg.b);
    dlg.a.ShowButton(SW_HIDE);
    dlg.a.SetChecked(FALSE);
    EXPECT_EQ(Shown(dlg.b), kH);
    EXPECT_FALSE(dlg.a.IsWindowVisible());
}

TEST_F(BtnPngTest, TheSecondLanguageSetShowsInTheChineseInterface) {
    dlg.a.SetImages(11, 12, 13);
    dlg.a.SetAllImages(41, 0, 0, 0, 0, 0);
    g_bChinese = 1;
    EXPECT_EQ(Shown(dlg.a), kLangN);
    g_bChinese = 0;
    dlg.a.Refresh();
    EXPECT_EQ(Shown(dlg.a), kN);
    EXPECT_EQ(dlg.a.GetTag(), -1);
}

} // namespace
