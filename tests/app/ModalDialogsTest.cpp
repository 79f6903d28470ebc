// The dialogs the main window opens, as a person meets them in the running
// program: each holds the window under it (a click there changes nothing,
// neither on the form nor on the processor), stays above it, and answers
// Enter and Escape as it should.

#include "app/GainDlg.h"
#include "app/ProgramDlg.h"
#include "link/Net_Socket.h"
#include "model/DataDefine.h"
#include "platform/win/Input.h"
#include "sim/lib/SimTcpServer.h"
#include "tests/app/AppFixture.h"
#include "tests/app/QtInput.h"

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

} // namespace
