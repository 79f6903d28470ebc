#include "TestResources.h"
#include "platform/sys/MessageBox.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"
#include "platform/win/WinApp.h"
#include "platform/win/Window.h"

#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

constexpr UINT UM_END = WM_USER + 1;
constexpr UINT UM_STEP = WM_USER + 2;

enum class Ending { Posted, Timer, OtherThread };

class ModalDialog final : public CDialog {
public:
    ModalDialog(CWnd* parent, Ending ending) : CDialog(730, parent), m_ending(ending) {}
    ~ModalDialog() override {
        if (m_thread.joinable())
            m_thread.join();
    }
    bool parentWasDisabled = false;
    bool wasVisible = false;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        switch (m_ending) {
        case Ending::Posted:
            PostMessage(UM_END, 0, 42);
            break;
        case Ending::Timer:
            SetTimer(7, 5);
            break;
        case Ending::OtherThread:
            m_thread = std::thread([hwnd = m_hWnd] { ::PostMessage(hwnd, UM_END, 0, 43); });
            break;
        }
        return TRUE;
    }
    LRESULT OnEnd(WPARAM, LPARAM result) {
        Finish(int(result));
        return 0;
    }
    void OnTimer(UINT_PTR id) {
        KillTimer(id);
        Finish(44);
    }
    DECLARE_MESSAGE_MAP()

private:
    void Finish(int result) {
        parentWasDisabled = !m_pParentWnd->IsWindowEnabled();
        wasVisible = IsWindowVisible();
        EndDialog(result);
    }
    Ending m_ending;
    std::thread m_thread;
};

BEGIN_MESSAGE_MAP(ModalDialog, CDialog)
ON_MESSAGE(UM_END, &ModalDialog::OnEnd)
ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(DialogModal, RunsUntilAPostedMessageOrATimerEndsIt) {
    TestResources res;
    res.AddDialog(730, "DIALOG 730 0 0 120 60\nCONTROL 1 Button WS_VISIBLE|WS_TABSTOP 10 10 40 14 \"OK\"\n");
    res.AddDialog(731, "DIALOG 731 0 0 200 100\n");
    CDialog owner;
    ASSERT_TRUE(owner.Create(731));
    const std::pair<Ending, INT_PTR> cases[] = {
        {Ending::Posted, 42}, {Ending::Timer, 44}, {Ending::OtherThread, 43}};
    for (const auto& [ending, result] : cases) {
        ModalDialog dlg(&owner, ending);
        EXPECT_EQ(dlg.DoModal(), result);
        EXPECT_TRUE(dlg.parentWasDisabled);
        EXPECT_TRUE(dlg.wasVisible);
        EXPECT_TRUE(owner.IsWindowEnabled());
        EXPECT_EQ(dlg.GetSafeHwnd(), nullptr); // the window is gone afterwards
    }
    CDialog missing(9999, &owner);
    EXPECT_EQ(missing.DoModal(), -1);
}

// A dialog that runs `step` once its modal loop is running; commands it does
// not know end it with their id.
class StepDialog final : public CDialog {
public:
    StepDialog(UINT templateId, std::function<void(StepDialog&)> step, CWnd* parent = nullptr)
        : CDialog(templateId, parent), m_step(std::move(step)) {}
    bool pressed = false;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        PostMessage(UM_STEP);
        return TRUE;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (HIWORD(wParam) != BN_CLICKED || LOWORD(wParam) > 4)
            return CDialog::OnCommand(wParam, lParam); // the edit's notices
        pressed = true;
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) {
            EndDialog(LOWORD(wParam));
            return TRUE;
        }
        return CDialog::OnCommand(wParam, lParam);
    }
    LRESULT OnStep(WPARAM, LPARAM) {
        m_step(*this);
        return 0;
    }
    DECLARE_MESSAGE_MAP()

private:
    std::function<void(StepDialog&)> m_step;
};

BEGIN_MESSAGE_MAP(StepDialog, CDialog)
ON_MESSAGE(UM_STEP, &StepDialog::OnStep)
END_MESSAGE_MAP()

// The main window of these tests: a button whose clicks it counts.
class MainWindow final : public CDialog {
public:
    int clicks = 0;
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        clicks += LOWORD(wParam) == 5;
        return TRUE;
    }
};

class DialogOwner : public ::testing::Test {
protected:
    void SetUp() override {
        res.AddDialog(731, "DIALOG 731 0 0 200 100\nSTYLE WS_POPUP\n"
                           "CONTROL 5 Button WS_CHILD|WS_VISIBLE|WS_TABSTOP 10 10 40 14 \"Mute\"\n");
        res.AddDialog(732,
                      "DIALOG 732 0 0 120 60\nSTYLE WS_POPUP|WS_CAPTION|DS_MODALFRAME\n"
                      "CONTROL 1 Button WS_CHILD|WS_VISIBLE|WS_TABSTOP|BS_DEFPUSHBUTTON 10 40 40 14 \"OK\"\n"
                      "CONTROL 2 Button WS_CHILD|WS_VISIBLE|WS_TABSTOP 60 40 40 14 \"Cancel\"\n");
        ASSERT_TRUE(main.Create(731));
        main.ShowWindow(SW_SHOW);
        app.m_pMainWnd = &main;
    }
    void TearDown() override { app.m_pMainWnd = nullptr; }

    // A click on the main window's button as a person makes it.
    void ClickMain() {
        const HWND button = main.GetDlgItem(5)->GetSafeHwnd();
        platform::win::MouseInput(button, WM_LBUTTONDOWN, {3, 3});
        platform::win::MouseInput(button, WM_LBUTTONUP, {3, 3});
        platform::PumpMessages();
    }
    static QWidget* Widget(HWND hwnd) {
        auto* w = platform::win::Window::From(hwnd);
        return w ? w->widget : nullptr;
    }
    // What the desktop is told: `hwnd` stays above `owner`.
    static bool StaysAbove(HWND hwnd, HWND owner) {
        QWidget* top = Widget(hwnd);
        QWidget* below = Widget(owner);
        return top && below && top->isWindow() && top->parentWidget() == below && top->windowHandle() &&
               top->windowHandle()->transientParent() == below->windowHandle();
    }

    TestResources res;
    CWinApp app;
    MainWindow main;
};

TEST_F(DialogOwner, ADialogWithoutParentBelongsToTheMainWindowOrTheModalDialogAboveIt) {
    struct Seen {
        HWND owner = nullptr;
        bool ownerEnabled = true;
        bool mainEnabled = true;
        bool above = false;
        int clicks = 0;
    } outer, inner;
    auto observe = [&](StepDialog& d, Seen& seen) {
        seen.owner = ::GetParent(d.GetSafeHwnd());
        seen.ownerEnabled = ::IsWindowEnabled(seen.owner);
        seen.mainEnabled = main.IsWindowEnabled();
        seen.above = StaysAbove(d.GetSafeHwnd(), seen.owner);
        ClickMain();
        seen.clicks = main.clicks;
        // Qt must not take the state of the disabled owner for the dialog.
        seen.above = seen.above && Widget(d.GetSafeHwnd())->isEnabled();
    };
    HWND outerHwnd = nullptr;
    bool mainDisabledAfterInner = false;
    StepDialog dialog(732, [&](StepDialog& d) {
        observe(d, outer);
        outerHwnd = d.GetSafeHwnd();
        StepDialog nested(732, [&](StepDialog& n) {
            observe(n, inner);
            n.EndDialog(IDCANCEL);
        });
        nested.DoModal();
        mainDisabledAfterInner = !main.IsWindowEnabled() && d.IsWindowEnabled();
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(outer.owner, main.GetSafeHwnd());
    EXPECT_FALSE(outer.ownerEnabled);
    EXPECT_TRUE(outer.above);
    EXPECT_EQ(outer.clicks, 0) << "a click on the disabled main window reaches it";
    EXPECT_EQ(inner.owner, outerHwnd);
    EXPECT_FALSE(inner.ownerEnabled);
    EXPECT_FALSE(inner.mainEnabled);
    EXPECT_TRUE(inner.above);
    EXPECT_EQ(inner.clicks, 0);
    EXPECT_TRUE(mainDisabledAfterInner);
    EXPECT_TRUE(main.IsWindowEnabled());
    EXPECT_EQ(dialog.m_pParentWnd, nullptr) << "the next run finds its owner anew";
    ClickMain();
    EXPECT_EQ(main.clicks, 1);
}

TEST_F(DialogOwner, AChildGivenAsParentMakesItsTopLevelWindowTheOwner) {
    HWND owner = nullptr;
    bool mainEnabled = true;
    StepDialog dialog(
        732,
        [&](StepDialog& d) {
            owner = ::GetParent(d.GetSafeHwnd());
            mainEnabled = main.IsWindowEnabled();
            d.EndDialog(IDOK);
        },
        main.GetDlgItem(5));
    dialog.DoModal();
    EXPECT_EQ(owner, main.GetSafeHwnd());
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(main.IsWindowEnabled());
    EXPECT_TRUE(main.GetDlgItem(5)->IsWindowEnabled());
}

TEST_F(DialogOwner, ClosingTheMainWindowUnderADialogEndsTheDialog) {
    StepDialog dialog(732, [&](StepDialog&) { main.DestroyWindow(); });
    dialog.DoModal();
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_EQ(main.GetSafeHwnd(), nullptr);
}

// The focus that was in the main window before the dialog is there again
// after it: the keys do not go nowhere.
TEST_F(DialogOwner, TheFocusReturnsWhereItWas) {
    main.GetDlgItem(5)->SetFocus();
    HWND inDialog = nullptr;
    StepDialog dialog(732, [&](StepDialog& d) {
        inDialog = ::GetFocus();
        d.EndDialog(IDOK);
    });
    dialog.DoModal();
    EXPECT_NE(inDialog, main.GetDlgItem(5)->GetSafeHwnd());
    EXPECT_EQ(::GetFocus(), main.GetDlgItem(5)->GetSafeHwnd());
}

// Enter and Escape as the dialog manager gives them to a dialog that does
// not take them itself.
TEST(DialogKeys, EnterPressesTheFocusedOrDefaultButtonEscapeCancels) {
    TestResources res;
    const CString buttons =
        "CONTROL 1 Button WS_CHILD|WS_VISIBLE|WS_TABSTOP%s 10 40 40 14 \"OK\"\n"
        "CONTROL 2 Button WS_CHILD|WS_VISIBLE|WS_TABSTOP%s 60 40 40 14 \"Cancel\"\n"
        "CONTROL 3 Button WS_CHILD|WS_VISIBLE|WS_TABSTOP 110 40 40 14 \"Other\"\n"
        "CONTROL 4 Button WS_CHILD|WS_VISIBLE|WS_TABSTOP|BS_DEFPUSHBUTTON 160 40 40 14 \"Def\"\n"
        "CONTROL 6 Button WS_CHILD|WS_VISIBLE|WS_TABSTOP|BS_AUTOCHECKBOX 10 25 40 10 \"Box\"\n"
        "CONTROL 7 Edit WS_CHILD|WS_VISIBLE|WS_TABSTOP|WS_BORDER 10 5 80 12 \"\"\n";
    auto withButtons = [&](UINT id, const char* okAndCancelStyle, bool withDefault) {
        CString source = "DIALOG " + std::to_string(id) + " 0 0 220 60\nSTYLE WS_POPUP|WS_CAPTION\n";
        char line[1024];
        std::snprintf(line, sizeof line, buttons.c_str(), okAndCancelStyle, okAndCancelStyle);
        CString all = line;
        if (!withDefault)
            all.erase(all.find("CONTROL 4"), all.find("CONTROL 6") - all.find("CONTROL 4"));
        res.AddDialog(id, source + all);
    };
    withButtons(740, "", false);             // no default button: IDOK
    withButtons(741, "", true);              // button 4 is the default
    withButtons(742, "|WS_DISABLED", false); // OK and Cancel are disabled
    constexpr int kNothing = 0;
    struct Case {
        UINT dialog;
        int focus;
        UINT key;
        int result;
    };
    const Case cases[] = {
        {740, 7, VK_RETURN, IDOK},     {740, 7, VK_ESCAPE, IDCANCEL}, {740, 6, VK_RETURN, IDOK},
        {740, 3, VK_RETURN, 3},        {740, 2, VK_RETURN, IDCANCEL}, {740, 3, VK_ESCAPE, IDCANCEL},
        {741, 7, VK_RETURN, 4},        {741, 3, VK_RETURN, 3},        {742, 7, VK_RETURN, kNothing},
        {742, 7, VK_ESCAPE, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dialog << " focus " << c.focus << " key " << c.key);
        StepDialog dialog(c.dialog, [&](StepDialog& d) {
            d.GetDlgItem(c.focus)->SetFocus();
            platform::win::KeyInput(c.key);
            if (!d.pressed)
                d.EndDialog(kNothing);
        });
        EXPECT_EQ(dialog.DoModal(), c.result);
    }
}

} // namespace
