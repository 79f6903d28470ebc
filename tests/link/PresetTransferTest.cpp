// The batches of whole presets: what each queues, in which order, how the
// frames are counted for the progress bars and which one ends the batch; and
// the resend of outputs after an equaliser reset or copy.  No thread runs:
// the queue is read as the communication thread would find it.

#include "tests/link/SyncFixture.h"

#include "model/DataDefine.h"
#include "model/Filter.h"

namespace {

using linktest::SyncView;

class PresetTransfer : public SyncView {
protected:
    void SetUp() override {
        SyncView::SetUp();
        ConnectWithoutThread();
    }

    // Positions of the counted frames, and which frames carry an end mark.
    struct Summary {
        int frames = 0;
        std::vector<int> positions;
        std::vector<int> endMarks;  // indexes of frames with notify-end
        std::vector<int> lastMarks; // indexes of frames with notify-last
    };
    static Summary Summarise(const std::vector<QueuedFrame>& frames) {
        Summary s;
        s.frames = int(frames.size());
        for (int i = 0; i < s.frames; ++i) {
            if (frames[i].counted)
                s.positions.push_back(frames[i].pos);
            if (frames[i].notifyEnd)
                s.endMarks.push_back(i);
            if (frames[i].notifyLast)
                s.lastMarks.push_back(i);
        }
        return s;
    }
    static std::vector<int> Range(int from, int to) {
        std::vector<int> r;
        for (int i = from; i <= to; ++i)
            r.push_back(i);
        return r;
    }
    static bool IsMasterFrame(const QueuedFrame& f, BYTE masterOn) {
        return f.type() == DATA_DEVICE_INFO && f.channel() == INFO_SYSTEM_DATA &&
               f.command() == frame::kCmdWrite && f.payload()[6] == masterOn;
    }
};

TEST_F(PresetTransfer, BatchesCountTheirFramesAndMarkTheirEnd) {
    struct Case {
        const char* name;
        std::function<void(CTALQ50View&)> start;
        int frames;
        std::vector<int> positions;
        int endMark;  // frame index, or -1
        int lastMark; // frame index, or -1
        int upper;
        int popupMode;
    };
    const Case cases[] = {
        {"all presets", [](CTALQ50View& v) { v.SendAllPresets(); }, 122, Range(0, 117), 119, -1, 118, 1},
        {"live data into slot 3", [](CTALQ50View& v) { v.SendPreset(3, 1); }, 19, Range(0, 18), 18, -1, 18,
         1},
        {"preset file into the live preset", [](CTALQ50View& v) { v.SendPreset(0, 0); }, 19, Range(0, 16), 17,
         -1, 16, 1},
        {"read all presets", [](CTALQ50View& v) { v.ReadAllPresets(); }, 96, Range(0, 95), -1, 95, 96, 1},
        {"read stored preset 2", [](CTALQ50View& v) { v.ReadPreset(2, 1); }, 19,
         [] {
             auto p = Range(0, 15);
             p.push_back(15); // the name after the last record shares its position
             return p;
         }(),
         -1, 16, 15, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        syncForm = {};
        g_bTransferBusy = 0;
        c.start(*view);
        const Summary s = Summarise(TakeQueue());
        EXPECT_EQ(s.frames, c.frames);
        EXPECT_EQ(s.positions, c.positions);
        EXPECT_EQ(s.endMarks, c.endMark < 0 ? std::vector<int>{} : std::vector<int>{c.endMark});
        EXPECT_EQ(s.lastMarks, c.lastMark < 0 ? std::vector<int>{} : std::vector<int>{c.lastMark});
        EXPECT_EQ(syncForm.popupUpper, c.upper);
        EXPECT_EQ(syncForm.popupMode, c.popupMode);
        EXPECT_EQ(g_bTransferBusy, 1);
    }
}

TEST_F(PresetTransfer, AllPresetsGoOutMutedInTheOrderTheProcessorExpects) {
    g_bMasterOn = 1;
    g_DeviceSettings.SystemData[3] = 40;
    g_DeviceSettings.SystemData[7] = 40;
    view->SendAllPresets();
    const auto frames = TakeQueue();
    ASSERT_EQ(frames.size(), 122u);

    EXPECT_TRUE(IsMasterFrame(frames[0], 0)) << "muted first";
    EXPECT_EQ(frames[1].channel(), INFO_SPEAKER_TYPES);
    EXPECT_EQ(frames[1].counted, 0);
    // Live records under preset byte 0, then per stored preset its name and records.
    for (int i = 0; i < 16; ++i) {
        const auto& f = frames[2 + i];
        EXPECT_EQ(f.preset(), 0);
        EXPECT_EQ(f.type(), i < 4 ? DATA_MUSIC_INPUT : DATA_OUTPUT);
        EXPECT_EQ(f.channel(), i < 4 ? i : i - 4);
    }
    for (int p = 1; p <= 6; ++p) {
        const std::size_t first = 18 + std::size_t(p - 1) * 17;
        EXPECT_EQ(frames[first].type(), DATA_DEVICE_INFO);
        EXPECT_EQ(frames[first].channel(), INFO_PRESET_NAME);
        EXPECT_EQ(frames[first].preset(), p);
        EXPECT_EQ(frames[first + 16].type(), DATA_OUTPUT);
        EXPECT_EQ(frames[first + 16].channel(), 11);
        EXPECT_EQ(frames[first + 16].preset(), p);
    }
    EXPECT_EQ(frames[120].channel(), INFO_INPUT_SETTINGS);
    EXPECT_TRUE(IsMasterFrame(frames[121], 1)) << "the last frame carries the master byte back";
    EXPECT_EQ(g_bMasterOn, 1);
}

TEST_F(PresetTransfer, LiveDataIntoASlotPacksTheModelAndNamesTheSlot) {
    model.GetOutput(4)->SetGain(123);
    view->SendPreset(3, 1);
    const auto frames = TakeQueue();
    ASSERT_EQ(frames.size(), 19u);
    EXPECT_EQ(frames[0].channel(), INFO_PRESET_NAME);
    EXPECT_EQ(frames[0].preset(), 3);
    EXPECT_EQ(frames[1].preset(), 0);
    EXPECT_EQ(frames[2].channel(), INFO_CURRENT_PRESET);
    EXPECT_EQ(frames[2].payload()[0], 3);
    const auto& output4 = frames[3 + 4 + 4];
    EXPECT_EQ(output4.preset(), 3);
    EXPECT_EQ(output4.channel(), 4);
    const BYTE* basic = output4.payload() + CKTV_OutData::kBasicBlock * kBlockSize;
    EXPECT_EQ(GetLe16(basic + 2), 123) << "the model was packed before the records were taken";
}

TEST_F(PresetTransfer, ReadingTheLivePresetContinuesTheConnectCount) {
    view->m_nFrameSeq = 12; // the device-information reads queued before
    view->ReadPreset(0, 1);
    const auto frames = TakeQueue();
    ASSERT_EQ(frames.size(), 16u);
    EXPECT_EQ(frames.front().pos, 12);
    EXPECT_EQ(frames.back().pos, 27);
    EXPECT_EQ(frames.back().notifyLast, 1);
    EXPECT_EQ(frames.back().block(), frame::kBlockStoredRecord);
    EXPECT_EQ(syncForm.popupUpper, 27);
    EXPECT_EQ(syncForm.barUpper, -1) << "only the popup's bar";
    EXPECT_EQ(syncForm.popupMode, 0);
    EXPECT_EQ(g_bOnline, 0) << "no changes are marked until the live data arrived";
}

TEST_F(PresetTransfer, WithoutALinkOnlyTheSlotWritesAndReadsSayTheConnectionFailed) {
    view->DisconnectUsb(); // as a real disconnect leaves it: no link mode
    struct Case {
        const char* name;
        std::function<void(CTALQ50View&)> run;
        bool message;
    };
    const Case cases[] = {
        {"all presets", [](CTALQ50View& v) { v.SendAllPresets(); }, false},
        {"live preset", [](CTALQ50View& v) { v.SendPreset(0, 0); }, false},
        {"slot 2", [](CTALQ50View& v) { v.SendPreset(2, 1); }, true},
        {"read all", [](CTALQ50View& v) { EXPECT_EQ(v.ReadAllPresets(), 0); }, true},
        {"read one", [](CTALQ50View& v) { v.ReadPreset(1, 1); }, true},
        {"output resend", [](CTALQ50View& v) { v.SendOutputChannel(1); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = boxes.Entries().size();
        c.run(*view);
        EXPECT_EQ(Queue().GetCommandCount(), 0);
        ASSERT_EQ(boxes.Entries().size() - before, c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(boxes.Entries().back().text, "Connection failure!"); // of the USB link used last
        }
        EXPECT_EQ(g_bTransferBusy, 0);
    }
}

TEST_F(PresetTransfer, ReadingAllPresetsNeedsAChosenFile) {
    syncForm.fileChosen = 0;
    EXPECT_EQ(view->ReadAllPresets(), 0);
    EXPECT_EQ(Queue().GetCommandCount(), 0);
    EXPECT_EQ(g_bTransferBusy, 0);
}

TEST_F(PresetTransfer, AnEqualiserResetCoversTheLinkGroupInsideOneMute) {
    struct Case {
        std::intptr_t group;
        std::vector<int> resent;
    };
    for (const Case& c : {Case{2, {3, 5, 8}}, Case{0, {3}}}) {
        SCOPED_TRACE(c.group);
        g_nCurOutChannel = 3;
        std::fill(std::begin(g_OutLinkTable), std::end(g_OutLinkTable), 0);
        for (int o : {3, 5, 8})
            g_OutLinkTable[1 + o] = c.group;
        g_OutLinkTable[1 + 9] = 7; // another group
        for (int o = 0; o < kOutputCount; ++o)
            model.GetOutput(o)->GetBand(4)->Reset(1234);
        g_bMasterOn = 1;
        syncForm.bandsRefreshed = 0;

        view->ResetOutputEq();
        const auto frames = TakeQueue();
        ASSERT_EQ(frames.size(), c.resent.size() + 2);
        EXPECT_TRUE(IsMasterFrame(frames.front(), 0));
        EXPECT_TRUE(IsMasterFrame(frames.back(), 1));
        for (std::size_t i = 0; i < c.resent.size(); ++i) {
            const auto& f = frames[1 + i];
            EXPECT_EQ(f.type(), DATA_OUTPUT);
            EXPECT_EQ(f.channel(), c.resent[i]);
            EXPECT_EQ(GetLe16(f.payload() + 4 * kBlockSize), g_OutBandTable[4])
                << "band 4 back at its default";
        }
        EXPECT_EQ(model.GetOutput(9)->GetBand(4)->GetFreq(), 1234) << "outputs outside the group keep theirs";
        EXPECT_EQ(syncForm.bandsRefreshed, 1);
    }
}

TEST_F(PresetTransfer, CopyingOntoATweeterKeepsItsCrossoverAudible) {
    struct Case {
        int type;
        int highPass, highSlope, lowPass;
        int expectHigh, expectSlope, expectLow;
    };
    const Case cases[] = {
        {7, 10, 2, 15, 20, 2, 20000},  // both below 20 Hz
        {7, 10, 2, 5000, 20, 2, 5000}, // a sound low-pass stays
        {1, 100, 8, 15, 100, 3, 15},   // high-pass switched off: slope 3; low-pass left as is
        {2, 10, 8, 15, 10, 8, 15},     // not a tweeter: copied as it is
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        g_SpkTypeState[kSpkTypeOutputBase + 6] = BYTE(c.type);
        CrossoverRecord crossover{};
        PutLe16(&crossover[0], unsigned(c.highPass));
        crossover[3] = BYTE(c.highSlope);
        PutLe16(&crossover[4], unsigned(c.lowPass));
        crossover[7] = 2;
        model.GetOutput(6)->SetCrossover(crossover.data());
        model.GetOutput(1)->GetBand(0)->Reset(77);

        view->CopyOutputChannel(1, 6);
        const CrossoverRecord after = model.GetOutput(6)->GetCrossover();
        EXPECT_EQ(GetLe16(&after[0]), c.expectHigh);
        EXPECT_EQ(after[3], c.expectSlope);
        EXPECT_EQ(GetLe16(&after[4]), c.expectLow);
        EXPECT_EQ(model.GetOutput(6)->GetBand(0)->GetFreq(), 77);

        const auto frames = TakeQueue();
        ASSERT_EQ(frames.size(), 3u);
        EXPECT_EQ(frames[1].channel(), 6);
        EXPECT_EQ(GetLe16(frames[1].payload()), 77) << "the target was packed before it was queued";
    }
}

TEST_F(PresetTransfer, AnOutputResendMutesItWithoutChangingTheModel) {
    CKTV_OutData* out = model.GetOutput(2);
    out->SetEnable(1);
    out->SetBasicDirty(0);
    view->SendOutputChannel(2);
    const auto frames = TakeQueue();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].block(), CKTV_OutData::kBasicBlock);
    EXPECT_EQ(frames[0].payload()[0], 0) << "muted";
    EXPECT_EQ(frames[1].bytes.size(), std::size_t(kOutputRecordSize) + frame::kOverhead);
    EXPECT_EQ(frames[1].payload()[CKTV_OutData::kBasicBlock * kBlockSize], 1);
    EXPECT_EQ(frames[2].payload()[0], 1) << "back on";
    EXPECT_EQ(out->GetEnable(), 1);
    EXPECT_EQ(out->GetBasicDirty(), 0);
}

} // namespace
