// What a dialog's frame does beyond its controls: the caption's close box
// and the layout of templates on the system font.

#include "TestResources.h"
#include "platform/res/Resources.h"
#include "platform/sys/MessageBox.h"
#include "platform/win/Dialog.h"
#include "platform/win/Window.h"
#include "platform/win/WorkArea.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <optional>

namespace {

class CountingDialog final : public CDialog {
public:
    explicit CountingDialog(UINT id) : CDialog(id) {}
    int cancels = 0;

protected:
    void OnCancel() override {
        ++cancels;
        CDialog::OnCancel();
    }
};

TEST(DialogFrame, TheCloseBoxCancelsAModalDialog) {
    TestResources res;
    res.AddDialog(740, "DIALOG 740 0 0 100 50\nSTYLE WS_POPUP|WS_CAPTION|WS_SYSMENU\n");
    CountingDialog dlg(740);
    // The close box is the host window's close request.
    QTimer::singleShot(0, [&] {
        auto* w = platform::win::Window::From(dlg.GetSafeHwnd());
        ASSERT_TRUE(w && w->widget);
        w->widget->close();
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.cancels, 1);
}

TEST(DialogFrame, SystemFontTemplatesUseItsFixedBaseUnits) {
    TestResources res;
    res.AddDialog(741, "DIALOG 741 0 0 69 159\nSTYLE WS_CHILD\nFONT 10 \"System\"\n"
                       "CONTROL 11 Button WS_CHILD|WS_VISIBLE 0 87 16 9 \"\"\n"
                       "CONTROL 12 Button WS_CHILD|WS_VISIBLE 53 123 16 9 \"\"\n");
    res.AddDialog(742, "DIALOG 742 0 0 200 300\nSTYLE WS_POPUP\n");
    CDialog owner(742);
    ASSERT_TRUE(owner.Create(742));
    CDialog strip(741);
    ASSERT_TRUE(strip.Create(741, &owner));
    CRect r;
    strip.GetDlgItem(11)->GetWindowRect(&r);
    strip.ScreenToClient(&r);
    // 8 x 16 pixels per base unit: 4 x 8 dialog units.
    EXPECT_EQ(r, CRect(0, 174, 32, 192));
    strip.GetDlgItem(12)->GetWindowRect(&r);
    strip.ScreenToClient(&r);
    EXPECT_EQ(r.left, 106);
    EXPECT_EQ(r.top, 246);
}

// A centred template opens in the middle of the work area, wherever its owner
// is; without the style it keeps its place beside the owner.
TEST(DialogFrame, ACentredTemplateOpensInTheMiddleOfTheWorkArea) {
    platform::win::SetWorkAreaForTesting(RECT{0, 0, 1000, 800});
    TestResources res;
    res.AddDialog(743, "DIALOG 743 0 0 200 300\nSTYLE WS_POPUP\n");
    res.AddDialog(744, "DIALOG 744 0 0 100 50\nSTYLE WS_POPUP|WS_CAPTION|DS_CENTER\n");
    res.AddDialog(745, "DIALOG 745 0 0 100 50\nSTYLE WS_POPUP|WS_CAPTION\n");
    CDialog owner(743);
    ASSERT_TRUE(owner.Create(743));
    owner.MoveWindow(40, 30, 200, 300, FALSE);
    CDialog centred(744), placed(745);
    ASSERT_TRUE(centred.Create(744, &owner));
    ASSERT_TRUE(placed.Create(745, &owner));
    CRect c, p;
    centred.GetWindowRect(&c);
    placed.GetWindowRect(&p);
    EXPECT_EQ(c.left, (1000 - c.Width()) / 2);
    EXPECT_EQ(c.top, (800 - c.Height()) / 2);
    EXPECT_EQ(p.TopLeft(), CPoint(40, 30));
    platform::win::SetWorkAreaForTesting(std::nullopt);
}

// Moving and sizing take the whole window, frame included; the client area is
// what the frame leaves, and the window rectangle agrees with both.  What the
// desktop is told follows the style: a caption, a close box only with the
// system menu, never a minimise or maximise box, and the one size the
// program gives, which the desktop cannot change.
TEST(DialogFrame, MoveAndSizeTakeTheWindowWithItsFrame) {
    struct Case {
        const char* style;
        int left, top, right, bottom; // the frame
        bool caption, closeBox;
    } const cases[] = {
        {"WS_POPUP|WS_CAPTION|WS_SYSMENU|DS_MODALFRAME", 3, 22, 3, 3, true, true},
        {"WS_POPUP|WS_CAPTION", 3, 22, 3, 3, true, false},
        {"WS_POPUP|DS_MODALFRAME", 3, 3, 3, 3, false, false},
        {"WS_POPUP|WS_BORDER", 1, 1, 1, 1, false, false},
        {"WS_POPUP", 0, 0, 0, 0, false, false},
    };
    auto expectDesktopFrame = [](CDialog& dlg, const Case& c) {
        const QWidget* widget = platform::win::Window::From(dlg.GetSafeHwnd())->widget;
        const Qt::WindowFlags flags = widget->windowFlags();
        EXPECT_EQ(flags.testFlag(Qt::WindowTitleHint), c.caption);
        EXPECT_EQ(flags.testFlag(Qt::WindowCloseButtonHint), c.closeBox);
        EXPECT_FALSE(flags & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
        CRect client;
        dlg.GetClientRect(&client);
        EXPECT_EQ(widget->minimumSize(), QSize(client.Width(), client.Height()));
        EXPECT_EQ(widget->maximumSize(), widget->minimumSize());
        EXPECT_EQ(widget->size(), widget->minimumSize());
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        TestResources res;
        res.AddDialog(746, std::string("DIALOG 746 0 0 100 50\nSTYLE ") + c.style + "\n" +
                               "CONTROL 11 Button WS_CHILD|WS_VISIBLE 0 0 20 10 \"\"\n");
        CDialog dlg(746);
        ASSERT_TRUE(dlg.Create(746));
        CRect window, client;
        dlg.GetWindowRect(&window);
        dlg.GetClientRect(&client);
        EXPECT_EQ(window.Width(), client.Width() + c.left + c.right);
        EXPECT_EQ(window.Height(), client.Height() + c.top + c.bottom);
        expectDesktopFrame(dlg, c);

        dlg.MoveWindow(100, 50, 397, 160);
        dlg.GetWindowRect(&window);
        dlg.GetClientRect(&client);
        EXPECT_EQ(window, CRect(100, 50, 497, 210));
        EXPECT_EQ(client, CRect(0, 0, 397 - c.left - c.right, 160 - c.top - c.bottom));
        CPoint origin(0, 0);
        dlg.ClientToScreen(&origin);
        EXPECT_EQ(origin, CPoint(100 + c.left, 50 + c.top));
        expectDesktopFrame(dlg, c);

        dlg.SetWindowPos(nullptr, 0, 0, 300, 120, SWP_NOMOVE | SWP_NOZORDER);
        dlg.GetWindowRect(&window);
        EXPECT_EQ(window, CRect(100, 50, 400, 170));
        expectDesktopFrame(dlg, c);
        dlg.SetWindowPos(nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        dlg.GetWindowRect(&window);
        EXPECT_EQ(window, CRect(10, 20, 310, 140));

        // A control has no frame of the desktop's: it is sized as given.
        CWnd* button = dlg.GetDlgItem(11);
        button->MoveWindow(5, 6, 70, 20);
        button->GetWindowRect(&window);
        dlg.ScreenToClient(&window);
        EXPECT_EQ(window, CRect(5, 6, 75, 26));
    }
}

// Centring places the whole window, frame included.
TEST(DialogFrame, CentringPlacesTheWindowWithItsFrame) {
    TestResources res;
    res.AddDialog(747, "DIALOG 747 0 0 200 300\nSTYLE WS_POPUP\n");
    res.AddDialog(748, "DIALOG 748 0 0 100 50\nSTYLE WS_POPUP|WS_CAPTION|DS_MODALFRAME\n");
    CDialog owner(747), dlg(748);
    ASSERT_TRUE(owner.Create(747));
    owner.MoveWindow(40, 30, 400, 300, FALSE);
    ASSERT_TRUE(dlg.Create(748, &owner));
    dlg.MoveWindow(0, 0, 200, 100);
    dlg.CenterWindow(&owner);
    CRect r;
    dlg.GetWindowRect(&r);
    EXPECT_EQ(r, CRect(140, 130, 340, 230));
}

} // namespace

// The program's windows pair templates with pictures and pixel positions
// made for the original platform's base units. A window its template sizes
// comes out at its background picture's size, read from the program's own
// pictures, give or take kSlack pixels: the original platform rounds every
// dialog unit to whole pixels, so a window lies a few pixels off its picture
// (the phase dialog is 3 narrower than its 680), while a base unit one pixel
// off moves each of these windows by 14 pixels or more. Windows their
// parents size keep their controls inside their pictures. Each control's
// pixels, checked once against its picture, are kept as they came out.
TEST(DialogFrame, TemplatesComeOutAtThePixelsTheirPicturesWereMadeFor) {
    constexpr int kSlack = 6;
    struct Case {
        const char* what;
        const char* font;
        int cx, cy;     // dialog, dialog units
        int x, y, w, h; // one control, dialog units
        UINT picture;   // the window's background
        bool sized;     // the template gives the window its size
        CRect control;  // the control, client pixels
    };
    // clang-format off
    const Case cases[] = {
        // The header at 280, 40 lies above the sections.
        {"phase dialog", "FONT 7 \"Arial\"", 542, 239, 246, 75, 40, 9, 1174, true, {307, 112, 357, 126}},
        {"noise gate", "FONT 7 \"Arial\"", 188, 107, 0, 0, 1, 1, 1191, true, {0, 0, 1, 1}},
        // The response graph ends left of the overlay strip at x 1050, whose
        // 210 rows from y 21 end above the band numbers.
        {"output page graph", "FONT 7 \"Arial\"", 1037, 460, 121, 11, 714, 144, 286, false, {151, 16, 1043, 232}},
        {"output page band numbers", "FONT 7 \"Arial\"", 1037, 460, 840, 172, 29, 8, 286, false, {1050, 258, 1086, 270}},
        // 1280 wide; the page frame ends 6 pixels above the strips at y 499.
        {"main form page frame", "FONT 8 \"Arial\"", 853, 400, 0, 19, 852, 263, 284, false, {0, 33, 1278, 493}},
        // The three unit buttons (27 pixels tall pictures) inside 140 rows.
        {"delay unit panel", "FONT 8 \"MS Sans Serif\"", 51, 149, 9, 65, 13, 10, 1005, false, {13, 105, 33, 121}},
        {"mixer", "FONT 10 \"System\"", 445, 249, 0, 0, 1, 1, 994, true, {0, 0, 2, 2}},
        // Row 16's slider (a 16-row picture) ends inside the 439-row window
        // the mixer gives each panel.
        {"mixing panel", "FONT 7 \"Arial\"", 185, 344, 27, 278, 11, 11, 1172, false, {33, 417, 47, 433}},
        // The bypass row (15-row pictures) ends inside the 454 rows the page
        // frame shows.
        {"output page bypass row", "FONT 7 \"Arial\"", 1037, 460, 142, 288, 16, 12, 286, false, {177, 432, 197, 450}},
        // The delay edit takes the bottom row of the 140 x 221 strip window.
        {"output strip delay edit", "FONT 7 \"Arial\"", 156, 173, 47, 135, 36, 9, 1152, false, {58, 202, 103, 216}},
        // Mute sits under the fader channel (114 rows from y 68) inside the
        // 84 x 220 window.
        {"gain panel mute", "FONT 8 \"Arial\"", 53, 145, 15, 109, 20, 10, 1153, false, {22, 190, 52, 208}},
    };
    // clang-format on
    platform::res::ProgramResources program;
    TestResources res;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<QImage> picture = program.Bitmap(c.picture);
        ASSERT_TRUE(picture && !picture->isNull());
        res.AddDialog(746, "DIALOG 746 0 0 " + std::to_string(c.cx) + " " + std::to_string(c.cy) +
                               "\nSTYLE WS_POPUP\n" + c.font + "\nCONTROL 11 Static WS_CHILD|WS_VISIBLE " +
                               std::to_string(c.x) + " " + std::to_string(c.y) + " " + std::to_string(c.w) +
                               " " + std::to_string(c.h) + " \"\"\n");
        CDialog dlg(746);
        ASSERT_TRUE(dlg.Create(746));
        CRect client, r;
        dlg.GetClientRect(&client);
        if (c.sized) {
            EXPECT_NEAR(client.Width(), picture->width(), kSlack);
            EXPECT_NEAR(client.Height(), picture->height(), kSlack);
        }
        dlg.GetDlgItem(11)->GetWindowRect(&r);
        dlg.ScreenToClient(&r);
        EXPECT_EQ(r, c.control);
        EXPECT_LE(r.right, picture->width());
        EXPECT_LE(r.bottom, picture->height());
    }
}
