// The dialogs the main window opens, as a person meets them in the running
// program: each holds the window under it (a click there changes nothing,
// neither on the form nor on the processor, and the keys stay with the
// dialog), stays above it, answers Enter and Escape as it should, and has a
// frame of one size that the desktop offers neither to resize nor to maximise.

#include "app/GainDlg.h"
#include "app/ProgramDlg.h"
#include "link/Net_Socket.h"
#include "model/DataDefine.h"
#include "platform/win/Input.h"
#include "sim/lib/SimTcpServer.h"
#include "tests/app/AppFixture.h"
#include "tests/app/QtInput.h"

#include <QGuiApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <functional>

namespace {

using apptest::AppFixture;
using Step = std::function<void(CDialog&)>;

class ModalDialogs : public AppFixture {
protected:
    // Runs `step` in the next modal loop, on the dialog that runs it.
    static void Inside(Step step) {
        QTimer::singleShot(0, [step = std::move(step)] {
            CDialog* dialog = CDialog::ActiveModal();
            ASSERT_NE(dialog, nullptr);
            step(*dialog);
        });
    }
    // Runs `step` in `dialog`, then reports whether the dialog was still
    // open after it, and closes it if so.  The report comes from the event
    // loop: pump before reading it.
    static void Then(CDialog& dialog, const Step& step, bool* stillOpen) {
        step(dialog);
        QTimer::singleShot(0, [d = &dialog, stillOpen] {
            *stillOpen = CDialog::ActiveModal() == d;
            if (*stillOpen)
                d->PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
    }

    struct Opener {
        const char* name;
        // Opens the dialog from the running program and runs the step in it.
        std::function<void(ModalDialogs&, const Step&, bool*)> open;
    };
    static void Command(ModalDialogs& t, UINT command) {
        t.View()->SendMessage(WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
    }
    // The device preset dialog's action button opens the name prompt or the
    // delete question over it.
    static void OverPresets(ModalDialogs& t, UINT menuItem, const Step& step, bool* stillOpen) {
        Inside([step, stillOpen](CDialog& presets) {
            Inside([step, stillOpen](CDialog& d) { Then(d, step, stillOpen); });
            presets.SendMessage(WM_COMMAND, MAKEWPARAM(2727, BN_CLICKED), 0);
            presets.PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        Command(t, menuItem);
    }
    static std::vector<Opener> Openers() {
        auto direct = [](UINT command) {
            return [command](ModalDialogs& t, const Step& step, bool* stillOpen) {
                Inside([step, stillOpen](CDialog& d) { Then(d, step, stillOpen); });
                Command(t, command);
            };
        };
        return {
            {"load presets", direct(720)},
            {"save presets", direct(721)},
            {"delete presets", direct(722)},
            {"name prompt", [](ModalDialogs& t, const Step& s, bool* o) { OverPresets(t, 721, s, o); }},
            {"factory restore", direct(32779)},
            {"output map", direct(1415)},
            {"mixer", direct(2823)},
            {"phase",
             [](ModalDialogs& t, const Step& step, bool* stillOpen) {
                 Inside([step, stillOpen](CDialog& d) { Then(d, step, stillOpen); });
                 t.View()->GetStrip(0).SendMessage(WM_COMMAND, MAKEWPARAM(2825, BN_CLICKED), 0);
             }},
            {"message box",
             [](ModalDialogs& t, const Step& s, bool* o) {
                 // The program's own box instead of the recording one.
                 t.boxes.reset();
                 OverPresets(t, 722, s, o);
                 t.boxes = std::make_unique<platform::RecordingMessageBox>();
             }},
        };
    }

    void ClickMasterMute() {
        const HWND mute = View()->GetGainPanel().m_btnMute.GetSafeHwnd();
        platform::win::MouseInput(mute, WM_LBUTTONDOWN, {3, 3});
        platform::win::MouseInput(mute, WM_LBUTTONUP, {3, 3});
        Pump();
    }
    static QWindow* Desktop(HWND hwnd) {
        auto* w = platform::win::Window::From(hwnd);
        return w && w->widget ? w->widget->windowHandle() : nullptr;
    }
    // A key as the keyboard gives it: to the desktop's active window.
    static void Type(Qt::Key key) {
        QWindow* active = QGuiApplication::focusWindow();
        ASSERT_NE(active, nullptr) << "no window takes the keys";
        QTest::keyClick(active, key);
        Pump();
    }
    // A click on a window, which the desktop then makes its active window, as
    // a window manager does (the offscreen platform leaves that out).
    static void ClickOnTheDesktop(HWND hwnd, QPoint at) {
        QWidget* widget = platform::win::Window::From(hwnd)->widget;
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        widget->window()->windowHandle()->requestActivate();
        Pump();
    }
    static bool IsActive(CWnd& wnd) {
        return PumpUntil([&] { return QGuiApplication::focusWindow() == Desktop(wnd.GetSafeHwnd()); });
    }

    // The dialog is disabled only under its own dialog; the main window under
    // any; the desktop keeps the dialog above its owner.
    void ExpectHeld(CDialog& d) {
        const HWND owner = ::GetParent(d.GetSafeHwnd());
        ASSERT_NE(owner, nullptr);
        EXPECT_TRUE(owner == MainWindow() || dynamic_cast<CProgramDlg*>(CWnd::FromHandle(owner)))
            << "owned by the main window or the preset dialog";
        EXPECT_FALSE(::IsWindowEnabled(owner));
        EXPECT_FALSE(::IsWindowEnabled(MainWindow()));
        EXPECT_TRUE(d.IsWindowEnabled());
        ASSERT_NE(Desktop(d.GetSafeHwnd()), nullptr);
        EXPECT_EQ(Desktop(d.GetSafeHwnd())->transientParent(), Desktop(owner));
        const BYTE on = g_bMasterOn;
        ClickMasterMute();
        EXPECT_EQ(BYTE(g_bMasterOn), on);
        EXPECT_EQ(CDialog::ActiveModal(), &d) << "the click reached past the dialog";
    }
};

// Against the simulated processor over TCP, online.
class ModalDialogsThreaded : public ModalDialogs {
protected:
    void SetUp() override {
        ModalDialogs::SetUp();
        ASSERT_TRUE(server.Start(0));
        g_nDevicePort = server.Port();
        ping.Answer(true);
        ASSERT_TRUE(Start());
        clock->Advance(500);
        ASSERT_TRUE(PumpUntil([&] { return View()->GetLink().m_bConnected != 0 && g_bOnline != 0; }));
        ASSERT_TRUE(PumpUntil([&] { return View()->GetStrip(11).IsWindowVisible() != FALSE; }));
    }
    void TearDown() override {
        ModalDialogs::TearDown();
        server.Stop();
        g_nDevicePort = 8899;
    }
    sim::SimTcpServer server{processor};
};

TEST_F(ModalDialogsThreaded, AClickOnTheMainWindowUnderEachDialogChangesNothingAndTheDialogStaysAbove) {
    const sim::SimMemory before = processor.Memory();
    ASSERT_EQ(before.settings.systemData[6], 1);
    for (const Opener& opener : Openers()) {
        SCOPED_TRACE(opener.name);
        bool stillOpen = false;
        opener.open(
            *this, [this](CDialog& d) { ExpectHeld(d); }, &stillOpen);
        Pump();
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(CDialog::ActiveModal(), nullptr);
        EXPECT_TRUE(::IsWindowEnabled(MainWindow()));
    }
    // The first click that reaches the processor is the one made now.
    ClickMasterMute();
    ASSERT_TRUE(PumpUntil([&] { return processor.Memory().settings.systemData[6] == 0; }));
    const sim::SimMemory after = processor.Memory();
    EXPECT_EQ(after.live, before.live);
    EXPECT_EQ(after.stored, before.stored);
    EXPECT_EQ(after.settings.currentPreset, before.settings.currentPreset);
    EXPECT_TRUE(boxes->Entries().empty());
}

TEST_F(ModalDialogs, EnterAndEscapeInEachDialog) {
    ASSERT_TRUE(Start());
    StringToBytesZ(g_PresetImages[0], kPresetNameSize, "Club");
    auto stored = [] { return BytesToString(g_PresetImages[0], kPresetNameSize); };
    // What each key does: whether the dialog is still open after it, and
    // what the program did.
    struct Case {
        const char* dialog;
        UINT key;
        bool stillOpen;
        const char* storedName;
        std::size_t messages;
    };
    const Case cases[] = {
        {"load presets", VK_RETURN, true, "Club", 0},
        {"load presets", VK_ESCAPE, true, "Club", 0},
        {"name prompt", VK_RETURN, false, "Lounge", 0},
        {"name prompt", VK_ESCAPE, false, "Club", 0},
        {"factory restore", VK_RETURN, false, "Club", 1},
        {"factory restore", VK_ESCAPE, false, "Club", 0},
        {"output map", VK_RETURN, false, "Club", 0},
        {"output map", VK_ESCAPE, false, "Club", 0},
        {"message box", VK_RETURN, false, "Club", 0},
        {"message box", VK_ESCAPE, false, "Club", 0},
        // Its OK and Cancel are disabled: Enter finds no button, Escape still cancels.
        {"mixer", VK_RETURN, true, "Club", 0},
        {"mixer", VK_ESCAPE, false, "Club", 0},
        // Both keys only commit a typed value.
        {"phase", VK_RETURN, true, "Club", 0},
        {"phase", VK_ESCAPE, true, "Club", 0},
    };
    const auto openers = Openers();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dialog << (c.key == VK_RETURN ? " Enter" : " Escape"));
        StringToBytesZ(g_PresetImages[0], kPresetNameSize, "Club");
        boxes.reset(); // first: it hands the boxes back to the program's own
        boxes = std::make_unique<platform::RecordingMessageBox>();
        const auto opener = std::find_if(openers.begin(), openers.end(),
                                         [&](const Opener& o) { return CString(o.name) == c.dialog; });
        ASSERT_NE(opener, openers.end());
        bool stillOpen = false;
        opener->open(
            *this,
            [&](CDialog&) {
                // The prompt offers the first preset's name; a new one is typed.
                if (CWnd* focus = CWnd::GetFocus(); focus && focus->GetDlgCtrlID() == 2726)
                    focus->SetWindowText("Lounge");
                ASSERT_NE(apptest::KeyboardWindow(), nullptr);
                apptest::Press({{c.key == VK_RETURN ? Qt::Key_Return : Qt::Key_Escape}});
            },
            &stillOpen);
        Pump(); // the look after the key
        EXPECT_EQ(stillOpen, c.stillOpen);
        EXPECT_EQ(stored(), c.storedName);
        EXPECT_EQ(boxes->Entries().size(), c.messages);
        EXPECT_EQ(CDialog::ActiveModal(), nullptr);
    }
}

// One click on the main window under a dialog: the dialog keeps the keys.
TEST_F(ModalDialogs, AClickOnTheMainWindowLeavesTheKeysWithTheDialog) {
    ASSERT_TRUE(Start());
    bool stillOpen = true;
    Inside([&](CDialog& about) {
        Then(
            about,
            [&](CDialog& d) {
                ASSERT_TRUE(IsActive(d));
                ClickOnTheDesktop(View()->GetSafeHwnd(), QPoint(600, 300));
                EXPECT_EQ(QGuiApplication::focusWindow(), Desktop(d.GetSafeHwnd()));
                Type(Qt::Key_Return);
            },
            &stillOpen);
    });
    Command(*this, 731);
    Pump();
    EXPECT_FALSE(stillOpen) << "Enter did not reach About";
    EXPECT_EQ(QGuiApplication::focusWindow(), Desktop(MainWindow())) << "the keys went nowhere";
}

// A question over the preset dialog, asked from the list by the Delete key and
// answered by Escape after a click on the main window under both: the keys go
// to the question, then back to the list.
TEST_F(ModalDialogs, AfterAQuestionTheKeysGoBackToTheControlThatHadThem) {
    ASSERT_TRUE(Start());
    boxes.reset(); // the program's own box: a window of its own
    bool questionOpen = true;
    int focusRow = 0;
    Inside([&](CDialog& presets) {
        auto& list = static_cast<CProgramDlg&>(presets).m_grid;
        ASSERT_TRUE(IsActive(presets));
        ASSERT_EQ(CWnd::GetFocus(), &list);
        ASSERT_EQ(list.GetFocusCell().row, 1);
        Inside([&](CDialog& question) {
            Then(
                question,
                [&](CDialog& q) {
                    ASSERT_NE(&q, &presets);
                    ASSERT_TRUE(IsActive(q));
                    ClickOnTheDesktop(View()->GetSafeHwnd(), QPoint(600, 300));
                    Type(Qt::Key_Escape);
                },
                &questionOpen);
        });
        Type(Qt::Key_Delete);
        EXPECT_EQ(QGuiApplication::focusWindow(), Desktop(presets.GetSafeHwnd()));
        Type(Qt::Key_Down);
        focusRow = list.GetFocusCell().row;
        presets.PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    Command(*this, 722);
    boxes = std::make_unique<platform::RecordingMessageBox>();
    EXPECT_FALSE(questionOpen) << "Escape did not reach the question";
    EXPECT_EQ(focusRow, 2) << "Down did not reach the preset list";
}

// What the desktop is told of each top-level dialog of the program: a
// caption, a close box when the template has a system menu, no minimise or
// maximise box, and one size.
TEST_F(ModalDialogs, EveryDialogHasAFixedFrameWithoutMaximise) {
    ASSERT_TRUE(Start());
    struct Case {
        UINT id;
        const char* dialog;
        bool closeBox;
    };
    const Case cases[] = {
        {269, "about", true},       {270, "firmware update", true},  {170, "device presets", true},
        {666, "preset name", true}, {1246, "factory restore", true}, {711, "output map", true},
        {115, "message box", true}, {1137, "phase", true},           {965, "mixer", true},
        {1189, "noise gate", true}, {104, "transfer popup", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        CDialog dialog(c.id);
        ASSERT_TRUE(dialog.Create(c.id, app->m_pMainWnd));
        dialog.ShowWindow(SW_SHOW);
        Pump();
        QWindow* window = Desktop(dialog.GetSafeHwnd());
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->transientParent(), Desktop(MainWindow()));
        const Qt::WindowFlags flags = window->flags();
        EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
        EXPECT_EQ(flags.testFlag(Qt::WindowCloseButtonHint), c.closeBox);
        EXPECT_FALSE(flags & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
        CRect client;
        dialog.GetClientRect(&client);
        EXPECT_EQ(window->minimumSize(), QSize(client.Width(), client.Height()));
        EXPECT_EQ(window->maximumSize(), window->minimumSize());
        dialog.DestroyWindow();
    }
}

} // namespace
