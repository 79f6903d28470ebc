#include "PagesFixture.h"

#include "model/KTV_OutData.h"
#include "pages/input/MixInPutCom.h"
#include "platform/sys/MessageBox.h"
#include "platform/sys/UserMessages.h"

namespace pagestest {
namespace {

// Counts the rows the panels report.
class CountingMixer final : public CMixInPutCom {
public:
    std::vector<WPARAM> rows;
    bool closeOnOpen = false;

protected:
    BOOL OnInitDialog() override {
        CMixInPutCom::OnInitDialog();
        if (closeOnOpen)
            PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == UM_MIX_ROW_SELECTED)
            rows.push_back(wParam);
        return CMixInPutCom::WindowProc(message, wParam, lParam);
    }
};

class MixInPutComTest : public PagesFixture {
protected:
    void SetUp() override {
        PagesFixture::SetUp();
        m_mixer = std::make_unique<CountingMixer>();
        Open();
    }
    void TearDown() override {
        m_mixer.reset();
        PagesFixture::TearDown();
    }
    void Open() {
        m_mixer->DestroyWindow();
        m_mixer->m_pModel = m_model.get();
        ASSERT_TRUE(m_mixer->Create(CMixInPutCom::IDD));
    }
    std::vector<WPARAM> Rows() {
        Pump();
        return std::exchange(m_mixer->rows, {});
    }
    CRouteMixCom& Panel(int i) { return m_mixer->m_Panels[i]; }
    CKTV_OutData& Out(int k) { return *m_model->GetOutput(k); }

    SolidPictures m_pictures;
    std::unique_ptr<CountingMixer> m_mixer;
};

TEST_F(MixInPutComTest, EachRowSetsItsLevelInItsBlock) {
    enum Block { A, B, L };
    struct Case {
        int row; // 1..18
        int level;
        Block block;
    } cases[] = {{1, 1, A},   {6, 6, A},  {7, 9, B},  {8, 10, B},  {11, 13, B}, {13, 15, B},
                 {14, 16, B}, {15, 7, A}, {16, 8, A}, {17, 17, L}, {18, 18, L}};
    g_bOnline = 1;
    g_nCurOutChannel = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        for (int k = 0; k < kOutputCount; ++k) {
            Out(k).SetMixADirty(0);
            Out(k).SetMixBDirty(0);
            Out(k).SetLimiterDirty(0);
        }
        const BYTE imageBefore = g_DeviceImage[OutputRecordOffset(3) + 263 + c.level];
        Type(Panel(3).m_edit[c.row - 1], "37");
        EXPECT_EQ(Rows(), std::vector<WPARAM>{WPARAM(c.row)});
        EXPECT_EQ(Out(3).GetMixLevel(c.level), 37);
        EXPECT_EQ(Panel(3).m_slider[c.row - 1].GetPos(), 37);
        EXPECT_EQ(Out(3).GetMixADirty(), c.block == A);
        EXPECT_EQ(Out(3).GetMixBDirty(), c.block == B);
        EXPECT_EQ(Out(3).GetLimiterDirty(), c.block == L);
        EXPECT_EQ(g_DeviceImage[OutputRecordOffset(3) + 263 + c.level], imageBefore); // the model only
        EXPECT_EQ(Out(2).GetMixLevel(c.level), 100);
    }
}

TEST_F(MixInPutComTest, TypedLevelsAreClampedByTheEdit) {
    const std::tuple<const char*, int, bool> cases[] = {
        {"150", 100, true}, {"-5", 0, true}, {"64", 64, true}, {"abc", 64, false}};
    Panel(1).m_edit[0].SetFocus();
    platform::win::KeyInput(VK_RETURN); // nothing typed: nothing committed
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Out(1).GetMixLevel(1), 100);
    for (const auto& [typed, level, posts] : cases) {
        Type(Panel(1).m_edit[0], typed);
        EXPECT_EQ(Out(1).GetMixLevel(1), level) << typed;
        EXPECT_EQ(Panel(1).m_edit[0].GetWindowText(), std::to_string(level)) << typed;
        EXPECT_EQ(Rows().size(), posts ? 1u : 0u) << typed;
    }
    EXPECT_TRUE(m_boxes.Entries().empty());
}

TEST_F(MixInPutComTest, ArrowKeysStepTheHiddenSpin) {
    Type(Panel(4).m_edit[7], "99");
    Panel(4).m_edit[7].SetFocus(); // Enter moved the focus to the panel
    for (int expected : {100, 100}) {
        platform::win::KeyInput(VK_UP);
        Pump();
        EXPECT_EQ(Out(4).GetMixLevel(10), expected);
        EXPECT_EQ(Panel(4).m_slider[7].GetPos(), expected);
    }
    platform::win::KeyInput(VK_DOWN);
    Pump();
    EXPECT_EQ(Panel(4).m_edit[7].GetWindowText(), "99");
    EXPECT_EQ(Out(4).GetMixLevel(10), 99);
}

TEST_F(MixInPutComTest, SliderMovesChangeOnlyTheirPanelsOutput) {
    g_OutLinkTable[1 + 3] = g_OutLinkTable[1 + 4] = 2; // linked outputs keep their levels
    Panel(3).m_slider[14].SetPos(12);
    Panel(3).SendMessage(UM_SLIDER_TRACKING, 2874, 0);
    EXPECT_EQ(Out(3).GetMixLevel(7), 12);
    EXPECT_EQ(Panel(3).m_edit[14].GetWindowText(), "12");
    EXPECT_EQ(Out(4).GetMixLevel(7), 100);
    EXPECT_EQ(Panel(3).SendMessage(UM_SLIDER_POSITION, 4242, 0), 1); // no row slider: nothing
    EXPECT_EQ(Out(3).GetMixLevel(7), 12);
}

TEST_F(MixInPutComTest, ClicksReportRowsToTheMixer) {
    g_nCurOutChannel = 0;
    Rows();
    // (panel, where) -> rows posted: the current output's panel stays quiet
    // on a background click.
    Click(Panel(0), 46, 430);
    EXPECT_EQ(Rows(), std::vector<WPARAM>{});
    m_clock.Advance(600);
    Click(Panel(1), 46, 430);
    EXPECT_EQ(Rows(), (std::vector<WPARAM>{0, 0}));
    m_clock.Advance(600);
    Click(Panel(0).m_slider[2], 5, 5);
    EXPECT_EQ(Rows(), std::vector<WPARAM>{3});
    m_clock.Advance(600);
    Click(Panel(1).m_slider[2], 5, 5);
    EXPECT_EQ(Rows(), (std::vector<WPARAM>{0, 3}));
}

TEST_F(MixInPutComTest, PanelsPlacedAndHidden) {
    for (int i = 0; i < CMixInPutCom::kPanels; ++i) {
        CRect r;
        Panel(i).GetWindowRect(&r);
        m_mixer->ScreenToClient(&r);
        EXPECT_EQ(r, CRect(CMixInPutCom::PanelX(i), 13, CMixInPutCom::PanelX(i) + 92, 13 + 439)) << i;
        EXPECT_EQ((Panel(i).GetStyle() & WS_VISIBLE) != 0, i < 8) << i;
        EXPECT_EQ(Panel(i).m_pOutData, m_model->GetOutput(i));
    }
    EXPECT_EQ(CMixInPutCom::PanelX(5), 592);
    EXPECT_EQ(CMixInPutCom::PanelX(6), 690);
    CRect client;
    m_mixer->GetClientRect(&client);
    EXPECT_EQ(client.Width(), 890); // the System font's base units
    EXPECT_EQ(m_mixer->GetWindowText(), "Input Signal");
}

TEST_F(MixInPutComTest, ARowReportRepaintsTheLabelColumnOnly) {
    platform::win::RenderWindow(m_mixer->GetSafeHwnd());
    auto* w = platform::win::Window::From(m_mixer->GetSafeHwnd());
    ASSERT_NE(w, nullptr);
    w->invalid = QRegion();
    for (WPARAM row : {WPARAM(0), WPARAM(7)}) {
        m_mixer->PostMessage(UM_MIX_ROW_SELECTED, row, 0);
        Pump();
        EXPECT_EQ(w->invalid, QRegion(QRect(10, 20, 70, 428))) << row;
        w->invalid = QRegion();
    }
}

TEST_F(MixInPutComTest, EveryOpeningShowsTheCurrentLevels) {
    Out(0).SetMixLevel(9, 55);
    Out(5).SetMixLevel(16, 0);
    Out(10).SetMixLevel(2, 3); // a hidden panel is refreshed too
    Out(1).SetMixLevel(17, 44);
    Open();
    EXPECT_EQ(Panel(0).m_edit[6].GetWindowText(), "55");
    EXPECT_EQ(Panel(5).m_slider[13].GetPos(), 0);
    EXPECT_EQ(Panel(10).m_edit[1].GetWindowText(), "3");
    EXPECT_EQ(Panel(1).m_edit[16].GetWindowText(), "0"); // levels 17 and 18 are not loaded
    m_mixer->DestroyWindow();
    Out(0).SetMixLevel(9, 12);  // offline: in the model only
    Out(0).SetMixLevel(1, 180); // from a file: shown at the end, stored as it came
    Open();
    EXPECT_EQ(Panel(0).m_edit[6].GetWindowText(), "12");
    EXPECT_EQ(Panel(0).m_edit[0].GetWindowText(), "100");
    EXPECT_EQ(Out(0).GetMixLevel(1), 180);
    EXPECT_TRUE(m_boxes.Entries().empty());
}

TEST_F(MixInPutComTest, TooltipsNameTheRowsInTheLanguageOfTheOpening) {
    const std::tuple<int, const char*, const char*> cases[] = {
        {0, "Hi.Level1", "高电平1"},   {6, "RCA In1", "AUX1"},        {12, "SPDIF-L", "数字左"},
        {14, "Bluetooth-L", "蓝牙左"}, {15, "Bluetooth-R", "蓝牙右"}, {16, "", ""}};
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        Open();
        EXPECT_EQ(m_mixer->GetWindowText(), chinese ? "输入信号" : "Input Signal");
        for (const auto& [row, en, zh] : cases) {
            CString edit, slider;
            Panel(2).m_toolTip.GetText(edit, &Panel(2).m_edit[row]);
            Panel(2).m_toolTip.GetText(slider, &Panel(2).m_slider[row]);
            EXPECT_EQ(edit, chinese ? zh : en) << row;
            EXPECT_EQ(slider, edit) << row;
        }
    }
    platform::win::MouseInput(Panel(2).m_slider[7].GetSafeHwnd(), WM_MOUSEMOVE, {4, 4});
    EXPECT_EQ(Panel(2).m_toolTip.GetShownTool(), Panel(2).m_slider[7].GetSafeHwnd());
}

TEST_F(MixInPutComTest, TheCloseBoxEndsItAsOk) {
    m_mixer->DestroyWindow();
    m_mixer->closeOnOpen = true;
    EXPECT_EQ(m_mixer->DoModal(), IDOK);
    EXPECT_EQ(Panel(0).GetSafeHwnd(), nullptr); // the panels went with it
}

TEST_F(MixInPutComTest, PicturesInBothLanguages) {
    m_pictures.real = true;
    for (int k = 0; k < 8; ++k)
        for (int level = 1; level <= 16; ++level)
            Out(k).SetMixLevel(level, BYTE((k * 13 + level * 7) % 101));
    for (int chinese : {1, 0}) {
        g_bChinese = chinese;
        m_mixer = std::make_unique<CountingMixer>();
        Open();
        const QImage image = platform::win::RenderWindow(m_mixer->GetSafeHwnd());
        ASSERT_TRUE(image.save(PngPath(chinese ? "mixer_zh.png" : "mixer_en.png")));
    }
}

} // namespace
} // namespace pagestest
