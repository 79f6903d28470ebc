#include "PagesFixture.h"

#include "model/KTV_OutData.h"
#include "pages/output/PhaseSettingDlg.h"
#include "platform/sys/MessageBox.h"
#include "platform/sys/UserMessages.h"

namespace pagestest {
namespace {

class PhaseSettingDlgTest : public PagesFixture {
protected:
    void SetUp() override {
        PagesFixture::SetUp();
        m_dlg = std::make_unique<CPhaseSettingDlg>();
    }
    void TearDown() override {
        m_dlg.reset();
        PagesFixture::TearDown();
    }
    CKTV_OutData& Out(int k) { return *m_model->GetOutput(k); }
    // What the strip does before DoModal, then the window made modeless.
    void Open(int output = 2, const CString& name = "FL-Tweeter") {
        m_dlg->DestroyWindow();
        m_dlg->m_nOutput = output;
        m_dlg->m_pOutData = &Out(output);
        m_dlg->m_strName = name;
        ASSERT_TRUE(m_dlg->Create(CPhaseSettingDlg::IDD));
    }
    COLORREF ThumbColour(CBitmapSlider& slider) {
        const QImage image = platform::win::RenderWindow(m_dlg->GetSafeHwnd());
        CRect r;
        slider.GetWindowRect(&r);
        m_dlg->ScreenToClient(&r);
        return PixelAt(image, r.left + 27 + 20, r.top + 61 + 10);
    }

    SolidPictures m_pictures;
    std::unique_ptr<CPhaseSettingDlg> m_dlg;
};

TEST_F(PhaseSettingDlgTest, TypedTextIsClampedAndStored) {
    struct Case {
        bool shift; // else the frequency
        int stored;
        const char* typed;
        int expected;
        const char* shown;
    } cases[] = {
        {true, 100, "91", 65, "90°"},          {true, 100, "361", 200, "360°"},
        {true, 100, "-5", 20, "0°"},           {true, 100, "abc", 100, "160°"}, // no number: nothing
        {false, 1000, "5", 20, "20Hz"},        {false, 1000, "25000", 20000, "20000Hz"},
        {false, 50, "1000Hz", 1000, "1000Hz"}, {false, 1000, "abc", 1000, "1000Hz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        if (c.shift)
            Out(2).SetLimiterAttack(WORD(c.stored));
        else
            Out(2).SetLimiterRelease(WORD(c.stored));
        Open();
        CNumEdit& edit = c.shift ? m_dlg->m_editShift : m_dlg->m_editFreq;
        Type(edit, c.typed);
        Pump();
        EXPECT_EQ(c.shift ? Out(2).GetLimiterAttack() : Out(2).GetLimiterRelease(), c.expected);
        EXPECT_EQ(edit.GetWindowText(), c.shown);
        EXPECT_EQ((c.shift ? m_dlg->m_sliderShift : m_dlg->m_sliderFreq).GetPos(), c.expected);
        EXPECT_TRUE(m_dlg->GetSafeHwnd()); // Enter leaves it open
    }
    EXPECT_EQ(Out(2).GetLimiterDirty(), 0); // offline: nothing marked
    EXPECT_TRUE(m_boxes.Entries().empty());
}

TEST_F(PhaseSettingDlgTest, EveryChangeReachesOnlyItsOwnOutput) {
    g_bOnline = 1;
    Open(3);
    Type(m_dlg->m_editShift, "40", VK_ESCAPE);
    EXPECT_EQ(Out(3).GetLimiterAttack(), 40);
    EXPECT_EQ(Out(3).GetLimiterDirty(), 1);
    // A slider notice of another control changes nothing; a shift drag does.
    m_dlg->m_sliderShift.SetPos(130);
    m_dlg->SendMessage(UM_SLIDER_TRACKING, 2853, 0);
    EXPECT_EQ(Out(3).GetLimiterAttack(), 40);
    m_dlg->SendMessage(UM_SLIDER_TRACKING, 2850, 0);
    EXPECT_EQ(Out(3).GetLimiterAttack(), 130);
    EXPECT_EQ(m_dlg->m_editShift.GetWindowText(), "220°");
    m_dlg->m_sliderFreq.SetPos(4000);
    m_dlg->SendMessage(UM_SLIDER_POSITION, 2854, 0);
    EXPECT_EQ(Out(3).GetLimiterRelease(), 4000);
    for (int k : {0, 1, 2, 4})
        EXPECT_EQ(Out(k).GetLimiterAttack(), 20) << k;
}

TEST_F(PhaseSettingDlgTest, TwoPolarityClicksRestoreAndThePicturesFollow) {
    // Output 2 and 5 in one group: the partner keeps its polarity.
    g_OutLinkTable[1 + 2] = g_OutLinkTable[1 + 5] = 1;
    Open(2);
    const UINT pictures[2] = {1177, 1176};
    for (int click = 0; click <= 2; ++click) {
        const int polarity = Out(2).GetPolarity();
        EXPECT_EQ(polarity, click % 2);
        EXPECT_EQ(ThumbColour(m_dlg->m_sliderPolarity), ColourOf(pictures[polarity])) << click;
        m_dlg->m_sliderPolarity.SetFocus(); // the active picture shows while it has the focus
        EXPECT_EQ(ThumbColour(m_dlg->m_sliderPolarity), ColourOf(pictures[polarity])) << click;
        m_dlg->SetFocus();
        if (click < 2) {
            m_clock.Advance(600);
            Click(m_dlg->m_btnPolarity);
        }
    }
    EXPECT_EQ(Out(5).GetPolarity(), 0);
}

TEST_F(PhaseSettingDlgTest, ThePolarityButtonShowsThePolarityInTheLanguage) {
    const struct {
        int chinese;
        BYTE polarity;
        UINT picture;
    } cases[] = {{0, 0, 4370}, {0, 1, 4373}, {1, 0, 4380}, {1, 1, 4383}};
    for (const auto& c : cases) {
        g_bChinese = c.chinese;
        Out(2).SetPolarity(c.polarity);
        Open(2);
        const QImage image = platform::win::RenderWindow(m_dlg->GetSafeHwnd());
        CRect r;
        m_dlg->m_btnPolarity.GetWindowRect(&r);
        m_dlg->ScreenToClient(&r);
        EXPECT_EQ(PixelAt(image, r.CenterPoint().x, r.CenterPoint().y), ColourOf(c.picture))
            << c.chinese << " " << int(c.polarity);
    }
}

TEST_F(PhaseSettingDlgTest, WordsOutsideTheirRangeShowAtTheEndsWithoutABox) {
    for (auto [shift, freq, shownShift, shownFreq] :
         {std::tuple{0, 0, "0°", "20Hz"}, std::tuple{-3, 30000, "0°", "20000Hz"},
          std::tuple{250, 19, "360°", "20Hz"}}) {
        Out(1).SetLimiterAttack(WORD(shift));
        Out(1).SetLimiterRelease(WORD(freq));
        Open(1);
        EXPECT_EQ(m_dlg->m_editShift.GetWindowText(), shownShift);
        EXPECT_EQ(m_dlg->m_editFreq.GetWindowText(), shownFreq);
        EXPECT_EQ(Out(1).GetLimiterAttack(), WORD(shift)); // stored as they came
        EXPECT_EQ(Out(1).GetLimiterRelease(), WORD(freq));
    }
    EXPECT_TRUE(m_boxes.Entries().empty());
}

TEST_F(PhaseSettingDlgTest, HeaderAndCaptionByLanguage) {
    Open(2, "FL-Tweeter");
    EXPECT_EQ(m_dlg->HeaderText(), "CH3  FL-Tweeter");
    EXPECT_EQ(m_dlg->GetWindowText(), "Sets of Phase");
    const QImage image = platform::win::RenderWindow(m_dlg->GetSafeHwnd());
    int white = 0;
    for (int y = 38; y < 60; ++y)
        for (int x = 280; x < 400; ++x)
            white += PixelAt(image, x, y) == RGB(255, 255, 255);
    EXPECT_GT(white, 20);
    EXPECT_EQ(PixelAt(image, 279, 45), ColourOf(1174)); // nothing left of its origin
    EXPECT_EQ(PixelAt(image, 300, 30), ColourOf(1174)); // nor above
    Open(0, "FL-M && T");
    EXPECT_EQ(m_dlg->HeaderText(), "CH1  FL-M & T");
    g_bChinese = 1;
    Open(0, "前置左高频");
    EXPECT_EQ(m_dlg->GetWindowText(), "相位设置");
    EXPECT_EQ(PixelAt(platform::win::RenderWindow(m_dlg->GetSafeHwnd()), 5, 100), ColourOf(1173));
}

TEST_F(PhaseSettingDlgTest, ReopeningReattachesTheControlsAndShowsTheModel) {
    Open(4);
    Type(m_dlg->m_editFreq, "440");
    Open(4);
    EXPECT_EQ(m_dlg->m_editFreq.GetWindowText(), "440Hz");
    EXPECT_EQ(m_dlg->m_sliderFreq.GetPos(), 440);
    EXPECT_EQ(m_dlg->m_editFreq.GetParent()->GetSafeHwnd(), m_dlg->GetSafeHwnd());
}

TEST_F(PhaseSettingDlgTest, ArrowKeysStepOneStoredUnitAtEveryOpening) {
    // (edit, stored, key) -> stored after the step: 2 degrees or 1 Hz, also
    // once the dialog has been open before.
    struct Case {
        bool shift;
        int stored;
        UINT key;
        int expected;
        const char* shown;
    } cases[] = {
        {false, 1000, VK_UP, 1001, "1001Hz"},    {false, 1000, VK_DOWN, 999, "999Hz"},
        {false, 20000, VK_UP, 20000, "20000Hz"}, {true, 65, VK_UP, 66, "92°"},
        {true, 20, VK_DOWN, 20, "0°"},
    };
    for (int opening = 0; opening < 2; ++opening) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << opening << " " << c.shown);
            Out(2).SetLimiterAttack(WORD(c.shift ? c.stored : 20));
            Out(2).SetLimiterRelease(WORD(c.shift ? 20 : c.stored));
            Open();
            CNumEdit& edit = c.shift ? m_dlg->m_editShift : m_dlg->m_editFreq;
            edit.SetFocus();
            platform::win::KeyInput(c.key);
            Pump();
            EXPECT_EQ(c.shift ? Out(2).GetLimiterAttack() : Out(2).GetLimiterRelease(), c.expected);
            EXPECT_EQ(edit.GetWindowText(), c.shown);
        }
    }
}

// Closes the dialog through its close box once it is up.
class ClosingPhaseDlg final : public CPhaseSettingDlg {
protected:
    BOOL OnInitDialog() override {
        CPhaseSettingDlg::OnInitDialog();
        PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        return TRUE;
    }
};

TEST_F(PhaseSettingDlgTest, TheCloseBoxEndsItAndKeepsTheChanges) {
    ClosingPhaseDlg dlg;
    dlg.m_pOutData = &Out(0);
    Out(0).SetLimiterAttack(77);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(Out(0).GetLimiterAttack(), 77);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

TEST_F(PhaseSettingDlgTest, PicturesInBothLanguages) {
    m_pictures.real = true;
    for (int chinese : {1, 0}) {
        g_bChinese = chinese;
        m_dlg = std::make_unique<CPhaseSettingDlg>(); // the backgrounds load with the object
        Out(2).SetLimiterAttack(65);
        Out(2).SetLimiterRelease(1000);
        Out(2).SetPolarity(BYTE(chinese));
        Open(2, chinese ? "前置右低频" : "FR-Woofer");
        const QImage image = platform::win::RenderWindow(m_dlg->GetSafeHwnd());
        ASSERT_TRUE(image.save(PngPath(chinese ? "phase_dialog_zh.png" : "phase_dialog_en.png")));
    }
}

} // namespace
} // namespace pagestest
