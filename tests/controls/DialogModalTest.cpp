#include "TestResources.h"
#include "platform/win/Dialog.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr UINT UM_END = WM_USER + 1;

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

} // namespace
