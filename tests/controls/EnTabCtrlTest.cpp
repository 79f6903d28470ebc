#include "controls/EnTabCtrl.h"
#include "TestResources.h"
#include "platform/win/Dialog.h"
#include "platform/win/Window.h"

#include <gtest/gtest.h>

namespace {

class TabDialog final : public CDialog {
public:
    CEnTabCtrl tab;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 1368, tab); }
};

class EnTabCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        CEnTabCtrl::EnableDraw(0, 0);
        res.AddDialog(640, "DIALOG 640 0 0 200 120\n"
                           "CONTROL 1368 SysTabControl32 WS_VISIBLE 0 0 150 100 \"\"\n");
    }
    void TearDown() override { CEnTabCtrl::EnableDraw(0, 0); }
    static COLORREF At(const QImage& image, int x, int y) {
        const QRgb p = image.pixel(x, y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }

    TestResources res;
};

TEST_F(EnTabCtrlTest, ThePageFrameIsLightAboveAndLeftAndDarkBelowAndRight) {
    TabDialog dlg;
    ASSERT_TRUE(dlg.Create(640));
    // As the main view sets it up.
    dlg.tab.SetBkgndColor(RGB(227, 228, 238));
    dlg.tab.EnableDraw(2);
    CEnTabCtrl::EnableDraw(0x1F, 0x1F);
    dlg.tab.Invalidate();
    const QImage image = platform::win::RenderWindow(dlg.GetSafeHwnd());
    CRect client, page;
    dlg.tab.GetClientRect(&client);
    page = client;
    dlg.tab.AdjustRect(FALSE, &page);
    const int top = page.top - 2;
    const COLORREF light = RGB(255, 255, 255), dark = RGB(170, 171, 178);
    EXPECT_EQ(At(image, 0, top), light);
    EXPECT_EQ(At(image, client.right / 2, top), light);
    EXPECT_EQ(At(image, 0, (top + client.bottom) / 2), light);
    EXPECT_EQ(At(image, client.right - 1, (top + client.bottom) / 2), dark);
    EXPECT_EQ(At(image, client.right / 2, client.bottom - 1), dark);
    EXPECT_EQ(At(image, client.right / 2, 0), RGB(227, 228, 238)); // the band above the tab row
}

TEST_F(EnTabCtrlTest, TheStyleWordDecidesTheOwnerDrawStyleAtSubclassing) {
    {
        TabDialog dlg;
        ASSERT_TRUE(dlg.Create(640));
        EXPECT_EQ(dlg.tab.GetStyle() & TCS_OWNERDRAWFIXED, 0u); // word still 0
        dlg.tab.EnableDraw(2);                                  // the base's mode gives it anyway
        EXPECT_NE(dlg.tab.GetStyle() & TCS_OWNERDRAWFIXED, 0u);
    }
    CEnTabCtrl::EnableDraw(1, 0x1F);
    {
        TabDialog dlg;
        ASSERT_TRUE(dlg.Create(640));
        EXPECT_NE(dlg.tab.GetStyle() & TCS_OWNERDRAWFIXED, 0u);
    }
    CEnTabCtrl::EnableDraw(0, 0x1F);
    EXPECT_EQ(CEnTabCtrl::GetStyleWord(), 0);
}

TEST(EnTabColours, LightenAndDarkenCapAndTruncateEachChannel) {
    const struct {
        COLORREF in;
        double f;
        COLORREF lighter, darker;
    } cases[] = {
        {RGB(227, 228, 238), 1.5, RGB(255, 255, 255), RGB(227, 228, 238)},
        {RGB(227, 228, 238), 0.75, RGB(227, 228, 238), RGB(170, 171, 178)},
        {RGB(100, 10, 0), 2.0, RGB(200, 20, 0), RGB(100, 10, 0)},
        {RGB(100, 10, 0), -1.0, RGB(100, 10, 0), RGB(0, 0, 0)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CEnTabCtrl::Lighten(c.in, c.f), c.lighter) << c.f;
        EXPECT_EQ(CEnTabCtrl::Darken(c.in, c.f), c.darker) << c.f;
    }
}

} // namespace
