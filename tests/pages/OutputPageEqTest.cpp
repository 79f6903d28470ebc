// Equaliser editing on the output page: each edit reaches the current output
// and its group partners (outputs 1, 4 and 6 of the fixture), marks what it
// changed only while online, and sets the edited flag; ALL BYPASS, the mode
// switch and the reset queue their frames through the view.

#include "OutputPageFixture.h"

#include "model/DataDefine.h"
#include "platform/sys/UserMessages.h"

#include <gtest/gtest.h>

namespace pagetest {
namespace {

struct BandState {
    int freq, width, gain, flat, bypass;
    bool operator==(const BandState&) const = default;
};

BandState StateOf(const CFilter& f) {
    return {f.GetFrequency(), f.GetBandwidthIndex(), f.GetGainIndex(), f.IsFlat(), f.IsBypassed()};
}

// Everything of an output's equaliser the page can change.
std::vector<BandState> EqOf(CKTV_OutData& out) {
    std::vector<BandState> eq;
    for (int k = 0; k < 33; ++k)
        eq.push_back(StateOf(*out.GetEQ().GetAt(k)));
    return eq;
}

class OutputPageEq : public OutputPage {
protected:
    void SetOnline(int online) {
        g_bOnline = online;
        for (int k = 0; k < kOutputCount; ++k)
            for (int b = 0; b < 33; ++b)
                Out(k).GetEQ().GetAt(b)->StepSentFreq(0); // clears the flags
    }
};

TEST_F(OutputPageEq, BandEditsReachTheGroupAndMarkOnlyOnline) {
    // Each case edits a band of its own; `expect` turns the band as it was
    // into the band the current output and both partners end with.
    const struct {
        const char* what;
        std::function<void(OutputPageEq&, int)> act;
        std::function<BandState(BandState)> expect;
    } cases[] = {
        {"frequency", [](OutputPageEq& t, int b) { t.Commit(t.page->m_spinFreq[b], 1000); },
         [](BandState s) { return s.freq = 1000, s; }},
        {"Q", [](OutputPageEq& t, int b) { t.Commit(t.page->m_spinQ[b], 80); },
         [](BandState s) { return s.width = 80, s; }},
        {"gain", [](OutputPageEq& t, int b) { t.Commit(t.page->m_spinBandGain[b], 260); },
         [](BandState s) { return s.gain = 260, s.flat = 0, s; }},
        {"slider",
         [](OutputPageEq& t, int b) {
             t.page->m_sliderBand[b].SetPos(140);
             t.page->SendMessage(UM_SLIDER_POSITION, WPARAM(5100 + b), 0);
         },
         [](BandState s) { return s.gain = 140, s.flat = 0, s; }},
        {"gain then 0 dB",
         [](OutputPageEq& t, int b) {
             t.Commit(t.page->m_spinBandGain[b], 260);
             t.Commit(t.page->m_spinBandGain[b], 200);
         },
         [](BandState s) { return s.gain = 200, s.flat = 1, s; }},
        {"bypass of a shaped band",
         [](OutputPageEq& t, int b) {
             t.Commit(t.page->m_spinBandGain[b], 250);
             t.Command(5320 + b);
         },
         [](BandState s) { return s.gain = 200, s.flat = 1, s; }},
        {"un-bypass of a 0 dB band",
         [](OutputPageEq& t, int b) {
             t.Commit(t.page->m_spinBandGain[b], 250);
             t.Commit(t.page->m_spinBandGain[b], 200);
             t.Command(5320 + b);
             EXPECT_EQ(t.page->m_btnBypass[b].GetCheck(), 1) << "a 0 dB band stays bypassed";
         },
         [](BandState s) { return s.gain = 200, s.flat = 1, s; }},
    };
    int b = 0;
    for (int online : {0, 1}) {
        for (const auto& c : cases) {
            const BandState before = StateOf(Band(0, b));
            const auto untouched = EqOf(Out(7));
            SetOnline(online);
            std::fill(std::begin(g_bOutChanged), std::end(g_bOutChanged), 0);
            c.act(*this, b);
            for (int k : {0, 3, 5}) {
                EXPECT_EQ(StateOf(Band(k, b)), c.expect(before)) << c.what << " output " << k;
                EXPECT_EQ(Band(k, b).IsChanged(), online) << c.what << " output " << k;
            }
            EXPECT_EQ(EqOf(Out(7)), untouched) << c.what;
            EXPECT_EQ(g_bOutChanged[0], 1) << c.what;
            EXPECT_EQ(g_bOutChanged[3] + g_bOutChanged[5], 0) << c.what;
            EXPECT_EQ(TakeQueue().size(), 0u) << c.what;
            ++b;
        }
    }
}

TEST_F(OutputPageEq, LoadingShowsEveryBandAsTheControlsCan) {
    Band(0, 0).SetGainIndex(260);
    Band(0, 1).SetGainIndex(200); // flat
    Band(0, 2).SetGainIndex(250);
    Band(0, 2).SetBypass(1);
    Band(0, 3).SetGainIndex(20); // beyond what the page shows
    Band(0, 4).SetGainIndex(390);
    page->ShowChannel();
    const struct {
        int band;
        int spin;
        const char* text;
        int bypass;
    } rows[] = {
        {0, 260, "6.0", 0}, {1, 200, "0.0", 1}, {2, 200, "0.0", 1}, {3, 80, "-12.0", 0}, {4, 320, "12.0", 0}};
    for (const auto& r : rows) {
        EXPECT_EQ(page->m_spinBandGain[r.band].GetPos(), r.spin) << "band " << r.band;
        EXPECT_EQ(page->m_sliderBand[r.band].GetPos(), r.spin) << "band " << r.band;
        EXPECT_EQ(page->m_editBandGain[r.band].GetWindowText(), r.text) << "band " << r.band;
        EXPECT_EQ(page->m_btnBypass[r.band].GetCheck(), r.bypass) << "band " << r.band;
    }
    EXPECT_EQ(Band(0, 3).GetGainIndex(), 20) << "the model keeps its value";
    EXPECT_TRUE(boxes.Entries().empty()) << "no box while loading";
    EXPECT_EQ(page->m_pHighlightLabel, nullptr);
    EXPECT_EQ(page->m_pHighlightEdit, nullptr);
}

TEST_F(OutputPageEq, AllBypassQueuesTheGroupInOrderOrUndoesOnNo) {
    ConnectWithoutThread();
    for (int k : {0, 7})
        Band(k, 5).SetGainIndex(260);
    page->ShowChannel();
    // No: everything as before, nothing queued, nothing marked as edited.
    {
        platform::RecordingMessageBox no(IDNO);
        const auto before = EqOf(Out(0));
        Command(1976);
        EXPECT_EQ(EqOf(Out(0)), before);
        EXPECT_EQ(page->m_btnAllBypass.GetCheck(), 0);
        EXPECT_TRUE(TakeQueue().empty());
        EXPECT_EQ(g_bOutChanged[0], 0);
        ASSERT_EQ(no.Entries().size(), 1u);
        EXPECT_EQ(no.Entries()[0].text, "Whether ByPass All EQ?");
        EXPECT_EQ(no.Entries()[0].helpId, -3);
    }
    // Yes: the current output's four frames, then each group member's three in
    // ascending order, the current one included.
    Command(1976);
    EXPECT_EQ(page->m_btnAllBypass.GetCheck(), 1);
    for (int k : {0, 3, 5})
        EXPECT_TRUE(Out(k).IsAllBypassed()) << k;
    EXPECT_FALSE(Out(7).IsAllBypassed());
    std::vector<int> channels;
    for (const auto& f : TakeQueue())
        channels.push_back(f.channel());
    EXPECT_EQ(channels, (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 3, 3, 3, 5, 5, 5}));
    EXPECT_EQ(g_bOutChanged[0], 1);

    // Yes to the restore: the shaped band plays again, the same frames go out.
    Command(1976);
    EXPECT_EQ(boxes.Entries().back().text, "Whether Restore All EQ?");
    EXPECT_EQ(page->m_btnAllBypass.GetCheck(), 0);
    EXPECT_FALSE(Out(0).IsAllBypassed());
    EXPECT_EQ(StateOf(Band(0, 5)),
              (BandState{Band(0, 5).GetFrequency(), Band(0, 5).GetBandwidthIndex(), 260, 0, 0}));
    EXPECT_EQ(page->m_spinBandGain[5].GetPos(), 260);
    EXPECT_EQ(page->m_btnBypass[5].GetCheck(), 0);
    for (int k : {3, 5})
        EXPECT_EQ(Band(k, 5).IsBypassed(), 0) << k;
    channels.clear();
    for (const auto& f : TakeQueue())
        channels.push_back(f.channel());
    EXPECT_EQ(channels, (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 3, 3, 3, 5, 5, 5}));

    // An output in no group: four frames.
    g_nCurOutChannel = 7;
    page->ShowChannel();
    Command(1976);
    EXPECT_EQ(TakeQueue().size(), 4u);
}

TEST_F(OutputPageEq, RestoringAnAllFlatOutputKeepsItBypassed) {
    ConnectWithoutThread();
    Out(0).BypassAllBands(1);
    page->ShowChannel();
    ASSERT_EQ(page->m_btnAllBypass.GetCheck(), 1);
    Command(1976);
    EXPECT_EQ(page->m_btnAllBypass.GetCheck(), 1);
    EXPECT_TRUE(Out(0).IsAllBypassed());
    EXPECT_TRUE(boxes.Entries().empty());
    EXPECT_TRUE(TakeQueue().empty());
    EXPECT_EQ(g_bOutChanged[0], 0);
}

TEST_F(OutputPageEq, OfflineAllBypassChangesTheModelAndQueuesNothing) {
    Command(1976);
    EXPECT_TRUE(Out(0).IsAllBypassed());
    EXPECT_TRUE(Out(3).IsAllBypassed());
    EXPECT_TRUE(TakeQueue().empty());
}

TEST_F(OutputPageEq, ChangingOneBandOfAnAllBypassedOutputUnchecksAllBypass) {
    const struct {
        const char* what;
        std::function<void(OutputPageEq&)> act;
    } cases[] = {
        {"gain", [](OutputPageEq& t) { t.Commit(t.page->m_spinBandGain[4], 240); }},
        {"bypass button", [](OutputPageEq& t) { t.Command(5320 + 4); }},
    };
    for (const auto& c : cases) {
        Band(0, 4).SetGainIndex(260);
        Band(0, 9).SetGainIndex(150);
        Out(0).BypassAllBands(1);
        page->ShowChannel();
        ASSERT_EQ(page->m_btnAllBypass.GetCheck(), 1) << c.what;
        c.act(*this);
        EXPECT_EQ(page->m_btnAllBypass.GetCheck(), 0) << c.what;
        EXPECT_FALSE(Out(0).IsAllBypassed()) << c.what;
        EXPECT_EQ(Band(0, 4).IsFlatOrBypassed(), 0) << c.what;
        EXPECT_EQ(page->m_btnBypass[4].GetCheck(), 0) << c.what;
        EXPECT_EQ(Band(0, 9).IsBypassed(), 1) << c.what << ": the other bands stay bypassed";
        EXPECT_EQ(page->m_btnBypass[9].GetCheck(), 1) << c.what;
        Out(0).BypassAllBands(0);
    }
}

TEST_F(OutputPageEq, EveryPromptInBothLanguagesAndNoChangesNothing) {
    g_nCurOutChannel = 7;
    Band(7, 5).SetGainIndex(260);
    const struct {
        const char* what;
        std::function<void(OutputPageEq&)> act;
        const char* en;
        const char* zh;
    } cases[] = {
        {"bypass all", [](OutputPageEq& t) { t.Command(1976); }, "Whether ByPass All EQ?",
         "是否直通所有均衡?"},
        {"restore all",
         [](OutputPageEq& t) {
             t.Out(7).BypassAllBands(1);
             t.page->ShowChannel();
             t.Command(1976);
             t.Out(7).BypassAllBands(0);
         },
         "Whether Restore All EQ?", "是否恢复所有均衡?"},
        {"to graphic", [](OutputPageEq& t) { t.Command(5686); }, "Whether the PEQ Mode convert to GEQ Mode?",
         "是否把参量均衡模式转换为图示均衡模式?"},
        {"to parametric",
         [](OutputPageEq& t) {
             t.page->m_btnEqMode.SetCheck(1);
             t.Command(5686);
             t.page->m_btnEqMode.SetCheck(0);
         },
         "Whether the GEQ Mode convert to PEQ Mode?", "是否把图示均衡模式转换为参量均衡模式?"},
        {"reset", [](OutputPageEq& t) { t.Command(5687); }, "Whether the reset All EQ?", "是否重置所有均衡?"},
    };
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        for (const auto& c : cases) {
            page->ShowChannel();
            const auto before = EqOf(Out(7));
            platform::RecordingMessageBox no(IDNO);
            c.act(*this);
            ASSERT_EQ(no.Entries().size(), 1u) << c.what;
            EXPECT_EQ(no.Entries()[0].text, chinese ? c.zh : c.en) << c.what;
            EXPECT_EQ(no.Entries()[0].type, UINT(MB_YESNO)) << c.what;
            EXPECT_EQ(no.Entries()[0].helpId, chinese ? -2 : -3) << c.what;
            EXPECT_EQ(EqOf(Out(7)), before) << c.what;
            EXPECT_EQ(Out(7).GetEqMode(), 0) << c.what;
            EXPECT_EQ(syncForm.bandsRefreshed, 0) << c.what;
        }
    }
    g_bChinese = 0;
}

TEST_F(OutputPageEq, RefreshingTheBandsLeavesTheCrossoverAndPolarityAsShown) {
    const int highPass = page->m_spinHighFreq.GetPos();
    const int lowPass = page->m_spinLowFreq.GetPos();
    Out(0).GetHighPass()->SetFreq(highPass + 100, 0);
    Out(0).GetLowPass()->SetFreq(lowPass - 1000, 0);
    Out(0).SetPolarity(1);
    Band(0, 3).SetGainIndex(280);
    page->RefreshBands();
    EXPECT_EQ(page->m_spinBandGain[3].GetPos(), 280);
    EXPECT_EQ(page->m_spinHighFreq.GetPos(), highPass);
    EXPECT_EQ(page->m_spinLowFreq.GetPos(), lowPass);
    EXPECT_EQ(page->m_nPolarity, 0);
    EXPECT_EQ(page->m_pHighlightEdit, nullptr);
}

TEST_F(OutputPageEq, ModeSwitchAndResetBringTheGroupBackToThirdOctaves) {
    for (int k : {0, 3, 5, 7}) {
        Band(k, 6).SetFreq(123, 0);
        Band(k, 6).SetGainIndex(300);
    }
    Out(0).GetHighPass()->SetFreq(200, 0);
    {
        platform::RecordingMessageBox no(IDNO);
        Command(5686);
        EXPECT_EQ(Out(0).GetEqMode(), 0);
        EXPECT_EQ(Band(0, 6).GetFrequency(), 123);
    }
    Command(5686);
    EXPECT_EQ(page->m_btnEqMode.GetCheck(), 1);
    for (int k : {0, 3, 5}) {
        EXPECT_EQ(Out(k).GetEqMode(), 1) << k;
        EXPECT_EQ(StateOf(Band(k, 6)), (BandState{g_OutBandTable[6], 52, 200, 1, 0})) << k;
    }
    EXPECT_EQ(Band(7, 6).GetFrequency(), 123);
    EXPECT_EQ(Out(0).GetHighPass()->GetFrequency(), 200) << "the crossover stays";
    EXPECT_FALSE(page->m_editFreq[0].IsWindowEnabled());
    EXPECT_FALSE(page->m_editQ[30].IsWindowEnabled());
    EXPECT_EQ(g_bOutChanged[0], 0) << "the switch is not an edit";

    Band(0, 6).SetGainIndex(300);
    Command(5687);
    EXPECT_EQ(Band(0, 6).GetGainIndex(), 200);
    EXPECT_EQ(Out(0).GetEqMode(), 1) << "the reset keeps the mode";
    EXPECT_EQ(boxes.Entries().back().text, "Whether the reset All EQ?");
}

TEST_F(OutputPageEq, GraphNoticesCopyOnlyWhatReallyChanged) {
    Band(3, 4).SetGainIndex(100); // the partner differs from the current output
    page->m_graph.m_bButtonUp = 1;
    page->SendMessage(UM_EQ_POINT_DRAGGED, 4, 0);
    EXPECT_EQ(Band(3, 4).GetGainIndex(), 100) << "a bare click copies nothing";
    EXPECT_EQ(page->m_graph.m_bButtonUp, 0);
    EXPECT_EQ(CWnd::GetFocus(), &page->m_editBandGain[4]);

    // The graph moved the point: the new band goes to the partners.
    Band(0, 4).SetGainIndex(250);
    Band(0, 4).SetFreq(900, 0);
    page->SendMessage(UM_EQ_POINT_DRAGGED, 4, 0);
    for (int k : {3, 5})
        EXPECT_EQ(StateOf(Band(k, 4)), StateOf(Band(0, 4))) << k;
    EXPECT_EQ(page->m_spinBandGain[4].GetPos(), 250);
    EXPECT_EQ(page->m_spinFreq[4].GetPos(), 900);

    // Dragging a bypassed band makes the partners flat at 0 dB.
    Band(0, 4).SetBypass(1);
    page->SendMessage(UM_EQ_POINT_DRAGGED, 4, 0);
    EXPECT_EQ(Band(5, 4).IsFlat(), 1);

    // Notices naming no filter change nothing.
    const auto before = EqOf(Out(3));
    g_bOutChanged[0] = 0;
    for (WPARAM bad : {WPARAM(33), WPARAM(1000), WPARAM(-1)})
        page->SendMessage(UM_EQ_POINT_DRAGGED, bad, 0);
    EXPECT_EQ(EqOf(Out(3)), before);
    EXPECT_EQ(g_bOutChanged[0], 0);
}

TEST_F(OutputPageEq, ALoweredFrequencyGlidesDownOneOctaveAFrame) {
    g_nCurOutChannel = 7;
    page->ShowChannel();
    Band(7, 17).SetFreq(1000, 0);
    page->ShowChannel();
    SetOnline(1);
    Commit(page->m_spinFreq[17], 300);
    std::vector<int> sent;
    for (int i = 0; i < 10; ++i) {
        auto frame = data.SendNextDirtyBlock();
        ASSERT_TRUE(frame);
        const BYTE* bytes = frame->GetData();
        if (bytes[frame::kOffType] == DATA_OUTPUT && bytes[frame::kOffChannel] == 7 &&
            bytes[frame::kOffBlock] == 17)
            sent.push_back(bytes[frame::kOffPayload] | bytes[frame::kOffPayload + 1] << 8);
    }
    EXPECT_EQ(sent, (std::vector<int>{500, 300, 300}));
}

} // namespace
} // namespace pagetest
