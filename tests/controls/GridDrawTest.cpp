#include "GridFixture.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

namespace {

// The grid with every text emptied, so a pixel shows only fills and edges.
class GridPixels : public ::testing::Test {
protected:
    void SetUp() override {
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 2; ++col)
                f.dlg.grid.SetItemText(row, col, "");
        f.dlg.grid.SetFocusCell(2, 1);
    }
    GridFixture f;
};

TEST_F(GridPixels, FillsEdgesHighlightAndLines) {
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_3DHIGHLIGHT);
    const COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    const QImage image = f.Render();
    CRect client;
    f.dlg.grid.GetClientRect(&client);

    // Outside the cells: the background colour.
    EXPECT_EQ(PixelAt(image, client.right - 2, 5), shadow);
    EXPECT_EQ(PixelAt(image, 5, client.bottom - 2), shadow);

    // The headers of the focus cell's column and row are sunken, the others raised.
    struct Edge {
        int row, col;
        COLORREF top;
    };
    for (const Edge& e : {Edge{0, 1, dark}, Edge{2, 0, dark}, Edge{0, 0, light}, Edge{3, 0, light}}) {
        const CRect r = f.Cell(e.row, e.col);
        EXPECT_EQ(PixelAt(image, r.left + 3, r.top), e.top) << e.row << "," << e.col;
        EXPECT_EQ(PixelAt(image, r.left + 3, r.top + 3), GetSysColor(COLOR_BTNFACE)) << e.row << "," << e.col;
    }
    const CRect raised = f.Cell(3, 0);
    EXPECT_EQ(PixelAt(image, raised.left + 3, raised.bottom), dark);
    EXPECT_EQ(PixelAt(image, raised.right, raised.top + 3), dark);

    // The focus cell is highlighted like any selected cell; the others are plain.
    const CRect focus = f.Cell(2, 1);
    const CRect plain = f.Cell(3, 1);
    EXPECT_EQ(PixelAt(image, focus.left + 5, focus.top + 5), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(PixelAt(image, plain.left + 5, plain.top + 5), GetSysColor(COLOR_WINDOW));

    // Grid lines on each cell's last pixel column and row.
    EXPECT_EQ(PixelAt(image, plain.right, plain.top + 3), kGridLine);
    EXPECT_EQ(PixelAt(image, plain.right - 1, plain.top + 3), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(PixelAt(image, plain.right + 1, plain.top + 3), shadow);
    EXPECT_EQ(PixelAt(image, plain.left + 5, plain.bottom), kGridLine);
    EXPECT_EQ(PixelAt(image, plain.left + 5, plain.bottom - 1), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(PixelAt(image, focus.right, focus.top + 3), kGridLine);
    EXPECT_EQ(PixelAt(image, focus.left + 5, focus.bottom), kGridLine);

    // Without a focus cell every header is raised, at once.
    f.dlg.grid.SetFocusCell(-1, -1);
    const QImage after = f.Render();
    for (auto [row, col] : {std::pair{0, 1}, std::pair{2, 0}}) {
        const CRect r = f.Cell(row, col);
        EXPECT_EQ(PixelAt(after, r.left + 3, r.top), light) << row << "," << col;
    }
}

TEST_F(GridPixels, ScrolledRowsShowTheirOwnColours) {
    GridFixture small(3);
    CGridCtrl& g = small.dlg.grid;
    for (int row = 1; row <= 6; ++row) {
        g.GetCell(row, 1)->crBkClr = RGB(10 * row, 0, 0);
        g.SetItemText(row, 1, "");
    }
    g.SetFocusCell(-1, -1);
    g.SetSelectedRange(-1, -1, -1, -1);
    small.Render();
    g.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    g.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    const QImage image = small.Render();
    // Row 3 now sits where row 1 was, and so on down the moved pixels.
    for (int row = 3; row <= 5; ++row) {
        const CRect r = small.Cell(row, 1);
        EXPECT_EQ(PixelAt(image, r.left + 5, r.top + 3), RGB(10 * row, 0, 0)) << row;
    }
    EXPECT_EQ(small.Cell(3, 1).top, g.GetFixedRowHeight());
}

// The preset grid in both languages, for a person to look at.
TEST(GridPicture, RendersInEnglishAndChinese) {
    struct Language {
        const char* file;
        const char* number;
        const char* name;
        std::array<const char*, 6> presets;
    };
    const Language languages[] = {
        {"grid_en.png", "No.", "Preset", {"Concert Hall", "Club", "", "Karaoke Night", "Jazz", "Outdoor"}},
        {"grid_zh.png", "序号", "场景名", {"音乐厅", "俱乐部", "", "卡拉OK之夜", "爵士", "户外"}},
    };
    for (const Language& l : languages) {
        GridFixture f(0, l.presets);
        f.dlg.grid.SetItemText(0, 0, l.number);
        f.dlg.grid.SetItemText(0, 1, l.name);
        f.Click(f.Centre(2, 1));
        const QImage image = f.Render();
        const QString out = QDir(QCoreApplication::applicationDirPath() + "/..").absoluteFilePath(l.file);
        EXPECT_TRUE(image.save(out)) << out.toStdString();
    }
}

} // namespace
