// The device preset dialog and its name prompt: the rows it acts on and the
// ways into each action, the checks of a new name, the delete question, and
// what reaches the processor (the queue offline, the simulated processor
// online).

#include "app/ProgramDlg.h"
#include "app/DisplayDlg.h"
#include "app/SaveDlg.h"
#include "controls/SharedGdiObjects.h"
#include "model/DataDefine.h"
#include "platform/win/Input.h"
#include "tests/app/ShellFixture.h"
#include "tests/link/FakePing.h"
#include "tests/link/SyncFixture.h"

#include <cstring>
#include <functional>

namespace {

using apptest::SolidPictures;

// Runs a step inside the next modal loop: the prompt is open by then.
class InsideModal final : public platform::MessageTarget {
public:
    InsideModal() : m_hWnd(platform::RegisterMessageTarget(this)) {}
    ~InsideModal() override { platform::UnregisterMessageTarget(m_hWnd); }
    void Next(std::function<void()> step) {
        m_step = std::move(step);
        ::PostMessage(m_hWnd, WM_USER, 0, 0);
    }
    LRESULT HandleMessage(UINT, WPARAM, LPARAM) override {
        if (auto step = std::exchange(m_step, {}))
            step();
        return 0;
    }

private:
    HWND m_hWnd;
    std::function<void()> m_step;
};

class ProgramDlgTest : public linktest::SyncView {
protected:
    void SetUp() override {
        SyncView::SetUp();
        const char* names[] = {"Club", "Lounge", "Front stage AB", "", "Party", "Night"};
        for (int p = 1; p <= kPresetCount; ++p)
            StringToBytesZ(g_PresetImages[p - 1], kPresetNameSize, names[p - 1]);
    }
    void TearDown() override {
        dlg.reset();
        g_pProgramDlg = nullptr;
        SyncView::TearDown();
    }

    CProgramDlg& Open(int mode) {
        dlg = std::make_unique<CProgramDlg>();
        dlg->m_pView = view.get();
        dlg->m_nMode = mode;
        EXPECT_TRUE(dlg->Create(CProgramDlg::IDD));
        dlg->ShowWindow(SW_SHOW);
        return *dlg;
    }
    CPoint CellCentre(int row, int col) {
        CRect r;
        dlg->m_grid.GetCellRect(row, col, &r);
        return r.CenterPoint();
    }
    void Click(int row, int col = 1, bool twice = false) {
        const CPoint p = CellCentre(row, col);
        const HWND grid = dlg->m_grid.GetSafeHwnd();
        platform::win::MouseInput(grid, WM_LBUTTONDOWN, {p.x, p.y});
        platform::win::MouseInput(grid, WM_LBUTTONUP, {p.x, p.y});
        if (twice) {
            platform::win::MouseInput(grid, WM_LBUTTONDOWN, {p.x, p.y});
            platform::win::MouseInput(grid, WM_LBUTTONUP, {p.x, p.y});
        }
        platform::PumpMessages();
        clock->Advance(600);
    }
    void Action() { dlg->SendMessage(WM_COMMAND, MAKEWPARAM(2727, BN_CLICKED), 0); }
    // The prompt opened by `start`, answered with `name` (or cancelled).
    CString SaveAs(const std::function<void()>& start, const CString& name, bool ok = true) {
        CString label;
        modal.Next([&] {
            CWnd* edit = CWnd::GetFocus();
            auto* prompt = dynamic_cast<CSaveDlg*>(edit ? edit->GetParent() : nullptr);
            ASSERT_NE(prompt, nullptr);
            label = prompt->m_labelNumber.GetWindowText();
            edit->SetWindowText(name);
            prompt->PostMessage(WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
        });
        start();
        return label;
    }
    static CString Stored(int preset) { return BytesToString(g_PresetImages[preset - 1], kPresetNameSize); }
    std::vector<CString> Boxes() {
        std::vector<CString> texts;
        for (const auto& b : boxes.Entries())
            texts.push_back(b.text);
        return texts;
    }

    SolidPictures pictures;
    InsideModal modal;
    std::unique_ptr<CProgramDlg> dlg;
};

TEST_F(ProgramDlgTest, EveryModeOpensOnRowOneWithItsTexts) {
    struct Case {
        int mode;
        int chinese;
        const char* caption;
        const char* action;
        const char* heading;
    };
    const Case cases[] = {{0, 0, "Load Machine Preset", "Load", "Preset"},
                          {1, 0, "Save As Machine Preset", "Save", "Preset"},
                          {2, 0, "Delete Machine Preset", "Delete", "Preset"},
                          {1, 1, "另存为 机器预置场景", "保存", "场景名"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        g_bChinese = c.chinese;
        CProgramDlg& d = Open(c.mode);
        EXPECT_EQ(d.m_grid.GetFocusCell(), CGridCellID(1, 1));
        EXPECT_EQ(d.m_grid.GetSelectedCellRange().GetMinRow(), 1);
        EXPECT_EQ(d.m_grid.GetSelectedCellRange().GetMaxRow(), 1);
        EXPECT_EQ(d.GetWindowText(), c.caption);
        EXPECT_EQ(d.m_btnAction.GetWindowText(), c.action);
        EXPECT_EQ(d.m_grid.GetItemText(0, 1), c.heading);
        EXPECT_EQ(d.m_grid.GetItemText(3, 1), "Front stage AB");
        EXPECT_EQ(d.m_grid.GetItemText(6, 0), "6");
        EXPECT_EQ(g_pProgramDlg, &d);
    }
}

TEST_F(ProgramDlgTest, NamesAreReadInsideTheirFieldsWhateverTheBytes) {
    std::memset(g_PresetImages[4], 'A', kPresetNameSize); // no 0 byte
    const BYTE notGbk[] = {0xFF, 0xFE, 'x', 0};
    std::memcpy(g_PresetImages[5], notGbk, sizeof notGbk);
    Open(CProgramDlg::kLoad);
    EXPECT_EQ(dlg->m_grid.GetItemText(5, 1), CString(15, 'A'));
    EXPECT_NE(dlg->m_grid.GetItemText(6, 1).find('x'), CString::npos);
}

TEST_F(ProgramDlgTest, ADoubleClickOnRowFourLoadsItOrAsksToDeleteIt) {
    ConnectWithoutThread();
    g_bOnline = 1;
    Open(CProgramDlg::kLoad);
    Click(4, 1, true);
    const auto frames = TakeQueue();
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(), [](const auto& f) { return f.preset() == 4; }), 16)
        << "four music inputs and twelve outputs of preset 4";
    EXPECT_EQ(g_DeviceSettings.CurrentPreset[0], 4);
    // The online state comes back only with the data: a second load waits.
    Click(5, 1, true);
    EXPECT_TRUE(TakeQueue().empty());

    platform::RecordingMessageBox no(IDNO);
    Open(CProgramDlg::kDelete);
    Click(4, 1, true);
    ASSERT_EQ(no.Entries().size(), 1u);
    EXPECT_EQ(no.Entries()[0].text, "Are you delete No.4 preset?");
    EXPECT_EQ(no.Entries()[0].type, UINT(MB_YESNO));
    EXPECT_TRUE(TakeQueue().empty());
}

TEST_F(ProgramDlgTest, ANewNameIsCheckedBeforeItIsStored) {
    Open(CProgramDlg::kSaveAs);
    struct Case {
        const char* name;
        const char* message; // nullptr: stored
    };
    const Case cases[] = {
        {"", "The machine preset name can not be empty!"},
        {"   ", "The machine preset name can not be all spaces!"},
        {"Front stage AC", "Have been the same machine preset name!"}, // preset 3 in 13 bytes
        {"Lounge", nullptr},                                           // its own name again
        {"中文名字测试A", nullptr},                                    // 13 GBK bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t shown = boxes.Entries().size();
        Click(2);
        SaveAs([&] { Action(); }, c.name);
        if (c.message) {
            ASSERT_EQ(boxes.Entries().size(), shown + 1);
            EXPECT_EQ(boxes.Entries().back().text, c.message);
            EXPECT_EQ(Stored(2), "Lounge");
        } else {
            EXPECT_EQ(boxes.Entries().size(), shown);
            EXPECT_EQ(Stored(2), c.name);
            EXPECT_EQ(dlg->m_grid.GetItemText(2, 1), c.name);
            EXPECT_EQ(BytesToString(g_DeviceImage, kPresetNameSize), c.name);
            EXPECT_EQ(g_bPresetNamePending, 1);
        }
    }
    // Cancel changes nothing.
    SaveAs([&] { Action(); }, "Other", false);
    EXPECT_EQ(Stored(2), "中文名字测试A");
}

TEST_F(ProgramDlgTest, ThePromptNumbersItsPresetAndTakesThirteenBytes) {
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        Open(CProgramDlg::kSaveAs);
        Click(5);
        CString typed;
        CString label;
        modal.Next([&] {
            auto* prompt = dynamic_cast<CSaveDlg*>(CWnd::GetFocus()->GetParent());
            ASSERT_NE(prompt, nullptr);
            label = prompt->m_labelNumber.GetWindowText();
            EXPECT_EQ(prompt->m_editName.GetWindowText(), "Party");
            prompt->m_editName.SetSel(0, -1);
            for (const char* p = "abcdefghijklmn"; *p; ++p)
                platform::win::CharInput(UINT(*p));
            typed = prompt->m_editName.GetWindowText();
            prompt->PostMessage(WM_COMMAND, IDCANCEL, 0);
        });
        Action();
        EXPECT_EQ(label, chinese ? "序号:5" : "No.5");
        EXPECT_EQ(typed, "abcdefghijklm");
    }
}

TEST_F(ProgramDlgTest, TheDeleteKeyAsksAndNoLeavesTheCellEmptyButTheNameKept) {
    ConnectWithoutThread();
    g_bOnline = 1;
    platform::RecordingMessageBox no(IDNO);
    Open(CProgramDlg::kLoad);
    Click(3);
    dlg->m_grid.SetFocus();
    platform::win::KeyInput(VK_DELETE);
    ASSERT_EQ(no.Entries().size(), 1u);
    EXPECT_EQ(no.Entries()[0].text, "Are you delete No.3 preset?");
    EXPECT_EQ(dlg->m_grid.GetItemText(3, 1), "");
    EXPECT_EQ(Stored(3), "Front stage AB");
    EXPECT_TRUE(TakeQueue().empty());
    Open(CProgramDlg::kLoad);
    EXPECT_EQ(dlg->m_grid.GetItemText(3, 1), "Front stage AB");
}

TEST_F(ProgramDlgTest, RowsOutsideTheSixPresetsAndEnterAndEscapeDoNothing) {
    ConnectWithoutThread();
    g_bOnline = 1;
    platform::RecordingMessageBox yes(IDYES);
    for (int mode : {CProgramDlg::kLoad, CProgramDlg::kDelete}) {
        Open(mode);
        for (int row : {0, 7}) {
            GridNotify notice;
            notice.hdr.hwndFrom = dlg->m_grid.GetSafeHwnd();
            notice.hdr.idFrom = 2724;
            notice.iRow = row;
            notice.iColumn = 1;
            for (UINT code : {NM_DBLCLK, GRIDN_CELLCLEARED}) {
                notice.hdr.code = code;
                dlg->SendMessage(WM_NOTIFY, 2724, LPARAM(&notice));
            }
            platform::PumpMessages();
        }
        // The grid's menu on the heading row.
        const CPoint p = CellCentre(0, 1);
        platform::win::MouseInput(dlg->m_grid.GetSafeHwnd(), WM_RBUTTONDOWN, {p.x, p.y});
        platform::PumpMessages();
        for (UINT command : {713u, 714u, 715u})
            dlg->SendMessage(WM_COMMAND, command, 0);
        // Wherever the focus is, a button's own click included.
        for (CWnd* focus : {static_cast<CWnd*>(&dlg->m_grid), static_cast<CWnd*>(&dlg->m_btnAction),
                            static_cast<CWnd*>(&dlg->m_btnQuit)}) {
            for (UINT key : {VK_RETURN, VK_ESCAPE}) {
                focus->SetFocus();
                platform::win::KeyInput(key);
                EXPECT_EQ(CWnd::GetFocus(), dlg.get());
            }
            platform::PumpMessages();
            EXPECT_TRUE(dlg->IsWindowVisible());
        }
    }
    EXPECT_TRUE(yes.Entries().empty());
    EXPECT_TRUE(TakeQueue().empty());
    EXPECT_EQ(Stored(1), "Club");
}

// Against the simulated processor over the in-process USB device.
class ProgramDlgThreaded : public ProgramDlgTest {
protected:
    void SetUp() override {
        ProgramDlgTest::SetUp();
        ping.Answer(true);
        processor.UpdateMemory([](sim::SimMemory& m) {
            const char* names[] = {"Club", "Lounge", "Front stage AB", "", "Party", "Night"};
            for (int p = 1; p <= kPresetCount; ++p)
                StringToBytesZ(m.Image(p), kPresetNameSize, names[p - 1]);
            m.settings.currentPreset[0] = 5;
        });
        Bus().Plug();
        view->InitLink();
        ASSERT_TRUE(PumpUntil([&] { return g_bOnline != 0 && syncForm.allControlsUpdated > 0; }));
        ASSERT_EQ(g_DeviceSettings.CurrentPreset[0], 5);
    }
    void TearDown() override {
        view->StopCommThread(1);
        ProgramDlgTest::TearDown();
    }
    bool PumpUntil(const std::function<bool()>& done) {
        return platform::WaitHandlingSentMessages(
            [&] {
                platform::PumpMessages();
                return done();
            },
            20000);
    }
    linktest::FakePingRunner ping;
};

TEST_F(ProgramDlgThreaded, SavingPresetTwoAsClubNamesItEverywhereAndMakesItCurrent) {
    StringToBytesZ(g_PresetImages[0], kPresetNameSize, "First");
    Open(CProgramDlg::kSaveAs);
    Click(2);
    SaveAs([&] { Action(); }, "Club");
    EXPECT_EQ(dlg->m_grid.GetItemText(2, 1), "Club");
    EXPECT_EQ(BytesToString(g_DeviceImage, kPresetNameSize), "Club");
    EXPECT_TRUE(PumpUntil([&] {
        const sim::SimMemory m = processor.Memory();
        return BytesToString(m.Image(2), kPresetNameSize) == "Club" && m.settings.currentPreset[0] == 2;
    }));
    EXPECT_TRUE(boxes.Entries().empty());
}

TEST_F(ProgramDlgThreaded, DeletingTheCurrentPresetMakesTheProcessorsCurrentPresetZero) {
    platform::RecordingMessageBox yes(IDYES);
    Open(CProgramDlg::kDelete);
    Click(5);
    Action();
    EXPECT_EQ(dlg->m_grid.GetItemText(5, 1), "");
    EXPECT_TRUE(PumpUntil([&] {
        const sim::SimMemory m = processor.Memory();
        return BytesToString(m.Image(5), kPresetNameSize).empty() && m.settings.currentPreset[0] == 0;
    }));
    // Another preset keeps the current one as it is.
    Click(6);
    Action();
    EXPECT_TRUE(
        PumpUntil([&] { return BytesToString(processor.Memory().Image(6), kPresetNameSize).empty(); }));
    EXPECT_EQ(processor.Memory().settings.currentPreset[0], 0);
}

TEST(ProgramDlgPicture, BothLanguages) {
    platform::VirtualClock clock;
    SolidPictures pictures(false);
    const char* names[] = {"Club", "Lounge", "Front stage AB", "", "派对", "Night"};
    for (int p = 1; p <= kPresetCount; ++p)
        StringToBytesZ(g_PresetImages[p - 1], kPresetNameSize, names[p - 1]);
    if (!g_brDlgBk.GetSafeHandle())
        CreateDialogBrush();
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        CProgramDlg dlg;
        dlg.m_nMode = CProgramDlg::kSaveAs;
        ASSERT_TRUE(dlg.Create(CProgramDlg::IDD));
        dlg.ShowWindow(SW_SHOW);
        EXPECT_TRUE(apptest::SavePicture(dlg.GetSafeHwnd(),
                                         chinese ? "preset_dialog_zh.png" : "preset_dialog_en.png"));
        CSaveDlg prompt;
        prompt.m_nPreset = 2;
        ASSERT_TRUE(prompt.Create(CSaveDlg::IDD));
        prompt.ShowWindow(SW_SHOW);
        EXPECT_TRUE(apptest::SavePicture(prompt.GetSafeHwnd(),
                                         chinese ? "preset_name_zh.png" : "preset_name_en.png"));
    }
    g_bChinese = 0;
    g_pProgramDlg = nullptr;
}

} // namespace
