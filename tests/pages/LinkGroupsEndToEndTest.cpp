// Strips, phase dialog, mixer and noise gate against the simulated processor
// as an in-process USB device: what the windows change reaches the
// processor's memory through the queue and the change tracking.

#include "StripHost.h"

#include "model/DataDefine.h"
#include "model/Filter.h"
#include "pages/input/InputNoise.h"
#include "pages/input/MixInPutCom.h"
#include "pages/output/PhaseSettingDlg.h"
#include "tests/link/SyncFixture.h"

namespace pagestest {
namespace {

class PagesEndToEnd : public linktest::SyncView {
protected:
    void SetUp() override {
        SyncView::SetUp();
        static bool fontsMade = false;
        if (!fontsMade) {
            CreateSharedFonts();
            fontsMade = true;
        }
        g_menuSpkType.DestroyMenu();
        g_menuSpkType.LoadMenu(107);
        std::fill(std::begin(g_LastLinkGroup), std::end(g_LastLinkGroup), LastLinkGroup{});
        g_bLinkGroupForming = 0;
        g_nLinkGroupFounder = -1;
        data.PackToImage();
        m_pictures.AddDialog(StripHost::kTemplate, StripHostTemplate());
        m_host = std::make_unique<StripHost>();
        ASSERT_TRUE(m_host->Build(data));
        m_host->command = &view->GetKTVCommand();
    }
    void TearDown() override {
        m_host.reset();
        SyncView::TearDown();
    }
    void Online() {
        ConnectWithoutThread();
        g_bOnline = 1;
    }
    void Exchange(int steps) {
        for (int i = 0; i < steps; ++i)
            view->UsbDataStep();
        platform::PumpMessages();
    }
    // Group button clicks as the user makes them (a single click lands 200 ms later).
    void GroupClick(int output) {
        CBitButton& b = m_host->strips[output].m_btnGroup;
        platform::win::MouseInput(b.GetSafeHwnd(), WM_LBUTTONDOWN, {3, 3});
        platform::win::MouseInput(b.GetSafeHwnd(), WM_LBUTTONUP, {3, 3});
        clock->Advance(250);
        platform::PumpMessages();
        clock->Advance(600);
    }
    void Type(CWnd& edit, const char* text) {
        edit.SetFocus();
        edit.SendMessage(EM_SETSEL, 0, -1);
        for (const char* p = text; *p; ++p)
            platform::win::CharInput(UINT(static_cast<unsigned char>(*p)));
        platform::win::KeyInput(VK_RETURN);
        platform::PumpMessages();
    }
    // Everything the windows of this test change: a group of outputs 3 and
    // 5, phase words and a mix level of output 2, the noise threshold.
    void EditEverything(CPhaseSettingDlg& phase, CMixInPutCom& mixer, CInputNoise& noise) {
        GroupClick(3);
        GroupClick(5);
        phase.m_nOutput = 2;
        phase.m_pOutData = data.GetOutput(2);
        ASSERT_TRUE(phase.Create(CPhaseSettingDlg::IDD));
        Type(phase.m_editShift, "91");
        Type(phase.m_editFreq, "1000");
        platform::win::MouseInput(phase.m_btnPolarity.GetSafeHwnd(), WM_LBUTTONDOWN, {3, 3});
        platform::win::MouseInput(phase.m_btnPolarity.GetSafeHwnd(), WM_LBUTTONUP, {3, 3});
        mixer.m_pModel = &data;
        ASSERT_TRUE(mixer.Create(CMixInPutCom::IDD));
        Type(mixer.m_Panels[2].m_edit[6], "37");
        noise.m_pView = view.get();
        ASSERT_TRUE(noise.Create(CInputNoise::IDD));
        Type(noise.m_edit, "-60");
    }
    std::vector<sim::SimFrame> Writes() {
        std::vector<sim::SimFrame> writes;
        for (const auto& f : processor.Requests())
            if (f.command == frame::kCmdWrite)
                writes.push_back(f);
        return writes;
    }

    SolidPictures m_pictures;
    std::unique_ptr<StripHost> m_host;
};

TEST_F(PagesEndToEnd, WhatTheWindowsChangeReachesTheProcessor) {
    Online();
    CPhaseSettingDlg phase;
    CMixInPutCom mixer;
    CInputNoise noise;
    EditEverything(phase, mixer, noise);
    // The join queued the off-and-restore of both members at once.
    ASSERT_EQ(Queue().GetCommandCount(), 4);
    Exchange(40);

    const sim::SimMemory memory = processor.Memory();
    const BYTE* out2 = memory.live.data() + OutputRecordOffset(2);
    EXPECT_EQ(out2[272], 37); // row 7: level 9
    EXPECT_EQ(out2[282] | out2[283] << 8, 65);
    EXPECT_EQ(out2[284] | out2[285] << 8, 1000);
    EXPECT_EQ(out2[249], 1) << "the polarity in the basic block";
    for (int k = 0; k < kOutputCount; ++k)
        EXPECT_EQ(memory.live[OutputRecordOffset(k) + 287], k == 3 || k == 5 ? 1 : 0) << k;
    EXPECT_EQ(memory.settings.systemData[3], 60);
    EXPECT_EQ(memory.settings.systemData[7], 60);

    const auto writes = Writes();
    ASSERT_GE(writes.size(), 5u);
    // Off, off, then the saved states, each a block-31 frame of a member.
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(writes[i].type, DATA_OUTPUT);
        EXPECT_EQ(writes[i].block, 31);
        EXPECT_EQ(writes[i].channel, i % 2 ? 5 : 3);
        EXPECT_EQ(writes[i].payload[0], i < 2 ? 0 : 1) << i;
    }
    // The system data is picked before any changed block, and only once.
    EXPECT_EQ(writes[4].type, DATA_DEVICE_INFO);
    EXPECT_EQ(writes[4].channel, INFO_SYSTEM_DATA);
    EXPECT_EQ(std::count_if(writes.begin(), writes.end(),
                            [](const sim::SimFrame& f) {
                                return f.type == DATA_DEVICE_INFO && f.channel == INFO_SYSTEM_DATA;
                            }),
              1);

    // A member's band frame carries the link flag, another output's does not.
    data.GetOutput(3)->GetBand(4)->SetGainIndex(210);
    data.GetOutput(5)->GetBand(4)->SetGainIndex(190);
    data.GetOutput(7)->GetBand(4)->SetGainIndex(210);
    const std::size_t before = Writes().size();
    Exchange(8);
    const auto later = Writes();
    std::map<int, int> flags;
    for (std::size_t i = before; i < later.size(); ++i)
        if (later[i].type == DATA_OUTPUT && later[i].block == 4)
            flags[later[i].channel] = later[i].linkFlag;
    EXPECT_EQ(flags, (std::map<int, int>{{3, 1}, {5, 1}, {7, 0}}));
}

TEST_F(PagesEndToEnd, OfflineNothingIsQueued) {
    CPhaseSettingDlg phase;
    CMixInPutCom mixer;
    CInputNoise noise;
    EditEverything(phase, mixer, noise);
    EXPECT_EQ(Queue().GetCommandCount(), 0);
    EXPECT_EQ(g_bSysBlock5Pending, 0);
    EXPECT_EQ(data.GetOutput(2)->GetMixBDirty(), 0);
    EXPECT_EQ(data.GetOutput(2)->GetLimiterAttack(), 65); // in the model all the same
    EXPECT_EQ(data.GetOutput(2)->GetPolarity(), 1);
    EXPECT_EQ(g_DeviceImage[OutputRecordOffset(5) + 287], 1);
    EXPECT_TRUE(processor.Requests().empty());
}

} // namespace
} // namespace pagestest
