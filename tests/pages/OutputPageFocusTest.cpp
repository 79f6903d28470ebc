// The focus ring of the output page's edits, the pointer moved off the graph,
// the curve overlay and the language.

#include "OutputPageFixture.h"

#include "platform/sys/UserMessages.h"
#include "platform/win/CursorPos.h"

#include <gtest/gtest.h>

namespace pagetest {
namespace {

class RecordingCursor final : public platform::win::CursorService {
public:
    RecordingCursor() { m_previous = platform::win::InstallCursorService(this); }
    ~RecordingCursor() override { platform::win::InstallCursorService(m_previous); }
    void SetPos(int x, int y) override { moves.push_back({x, y}); }
    std::vector<CPoint> moves;

private:
    platform::win::CursorService* m_previous = nullptr;
};

int FocusId() {
    CWnd* focus = CWnd::GetFocus();
    return focus ? focus->GetDlgCtrlID() : 0;
}

int RedLabel(COutputDlg& page) {
    for (int b = 0; b < 31; ++b)
        if (page.m_pHighlightLabel == &page.m_label[b])
            return b;
    return -1;
}

TEST_F(OutputPage, TheRingWalksTheVisibleEdits) {
    const struct {
        int graphic;
        int from;
        UINT message; // UM_EDIT_MOVE_FOCUS (Tab, graphic Enter) or UM_EDIT_NEXT_ROW (parametric Enter)
        int to;
        int label; // -1: none highlighted
    } cases[] = {
        {0, 5200, UM_EDIT_MOVE_FOCUS, 5201, 1},  {0, 5230, UM_EDIT_MOVE_FOCUS, 4500, 0},
        {0, 4530, UM_EDIT_MOVE_FOCUS, 5000, 0},  {0, 5029, UM_EDIT_MOVE_FOCUS, 5030, 30},
        {0, 5030, UM_EDIT_MOVE_FOCUS, 1004, -1}, {0, 1004, UM_EDIT_MOVE_FOCUS, 1005, -1},
        {0, 1005, UM_EDIT_MOVE_FOCUS, 5200, 0},  {1, 5030, UM_EDIT_MOVE_FOCUS, 1004, -1},
        {1, 1005, UM_EDIT_MOVE_FOCUS, 5000, 0},  {1, 5007, UM_EDIT_MOVE_FOCUS, 5008, 8},
        {0, 5207, UM_EDIT_NEXT_ROW, 4507, 7},    {0, 4507, UM_EDIT_NEXT_ROW, 5007, 7},
        {0, 5007, UM_EDIT_NEXT_ROW, 5208, 8},    {0, 5030, UM_EDIT_NEXT_ROW, 1004, -1},
        {0, 5199, UM_EDIT_MOVE_FOCUS, 5200, -1}, {1, 4999, UM_EDIT_MOVE_FOCUS, 5000, 0},
    };
    for (const auto& c : cases) {
        page->m_btnEqMode.SetCheck(c.graphic);
        page->ApplyEqMode(c.graphic);
        page->ClearSelection();
        if (CWnd* from = page->GetDlgItem(c.from))
            from->SetFocus();
        else
            page->SetFocus(); // the two starts the view asks for
        page->SendMessage(c.message, WPARAM(c.from), c.message == UM_EDIT_MOVE_FOCUS ? 39 : 0);
        EXPECT_EQ(FocusId(), c.to) << "graphic " << c.graphic << " from " << c.from;
        EXPECT_EQ(RedLabel(*page), c.label) << "graphic " << c.graphic << " from " << c.from;
    }
}

TEST_F(OutputPage, WalkingPastAnEditedFieldCommitsItOnce) {
    Band(3, 2).SetGainIndex(120);
    page->GetDlgItem(5002)->SetFocus();
    platform::win::CharInput('5');
    EXPECT_EQ(Band(0, 2).GetGainIndex(), 200) << "nothing before the focus moves";
    page->SendMessage(UM_EDIT_NEXT_ROW, 5002, 0);
    EXPECT_EQ(Band(0, 2).GetGainIndex(), 250);
    EXPECT_EQ(Band(3, 2).GetGainIndex(), 250);
    g_bOutChanged[0] = 0;
    page->SendMessage(UM_EDIT_MOVE_FOCUS, 5203, 39);
    EXPECT_EQ(g_bOutChanged[0], 0) << "an untouched edit commits nothing";
}

TEST_F(OutputPage, TabWithNoEditFocusedStartsTheRing) {
    for (int graphic : {0, 1}) {
        page->m_btnEqMode.SetCheck(graphic);
        page->ApplyEqMode(graphic);
        page->SetFocus();
        page->FocusBandEdit();
        platform::PumpMessages();
        EXPECT_EQ(FocusId(), graphic ? 5000 : 5200);
        // With an edit focused it does nothing.
        page->FocusBandEdit();
        platform::PumpMessages();
        EXPECT_EQ(FocusId(), graphic ? 5000 : 5200);
    }
}

TEST_F(OutputPage, ThePointerLeavesTheGraphAtItsOwnHeight) {
    RecordingCursor cursor;
    CRect graph;
    page->m_graph.GetWindowRect(&graph);
    // Over the graph: moved just left of it.
    platform::win::MouseInput(page->m_graph.GetSafeHwnd(), WM_MOUSEMOVE, POINT{30, 40});
    page->SendMessage(UM_EDIT_MOVE_FOCUS, 5200, 39);
    ASSERT_EQ(cursor.moves.size(), 1u);
    EXPECT_EQ(cursor.moves[0], CPoint(graph.left - 1, graph.top + 40));
    // Elsewhere: left alone.
    platform::win::MouseInput(page->GetSafeHwnd(), WM_MOUSEMOVE, POINT{5, 5});
    page->SendMessage(UM_EDIT_MOVE_FOCUS, 5201, 39);
    EXPECT_EQ(cursor.moves.size(), 1u);
}

TEST_F(OutputPage, OverlaysShowOnlyOtherOutputsWhileTheirFlagIsSet) {
    // Output 2 shaped so its curve stands apart from output 1's flat line.
    Band(1, 15).SetGainIndex(300);
    const COLORREF colour = [&] {
        const ArgbColor c = Out(1).GetCurvePen();
        return RGB(c.r, c.g, c.b);
    }();
    auto graphShows = [&] {
        const QImage image = platform::win::RenderWindow(page->GetSafeHwnd());
        CRect r;
        page->m_graph.GetWindowRect(&r);
        page->ScreenToClient(&r);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (apptest::PixelAt(image, x, y) == colour)
                    return true;
        return false;
    };
    EXPECT_FALSE(graphShows());
    page->m_curveStrip.SendMessage(WM_COMMAND, MAKEWPARAM(CChangnal_Line::ButtonId(1), BN_CLICKED), 0);
    EXPECT_EQ(g_bOutCurveShown[1], 1);
    EXPECT_TRUE(graphShows());
    page->m_curveStrip.SendMessage(WM_COMMAND, MAKEWPARAM(CChangnal_Line::ButtonId(1), BN_CLICKED), 0);
    EXPECT_EQ(g_bOutCurveShown[1], 0);
    EXPECT_FALSE(graphShows());
    // Never the output the graph shows: its flag makes no difference.
    g_nCurOutChannel = 1;
    page->ShowChannel();
    CRect r;
    page->m_graph.GetWindowRect(&r);
    page->ScreenToClient(&r);
    const QRect plot(r.left, r.top, r.Width(), r.Height());
    const QImage without = platform::win::RenderWindow(page->GetSafeHwnd()).copy(plot);
    page->m_curveStrip.SendMessage(WM_COMMAND, MAKEWPARAM(CChangnal_Line::ButtonId(1), BN_CLICKED), 0);
    EXPECT_EQ(g_bOutCurveShown[1], 1);
    page->ShowChannel();
    EXPECT_TRUE(platform::win::RenderWindow(page->GetSafeHwnd()).copy(plot) == without);
}

TEST_F(OutputPage, TheLanguageKeepsTheCrossoverChoices) {
    Out(0).GetHighPass()->SetFamily(2, 0);
    Out(0).GetHighPass()->SetSlope(8, 0);
    Out(0).GetLowPass()->SetFamily(1, 0);
    Out(0).GetLowPass()->SetSlope(4, 0);
    page->ShowChannel();
    for (int chinese : {1, 0, 1}) {
        g_bChinese = chinese;
        page->SetLanguage();
        EXPECT_EQ(page->m_cbHighFamily.GetCurSel(), 2);
        EXPECT_EQ(page->m_cbHighSlope.GetCurSel(), 8);
        EXPECT_EQ(page->m_cbLowFamily.GetCurSel(), 1);
        EXPECT_EQ(page->m_cbLowSlope.GetCurSel(), 4);
        EXPECT_EQ(page->m_cbHighSlope.GetWindowText(), chinese ? "关闭" : "OFF");
        EXPECT_EQ(page->m_cbHighFamily.GetWindowText(), chinese ? "贝塞尔" : "Bessel");
        const QImage image = platform::win::RenderWindow(page->GetSafeHwnd());
        EXPECT_EQ(apptest::PixelAt(image, 600, 440), apptest::SolidPictures::ColorOf(chinese ? 287 : 286));
    }
}

} // namespace
} // namespace pagetest
