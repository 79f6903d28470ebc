#include "StripHost.h"

#include "model/SpkType.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/Menu.h"

#include <cstring>

namespace pagestest {
namespace {

class OutRouteDlgTest : public PagesFixture {
protected:
    void SetUp() override {
        PagesFixture::SetUp();
        m_pictures.AddDialog(StripHost::kTemplate, StripHostTemplate());
        m_host = std::make_unique<StripHost>();
        ASSERT_TRUE(m_host->Build(*m_model));
        m_host->Take();
    }
    void TearDown() override {
        m_host.reset();
        PagesFixture::TearDown();
    }
    COutRoute_Dlg& Strip(int i) { return m_host->strips[i]; }

    SolidPictures m_pictures;
    std::unique_ptr<StripHost> m_host;
};

TEST_F(OutRouteDlgTest, GainAndDelaySettersClampAndShow) {
    struct Case {
        int gain;
        const char* text;
        const char* textZh;
        int rawPos; // fader position: 0 at the top
    } cases[] = {{700, "0.0dB", "0.0dB", 0}, {-5, "OFF", "关闭", 600}, {300, "-30.0dB", "-30.0dB", 300}};
    for (const Case& c : cases) {
        for (int chinese : {0, 1}) {
            g_bChinese = chinese;
            Strip(2).SetGain(c.gain);
            EXPECT_EQ(Strip(2).m_editGain.GetWindowText(), chinese ? c.textZh : c.text) << c.gain;
            EXPECT_EQ(Strip(2).m_sliderGain.GetRawPos(), c.rawPos) << c.gain;
            EXPECT_EQ(Strip(2).GetShownGain(), std::clamp(c.gain, 0, 600));
        }
    }
    Strip(2).SetDelay(500);
    EXPECT_EQ(Strip(2).m_editDelay.GetValue(), 384);
    Strip(2).SetDelay(-1);
    EXPECT_EQ(Strip(2).m_editDelay.GetValue(), 0);
    EXPECT_TRUE(m_boxes.Entries().empty());
    EXPECT_TRUE(m_host->Take().empty()); // setters post nothing
}

TEST_F(OutRouteDlgTest, DelayUnits) {
    Strip(1).SetDelay(48);
    const std::pair<int, const char*> cases[] = {
        {1, "1.000"}, {2, "34.00"}, {3, "13.40"}, {4, "13.40"}, {0, "13.40"}};
    for (const auto& [unit, text] : cases) {
        Strip(1).SetDelayUnit(unit);
        EXPECT_EQ(Strip(1).m_editDelay.GetWindowText(), text) << unit;
    }
}

TEST_F(OutRouteDlgTest, ButtonsPostToTheView) {
    Click(Strip(4).m_btnEnable);
    m_clock.Advance(600);
    Click(Strip(4).m_btnEnable);
    m_clock.Advance(600);
    Click(Strip(4).m_btnSelect);
    EXPECT_EQ(m_host->Take(), (std::vector<Posted>{{UM_STRIP_ENABLE_TOGGLED, 4, 0},
                                                   {UM_STRIP_ENABLE_TOGGLED, 4, 1},
                                                   {UM_SELECT_OUTPUT, 4, 0}}));
    EXPECT_EQ(g_nCurOutChannel, 0); // the view decides
    EXPECT_FALSE(Strip(4).m_btnSelect.GetSelected());
}

TEST_F(OutRouteDlgTest, EnterInTheGainEditPostsOnceAndMarksTheOutputEdited) {
    g_bOutChanged[3] = 0;
    Type(Strip(3).m_editGain, "-10");
    const auto posted = m_host->Take();
    EXPECT_EQ(posted, (std::vector<Posted>{{UM_STRIP_GAIN_CHANGED, 3, 500}}));
    EXPECT_EQ(g_bOutChanged[3], 1);
    EXPECT_TRUE(Strip(3).GetSafeHwnd());
    // Escape and Tab commit too and close nothing.
    Type(Strip(3).m_editDelay, "1", VK_ESCAPE);
    Type(Strip(3).m_editGain, "OFF", VK_TAB);
    EXPECT_EQ(m_host->Take(),
              (std::vector<Posted>{{UM_STRIP_DELAY_CHANGED, 3, 48}, {UM_STRIP_GAIN_CHANGED, 3, 0}}));
    EXPECT_TRUE(Strip(3).IsWindowVisible());
}

TEST_F(OutRouteDlgTest, ArrowKeysStepTheHiddenSpins) {
    Strip(3).SetGain(300);
    Strip(3).SetDelay(48);
    g_bOutChanged[3] = 0;
    // (edit, key) -> what the view hears; only the gain marks the output edited.
    struct Case {
        bool gain;
        UINT key;
        Posted posted;
        int changed;
    } cases[] = {
        {false, VK_UP, {UM_STRIP_DELAY_CHANGED, 3, 49}, 0},
        {false, VK_DOWN, {UM_STRIP_DELAY_CHANGED, 3, 48}, 0},
        {true, VK_UP, {UM_STRIP_GAIN_CHANGED, 3, 301}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.posted.lParam);
        (c.gain ? Strip(3).m_editGain : Strip(3).m_editDelay).SetFocus();
        platform::win::KeyInput(c.key);
        Pump();
        EXPECT_EQ(m_host->Take(), std::vector<Posted>{c.posted});
        EXPECT_EQ(g_bOutChanged[3], c.changed);
    }
}

TEST_F(OutRouteDlgTest, FaderMovesPostTheGain) {
    Strip(5).m_sliderGain.SetPos(420);
    Strip(5).SendMessage(UM_SLIDER_TRACKING, 2826, 180);
    Strip(5).SendMessage(UM_SLIDER_POSITION, 2826, 180);
    Strip(5).SendMessage(UM_SLIDER_POSITION, 9999, 0); // no fader of the strip: only the edited mark
    EXPECT_EQ(m_host->Take(),
              (std::vector<Posted>{{UM_STRIP_GAIN_CHANGED, 5, 420}, {UM_STRIP_GAIN_CHANGED, 5, 420}}));
    EXPECT_EQ(g_bOutChanged[5], 1);
}

class MenuSnapshot final : public platform::win::PopupMenuTracker {
public:
    MenuSnapshot() { m_previous = platform::win::InstallPopupMenuTracker(this); }
    ~MenuSnapshot() override { platform::win::InstallPopupMenuTracker(m_previous); }
    UINT Track(const platform::win::MenuData&, POINT screen, UINT, HWND) override {
        at = screen;
        for (int type = 1; type <= 24; ++type)
            states[type] = g_menuSpkType.GetMenuState(4100 + type, MF_BYCOMMAND);
        states[0] = g_menuSpkType.GetMenuState(4100, MF_BYCOMMAND);
        return choice;
    }
    UINT states[25] = {};
    POINT at{};
    UINT choice = 0;

private:
    platform::win::PopupMenuTracker* m_previous = nullptr;
};

TEST_F(OutRouteDlgTest, SpeakerTypeMenuStatesAndChoice) {
    // Outputs 0..3: FL-Tweeter, FR-Tweeter, the tested output (FL-Woofer), none.
    SpkType_ResetStates();
    const BYTE types[kOutputCount] = {1, 7, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int k = 0; k < kOutputCount; ++k)
        g_SpkTypeState[kSpkTypeOutputBase + k] = types[k];
    SpkType_RebuildStates();
    BYTE before[kSpkTypeStateSize];
    std::memcpy(before, g_SpkTypeState, sizeof before);

    MenuSnapshot menu;
    Click(Strip(2).m_btnType);
    Pump();
    EXPECT_EQ(std::memcmp(before, g_SpkTypeState, sizeof before), 0);
    CRect r;
    Strip(2).m_btnType.GetWindowRect(&r);
    EXPECT_EQ(menu.at.x, r.left);
    EXPECT_EQ(menu.at.y, r.bottom + 2);

    // (type, expected state): own type checked and enabled; the snapshot
    // decides the others.
    const BYTE* snap = Strip(2).m_TypeStateSnapshot;
    EXPECT_EQ(menu.states[3], UINT(MF_CHECKED));
    EXPECT_EQ(menu.states[1], UINT(MF_CHECKED | MF_GRAYED)); // another output's
    EXPECT_EQ(menu.states[7], UINT(MF_CHECKED | MF_GRAYED));
    EXPECT_EQ(menu.states[0], UINT(MF_ENABLED));
    for (int type = 1; type <= 24; ++type) {
        if (type == 3)
            continue;
        const UINT expected = snap[type] == 1   ? UINT(MF_GRAYED)
                              : snap[type] == 2 ? UINT(MF_CHECKED | MF_GRAYED)
                                                : UINT(MF_ENABLED);
        EXPECT_EQ(menu.states[type], expected) << type;
    }
    EXPECT_EQ(snap[kSpkTypeOutputBase + 2], 3);

    // Choosing the own type posts nothing, another type posts it.
    for (auto [choice, posts] : {std::pair{4103u, false}, std::pair{4119u, true}}) {
        menu.choice = choice;
        m_clock.Advance(600);
        Click(Strip(2).m_btnType);
        Pump();
        const auto posted = m_host->Take();
        if (posts)
            EXPECT_EQ(posted, (std::vector<Posted>{{UM_SPEAKER_TYPE_SELECTED, 2, 19}}));
        else
            EXPECT_TRUE(posted.empty());
    }
}

TEST_F(OutRouteDlgTest, ThePhaseButtonOpensTheDialogOnTheStripsOutput) {
    g_SpkTypeState[kSpkTypeOutputBase + 2] = 1;
    Strip(2).UpdateTypeCaption();
    CPhaseSettingDlg& dlg = Strip(2).m_dlgPhase;
    CString header;
    bool hostDisabled = false;
    m_host->hook = [&] {
        header = dlg.HeaderText();
        hostDisabled = !m_host->IsWindowEnabled();
        dlg.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    };
    m_host->PostMessage(StripHost::kRunHook, 0, 0);
    Click(Strip(2).m_btnPhase);
    EXPECT_EQ(header, "CH3  FL-Tweeter");
    EXPECT_EQ(dlg.m_pOutData, m_model->GetOutput(2));
    EXPECT_TRUE(hostDisabled);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
    EXPECT_TRUE(m_host->IsWindowEnabled());
}

TEST_F(OutRouteDlgTest, GroupClicksAreCountedAndUnknownOnesChangeNothing) {
    // (kind, last click kind afterwards, group button latched afterwards)
    const std::tuple<WPARAM, int, BOOL> cases[] = {{0x202, 0, FALSE}, {0x204, 0, FALSE}, {0x201, 1, TRUE},
                                                   {0x204, 1, FALSE}, {0x203, 2, TRUE},  {7, 2, TRUE}};
    for (const auto& [kind, last, latched] : cases) {
        Strip(6).SendMessage(UM_BUTTON_CLICK, kind, 0);
        EXPECT_EQ(Strip(6).m_nLastClickKind, last) << kind;
        EXPECT_EQ(Strip(6).m_btnGroup.GetSelected(), latched) << kind;
    }
    Strip(6).SendMessage(WM_COMMAND, 4125, 0); // no speaker type
    Strip(6).SendMessage(WM_COMMAND, 4099, 0);
    EXPECT_TRUE(m_host->Take().empty());
}

TEST_F(OutRouteDlgTest, TypeCaptionsShowAsTheButtonDrawsThem) {
    g_SpkTypeState[kSpkTypeOutputBase + 6] = 4;
    Strip(6).UpdateTypeCaption();
    EXPECT_EQ(Strip(6).m_btnType.GetWindowText(), "FL-M && T");
    g_bChinese = 1;
    Strip(6).UpdateTypeCaption();
    EXPECT_EQ(Strip(6).m_btnType.GetWindowText(), "前置左中高频");
}

TEST_F(OutRouteDlgTest, OnlyTheCurrentOutputsStripIsFramedRed) {
    g_nCurOutChannel = 2;
    m_host->Invalidate();
    const QImage image = platform::win::RenderWindow(m_host->GetSafeHwnd());
    for (int i = 0; i < 8; ++i) {
        const int x = int(142.5 * i);
        const bool red =
            PixelAt(image, x, 100) == RGB(255, 25, 25) && PixelAt(image, x + 121, 100) == RGB(255, 25, 25);
        EXPECT_EQ(red, i == 2) << i;
        EXPECT_EQ(PixelAt(image, x + 60, 190), ColourOf(1152)) << i; // the English background
    }
}

} // namespace
} // namespace pagestest

namespace pagestest {
namespace {

TEST_F(OutRouteDlgTest, PicturesInBothLanguages) {
    m_pictures.real = true;
    // Outputs 1 and 3 grouped, output 3 current; a few types and gains.
    const BYTE types[kOutputCount] = {1, 7, 3, 9, 13, 16, 22, 24, 0, 0, 0, 0};
    for (int k = 0; k < kOutputCount; ++k)
        g_SpkTypeState[kSpkTypeOutputBase + k] = types[k];
    g_DeviceImage[OutputRecordOffset(1) + 287] = 1;
    g_DeviceImage[OutputRecordOffset(3) + 287] = 1;
    m_model->GetOutput(2)->SetGain(0);
    m_model->GetOutput(5)->SetEnable(0);
    m_model->GetOutput(6)->SetGain(420);
    g_nCurOutChannel = 3;
    for (int chinese : {1, 0}) {
        g_bChinese = chinese;
        for (COutRoute_Dlg& s : m_host->strips) {
            s.SetGainSliderThumb(0, 0, FALSE, 0, 0, 0);
            s.SetGainSliderChannel(281, 281, FALSE, 0, 0, 0);
            s.SetGainSliderThumb(358, 280, FALSE, 0, 0, 0);
        }
        m_host->ApplyLanguage();
        m_host->Refresh();
        CLinkGroups::Rebuild(*m_model, *m_host);
        m_host->Invalidate();
        const QImage image = platform::win::RenderWindow(m_host->GetSafeHwnd()).copy(0, 0, 1140, 222);
        ASSERT_TRUE(image.save(PngPath(chinese ? "output_strips_zh.png" : "output_strips_en.png")));
    }
    EXPECT_TRUE(m_host->strips[1].m_btnGroup.GetSelected());
    EXPECT_TRUE(m_host->strips[1].m_btnSelect.GetSelected()); // the current output's partner
}

} // namespace
} // namespace pagestest
