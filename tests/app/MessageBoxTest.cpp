// The program's message box: caption, buttons and answer by type, code and
// language, and every way it can end.

#include "app/MessageBox.h"
#include "app/TALQ50.h"
#include "model/Globals.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Input.h"
#include "tests/app/ShellFixture.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

namespace {

using apptest::SavePicture;

enum class End { OkButton, Enter, Escape, CloseBox, Timer, CancelButton };

// Runs as a user would: once the box is up, `act` ends it; what the box
// showed is kept for the test.
class ObservedBox final : public CMessageBox {
public:
    ObservedBox(const CString& text, UINT type, int code, std::function<void(ObservedBox&)> act,
                CWnd* parent = nullptr)
        : CMessageBox(text, type, "Given", code, parent), m_act(std::move(act)) {}

    BOOL OnInitDialog() override {
        const BOOL result = CMessageBox::OnInitDialog();
        caption = GetWindowText();
        for (int id : {IDOK, IDCANCEL}) {
            CWnd* button = GetDlgItem(id);
            visible[id] = (button->GetStyle() & WS_VISIBLE) != 0;
            text[id] = button->GetWindowText();
            RECT rc;
            button->GetWindowRect(&rc);
            ScreenToClient(&rc);
            rect[id] = rc;
        }
        GetWindowRect(&window);
        QTimer::singleShot(0, [this] { m_act(*this); });
        return result;
    }

    CString caption;
    bool visible[3] = {};
    CString text[3];
    RECT rect[3] = {};
    RECT window = {};

private:
    std::function<void(ObservedBox&)> m_act;
};

class MessageBoxFixture : public ::testing::Test {
protected:
    void TearDown() override { g_bChinese = 0; }

    std::function<void(ObservedBox&)> Ending(End end, int code) {
        return [this, end, code](ObservedBox& box) {
            switch (end) {
            case End::OkButton:
                box.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                break;
            case End::CancelButton:
                box.PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                break;
            case End::Enter:
                platform::win::KeyInput(VK_RETURN, 0);
                break;
            case End::Escape:
                platform::win::KeyInput(VK_ESCAPE, 0);
                break;
            case End::CloseBox:
                box.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
            case End::Timer:
                clock.Advance(code);
                break;
            }
        };
    }

    platform::VirtualClock clock;
};

TEST_F(MessageBoxFixture, CaptionsFollowTheCodeAndButtonsTheLanguage) {
    struct Case {
        UINT type;
        int code;
        int chinese;
        const char* caption;
        const char* ok;     // "" when hidden
        const char* cancel; // "" when hidden
    };
    const Case cases[] = {
        {MB_OK, 2000, 1, "提示", "确定", ""},
        {MB_OK, 2000, 0, "Prompting", "OK", ""},
        {MB_YESNO, 2001, 0, "Warning", "YES", "NO"},
        {MB_YESNO, 2001, 1, "警告", "是", "否"},
        {MB_YESNO, -4, 0, "警告", "YES", "NO"},
        {MB_OK, -5, 1, "Warning", "确定", ""},
        {MB_OK, -2, 0, "提示", "OK", ""},
        {MB_OK, -3, 1, "Prompting", "确定", ""},
        {MB_OK, 0, 0, "Given", "OK", ""},
        {MB_OK, 500, 0, "Given", "OK", ""},
        {MB_OK, -7, 0, "Given", "OK", ""},
        {MB_QUIT, 0, 1, "Given", "", "退出"},
        {MB_QUIT, 0, 0, "Given", "", "Quit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.type << " " << c.code << " " << c.chinese);
        g_bChinese = c.chinese;
        ObservedBox box("text", c.type, c.code, Ending(End::Escape, c.code));
        box.DoModal();
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_EQ(box.visible[IDOK], *c.ok != 0);
        EXPECT_EQ(box.visible[IDCANCEL], *c.cancel != 0);
        if (*c.ok) {
            EXPECT_EQ(box.text[IDOK], c.ok);
        }
        if (*c.cancel) {
            EXPECT_EQ(box.text[IDCANCEL], c.cancel);
        }
        // A single button sits in the middle of the box.
        const int width = box.window.right - box.window.left;
        for (int id : {IDOK, IDCANCEL}) {
            if (box.visible[id] && !(box.visible[IDOK] && box.visible[IDCANCEL])) {
                const int buttonWidth = box.rect[id].right - box.rect[id].left;
                EXPECT_EQ(box.rect[id].left, (width - buttonWidth) / 2);
            }
        }
    }
}

TEST_F(MessageBoxFixture, EveryWayOfEndingGivesTheAnswerOfItsType) {
    struct Case {
        UINT type;
        End end;
        int result;
    };
    const Case cases[] = {
        {MB_OK, End::OkButton, IDOK},     {MB_OK, End::Enter, IDOK},
        {MB_OK, End::Escape, IDOK},       {MB_OK, End::CloseBox, IDOK},
        {MB_OK, End::Timer, IDOK},        {MB_YESNO, End::OkButton, IDYES},
        {MB_YESNO, End::Enter, IDYES},    {MB_YESNO, End::CancelButton, IDNO},
        {MB_YESNO, End::Escape, IDNO},    {MB_YESNO, End::CloseBox, IDNO},
        {MB_YESNO, End::Timer, IDNO},     {MB_QUIT, End::CancelButton, IDCANCEL},
        {MB_QUIT, End::Escape, IDCANCEL}, {MB_QUIT, End::CloseBox, IDCANCEL},
        {MB_QUIT, End::Enter, IDCANCEL},  {MB_QUIT, End::Timer, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.type << " " << int(c.end));
        const int code = c.end == End::Timer ? 2001 : 0;
        ObservedBox box("text", c.type, code, Ending(c.end, code));
        box.DoModal();
        EXPECT_EQ(box.GetResult(), c.result);
        EXPECT_EQ(box.GetSafeHwnd(), nullptr);
    }
}

// Pictures of the three kinds of box in both languages, for a person to look at.
TEST_F(MessageBoxFixture, Pictures) {
    const std::tuple<UINT, const char*, const char*, const char*> kinds[] = {
        {MB_OK, "ok", "Update file error!", "更新文件错误!"},
        {MB_YESNO, "yesno", "Save the preset?", "保存场景吗?"},
        {MB_QUIT, "quit", "Not find help file!", "没有发现帮助文件!"}};
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        for (const auto& [type, name, en, zh] : kinds) {
            const QString file = QString("message_box_%1_%2.png").arg(name, chinese ? "zh" : "en");
            ObservedBox box(chinese ? zh : en, type, chinese ? -4 : -5, [file](ObservedBox& b) {
                EXPECT_TRUE(SavePicture(b.GetSafeHwnd(), file));
                b.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
            });
            box.DoModal();
        }
    }
}

TEST_F(MessageBoxFixture, ASmallPositiveCodeClosesTheBoxAlmostAtOnce) {
    ObservedBox box("text", MB_YESNO, 1, [this](ObservedBox&) { clock.Advance(1); });
    box.DoModal();
    EXPECT_EQ(box.GetResult(), IDNO);
}

TEST_F(MessageBoxFixture, TheApplicationShowsEveryMessageInItsOwnBoxTitledWithTheProgram) {
    CTALQ50App app;
    CString caption;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->windowTitle() == "KAVRO-TUNE") {
                caption = w->windowTitle().toStdString();
                platform::win::KeyInput(VK_RETURN, 0);
            }
        }
    });
    EXPECT_EQ(AfxMessageBox("Question?", MB_YESNO, 0), IDYES);
    EXPECT_EQ(caption, "KAVRO-TUNE");
    // Timed boxes go the same way and end by themselves.
    QTimer::singleShot(0, [&] { clock.Advance(2000); });
    EXPECT_EQ(TimedMessageBox(nullptr, "Saved", "ignored", MB_OK, 1, 2000), IDOK);
}

// A message shown while a dialog runs over the main window, as the firmware
// update's errors are: the dialog is out of reach while the message is up,
// and the main window until the dialog itself ends.
TEST_F(MessageBoxFixture, AMessageOverADialogLeavesTheMainWindowDisabledUntilTheDialogEnds) {
    CTALQ50App app;
    CMessageBox mainWindow("", MB_OK, "", 0);
    ASSERT_TRUE(mainWindow.Create(CMessageBox::kTemplateId));
    app.m_pMainWnd = &mainWindow;
    BOOL enabledUnderDialog = TRUE;
    BOOL dialogEnabledUnderMessage = TRUE;
    ObservedBox dialog(
        "dialog", MB_OK, 0,
        [&](ObservedBox& d) {
            QTimer::singleShot(0, [&] {
                dialogEnabledUnderMessage = d.IsWindowEnabled();
                platform::win::KeyInput(VK_RETURN, 0);
            });
            EXPECT_EQ(AfxMessageBox("message", MB_OK, 0), IDOK);
            EXPECT_TRUE(d.IsWindowEnabled());
            enabledUnderDialog = mainWindow.IsWindowEnabled();
            d.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        },
        &mainWindow);
    dialog.DoModal();
    // The message belongs to the dialog: nothing behind it takes a click.
    EXPECT_FALSE(dialogEnabledUnderMessage);
    EXPECT_FALSE(enabledUnderDialog);
    EXPECT_TRUE(mainWindow.IsWindowEnabled());
    app.m_pMainWnd = nullptr;
    mainWindow.DestroyWindow();
}

} // namespace
