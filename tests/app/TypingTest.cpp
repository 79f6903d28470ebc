// Typing as a person types: Qt's key events on the program's real edits and
// on the preset grid, through the window layer's translation of keys.  What
// each key does to the text and the caret, and a preset name edited with
// BackSpace and Delete reaching the processor without a control byte.

#include "app/ProgramDlg.h"
#include "app/SaveDlg.h"
#include "model/DataDefine.h"
#include "tests/app/AppFixture.h"
#include "tests/app/QtInput.h"

#include <QTimer>

#include <array>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using apptest::Press;
using apptest::Stroke;
using apptest::TypeText;

class Typing : public apptest::AppFixture {
protected:
    using Step = std::function<void(CDialog&)>;

    // Runs `step` in the next modal loop, on the dialog that runs it.
    static void Inside(Step step) {
        QTimer::singleShot(0, [step = std::move(step)] {
            CDialog* dialog = CDialog::ActiveModal();
            ASSERT_NE(dialog, nullptr);
            step(*dialog);
        });
    }
    void Command(UINT command) { View()->SendMessage(WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0); }
    // The preset dialog in `mode` (its menu command), `step` run in it; the
    // dialog is closed after the step.
    void InPresets(UINT command, const Step& step) {
        Inside([step](CDialog& presets) {
            step(presets);
            presets.PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        Command(command);
        Pump();
    }
    // The name prompt the save action opens over the preset dialog, on the
    // preset in `row`.
    void InNamePrompt(int row, const std::function<void(CSaveDlg&)>& step) {
        InPresets(721, [row, step](CDialog& d) {
            auto& presets = dynamic_cast<CProgramDlg&>(d);
            ClickCell(presets, row);
            Inside([step](CDialog& prompt) {
                auto* name = dynamic_cast<CSaveDlg*>(&prompt);
                ASSERT_NE(name, nullptr);
                step(*name);
            });
            presets.SendMessage(WM_COMMAND, MAKEWPARAM(2727, BN_CLICKED), 0);
        });
    }
    static void ClickCell(CProgramDlg& presets, int row) {
        CRect cell;
        ASSERT_TRUE(presets.m_grid.GetCellRect(row, 1, &cell));
        apptest::ClickAt(presets.m_grid, QPoint(cell.CenterPoint().x, cell.CenterPoint().y));
    }
    static int Caret(CEdit& edit) {
        int start = 0, end = 0;
        edit.GetSel(start, end);
        return start == end ? start : -1;
    }
};

// What a row of keys does to "45" typed into the empty edit: the caret
// starts at the end.
struct EditCase {
    const char* keys;
    std::vector<Stroke> strokes;
    const char* text;
    int caret;
};

const std::vector<EditCase>& EditCases() {
    static const std::vector<EditCase> cases = {
        {"BackSpace", {{Qt::Key_Backspace}}, "4", 1},
        {"Left Delete", {{Qt::Key_Left}, {Qt::Key_Delete}}, "4", 1},
        {"Left BackSpace", {{Qt::Key_Left}, {Qt::Key_Backspace}}, "5", 0},
        {"Home Delete", {{Qt::Key_Home}, {Qt::Key_Delete}}, "5", 0},
        {"Home BackSpace", {{Qt::Key_Home}, {Qt::Key_Backspace}}, "45", 0},
        {"Home End Delete", {{Qt::Key_Home}, {Qt::Key_End}, {Qt::Key_Delete}}, "45", 2},
        {"BackSpace x3", {{Qt::Key_Backspace}, {Qt::Key_Backspace}, {Qt::Key_Backspace}}, "", 0},
        {"Home Delete x3", {{Qt::Key_Home}, {Qt::Key_Delete}, {Qt::Key_Delete}, {Qt::Key_Delete}}, "", 0},
        {"Left 7", {{Qt::Key_Left}, {Qt::Key_7}}, "475", 2},
        {"keys that type nothing",
         {{Qt::Key_A, Qt::ControlModifier}, {Qt::Key_F2}, {Qt::Key_Insert}, {Qt::Key_Tab}},
         "45",
         2},
    };
    return cases;
}

void RunEditCases(CEdit& edit) {
    for (const EditCase& c : EditCases()) {
        SCOPED_TRACE(c.keys);
        edit.SetWindowText("");
        ASSERT_EQ(::GetFocus(), edit.GetSafeHwnd());
        TypeText("45");
        ASSERT_EQ(edit.GetWindowText(), "45");
        Press(c.strokes);
        EXPECT_EQ(edit.GetWindowText(), c.text);
        int start = 0, end = 0;
        edit.GetSel(start, end);
        EXPECT_EQ(start, c.caret);
        EXPECT_EQ(end, c.caret);
    }
}

TEST_F(Typing, EachKeyInABandValueAndThePresetNameEdit) {
    ASSERT_TRUE(Start());
    {
        SCOPED_TRACE("band frequency");
        CNumEdit& edit = View()->GetOutputPage().m_editFreq[4];
        apptest::ClickAt(edit, {5, 5});
        ASSERT_EQ(CWnd::GetFocus(), &edit);
        RunEditCases(edit);
    }
    bool prompted = false;
    InNamePrompt(2, [&](CSaveDlg& prompt) {
        SCOPED_TRACE("preset name");
        prompted = true;
        RunEditCases(prompt.m_editName);
        // A name takes single-byte characters only.
        prompt.m_editName.SetWindowText("");
        TypeText("a高b");
        EXPECT_EQ(prompt.m_editName.GetWindowText(), "ab");
        prompt.PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_TRUE(prompted);
}

// The grid is read-only: typed keys change no cell; Delete asks whether the
// preset goes.
TEST_F(Typing, KeysOnThePresetGrid) {
    ASSERT_TRUE(Start());
    const std::array<const char*, kPresetCount> names = {"Club", "Lounge", "Front stage AB",
                                                         "",     "Party",  "Night"};
    for (int p = 0; p < kPresetCount; ++p)
        StringToBytesZ(g_PresetImages[p], kPresetNameSize, names[std::size_t(p)]);
    std::vector<CString> cells;
    std::vector<CString> afterDelete;
    std::size_t boxesBeforeDelete = 99;
    InPresets(720, [&](CDialog& d) {
        auto& presets = dynamic_cast<CProgramDlg&>(d);
        ClickCell(presets, 3);
        ASSERT_EQ(CWnd::GetFocus(), &presets.m_grid);
        TypeText("ab");
        Press({{Qt::Key_Backspace}, {Qt::Key_F2}, {Qt::Key_Insert}});
        for (int row = 1; row <= kPresetCount; ++row)
            cells.push_back(presets.m_grid.GetItemText(row, 1));
        EXPECT_EQ(presets.m_grid.GetFocusCell(), CGridCellID(3, 1));
        boxesBeforeDelete = boxes->Entries().size();
        Press({{Qt::Key_Delete}});
        for (int row = 1; row <= kPresetCount; ++row)
            afterDelete.push_back(presets.m_grid.GetItemText(row, 1));
    });
    EXPECT_EQ(cells, std::vector<CString>(names.begin(), names.end()));
    EXPECT_EQ(boxesBeforeDelete, 0u);
    ASSERT_EQ(boxes->Entries().size(), 1u);
    EXPECT_EQ(boxes->Entries()[0].text, "Are you delete No.3 preset?");
    // The box's answer was no: the cell is empty, the preset keeps its name.
    std::vector<CString> expected(names.begin(), names.end());
    expected[2] = "";
    EXPECT_EQ(afterDelete, expected);
    EXPECT_EQ(BytesToString(g_PresetImages[2], kPresetNameSize), "Front stage AB");
}

// Against the simulated processor on the in-process USB device.
class TypingThreaded : public Typing {
protected:
    void SetUp() override {
        Typing::SetUp();
        ping.Answer(true);
        processor.UpdateMemory([](sim::SimMemory& m) {
            const char* names[] = {"Club", "Lounge", "Stage", "", "Party", "Night"};
            for (int p = 1; p <= kPresetCount; ++p)
                StringToBytesZ(m.Image(p), kPresetNameSize, names[p - 1]);
        });
        backend->Bus().Plug();
    }
};

TEST_F(TypingThreaded, APresetNameEditedWithBackSpaceAndDeleteReachesTheProcessorClean) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(PumpUntil([&] { return g_bOnline != 0 && View()->GetStrip(11).IsWindowVisible(); }));
    CString offered;
    InNamePrompt(2, [&](CSaveDlg& prompt) {
        offered = prompt.m_editName.GetWindowText();
        // The offered name goes key by key, a typing slip is mended.
        for (std::size_t i = 0; i < offered.size(); ++i)
            Press({{Qt::Key_Backspace}});
        TypeText("BBaxss");
        Press({{Qt::Key_Home},
               {Qt::Key_Delete},
               {Qt::Key_End},
               {Qt::Key_Left},
               {Qt::Key_Left},
               {Qt::Key_Backspace},
               {Qt::Key_Return}});
    });
    EXPECT_EQ(offered, "Lounge");
    std::array<BYTE, kPresetNameSize> expected{};
    std::memcpy(expected.data(), "Bass", 4);
    auto nameBytes = [](const BYTE* at) {
        std::array<BYTE, kPresetNameSize> bytes{};
        std::memcpy(bytes.data(), at, bytes.size());
        return bytes;
    };
    ASSERT_TRUE(PumpUntil([&] { return nameBytes(processor.Memory().Image(2)) == expected; }))
        << BytesToString(processor.Memory().Image(2), kPresetNameSize);
    EXPECT_TRUE(PumpUntil([&] { return processor.Memory().settings.currentPreset[0] == 2; }));
    EXPECT_EQ(nameBytes(processor.Memory().live.data()), expected);
    EXPECT_TRUE(boxes->Entries().empty());
}

} // namespace
