#pragma once

// A dialog with the preset grid set up as the device preset dialog sets it
// up (seven rows, two columns, one fixed row and column, read-only, single
// row selection), recording the grid's notices and commands.

#include "controls/ComboGridCtrl.h"
#include "platform/res/Resources.h"
#include "platform/sys/MessageQueue.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"
#include "platform/win/KeyState.h"
#include "platform/win/Window.h"

#include <array>
#include <cstdio>
#include <set>
#include <tuple>
#include <vector>

// Exposes the selected-cells map.
class ProbeGrid final : public CComboGridCtrl {
public:
    std::set<std::pair<int, int>> MapCells() const {
        std::set<std::pair<int, int>> cells;
        for (const auto& [key, cell] : m_SelectedCellMap)
            cells.insert({cell.row, cell.col});
        return cells;
    }
    std::set<std::pair<int, int>> CellsWithSelectedState() const {
        std::set<std::pair<int, int>> cells;
        for (int row = 0; row < GetRowCount(); ++row)
            for (int col = 0; col < GetColumnCount(); ++col)
                if (GetItemState(row, col) & GCS_SELECTED)
                    cells.insert({row, col});
        return cells;
    }
};

// The program's resources (the menu's strings) and the dialog template.
class GridResources final : public platform::res::ResourceProvider {
public:
    GridResources() { m_previous = platform::res::InstallProvider(this); }
    ~GridResources() override { platform::res::InstallProvider(m_previous); }
    std::optional<QImage> Bitmap(UINT id) override { return m_program.Bitmap(id); }
    std::optional<QByteArray> Data(UINT id, const CString& type) override { return m_program.Data(id, type); }
    std::optional<platform::res::CursorImage> Cursor(UINT id) override { return m_program.Cursor(id); }
    std::optional<CString> String(UINT id) override { return m_program.String(id); }
    std::optional<CString> Source(UINT id, const CString& kind) override {
        if (kind == "DIALOG" && id == 170)
            return CString("DIALOG 170 0 0 245 120\n"
                           "CONTROL 2724 MFCGridCtrl WS_VISIBLE|WS_TABSTOP 7 7 231 90 \"\"\n");
        return m_program.Source(id, kind);
    }

private:
    platform::res::ProgramResources m_program;
    platform::res::ResourceProvider* m_previous = nullptr;
};

struct Notice {
    UINT code;
    int row;
    int col;
    bool operator==(const Notice&) const = default;
};

class GridDialog final : public CDialog {
public:
    ProbeGrid grid;
    std::vector<Notice> notices;
    std::vector<UINT> commands;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_GridCtrl(dx, 2724, grid); }
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT*) override {
        const auto* n = reinterpret_cast<const GridNotify*>(lParam);
        notices.push_back({n->hdr.code, n->iRow, n->iColumn});
        return TRUE;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        commands.push_back(LOWORD(wParam));
        return TRUE;
    }
};

inline constexpr COLORREF kGridLine = RGB(51, 153, 255);

class GridFixture {
public:
    // `visibleRows`: data rows that fit below the header (the grid is cut
    // half-way into the next one); 0 makes the grid larger than its cells.
    explicit GridFixture(int visibleRows = 0, const std::array<const char*, 6>& names = {
                                                  "Alpha", "Bravo", "Club", "Delta", "Echo", "Foxtrot"}) {
        dlg.Create(170);
        CComboGridCtrl& g = dlg.grid;
        g.SetRowCount(7);
        g.SetColumnCount(2);
        g.SetFixedRowCount(1);
        g.SetFixedColumnCount(1);
        g.SetColumnWidth(1, 262);
        g.SetSingleRowSelection(TRUE);
        g.SetEditable(FALSE);
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 2; ++col) {
                GRID_ITEM item;
                item.mask = GIF_TEXT | GIF_FORMAT;
                item.row = row;
                item.col = col;
                item.nFormat = 0x8025;
                g.SetItemValidated(&item);
            }
        g.SetItemText(0, 0, "No.");
        g.SetItemText(0, 1, "Preset");
        g.SetSelectedRange(1, 0, 1, 1);
        g.EnsureVisible(1, 0);
        g.SetGridColor(kGridLine);
        for (int row = 1; row <= 6; ++row) {
            char number[8];
            std::snprintf(number, sizeof number, "%d", row);
            g.SetItemText(row, 1, names[std::size_t(row - 1)]);
            g.SetItemText(row, 0, number);
        }
        g.SetFocusCell(1, 1);
        const int width = g.GetColumnWidth(0) + g.GetColumnWidth(1) + 40;
        const int height = visibleRows > 0 ? g.GetRowHeight(0) * (visibleRows + 1) + g.GetRowHeight(1) / 2
                                           : int(g.GetVirtualHeight()) + 30;
        g.MoveWindow(10, 10, width, height);
        g.SetFocus();
        platform::PumpMessages();
        dlg.notices.clear();
        dlg.commands.clear();
    }

    CRect Cell(int row, int col) {
        CRect r;
        dlg.grid.GetCellRect(row, col, &r);
        return r;
    }
    CPoint Centre(int row, int col) {
        const CRect r = Cell(row, col);
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // A press and release; time passes first so that two clicks are not a double click.
    void Click(CPoint p, UINT keys = 0, UINT down = WM_LBUTTONDOWN) {
        clock.Advance(1000);
        const HWND h = dlg.grid.GetSafeHwnd();
        platform::win::MouseInput(h, WM_MOUSEMOVE, p, keys);
        platform::win::MouseInput(h, down, p, keys);
        platform::win::MouseInput(h, down == WM_LBUTTONDOWN ? WM_LBUTTONUP : WM_RBUTTONUP, p, keys);
    }
    void Key(UINT vk, UINT modifier = 0) {
        if (modifier) {
            platform::win::HeldKey held(modifier);
            platform::win::KeyInput(vk);
        } else {
            platform::win::KeyInput(vk);
        }
    }
    QImage Render() { return platform::win::RenderWindow(dlg.grid.GetSafeHwnd()); }

    platform::VirtualClock clock;
    GridResources res;
    GridDialog dlg;
};

inline COLORREF PixelAt(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}
