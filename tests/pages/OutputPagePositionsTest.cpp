// The speaker-position plan and the output-map command of the output page.

#include "OutputPageFixture.h"

#include "model/SpkType.h"
#include "pages/output/OutputPositions.h"
#include "platform/sys/UserMessages.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace pagetest {
namespace {

class OutputPagePositions : public OutputPage {
protected:
    void SetUp() override {
        OutputPage::SetUp();
        SetTypes({1, 7, 5, 11, 15, 18, 21, 24, 0, 0, 0, 0});
    }
    void SetTypes(std::array<int, kOutputCount> types) {
        SpkType_ResetStates();
        for (int k = 0; k < kOutputCount; ++k) {
            g_SpkTypeState[kSpkTypeOutputBase + k] = BYTE(types[k]);
            g_DeviceSettings.SpeakerTypes[k] = BYTE(types[k]);
            Out(k).SetSpeakerTypeDefaults(types[k]);
        }
        SpkType_RebuildStates();
        page->RefreshPage();
    }
    CBtnPng& ButtonOf(int type) { return *page->PositionButton(type); }
    void Click(int type) { Command(int(kPositionButtonOfType[type])); }
    size_t Selections() {
        const auto messages = view->TakeMessages();
        return size_t(std::count(messages.begin(), messages.end(), UM_SELECT_OUTPUT));
    }
    // Answers the output-map prompt as soon as it shows.
    void AnswerPrompt(int button) {
        QTimer::singleShot(0, [button] {
            CWnd* focus = CWnd::GetFocus();
            ASSERT_NE(focus, nullptr);
            CWnd* prompt = focus->GetParent();
            if (button == 0)
                prompt->SendMessage(WM_CLOSE);
            else
                prompt->SendMessage(WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        });
    }
};

TEST_F(OutputPagePositions, ClicksFollowTheCurrentOutput) {
    // Output 1 is current; its button (FL-Tweeter) carries the mark.
    EXPECT_TRUE(ButtonOf(1).GetChecked());
    const struct {
        int type;       // the button clicked
        int setCurrent; // -1, or an output made current behind the page's back first
        int current;    // after the click
        size_t posted;  // UM_SELECT_OUTPUT posted
    } cases[] = {
        {1, -1, 0, 0},                 // the mark of the shown output: nothing
        {7, -1, 1, 1},                 // another output
        {24, -1, 7, 1},                // the subwoofer
        {24, -1, 7, 0}, {21, 2, 6, 1}, // a stale mark no longer blocks a click
        {24, 3, 7, 1},                 // not even on the subwoofer
        {21, -1, 6, 1}, {21, 6, 6, 0}, // C-Full of the current output
    };
    for (const auto& c : cases) {
        if (c.setCurrent >= 0) {
            g_nCurOutChannel = c.setCurrent;
            page->ShowChannel();
        }
        view->TakeMessages();
        Click(c.type);
        EXPECT_EQ(g_nCurOutChannel, c.current) << "type " << c.type;
        EXPECT_EQ(Selections(), c.posted) << "type " << c.type;
        for (int t = 1; t <= 24; ++t) {
            if (page->PositionButton(t)->IsWindowVisible()) {
                EXPECT_EQ(ButtonOf(t).GetChecked(), t == g_SpkTypeState[kSpkTypeOutputBase + c.current])
                    << "after type " << c.type << ", button of type " << t;
            }
        }
    }
}

TEST_F(OutputPagePositions, TheRefreshPlacesOutputsOneToEight) {
    SetTypes({1, 2, 2, 0, 2, 22, 23, 0, 24, 0, 0, 0});
    EXPECT_EQ(ButtonOf(2).GetTag(), 4) << "the higher-numbered output keeps the button";
    EXPECT_FALSE(ButtonOf(24).IsWindowVisible()) << "outputs 9 to 12 have no place";
    EXPECT_TRUE(ButtonOf(22).IsWindowVisible());
    EXPECT_EQ(ButtonOf(23).GetTag(), 6);
}

TEST_F(OutputPagePositions, EmptiedClearsEveryOutputAndQueuesOneBatch) {
    ConnectWithoutThread();
    g_nCurOutChannel = 2;
    page->ShowChannel();
    Out(2).SetMixLevel(3, 11);
    AnswerPrompt(IDOK);
    page->OnOutputMap();
    for (int k = 0; k < kOutputCount; ++k) {
        EXPECT_EQ(g_SpkTypeState[kSpkTypeOutputBase + k], 0) << k;
        EXPECT_EQ(g_DeviceSettings.SpeakerTypes[k], 0) << k;
        EXPECT_EQ(Out(k).GetSpeakerType(), 0) << k;
        EXPECT_EQ(Out(k).GetCrossover(), CKTV_OutData::DefaultCrossover(0)) << k;
    }
    for (int t = 1; t <= 24; ++t)
        EXPECT_FALSE(ButtonOf(t).IsWindowVisible()) << t;
    EXPECT_EQ(g_nCurOutChannel, 2);
    EXPECT_EQ(page->m_spinHighFreq.GetPos(), 20);
    EXPECT_EQ(page->m_spinLowFreq.GetPos(), 20000);
    // The form: a caption and the type-0 mix per output, then the latches.
    std::vector<RecordingOutputForm::Call> expected;
    for (int k = 0; k < kOutputCount; ++k) {
        expected.push_back({"caption", k, 0});
        expected.push_back({"mix", k, 0});
    }
    for (int k = 0; k < kOutputCount; ++k)
        expected.push_back({"latch", k, k == 2 ? 1 : 0});
    EXPECT_EQ(outputForm.calls, expected);
    // One batch: muted, speaker types, twelve crossovers, twelve mixes, unmuted.
    const auto frames = TakeQueue();
    ASSERT_EQ(frames.size(), 1u + 1u + 12u + 24u + 1u);
    EXPECT_EQ(frames[1].channel(), INFO_SPEAKER_TYPES);
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(frames[2 + k].block(), CKTV_OutData::kCrossoverBlock);
        EXPECT_EQ(frames[2 + k].channel(), k);
    }
    EXPECT_EQ(frames[14].block(), CKTV_OutData::kMixABlock);
}

TEST_F(OutputPagePositions, DefaultRestoresTheFactoryTypes) {
    SetTypes({0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0});
    g_nCurOutChannel = 3;
    page->ShowChannel();
    AnswerPrompt(2768);
    page->OnOutputMap();
    const int factory[kOutputCount] = {1, 7, 5, 11, 15, 18, 21, 24, 0, 0, 0, 0};
    for (int k = 0; k < kOutputCount; ++k) {
        EXPECT_EQ(g_SpkTypeState[kSpkTypeOutputBase + k], factory[k]) << k;
        EXPECT_EQ(g_DeviceSettings.SpeakerTypes[k], factory[k]) << k;
        EXPECT_EQ(Out(k).GetCrossover(), CKTV_OutData::DefaultCrossover(factory[k])) << k;
    }
    const int shown[8] = {4605, 4611, 4607, 4613, 4619, 4620, 4602, 4623};
    for (int k = 0; k < 8; ++k) {
        CBtnPng* b = page->PositionButton(factory[k]);
        EXPECT_EQ(kPositionButtonOfType[factory[k]], UINT(shown[k]));
        EXPECT_TRUE(b->IsWindowVisible()) << k;
        EXPECT_EQ(b->GetTag(), k);
        EXPECT_EQ(b->GetChecked(), k == 3) << k;
    }
    EXPECT_EQ(page->m_spinHighFreq.GetPos(), 80) << "the crossover of FR-M && WF";
    EXPECT_EQ(page->m_spinLowFreq.GetPos(), 4000);
    EXPECT_TRUE(TakeQueue().empty()) << "offline nothing is queued";
}

TEST_F(OutputPagePositions, CancelAndTheCloseBoxChangeNothing) {
    ConnectWithoutThread();
    for (int answer : {IDCANCEL, 0}) {
        AnswerPrompt(answer);
        page->OnOutputMap();
        EXPECT_EQ(g_SpkTypeState[kSpkTypeOutputBase + 0], 1);
        EXPECT_EQ(Out(0).GetSpeakerType(), 1);
        EXPECT_TRUE(ButtonOf(1).IsWindowVisible());
        EXPECT_TRUE(outputForm.calls.empty());
        EXPECT_TRUE(TakeQueue().empty());
    }
}

} // namespace
} // namespace pagetest
