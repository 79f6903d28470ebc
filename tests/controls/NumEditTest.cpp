#include "controls/NumEdit.h"
#include "TestResources.h"
#include "controls/BitmapSlider.h"
#include "controls/NumSpin.h"
#include "model/Globals.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"
#include "platform/win/KeyState.h"
#include "platform/win/Window.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kDialogBk = RGB(30, 60, 90);

class EditDialog final : public CDialog {
public:
    CNumEdit edit;
    CNumSpin spin;
    CBitmapSlider slider;
    std::vector<CString> events;
    // What the owner sees while it handles the edit's command.
    BOOL highlightAtCommand = FALSE;
    HWND focusAtCommand = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 1000, edit);
        DDX_Control(dx, 1001, spin);
        DDX_Control(dx, 1003, slider);
    }
    void OnEditCommand() {
        events.push_back("command");
        highlightAtCommand = edit.GetHighlight();
        focusAtCommand = ::GetFocus();
    }
    void OnEditKillFocus() { events.push_back("killfocus"); }
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT kind) {
        HBRUSH answer = CDialog::OnCtlColor(dc, wnd, kind);
        return kind == CTLCOLOR_DLG ? m_background.GetHandle() : answer;
    }
    DECLARE_MESSAGE_MAP()

private:
    CBrush m_background{kDialogBk};
};

BEGIN_MESSAGE_MAP(EditDialog, CDialog)
ON_COMMAND(1000, &EditDialog::OnEditCommand)
ON_EN_KILLFOCUS(1000, &EditDialog::OnEditKillFocus)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

class NumEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_bChinese = 0;
        res.AddDialog(730, "DIALOG 730 0 0 200 80\n"
                           "CONTROL 1000 Edit WS_VISIBLE|WS_TABSTOP 10 10 80 12 \"\"\n"
                           "CONTROL 1001 msctls_updown32 WS_VISIBLE|UDS_ARROWKEYS 92 10 10 12 \"\"\n"
                           "CONTROL 1002 Button WS_VISIBLE|WS_TABSTOP 10 40 50 14 \"OK\"\n"
                           "CONTROL 1003 Static WS_VISIBLE 120 10 20 60 \"\"\n");
        ASSERT_TRUE(dlg.Create(730));
        dlg.spin.SetBuddy(&dlg.edit);
        Leave();
    }
    void TearDown() override { g_bChinese = 0; }

    // Output gain of the output page: 0..600, -60.0 to 0.0 dB.
    void MakeGainEdit(int value) {
        dlg.spin.SetRange(0, 600);
        dlg.edit.SetStep(0.1);
        dlg.edit.SetOffset(60);
        dlg.edit.SetType(23, "");
        dlg.spin.SetPos(value);
    }
    void Click(CWnd& w, int x = 5, int y = 5) {
        platform::win::MouseInput(w.GetSafeHwnd(), WM_LBUTTONDOWN, {x, y});
        platform::win::MouseInput(w.GetSafeHwnd(), WM_LBUTTONUP, {x, y});
        platform::PumpMessages();
        clock.Advance(600); // the next click is no double click
    }
    void Type(const char* text) {
        for (const char* p = text; *p; ++p)
            platform::win::CharInput(UINT(static_cast<unsigned char>(*p)));
    }
    void Leave() { dlg.GetDlgItem(1002)->SetFocus(); }
    std::vector<CString> Events() {
        platform::PumpMessages();
        return std::exchange(dlg.events, {});
    }
    COLORREF EditPixel(int x, int y) {
        const QImage image = platform::win::RenderWindow(dlg.GetSafeHwnd());
        CRect r;
        dlg.edit.GetWindowRect(&r);
        dlg.ScreenToClient(&r);
        const QRgb p = image.pixel(x < 0 ? r.right + x : r.left + x, r.top + y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }

    platform::VirtualClock clock;
    TestResources res;
    EditDialog dlg;
};

TEST_F(NumEditTest, AClickOnAnUnfocusedEditTellsTheOwnerFirstAndPlacesNoCaret) {
    MakeGainEdit(477);
    Leave();
    Events();
    Click(dlg.edit, 60);
    EXPECT_EQ(Events(), std::vector<CString>{"command"});
    EXPECT_NE(dlg.focusAtCommand, dlg.edit.GetSafeHwnd()); // sent before the focus moved
    ASSERT_EQ(::GetFocus(), dlg.edit.GetSafeHwnd());
    int start = -1, end = -1;
    dlg.edit.GetSel(start, end);
    EXPECT_EQ(start, 0); // the whole text stays selected: the click placed no caret
    EXPECT_EQ(end, int(dlg.edit.GetWindowText().size()));

    // A second click is an ordinary edit click, again after its command.
    Click(dlg.edit, 4);
    EXPECT_EQ(Events(), std::vector<CString>{"command"});
    EXPECT_EQ(dlg.focusAtCommand, dlg.edit.GetSafeHwnd());
    dlg.edit.GetSel(start, end);
    EXPECT_EQ(start, end);
    EXPECT_TRUE(platform::win::CaretShown(dlg.edit.GetSafeHwnd()));
}

TEST_F(NumEditTest, AReadOnlyEditShowsNoCaret) {
    MakeGainEdit(477);
    dlg.edit.SetReadOnly(TRUE);
    Leave();
    Click(dlg.edit);
    ASSERT_EQ(::GetFocus(), dlg.edit.GetSafeHwnd());
    EXPECT_FALSE(platform::win::CaretShown(dlg.edit.GetSafeHwnd()));
    Click(dlg.edit);
    EXPECT_FALSE(platform::win::CaretShown(dlg.edit.GetSafeHwnd()));
}

TEST_F(NumEditTest, LeavingCommitsWhileStillHighlightedThenTurnsTheHighlightOff) {
    MakeGainEdit(477);
    dlg.edit.SetFocus();
    Type("-20");
    EXPECT_TRUE(dlg.edit.IsDirty());
    Events();
    Leave();
    EXPECT_EQ(Events(), (std::vector<CString>{"killfocus", "command"}));
    EXPECT_TRUE(dlg.highlightAtCommand);
    EXPECT_FALSE(dlg.edit.GetHighlight());
    EXPECT_EQ(dlg.edit.GetWindowText(), "-20.0dB");
    EXPECT_EQ(dlg.edit.GetValue(), 400);
    EXPECT_FALSE(dlg.edit.IsDirty());

    // Leaving again without typing tells nobody.
    dlg.edit.SetFocus();
    Leave();
    EXPECT_EQ(Events(), std::vector<CString>{"killfocus"});
}

TEST_F(NumEditTest, TypedTextWithoutANumberShowsTheValueAgainAndSendsNothing) {
    MakeGainEdit(477);
    dlg.edit.SetFocus();
    Type("abc");
    EXPECT_EQ(dlg.edit.GetValue(), 477);
    Type("x");
    Events();
    Leave();
    EXPECT_EQ(Events(), std::vector<CString>{"killfocus"});
    EXPECT_EQ(dlg.edit.GetWindowText(), "-12.3dB");
    // The rejected text is gone: leaving again untyped is no commit either.
    dlg.edit.SetFocus();
    Leave();
    EXPECT_EQ(Events(), std::vector<CString>{"killfocus"});
    EXPECT_EQ(dlg.edit.GetValue(), 477);
}

TEST_F(NumEditTest, OnlyTypingMakesTheEditDirty) {
    dlg.spin.SetRange(0, 100);
    dlg.edit.SetType(33, "");
    dlg.edit.SetValue(40);
    dlg.edit.SetFocus();
    EXPECT_FALSE(dlg.edit.IsDirty());
    dlg.edit.SetWindowText("70"); // the program's text
    EXPECT_FALSE(dlg.edit.IsDirty());
    EXPECT_EQ(dlg.edit.GetValue(), 40);
    Type("\xE9"); // wider than ASCII: dropped before it reaches the text
    EXPECT_EQ(dlg.edit.GetWindowText(), "70");
    EXPECT_FALSE(dlg.edit.IsDirty());
    platform::win::CharInput(0x9AD8);
    EXPECT_EQ(dlg.edit.GetWindowText(), "70");
    // Keys with nothing to delete leave the text as the program set it.
    platform::win::KeyInput(VK_HOME);
    platform::win::KeyInput(VK_BACK, VK_BACK);
    platform::win::KeyInput(VK_END);
    platform::win::KeyInput(VK_DELETE);
    EXPECT_FALSE(dlg.edit.IsDirty());
    platform::win::KeyInput(VK_BACK, VK_BACK);
    EXPECT_TRUE(dlg.edit.IsDirty());
    EXPECT_EQ(dlg.edit.GetValue(), 7);
    EXPECT_FALSE(dlg.edit.IsDirty());
}

TEST_F(NumEditTest, PastedTextIsTypedText) {
    struct FixedClipboard final : platform::win::Clipboard {
        void SetText(const CString&) override {}
        CString Text() const override { return "-3.5dB\nsecond line"; }
    } clipboard;
    platform::win::Clipboard* previous = platform::win::InstallClipboard(&clipboard);
    MakeGainEdit(477);
    dlg.edit.SetFocus();
    {
        platform::win::HeldKey ctrl(VK_CONTROL);
        platform::win::KeyInput('V');
    }
    EXPECT_EQ(dlg.edit.GetWindowText(), "-3.5dB");
    EXPECT_TRUE(dlg.edit.IsDirty());
    Events();
    Leave();
    EXPECT_EQ(Events(), (std::vector<CString>{"killfocus", "command"}));
    EXPECT_EQ(dlg.edit.GetValue(), 565);
    platform::win::InstallClipboard(previous);
}

TEST_F(NumEditTest, RangeAndValueSettersNeverNotify) {
    dlg.spin.SetRange(0, 100);
    dlg.edit.SetType(4, "");
    dlg.edit.SetValue(50);
    Events();
    dlg.edit.SetRange(20, 20000);
    EXPECT_EQ(dlg.edit.GetValue(), 20);
    EXPECT_EQ(dlg.edit.GetWindowText(), "50"); // until the next refresh
    dlg.edit.SetValue(20001);
    EXPECT_EQ(dlg.edit.GetWindowText(), "50");
    EXPECT_EQ(dlg.edit.GetValue(), 20);
    dlg.edit.SetValue(20000);
    EXPECT_EQ(dlg.edit.GetWindowText(), "20000");
    EXPECT_TRUE(Events().empty());
}

TEST_F(NumEditTest, IdleTheParentShowsThroughFocusedItIsHighlighted) {
    MakeGainEdit(600);
    Leave();
    EXPECT_EQ(EditPixel(-2, 2), kDialogBk);
    dlg.edit.SetFocus();
    EXPECT_EQ(EditPixel(-2, 2), CNumEdit::kHighlight);
    EXPECT_EQ(EditPixel(1, 1), CNumEdit::kHighlight);
    Leave();
    EXPECT_EQ(EditPixel(-2, 2), kDialogBk);
    dlg.edit.SetHighlight(TRUE); // the slider's doing
    EXPECT_EQ(EditPixel(-2, 2), CNumEdit::kHighlight);
}

TEST_F(NumEditTest, ALinkedSliderShowsTheFocusOnlyWhileTheEditHasIt) {
    constexpr COLORREF kThumb = RGB(200, 200, 200), kActiveThumb = RGB(250, 120, 0);
    res.AddBitmap(40, 20, 90, RGB(0, 0, 90));
    res.AddBitmap(41, 16, 10, kThumb);
    res.AddBitmap(42, 16, 10, kActiveThumb);
    ASSERT_TRUE(dlg.slider.SetBitmapChannel(40, 0, FALSE, 0, 0, 0));
    ASSERT_TRUE(dlg.slider.SetBitmapThumb(41, 42, FALSE, 0, 0, 0));
    dlg.slider.SetRange(0, 100);
    dlg.slider.SetPos(50);
    dlg.edit.SetSlider(&dlg.slider);
    const auto thumb = [&] {
        const QImage image = platform::win::RenderWindow(dlg.GetSafeHwnd());
        CRect r;
        dlg.slider.GetWindowRect(&r);
        dlg.ScreenToClient(&r);
        const QRgb p = image.pixel(r.left + 10, r.top + 45);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    };
    ASSERT_EQ(thumb(), kThumb);
    dlg.edit.SetFocus();
    EXPECT_EQ(thumb(), kActiveThumb);
    Leave();
    EXPECT_EQ(thumb(), kThumb);
}

TEST_F(NumEditTest, ShowFollowsItsOwnVisibleFlag) {
    struct Case {
        bool flagVisible, windowVisible;
        int command;
        bool changed, windowAfter;
    } cases[] = {
        {true, true, SW_HIDE, true, false},    {false, false, SW_SHOW, true, true},
        {true, false, SW_SHOW, true, true}, // hidden by other means: shown again
        {false, true, SW_HIDE, true, false},   {true, true, SW_SHOW, false, true},
        {false, false, SW_HIDE, false, false}, {true, true, 3, false, true}, // other commands: nothing
    };
    for (const auto& c : cases) {
        dlg.edit.Show(c.flagVisible ? SW_SHOW : SW_HIDE);
        dlg.edit.Show(c.flagVisible ? SW_SHOW : SW_HIDE);
        dlg.edit.ShowWindow(c.windowVisible ? SW_SHOW : SW_HIDE);
        dlg.edit.Show(c.command);
        EXPECT_EQ(dlg.edit.GetShowChanged(), c.changed ? 1 : 0)
            << c.flagVisible << c.windowVisible << c.command;
        EXPECT_EQ((dlg.edit.GetStyle() & WS_VISIBLE) != 0, c.windowAfter)
            << c.flagVisible << c.windowVisible << c.command;
    }
}

TEST_F(NumEditTest, TheLanguageSwitchSwapsOnlyOffTexts) {
    MakeGainEdit(20);
    EXPECT_EQ(dlg.edit.GetWindowText(), "OFF");
    g_bChinese = 1;
    dlg.edit.RefreshLanguage();
    EXPECT_EQ(dlg.edit.GetWindowText(), "关闭");
    dlg.edit.SetFocus();
    Type("OFF"); // the off text of either language commits the minimum
    Leave();
    EXPECT_EQ(dlg.edit.GetValue(), 0);
    EXPECT_EQ(dlg.edit.GetWindowText(), "-60.0dB");
    g_bChinese = 0;
    dlg.edit.RefreshLanguage();
    EXPECT_EQ(dlg.edit.GetWindowText(), "-60.0dB");
}

TEST_F(NumEditTest, ADoubleClickSelectsTheWholeTextAgain) {
    MakeGainEdit(477);
    Click(dlg.edit, 60);
    Click(dlg.edit, 4);
    int start = -1, end = -1;
    dlg.edit.GetSel(start, end);
    ASSERT_EQ(start, end);
    platform::win::MouseInput(dlg.edit.GetSafeHwnd(), WM_LBUTTONDOWN, {4, 5});
    platform::win::MouseInput(dlg.edit.GetSafeHwnd(), WM_LBUTTONUP, {4, 5});
    platform::win::MouseInput(dlg.edit.GetSafeHwnd(), WM_LBUTTONDOWN, {4, 5});
    platform::win::MouseInput(dlg.edit.GetSafeHwnd(), WM_LBUTTONUP, {4, 5});
    platform::PumpMessages();
    dlg.edit.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, int(dlg.edit.GetWindowText().size()));
}

} // namespace
