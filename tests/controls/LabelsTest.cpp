#include "TestResources.h"
#include "controls/FontStatic.h"
#include "controls/TransparentStatic.h"
#include "platform/sys/MessageWindow.h"
#include "platform/win/Dialog.h"
#include "platform/win/Window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

constexpr COLORREF kFace = RGB(212, 208, 200); // the dialog's background

// Counts the window texts it is given and the threads they come from.
class CountingLabel final : public CTransparentStatic {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETTEXT) {
            ++sets;
            if (std::this_thread::get_id() != gui)
                ++offThread;
        }
        return CTransparentStatic::WindowProc(message, wParam, lParam);
    }
    int sets = 0;
    int offThread = 0;
    std::thread::id gui = std::this_thread::get_id();
};

class LabelDialog final : public CDialog {
public:
    CFontStatic font;
    CountingLabel wrapped;
    CountingLabel centred;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 1301, font);
        DDX_Control(dx, 1302, wrapped);
        DDX_Control(dx, 1303, centred);
    }
};

// The ink of a picture: the box around every pixel that is not `back`.
CRect Ink(const QImage& image, COLORREF back) {
    CRect box(image.width(), image.height(), -1, -1);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (RGB(qRed(p), qGreen(p), qBlue(p)) == back)
                continue;
            box.left = std::min<int>(box.left, x);
            box.top = std::min<int>(box.top, y);
            box.right = std::max<int>(box.right, x + 1);
            box.bottom = std::max<int>(box.bottom, y + 1);
        }
    return box;
}

class LabelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        res.AddDialog(630, "DIALOG 630 0 0 220 120\n"
                           "CONTROL 1301 Static WS_VISIBLE 0 0 100 16 \"Wide\"\n"
                           "CONTROL 1302 Static WS_VISIBLE 0 30 40 40 \"Template\"\n"
                           "CONTROL 1303 Static WS_VISIBLE|SS_CENTERIMAGE 0 80 40 30 \"\"\n");
        ASSERT_TRUE(dlg.Create(630));
    }
    // The label's part of the rendered dialog.
    QImage Shot(CWnd& label) {
        const QImage all = platform::win::RenderWindow(dlg.GetSafeHwnd());
        CRect r;
        label.GetWindowRect(&r);
        dlg.ScreenToClient(&r);
        return all.copy(r.left, r.top, r.Width(), r.Height());
    }
    bool ParentAreaInvalid(CWnd& label) {
        CRect r;
        label.GetWindowRect(&r);
        dlg.ScreenToClient(&r);
        const QRegion invalid = platform::win::Window::From(dlg.GetSafeHwnd())->invalid;
        return invalid.contains(QRect(r.left, r.top, r.Width(), r.Height()));
    }

    TestResources res;
    LabelDialog dlg;
};

TEST_F(LabelsTest, ANewFontLabelWritesBlackCentredAndFillsNothing) {
    const QImage image = Shot(dlg.font);
    const CRect ink = Ink(image, kFace);
    ASSERT_FALSE(ink.IsRectEmpty());
    EXPECT_NEAR((ink.left + ink.right) / 2.0, image.width() / 2.0, 2.0);
    int darkest = 3 * 255;
    for (int y = ink.top; y < ink.bottom; ++y)
        for (int x = ink.left; x < ink.right; ++x)
            darkest = std::min(darkest, qRed(image.pixel(x, y)) + qGreen(image.pixel(x, y)) +
                                            qBlue(image.pixel(x, y)));
    EXPECT_LT(darkest, 60); // black text
    EXPECT_LE(ink.Height(), 14);
    dlg.font.SetBackColor(RGB(0, 0, 120));
    EXPECT_EQ(Ink(Shot(dlg.font), RGB(0, 0, 120)), ink); // filled; the text where it was
}

TEST_F(LabelsTest, FontStyleFlagsChooseTheAlignmentOnlyWithANewColour) {
    const struct {
        int flags;
        const char* where;
    } cases[] = {{0x01, "centre"}, {0x21, "centre"}, {0x60, "centre"},
                 {0x40, "left"},   {0x80, "right"},  {0xC0, "right"}};
    int shade = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        dlg.font.SetFontStyle("Times", 14, RGB(shade++, 0, 0), c.flags);
        const QImage image = Shot(dlg.font);
        const CRect ink = Ink(image, kFace);
        const std::string where = ink.left <= 2                                           ? "left"
                                  : ink.right >= image.width() - 2                        ? "right"
                                  : std::abs((ink.left + ink.right) - image.width()) <= 4 ? "centre"
                                                                                          : "elsewhere";
        EXPECT_EQ(where, c.where);
    }
    // The colour it already has: the height is taken, nothing else, and
    // nothing is repainted until the next paint.
    const CRect before = Ink(Shot(dlg.font), kFace);
    dlg.font.SetFontStyle("Arial", 22, RGB(shade - 1, 0, 0), 0x40);
    EXPECT_TRUE(platform::win::Window::From(dlg.font.GetSafeHwnd())->invalid.isEmpty());
    EXPECT_FALSE(ParentAreaInvalid(dlg.font));
    dlg.font.Invalidate();
    const QImage image = Shot(dlg.font);
    const CRect after = Ink(image, kFace);
    EXPECT_GT(after.Height(), before.Height());
    EXPECT_GE(after.right, image.width() - 2); // still right-aligned, not left
}

TEST_F(LabelsTest, SetTextAndSetTextColorRepaintTheParentUnderTheLabel) {
    Shot(dlg.font);
    dlg.font.SetText("x");
    EXPECT_TRUE(ParentAreaInvalid(dlg.font));
    Shot(dlg.font);
    dlg.font.SetTextColor(RGB(0, 90, 0));
    EXPECT_TRUE(ParentAreaInvalid(dlg.font));

    Shot(dlg.wrapped);
    dlg.wrapped.SetText("A new line");
    EXPECT_TRUE(ParentAreaInvalid(dlg.wrapped));
}

TEST_F(LabelsTest, TransparentTextIsSetOnlyWhenItChanges) {
    dlg.wrapped.SetText(""); // equal to the last accepted text of a new label
    EXPECT_EQ(dlg.wrapped.GetWindowText(), "Template");
    EXPECT_EQ(dlg.wrapped.sets, 0);
    dlg.wrapped.SetText("Same");
    dlg.wrapped.SetText("Same");
    EXPECT_EQ(dlg.wrapped.sets, 1);
    dlg.wrapped.SetText("same");
    EXPECT_EQ(dlg.wrapped.sets, 2);
}

TEST_F(LabelsTest, StaticStylesChooseWrappingOrOneCentredLine) {
    const CString text = "one two three four";
    dlg.wrapped.SetText(text);
    dlg.centred.SetText(text);
    const QImage wrapped = Shot(dlg.wrapped);
    const QImage centred = Shot(dlg.centred);
    const CRect wrappedInk = Ink(wrapped, kFace), centredInk = Ink(centred, kFace);
    EXPECT_GT(wrappedInk.Height(), centredInk.Height() + 5); // several lines from the top
    EXPECT_LE(wrappedInk.top, 4);
    EXPECT_LT(centredInk.Height(), 16); // one line in the middle
    EXPECT_NEAR((centredInk.top + centredInk.bottom) / 2.0, centred.height() / 2.0, 3.0);

    // A shorter text leaves no trace of the longer one.
    dlg.wrapped.SetText("i");
    EXPECT_LT(Ink(Shot(dlg.wrapped), kFace).Height(), 16);
}

TEST_F(LabelsTest, SetTextFromAWorkerThreaded) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i)
            dlg.wrapped.SetText("step " + std::to_string(i));
        dlg.wrapped.SetText("step 199"); // equal: ignored
        done = true;
    });
    while (!done)
        platform::PumpMessages();
    worker.join();
    platform::PumpMessages();
    EXPECT_EQ(dlg.wrapped.GetWindowText(), "step 199");
    EXPECT_EQ(dlg.wrapped.offThread, 0);
    EXPECT_GE(dlg.wrapped.sets, 1);
}

} // namespace
