// The output map as the main form runs it: the strips' captions and select
// latches, the mix of every output in image and model, the speaker types,
// crossovers and the batch, after Emptied, Default or Cancel.

#include "link/KTVCommand.h"
#include "model/FrameFormat.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/SpkType.h"
#include "pages/output/OutputPositions.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/Input.h"
#include "tests/app/AppFixture.h"

#include <QTimer>

#include <array>
#include <cstring>

namespace {

using apptest::AppFixture;

class OutputMapForm : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        // Outputs 1 and 3 hold types, output 2 is current; every mix level
        // is a value no speaker type uses.
        for (auto [output, type] : {std::pair{0, 3}, std::pair{2, 9}})
            View()->SendMessage(UM_SPEAKER_TYPE_SELECTED, WPARAM(output), type);
        for (int k = 0; k < kOutputCount; ++k) {
            std::memset(g_DeviceImage + OutputRecordOffset(k) + 264, 77, 18);
            for (int n = 1; n <= 18; ++n)
                Out(k)->SetMixLevel(n, 77);
        }
        View()->SendMessage(UM_SELECT_OUTPUT, 1, 0);
        Drain();
    }
    CKTV_OutData* Out(int i) { return View()->m_pData->GetOutput(i); }
    COutputDlg& Page() { return View()->GetOutputPage(); }
    std::vector<std::vector<BYTE>> Drain() {
        std::vector<std::vector<BYTE>> frames;
        std::lock_guard lock(g_csSend);
        CKTVCommand& queue = View()->GetLink().GetKTVCommand();
        while (CSendData* head = queue.GetCurrentCommand()) {
            frames.emplace_back(head->GetData(), head->GetData() + head->GetLength());
            queue.PopCommand();
        }
        return frames;
    }
    void RunOutputMap(int button) {
        QTimer::singleShot(0, [button] {
            CWnd* prompt = CWnd::GetFocus() ? CWnd::GetFocus()->GetParent() : nullptr;
            ASSERT_NE(prompt, nullptr);
            prompt->SendMessage(WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        });
        View()->SendMessage(WM_COMMAND, MAKEWPARAM(1415, BN_CLICKED), 0);
    }
    static std::array<BYTE, 18> ImageLevels(int output) {
        std::array<BYTE, 18> levels{};
        std::memcpy(levels.data(), g_DeviceImage + OutputRecordOffset(output) + 264, levels.size());
        return levels;
    }
    void ExpectMixOfType(int output, bool changed) {
        const auto image = ImageLevels(output);
        for (int n = 1; n <= 18; ++n) {
            EXPECT_EQ(Out(output)->GetMixLevel(n), image[std::size_t(n - 1)]) << output << " level " << n;
            // A type sets levels 1..16; 17 and 18 stay the user's.
            if (changed && n <= 16)
                EXPECT_NE(image[std::size_t(n - 1)], 77) << output << " level " << n;
            else
                EXPECT_EQ(image[std::size_t(n - 1)], 77) << output << " level " << n;
        }
    }
};

TEST_F(OutputMapForm, EmptiedClearsEveryOutputAndLatchesOnlyTheCurrentStrip) {
    for (int connected : {0, 1}) {
        View()->GetLink().m_bConnected = connected;
        RunOutputMap(IDOK);
        const auto frames = Drain();
        View()->GetLink().m_bConnected = 0;
        for (int k = 0; k < kOutputCount; ++k) {
            EXPECT_EQ(g_SpkTypeState[kSpkTypeOutputBase + k], 0) << k;
            EXPECT_EQ(g_DeviceSettings.SpeakerTypes[k], 0) << k;
            EXPECT_EQ(Out(k)->GetCrossover(), CKTV_OutData::DefaultCrossover(0)) << k;
            EXPECT_EQ(View()->GetStrip(k).m_btnType.GetWindowText(), "NULL") << k;
            EXPECT_EQ(View()->IsSelectLatched(k), k == 1) << k;
            ExpectMixOfType(k, true);
        }
        for (int t = 1; t <= 24; ++t)
            EXPECT_FALSE(Page().PositionButton(t)->IsWindowVisible()) << t;
        EXPECT_EQ(g_nCurOutChannel, 1);
        EXPECT_EQ(frames.size(), connected ? 1u + 1u + 12u + 24u + 1u : 0u);
    }
}

TEST_F(OutputMapForm, DefaultRestoresTheFactoryMap) {
    RunOutputMap(2768);
    const int factory[kOutputCount] = {1, 7, 5, 11, 15, 18, 21, 24, 0, 0, 0, 0};
    for (int k = 0; k < kOutputCount; ++k) {
        EXPECT_EQ(g_SpkTypeState[kSpkTypeOutputBase + k], factory[k]) << k;
        EXPECT_EQ(Out(k)->GetCrossover(), CKTV_OutData::DefaultCrossover(factory[k])) << k;
        EXPECT_EQ(View()->IsSelectLatched(k), k == 1) << k;
        ExpectMixOfType(k, true);
    }
    EXPECT_EQ(View()->GetStrip(1).m_btnType.GetWindowText(), "FR-Tweeter");
    EXPECT_TRUE(Page().PositionButton(7)->GetChecked()) << "the current output's position";
    EXPECT_FALSE(Page().PositionButton(1)->GetChecked());
    EXPECT_TRUE(Drain().empty()) << "offline nothing is queued";
}

// The plan tells the link's handle, which hands the choice to the form.
TEST_F(OutputMapForm, APositionClickedOnThePlanSelectsItsOutputInTheForm) {
    CWnd& place = *Page().PositionButton(3); // output 1's
    ASSERT_TRUE(place.IsWindowVisible());
    platform::win::MouseInput(place.GetSafeHwnd(), WM_LBUTTONDOWN, {4, 4});
    platform::win::MouseInput(place.GetSafeHwnd(), WM_LBUTTONUP, {4, 4});
    platform::win::MouseLeftWindows();
    Pump();
    EXPECT_EQ(g_nCurOutChannel, 0);
    EXPECT_TRUE(View()->IsSelectLatched(0));
    EXPECT_FALSE(View()->IsSelectLatched(1));
}

TEST_F(OutputMapForm, CancelChangesNothing) {
    View()->GetLink().m_bConnected = 1;
    RunOutputMap(IDCANCEL);
    EXPECT_TRUE(Drain().empty());
    View()->GetLink().m_bConnected = 0;
    EXPECT_EQ(g_SpkTypeState[kSpkTypeOutputBase + 0], 3);
    EXPECT_EQ(g_SpkTypeState[kSpkTypeOutputBase + 2], 9);
    EXPECT_EQ(Out(2)->GetCrossover(), CKTV_OutData::DefaultCrossover(9));
    EXPECT_TRUE(Page().PositionButton(3)->IsWindowVisible());
    for (int k = 0; k < kOutputCount; ++k)
        ExpectMixOfType(k, false);
}

} // namespace
