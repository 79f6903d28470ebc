#include "GridFixture.h"
#include "model/Globals.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Menu.h"

#include <QGuiApplication>
#include <QStyleHints>

#include <gtest/gtest.h>

#include <random>

namespace {

class FakeClipboard final : public platform::win::Clipboard {
public:
    FakeClipboard() { m_previous = platform::win::InstallClipboard(this); }
    ~FakeClipboard() override { platform::win::InstallClipboard(m_previous); }
    void SetText(const CString& text) override {
        last = text;
        ++sets;
    }
    CString Text() const override { return last; }
    CString last;
    int sets = 0;

private:
    platform::win::Clipboard* m_previous = nullptr;
};

class RecordingTracker final : public platform::win::PopupMenuTracker {
public:
    RecordingTracker() { m_previous = platform::win::InstallPopupMenuTracker(this); }
    ~RecordingTracker() override { platform::win::InstallPopupMenuTracker(m_previous); }
    UINT Track(const platform::win::MenuData& menu, POINT, UINT, HWND owner) override {
        ++shown;
        items.clear();
        for (const auto& item : menu.items)
            items.push_back({item.id, item.text});
        shownTo = owner;
        return choice;
    }
    int shown = 0;
    std::vector<std::pair<UINT, CString>> items;
    HWND shownTo = nullptr;
    UINT choice = 0;

private:
    platform::win::PopupMenuTracker* m_previous = nullptr;
};

// Cells, rows and columns, without a window.

TEST(GridCells, CountsBuildDefaultCellsAndRefuseNegativeCounts) {
    CGridCtrl grid;
    EXPECT_TRUE(grid.SetRowCount(7));
    EXPECT_EQ(grid.GetCell(0, 0), nullptr);
    EXPECT_TRUE(grid.SetColumnCount(2));
    LOGFONT system;
    CFont::FromHandle(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)))->GetLogFont(&system);
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 2; ++col) {
            const CGridCell* cell = grid.GetCell(row, col);
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->state, 0u);
            EXPECT_EQ(cell->nFormat, 0u);
            EXPECT_EQ(cell->szText, "");
            EXPECT_EQ(cell->iImage, -1);
            EXPECT_EQ(cell->crBkClr, CLR_DEFAULT);
            EXPECT_EQ(cell->crFgClr, CLR_DEFAULT);
            EXPECT_EQ(cell->lfFont.lfHeight, 16);
            EXPECT_EQ(cell->lfFont.lfWeight, FW_BOLD);
        }
    EXPECT_EQ(system.lfHeight, 16);

    CGridCtrl fixed;
    EXPECT_TRUE(fixed.SetFixedRowCount(1));
    EXPECT_EQ(fixed.GetRowCount(), 1);

    // A negative count changes nothing.
    using Setter = BOOL (CGridCtrl::*)(int);
    for (Setter set : {&CGridCtrl::SetRowCount, &CGridCtrl::SetColumnCount, &CGridCtrl::SetFixedRowCount,
                       &CGridCtrl::SetFixedColumnCount}) {
        EXPECT_FALSE((grid.*set)(-1));
        EXPECT_EQ(grid.GetRowCount(), 7);
        EXPECT_EQ(grid.GetColumnCount(), 2);
        EXPECT_NE(grid.GetCell(6, 1), nullptr);
    }

    EXPECT_TRUE(grid.SetColumnWidth(1, 262));
    EXPECT_EQ(grid.GetColumnWidth(1), 262);
    EXPECT_EQ(grid.GetColumnWidth(0), 30);
    EXPECT_FALSE(grid.SetColumnWidth(5, 10));
    EXPECT_FALSE(grid.SetColumnWidth(0, -1));
    EXPECT_EQ(grid.GetRowHeight(7), -1);
    EXPECT_EQ(grid.GetItemText(7, 0), "");
    EXPECT_EQ(grid.GetItemText(0, -1), "");
    EXPECT_EQ(grid.GetVirtualWidth(), 292);
}

TEST(GridCells, NewRowsCopyTheFormatOfTheCellAbove) {
    CGridCtrl grid(1, 2);
    grid.GetCell(0, 1)->nFormat = DT_CENTER;
    grid.SetRowCount(3);
    EXPECT_EQ(grid.GetItemFormat(2, 1), UINT(DT_CENTER));
    EXPECT_EQ(grid.GetItemFormat(2, 0), 0u);
}

TEST(GridCells, ShrinkingBelowTheFocusRowDropsTheFocusWithItsNotice) {
    GridFixture f;
    f.dlg.grid.SetFocusCell(5, 1);
    f.dlg.notices.clear();
    EXPECT_TRUE(f.dlg.grid.SetRowCount(4));
    EXPECT_EQ(f.dlg.grid.GetFocusCell(), CGridCellID());
    EXPECT_EQ(f.dlg.notices, (std::vector<Notice>{{GRIDN_FOCUSCHANGING, 5, 1}}));
    EXPECT_EQ(f.dlg.grid.MapCells(), f.dlg.grid.CellsWithSelectedState());
}

TEST(GridCells, TheFontMessageChangesTheDefaultsOfLaterRowsOnly) {
    GridFixture f;
    CGridCtrl& g = f.dlg.grid;
    const int before = g.GetRowHeight(3);
    CFont big;
    big.CreateFont(-30, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    g.SetFont(&big);
    EXPECT_EQ(g.GetRowHeight(3), before);
    g.SetRowCount(8);
    EXPECT_GT(g.GetRowHeight(7), before);
    EXPECT_EQ(g.GetItemFont(2, 1)->lfHeight, -30);
    EXPECT_EQ(g.GetCell(7, 1)->lfFont.lfHeight, -30);
}

// SetItemValidated: each mask bit writes its field and only that one.

TEST(ComboGrid, SetItemValidatedWritesExactlyTheMaskedFields) {
    struct Case {
        UINT mask;
        void (*check)(const CGridCell&, bool written);
    };
    const Case cases[] = {
        {GIF_TEXT, [](const CGridCell& c, bool w) { EXPECT_EQ(c.szText, w ? "new" : "old"); }},
        {GIF_IMAGE, [](const CGridCell& c, bool w) { EXPECT_EQ(c.iImage, w ? 7 : -1); }},
        {GIF_PARAM, [](const CGridCell& c, bool w) { EXPECT_EQ(c.lParam, w ? 99u : 0u); }},
        {GIF_STATE, [](const CGridCell& c, bool w) { EXPECT_EQ(c.state, w ? GCS_READONLY : 0u); }},
        {GIF_BKCLR, [](const CGridCell& c, bool w) { EXPECT_EQ(c.crBkClr, w ? RGB(1, 2, 3) : CLR_DEFAULT); }},
        {GIF_FGCLR, [](const CGridCell& c, bool w) { EXPECT_EQ(c.crFgClr, w ? RGB(4, 5, 6) : CLR_DEFAULT); }},
        {GIF_FORMAT, [](const CGridCell& c, bool w) { EXPECT_EQ(c.nFormat, w ? 0x8025u : 0u); }},
        {GIF_FONT, [](const CGridCell& c, bool w) { EXPECT_EQ(c.lfFont.lfHeight, w ? -21 : 16); }},
    };
    GRID_ITEM item;
    item.row = 2;
    item.col = 1;
    item.szText = "new";
    item.iImage = 7;
    item.lParam = 99;
    item.state = GCS_READONLY;
    item.crBkClr = RGB(1, 2, 3);
    item.crFgClr = RGB(4, 5, 6);
    item.nFormat = 0x8025;
    item.lfFont.lfHeight = -21;
    for (UINT mask : {0u, 0x41u, 0xFFu, GIF_TEXT, GIF_IMAGE, GIF_PARAM, GIF_STATE, GIF_BKCLR, GIF_FGCLR,
                      GIF_FORMAT, GIF_FONT}) {
        CComboGridCtrl grid;
        grid.SetRowCount(3);
        grid.SetColumnCount(2);
        grid.GetCell(2, 1)->szText = "old";
        item.mask = mask;
        EXPECT_TRUE(grid.SetItemValidated(&item)) << mask;
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "mask " << mask << " field " << c.mask);
            c.check(*grid.GetCell(2, 1), (mask & c.mask) != 0);
        }
    }

    CComboGridCtrl grid;
    grid.SetRowCount(3);
    grid.SetColumnCount(2);
    item.mask = 0xFF;
    EXPECT_FALSE(grid.SetItemValidated(nullptr));
    for (auto [row, col] : {std::pair{3, 0}, std::pair{0, -1}, std::pair{-1, 0}, std::pair{0, 2}}) {
        item.row = row;
        item.col = col;
        EXPECT_FALSE(grid.SetItemValidated(&item)) << row << "," << col;
    }
}

TEST(ComboGrid, SetItemValidatedKeepsTheSelectionMapAndDoesNotRedraw) {
    GridFixture f;
    f.Render();
    GRID_ITEM item;
    item.mask = GIF_TEXT | GIF_STATE;
    item.row = 4;
    item.col = 1;
    item.szText = "Later";
    item.state = GCS_SELECTED;
    ASSERT_TRUE(f.dlg.grid.SetItemValidated(&item));
    EXPECT_EQ(f.dlg.grid.MapCells(), f.dlg.grid.CellsWithSelectedState());
    EXPECT_TRUE(platform::win::Window::From(f.dlg.grid.GetSafeHwnd())->invalid.isEmpty());
}

// The selected map always lists exactly the cells with GCS_SELECTED,
// whatever the user and the owner do.

TEST(GridSelection, TheMapFollowsTheSelectedStateThroughRandomUse) {
    GridFixture f;
    FakeClipboard clipboard;
    RecordingTracker tracker;
    ProbeGrid& g = f.dlg.grid;
    std::mt19937 rng(2026);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const UINT keys[] = {VK_UP,   VK_DOWN, VK_LEFT,  VK_RIGHT, VK_TAB,
                         VK_HOME, VK_END,  VK_PRIOR, VK_NEXT,  VK_DELETE};
    const UINT states[] = {0, GCS_FOCUSED, GCS_SELECTED, GCS_SELECTED | GCS_READONLY, GCS_READONLY};
    CRect client;
    g.GetClientRect(&client);

    for (int step = 0; step < 600; ++step) {
        const int rows = g.GetRowCount();
        switch (pick(0, 7)) {
        case 0:
            g.SetItemState(pick(0, rows - 1), pick(0, 1), states[pick(0, 4)]);
            break;
        case 1:
            g.SetSelectedRange(pick(-1, 8), pick(-1, 2), pick(-1, 8), pick(-1, 2), pick(0, 1));
            break;
        case 2: {
            const UINT mods[] = {0, MK_SHIFT, MK_CONTROL};
            f.Click(CPoint(pick(0, client.right - 1), pick(0, client.bottom - 1)), mods[pick(0, 2)]);
            break;
        }
        case 3:
            f.Click(CPoint(pick(0, client.right - 1), pick(0, client.bottom - 1)), pick(0, 1) ? MK_SHIFT : 0,
                    WM_RBUTTONDOWN);
            break;
        case 4:
            f.Key(keys[pick(0, 9)], pick(0, 3) == 0 ? VK_SHIFT : 0);
            break;
        case 5:
            f.Key(pick(0, 1) ? 'A' : 'C', VK_CONTROL);
            break;
        case 6:
            g.SetRowCount(pick(2, 9));
            break;
        default:
            g.SetFocusCell(pick(-1, rows - 1), pick(-1, 1));
            break;
        }
        platform::PumpMessages();
        ASSERT_EQ(g.MapCells(), g.CellsWithSelectedState()) << "after step " << step;
    }
}

// Keys: where the focus goes and what the owner hears.

TEST(GridKeys, EachKeyMovesTheFocusAndNotifiesExactly) {
    struct Case {
        CGridCellID from;
        UINT key;
        UINT modifier;
        CGridCellID to;
        std::vector<Notice> notices;
    };
    const Case cases[] = {
        {{3, 1}, VK_DOWN, 0, {4, 1}, {{GRIDN_FOCUSCHANGING, 3, 1}}},
        {{6, 1}, VK_DOWN, 0, {1, 1}, {{GRIDN_FOCUSCHANGING, 6, 1}}},
        {{4, 1}, VK_UP, 0, {3, 1}, {{GRIDN_FOCUSCHANGING, 4, 1}}},
        {{1, 1}, VK_UP, 0, {6, 1}, {{GRIDN_FOCUSCHANGING, 1, 1}}},
        {{3, 1}, VK_TAB, 0, {4, 1}, {{GRIDN_FOCUSCHANGING, 3, 1}}},
        {{6, 1}, VK_TAB, 0, {1, 1}, {{GRIDN_FOCUSCHANGING, 6, 1}}},
        {{3, 1}, VK_TAB, VK_SHIFT, {2, 1}, {{GRIDN_FOCUSCHANGING, 3, 1}}},
        {{1, 1}, VK_TAB, VK_SHIFT, {1, 1}, {}},
        {{3, 1}, VK_LEFT, 0, {3, 1}, {}},
        {{3, 1}, VK_RIGHT, 0, {3, 1}, {}},
        {{5, 1}, VK_HOME, 0, {1, 1}, {{GRIDN_FOCUSCHANGING, 5, 1}}},
        {{2, 1}, VK_END, 0, {6, 1}, {{GRIDN_FOCUSCHANGING, 2, 1}}},
        {{2, 1}, VK_NEXT, 0, {6, 1}, {{GRIDN_FOCUSCHANGING, 2, 1}}},
        {{5, 1}, VK_PRIOR, 0, {1, 1}, {{GRIDN_FOCUSCHANGING, 5, 1}}},
        {{3, 1}, VK_DELETE, 0, {3, 1}, {{GRIDN_CELLCLEARED, 3, 1}}},
        {{3, 1}, 'X', VK_CONTROL, {3, 1}, {}},
        {{3, 1}, 'V', VK_CONTROL, {3, 1}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " from " << c.from.row << "," << c.from.col);
        GridFixture f;
        ProbeGrid& g = f.dlg.grid;
        g.SetFocusCell(c.from);
        f.dlg.notices.clear();
        f.Key(c.key, c.modifier);
        EXPECT_EQ(g.GetFocusCell(), c.to);
        EXPECT_EQ(f.dlg.notices, c.notices);
        // A move leaves the new focus cell the one selected cell.
        if (c.to != c.from) {
            EXPECT_EQ(g.MapCells(), (std::set<std::pair<int, int>>{{c.to.row, c.to.col}}));
        }
        EXPECT_TRUE(g.GetItemState(c.to.row, c.to.col) & GCS_SELECTED);
        if (c.key == VK_DELETE) {
            EXPECT_EQ(g.GetItemText(c.from.row, c.from.col), "");
        }
    }
}

TEST(GridKeys, CtrlASelectsEveryDataCellAndTheReadOnlyCellSurvivesDelete) {
    GridFixture f;
    ProbeGrid& g = f.dlg.grid;
    f.Key('A', VK_CONTROL);
    std::set<std::pair<int, int>> all;
    for (int row = 1; row <= 6; ++row)
        all.insert({row, 1});
    EXPECT_EQ(g.MapCells(), all);

    g.SetItemState(1, 1, GCS_SELECTED | GCS_READONLY);
    f.dlg.notices.clear();
    f.Key(VK_DELETE);
    EXPECT_EQ(g.GetItemText(1, 1), "Alpha");
    EXPECT_TRUE(f.dlg.notices.empty());
}

// Clicks.

TEST(GridMouse, ClicksFocusTheNameCellAndReportOnRelease) {
    GridFixture f;
    ProbeGrid& g = f.dlg.grid;

    f.Click(f.Centre(0, 1)); // the header row
    EXPECT_EQ(g.GetFocusCell(), CGridCellID(1, 1));
    EXPECT_TRUE(f.dlg.notices.empty());
    platform::PumpMessages();
    EXPECT_EQ(f.dlg.commands, std::vector<UINT>{2724});

    f.Click(f.Centre(3, 0)); // the number cell
    EXPECT_EQ(g.GetFocusCell(), CGridCellID(3, 1));
    EXPECT_EQ(f.dlg.notices, (std::vector<Notice>{{GRIDN_FOCUSCHANGING, 1, 1}, {GRIDN_FOCUSCHANGED, 3, 1}}));
    EXPECT_EQ(g.MapCells(), (std::set<std::pair<int, int>>{{3, 1}}));

    platform::PumpMessages();
    f.dlg.commands.clear();
    CRect client;
    g.GetClientRect(&client);
    f.Click(CPoint(20, client.bottom - 2)); // below the last row
    platform::PumpMessages();
    EXPECT_TRUE(f.dlg.commands.empty());
    EXPECT_EQ(g.GetFocusCell(), CGridCellID(3, 1));

    // Shift-click: the cells between the focus and the pressed row.
    f.Click(f.Centre(5, 1), MK_SHIFT);
    EXPECT_EQ(g.MapCells(), (std::set<std::pair<int, int>>{{3, 1}, {4, 1}, {5, 1}}));
    EXPECT_EQ(g.GetFocusCell(), CGridCellID(5, 1));
}

TEST(GridMouse, ADoubleClickOnADataCellNotifiesTheOwner) {
    GridFixture f;
    const CPoint p = f.Centre(4, 1);
    f.Click(p);
    f.dlg.notices.clear();
    const HWND h = f.dlg.grid.GetSafeHwnd();
    platform::win::MouseInput(h, WM_LBUTTONDOWN, p);
    platform::win::MouseInput(h, WM_LBUTTONUP, p);
    EXPECT_EQ(f.dlg.notices, (std::vector<Notice>{{NM_DBLCLK, 4, 1}}));
    EXPECT_EQ(f.dlg.grid.GetFocusCell(), CGridCellID(4, 1));
}

// The right-click menu.

TEST(GridMenu, RightClickShowsThePresetCommandsInTheLanguageOfTheMoment) {
    const int saved = g_bChinese;
    for (int chinese : {0, 1}) {
        SCOPED_TRACE(chinese);
        g_bChinese = chinese;
        GridFixture f;
        RecordingTracker tracker;
        tracker.choice = ID_GRID_DELETE_PRESET;
        f.Click(f.Centre(0, 1), 0, WM_RBUTTONDOWN);
        EXPECT_EQ(tracker.shown, 0); // not on the header row

        f.Click(f.Centre(4, 1), 0, WM_RBUTTONDOWN);
        ASSERT_EQ(tracker.shown, 1);
        const std::vector<std::pair<UINT, CString>> english = {{714, "Load Machine Preset(&E)"},
                                                               {713, "Save As Machine Preset(&I)"},
                                                               {715, "Delete Machine Preset(&D)"}};
        const std::vector<std::pair<UINT, CString>> zh = {
            {714, "加载 机器预置场景(&E)"}, {713, "另存为 机器预置场景(&I)"}, {715, "删除 机器预置场景(&D)"}};
        EXPECT_EQ(tracker.items, chinese ? zh : english);
        EXPECT_EQ(tracker.shownTo, f.dlg.GetSafeHwnd());
        platform::PumpMessages();
        EXPECT_EQ(f.dlg.commands, std::vector<UINT>{715});
        EXPECT_EQ(f.dlg.grid.GetRightClickCell(), CGridCellID(4, 1));
    }
    g_bChinese = saved;
}

TEST(GridMenu, AfterARightClickTheKeysWaitForTheNextLeftClick) {
    GridFixture f;
    FakeClipboard clipboard;
    RecordingTracker tracker;
    ProbeGrid& g = f.dlg.grid;

    // Another row: highlighted, no focus cell, keys do nothing, Ctrl+C included.
    f.Click(f.Centre(4, 1), 0, WM_RBUTTONDOWN);
    EXPECT_EQ(g.GetFocusCell(), CGridCellID());
    EXPECT_EQ(g.MapCells(), (std::set<std::pair<int, int>>{{4, 1}}));
    f.Key(VK_DOWN);
    f.Key('C', VK_CONTROL);
    EXPECT_EQ(g.GetFocusCell(), CGridCellID());
    EXPECT_EQ(clipboard.sets, 0);

    // The focus cell: the focus stays until a left-button release.
    f.Click(f.Centre(2, 1));
    f.Click(f.Centre(2, 1), 0, WM_RBUTTONDOWN);
    EXPECT_EQ(g.GetFocusCell(), CGridCellID(2, 1));
    f.Key(VK_DOWN);
    EXPECT_EQ(g.GetFocusCell(), CGridCellID(2, 1));
    platform::win::MouseInput(g.GetSafeHwnd(), WM_LBUTTONUP, f.Centre(2, 1));
    f.Key(VK_DOWN);
    EXPECT_EQ(g.GetFocusCell(), CGridCellID(3, 1));
}

// Copying.

TEST(GridClipboard, CopiesTheSelectedNamesAsLines) {
    GridFixture f(0, {"Alpha", "Bravo", "俱乐部", "Delta", "", "Foxtrot"});
    FakeClipboard clipboard;
    f.Click(f.Centre(2, 1));
    f.Click(f.Centre(5, 1), MK_SHIFT);
    f.Key('C', VK_CONTROL);
    EXPECT_EQ(clipboard.last, "Bravo\n俱乐部\nDelta\n "); // an empty name copies one space

    f.Key('A', VK_CONTROL);
    f.Key('C', VK_CONTROL);
    EXPECT_EQ(clipboard.last, "Alpha\nBravo\n俱乐部\nDelta\n \nFoxtrot");
}

// Scrolling a grid too small for its rows.

TEST(GridScroll, WheelNotchesScrollLinesOrPagesAndEnsureVisibleBringsRowsIn) {
    auto* hints = QGuiApplication::styleHints();
    const int savedLines = hints->wheelScrollLines();
    hints->setWheelScrollLines(3);
    {
        GridFixture f(3);
        ProbeGrid& g = f.dlg.grid;
        ASSERT_TRUE(g.GetStyle() & WS_VSCROLL);
        platform::win::WheelInput(g.GetSafeHwnd(), -120, f.Centre(1, 1));
        platform::PumpMessages();
        EXPECT_EQ(g.GetTopLeftScrolledCell().row, 4);
        platform::win::WheelInput(g.GetSafeHwnd(), 120, f.Centre(1, 1));
        platform::PumpMessages();
        EXPECT_EQ(g.GetTopLeftScrolledCell().row, 1);

        g.EnsureVisible(6, 1);
        EXPECT_EQ(g.GetFullyVisibleCellRange().GetMaxRow(), 6);
        EXPECT_TRUE(g.IsCellVisible(6, 1));
        g.EnsureVisible(1, 1);
        EXPECT_EQ(g.GetTopLeftScrolledCell().row, 1);
    }
    hints->setWheelScrollLines(-1);
    {
        GridFixture f(3);
        ProbeGrid& g = f.dlg.grid;
        platform::win::WheelInput(g.GetSafeHwnd(), -120, f.Centre(1, 1));
        platform::PumpMessages();
        // One page: as far down as the rows go.
        EXPECT_EQ(g.GetFullyVisibleCellRange().GetMaxRow(), 6);
    }
    hints->setWheelScrollLines(savedLines);
}

TEST(GridScroll, TheDownKeyScrollsOnlyForARowOutOfView) {
    GridFixture f(3);
    ProbeGrid& g = f.dlg.grid;
    // Rows 1-3 fit, row 4 is cut off: moving onto it scrolls nothing.
    g.SetFocusCell(3, 1);
    f.Key(VK_DOWN);
    EXPECT_EQ(g.GetFocusCell(), CGridCellID(4, 1));
    EXPECT_EQ(g.GetTopLeftScrolledCell().row, 1);
    // Row 5 starts below the client area: into view and one row more.
    f.Key(VK_DOWN);
    EXPECT_EQ(g.GetFocusCell(), CGridCellID(5, 1));
    EXPECT_EQ(g.GetTopLeftScrolledCell().row, 4);
    EXPECT_TRUE(g.IsCellVisible(5, 1));
}

// A wrap runs from one end of the rows to the other: the new focus cell
// must end in full view, not be scrolled out by the key's usual extra line.
TEST(GridScroll, AWrapToTheOtherEndLeavesTheFocusCellInFullView) {
    struct Case {
        CGridCellID from;
        UINT key;
        UINT modifier;
        CGridCellID to;
    } cases[] = {
        {{6, 1}, VK_DOWN, 0, {1, 1}},
        {{6, 1}, VK_TAB, 0, {1, 1}},
        {{1, 1}, VK_UP, 0, {6, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " from row " << c.from.row);
        GridFixture f(3);
        ProbeGrid& g = f.dlg.grid;
        g.EnsureVisible(c.from);
        g.SetFocusCell(c.from);
        f.Key(c.key, c.modifier);
        ASSERT_EQ(g.GetFocusCell(), c.to);
        const CGridCellRange shown = g.GetFullyVisibleCellRange();
        EXPECT_GE(c.to.row, shown.GetMinRow());
        EXPECT_LE(c.to.row, shown.GetMaxRow());
    }
}

} // namespace
