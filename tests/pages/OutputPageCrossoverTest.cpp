// The crossover of the current output on the output page: corners that
// never pass each other, group copies limited per partner, drop-downs, the
// hidden gain and delay edits and the strips' delay unit.

#include "OutputPageFixture.h"

#include "platform/sys/UserMessages.h"

#include <gtest/gtest.h>

namespace pagetest {
namespace {

TEST_F(OutputPage, CornersNeverPassEachOther) {
    const struct {
        int high, low; // before
        int spin;      // 1351 high-pass or 1352 low-pass
        int typed;
        int highAfter, lowAfter;
    } cases[] = {
        {500, 4000, 1351, 5000, 4000, 4000}, // above the low-pass: moved to it
        {500, 4000, 1352, 100, 500, 500},    // below the high-pass: moved to it
        {500, 4000, 1351, 1000, 1000, 4000}, {500, 4000, 1352, 20000, 500, 20000},
        {500, 4000, 1351, 4000, 4000, 4000}, // a corner exactly at the other is allowed
    };
    for (const auto& c : cases) {
        Out(0).GetHighPass()->SetFreq(c.high, 0);
        Out(0).GetLowPass()->SetFreq(c.low, 0);
        page->ShowChannel();
        Commit(c.spin == 1351 ? page->m_spinHighFreq : page->m_spinLowFreq, c.typed);
        EXPECT_EQ(Out(0).GetHighPass()->GetFrequency(), c.highAfter) << c.spin << " " << c.typed;
        EXPECT_EQ(Out(0).GetLowPass()->GetFrequency(), c.lowAfter) << c.spin << " " << c.typed;
        EXPECT_EQ(page->m_spinHighFreq.GetPos(), c.highAfter);
        EXPECT_EQ(page->m_spinLowFreq.GetPos(), c.lowAfter);
        EXPECT_EQ(g_bOutChanged[0], 1);
    }
}

TEST_F(OutputPage, EachPartnerIsLimitedByItsOwnOtherCorner) {
    Out(0).GetLowPass()->SetFreq(20000, 0);
    Out(3).GetLowPass()->SetFreq(3000, 0);
    Out(5).GetLowPass()->SetFreq(8000, 0);
    page->ShowChannel();
    Commit(page->m_spinHighFreq, 5000);
    EXPECT_EQ(Out(0).GetHighPass()->GetFrequency(), 5000);
    EXPECT_EQ(Out(3).GetHighPass()->GetFrequency(), 3000);
    EXPECT_EQ(Out(5).GetHighPass()->GetFrequency(), 5000) << "the first partner's limit does not leak";
    EXPECT_EQ(page->m_nHighFreq, 5000);

    Out(3).GetHighPass()->SetFreq(900, 0);
    Commit(page->m_spinLowFreq, 600);
    EXPECT_EQ(Out(0).GetLowPass()->GetFrequency(), 5000) << "not below its own high-pass";
    EXPECT_EQ(Out(3).GetLowPass()->GetFrequency(), 5000);
    EXPECT_EQ(Out(5).GetLowPass()->GetFrequency(), 5000);
}

TEST_F(OutputPage, ACornerDragGoesToThePartnersAndFocusesItsEdit) {
    Out(5).GetLowPass()->SetFreq(150, 0);
    Out(0).GetHighPass()->SetFreq(400, 0); // as the graph leaves it after a drag
    page->m_graph.m_bButtonUp = 1;
    page->SendMessage(UM_EQ_POINT_DRAGGED, 31, 0);
    EXPECT_EQ(page->m_spinHighFreq.GetPos(), 400);
    EXPECT_EQ(Out(3).GetHighPass()->GetFrequency(), 400);
    EXPECT_EQ(Out(5).GetHighPass()->GetFrequency(), 150);
    EXPECT_EQ(g_bOutChanged[0], 0) << "a corner drag is not counted as an edit";
    EXPECT_TRUE(page->m_editHighFreq.GetHighlight());
    EXPECT_EQ(CWnd::GetFocus(), &page->m_editHighFreq);
    EXPECT_EQ(page->m_graph.m_bButtonUp, 0);
}

TEST_F(OutputPage, DropDownsSetFamilyAndSlopeOnTheGroup) {
    const struct {
        UINT list;
        int entry;
        bool high;
        bool slope;
    } cases[] = {
        {1014, 2, true, false}, {1015, 8, true, true}, {1016, 1, false, false}, {1017, 0, false, true}};
    for (const auto& c : cases) {
        CComBoxBtn& box = c.list == 1014   ? page->m_cbHighFamily
                          : c.list == 1015 ? page->m_cbHighSlope
                          : c.list == 1016 ? page->m_cbLowFamily
                                           : page->m_cbLowSlope;
        box.SetCurSel(c.entry);
        page->SendMessage(UM_DROPLIST_SELECTED, c.list, c.entry);
        for (int k : {0, 3, 5}) {
            CFilter* f = c.high ? Out(k).GetHighPass() : Out(k).GetLowPass();
            EXPECT_EQ(c.slope ? f->GetSlope() : f->GetFamily(), c.entry) << c.list << " output " << k;
        }
    }
    // A list the page does not own changes nothing.
    const int slope = Out(0).GetLowPass()->GetSlope();
    g_bOutChanged[0] = 0;
    page->m_cbLowSlope.SetCurSel(5);
    page->SendMessage(UM_DROPLIST_SELECTED, 1018, 5);
    EXPECT_EQ(Out(0).GetLowPass()->GetSlope(), slope);
    EXPECT_EQ(g_bOutChanged[0], 0);
}

TEST_F(OutputPage, HiddenGainAndDelayEditsChangeOnlyTheCurrentOutput) {
    Out(0).SetEnable(0);
    Commit(page->m_spinGain, 450);
    EXPECT_EQ(Out(0).GetGain(), 450);
    EXPECT_EQ(Out(0).GetEnable(), 1);
    EXPECT_EQ(Out(3).GetGain(), 600);
    Commit(page->m_spinDelay[1], 96);
    EXPECT_EQ(Out(0).GetDelay(), 96);
    EXPECT_EQ(page->m_spinDelay[0].GetPos(), 96);
    EXPECT_EQ(page->m_spinDelay[2].GetPos(), 96);
    EXPECT_EQ(Out(3).GetDelay(), 0);
    EXPECT_EQ(g_bOutChanged[0], 0);
}

// The strip's on/off as the view hands it on: only a new state is stored,
// and only a stored one is marked for the processor.
TEST_F(OutputPage, AStripsOnOffReachesItsOutputOnlyWhenItDiffers) {
    g_bOnline = 1;
    const struct {
        int output;
        int state;
        int enable3;
        int marked3;
    } cases[] = {{3, 0, 0, 1}, {3, 0, 0, 0}, {3, 1, 1, 1}, {12, 0, 1, 0}, {-1, 0, 1, 0}};
    for (const auto& c : cases) {
        Out(3).SetBasicDirty(0);
        page->SetChannelEnable(c.output, c.state);
        EXPECT_EQ(Out(3).GetEnable(), c.enable3) << c.output << " " << c.state;
        EXPECT_EQ(Out(3).GetBasicDirty(), c.marked3) << c.output << " " << c.state;
        EXPECT_EQ(Out(0).GetEnable(), 1) << "a group partner keeps its own";
    }
    g_bOnline = 0;
}

TEST_F(OutputPage, TheDelayUnitGoesToTheStripsOnlyWhenItIsOne) {
    for (LPARAM unit : {LPARAM(0), LPARAM(1), LPARAM(2), LPARAM(3), LPARAM(4), LPARAM(-1)})
        page->SendMessage(UM_DELAY_UNIT_CHANGED, 103, unit);
    std::vector<int> units;
    for (const auto& c : outputForm.calls)
        if (c.what == "panels")
            units.push_back(c.a);
    EXPECT_EQ(units, (std::vector<int>{1, 2, 3}));
}

// The thumbs drawn with a mask from their corner pixel: solid, but for a
// corner of another colour.
class CorneredThumbs final : public platform::res::ResourceProvider {
public:
    explicit CorneredThumbs(platform::res::ResourceProvider& under) : m_under(under) {
        m_previous = platform::res::InstallProvider(this);
    }
    ~CorneredThumbs() override { platform::res::InstallProvider(m_previous); }
    std::optional<QImage> Bitmap(UINT id) override {
        auto image = m_under.Bitmap(id);
        if (image && id >= 611 && id <= 613)
            image->setPixel(0, 0, qRgb(1, 2, 3));
        return image;
    }
    std::optional<QByteArray> Data(UINT id, const CString& type) override { return m_under.Data(id, type); }
    std::optional<platform::res::CursorImage> Cursor(UINT id) override { return m_under.Cursor(id); }
    std::optional<CString> String(UINT id) override { return m_under.String(id); }
    std::optional<CString> Source(UINT id, const CString& kind) override { return m_under.Source(id, kind); }

private:
    platform::res::ResourceProvider& m_under;
    platform::res::ResourceProvider* m_previous = nullptr;
};

TEST_F(OutputPage, GraphicModeGreysTheSlidersOutsideThePassBand) {
    CorneredThumbs thumbs(*pictures);
    Out(0).GetHighPass()->SetFreq(100, 0);
    Out(0).GetLowPass()->SetFreq(5000, 0);
    for (int mode : {0, 1}) {
        Out(0).SetEqMode(BYTE(mode));
        page->ShowChannel();
        const QImage image = platform::win::RenderWindow(page->GetSafeHwnd());
        for (int b = 0; b < 31; ++b) {
            const int f = g_OutBandTable[b];
            const bool grey = mode == 1 && (f < 100 || f > 5000);
            // The thumb of a band at 0 dB sits in the middle of its slider.
            CRect r;
            page->m_sliderBand[b].GetWindowRect(&r);
            page->ScreenToClient(&r);
            const bool shown = apptest::PixelAt(image, r.CenterPoint().x, r.CenterPoint().y) ==
                               apptest::SolidPictures::ColorOf(612);
            EXPECT_EQ(shown, grey) << "mode " << mode << " band " << b;
        }
        EXPECT_EQ(page->m_editFreq[3].IsWindowEnabled(), mode == 0);
    }
}

} // namespace
} // namespace pagetest
