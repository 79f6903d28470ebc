#pragma once

// The output page on a recording parent, with the program's templates and
// solid-colour pictures, the whole model, the view against the simulated
// processor (not connected unless a test connects it), a recording form and
// recorded message boxes.  Outputs 1, 4 and 6 (0, 3, 5) form group 1;
// outputs 8 and 9 (7, 8) carry 0.

#include "controls/SharedGdiObjects.h"
#include "model/Filter.h"
#include "pages/output/OutputDlg.h"
#include "pages/output/OutputForm.h"
#include "platform/win/Input.h"
#include "tests/app/ShellFixture.h"
#include "tests/link/SyncFixture.h"

#include <utility>

#include <memory>
#include <vector>

namespace pagetest {

class RecordingOutputForm final : public IOutputForm {
public:
    struct Call {
        CString what;
        int a = 0;
        int b = 0;
        bool operator==(const Call&) const = default;
    };
    void UpdateTypeCaption(int strip) override { calls.push_back({"caption", strip, 0}); }
    void SetSelectLatched(int strip, int latched) override { calls.push_back({"latch", strip, latched}); }
    void ApplySpeakerTypeMix(int output, int type) override { calls.push_back({"mix", output, type}); }
    void UpdatePanels(WPARAM, int unit) override { calls.push_back({"panels", unit, 0}); }
    std::vector<Call> calls;
};

// The page's handlers reached as the user reaches them.
// Keeps the program messages that reach the page.
class TestOutputDlg final : public COutputDlg {
public:
    using COutputDlg::PreTranslateMessage;
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Message> Take() {
        platform::PumpMessages();
        return std::exchange(messages, {});
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_USER)
            messages.push_back({message, wParam, lParam});
        return COutputDlg::WindowProc(message, wParam, lParam);
    }
    std::vector<Message> messages;
};

class OutputPage : public linktest::SyncView {
protected:
    void SetUp() override {
        SyncView::SetUp();
        static const bool fonts = [] {
            CreateSharedFonts();
            return true;
        }();
        (void)fonts;
        g_bChinese = 0;
        std::fill(std::begin(g_bOutCurveShown), std::end(g_bOutCurveShown), 0);
        std::fill(std::begin(g_bOutChanged), std::end(g_bOutChanged), 0);
        pictures = std::make_unique<apptest::SolidPictures>(solidPictures);
        pictures->AddDialog(apptest::RecordingParent::IDD, "DIALOG 9901 0 0 1100 600\nSTYLE WS_POPUP\n");
        ASSERT_TRUE(parent.Create(apptest::RecordingParent::IDD));
        parent.ShowWindow(SW_SHOW);
        data.InitLinkTable();
        for (int k : {0, 3, 5})
            g_OutLinkTable[1 + k] = 1;
        page = std::make_unique<TestOutputDlg>();
        ASSERT_TRUE(page->Create(COutputDlg::kTemplate, &parent));
        page->SetChannelArray(&data);
        page->view = view.get();
        page->SetForm(&outputForm);
        page->ShowPage(SW_SHOW);
        page->RefreshPage();
    }
    void TearDown() override {
        page.reset();
        parent.DestroyWindow();
        pictures.reset();
        SyncView::TearDown();
    }

public:
    CKTV_OutData& Out(int k) { return *data.GetOutput(k); }
    CFilter& Band(int output, int band) { return *data.GetOutput(output)->GetBand(band); }

    // A typed value committed as the edit does when it loses the focus.
    void Commit(CNumSpin& spin, int value) {
        spin.SetPos(value);
        page->SendMessage(WM_COMMAND, MAKEWPARAM(spin.GetDlgCtrlID(), 0), 0);
    }
    void Command(int id) { page->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    bool solidPictures = true;
    std::unique_ptr<apptest::SolidPictures> pictures;
    apptest::RecordingParent parent;
    RecordingOutputForm outputForm;
    platform::RecordingMessageBox boxes{IDYES};
    std::unique_ptr<TestOutputDlg> page;
};

} // namespace pagetest
