#include "ModelFixture.h"

#include "model/Filter.h"
#include "platform/sys/MessageBox.h"
#include "platform/sys/MessageWindow.h"
#include "platform/sys/UserMessages.h"

#include <cstring>
#include <functional>
#include <future>

namespace {

using Sequence = std::vector<std::string>;

class KTV_DataTest : public ModelFixture {
protected:
    CKTV_OutData& Out(int j) { return *m_model->GetOutput(j); }
    CMusic_InData& Music(int c) { return *m_model->GetMusicInput(c); }
};

// What is set before the picks, and the frames the picks return in order.
struct PickOrder {
    const char* what;
    std::function<void(CKTV_Data&)> set;
    Sequence picks;
};

TEST_F(KTV_DataTest, PickOrder) {
    const PickOrder cases[] = {
        {"nothing pending", [](CKTV_Data&) {}, {"poll", "poll"}},
        {"system requests before any block",
         [](CKTV_Data& m) {
             m.GetOutput(0)->SetGain(500);
             g_bPresetNamePending = 1;
             g_bSysBlock2Pending = 1;
             g_bSysBlock5Pending = 1;
         },
         {"sys 5", "sys 2", "sys 0", "out 0 b31", "poll"}},
        {"one block of one output per pick, fixed block order",
         [](CKTV_Data& m) {
             CKTV_OutData& out = *m.GetOutput(2);
             out.GetBand(30)->SetGainIndex(210);
             out.GetBand(4)->SetGainIndex(190);
             out.SetMixLevel(1, 50);   // mix A
             out.SetLimiterAttack(30); // limiter
             out.SetMixLevel(9, 50);   // mix B
             out.GetHighPass()->SetSlope(4, 1);
             out.SetDelay(48); // basic
             out.SetName("Door");
         },
         {"out 2 b36", "out 2 b31", "out 2 b32", "out 2 b34", "out 2 b35", "out 2 b33", "out 2 b4",
          "out 2 b30", "poll"}},
        {"outputs in index order, a band before the next output's gain",
         [](CKTV_Data& m) {
             m.GetOutput(1)->SetGain(300);
             m.GetOutput(0)->GetBand(7)->SetGainIndex(220);
         },
         {"out 0 b7", "out 1 b31", "poll"}},
        {"music inputs before outputs: main, threshold, then bands",
         [](CKTV_Data& m) {
             m.GetOutput(0)->SetGain(300);
             m.GetMusicInput(2)->SetThreshold(20);
             m.GetMusicInput(1)->GetBand(4)->SetGainIndex(230);
             m.GetMusicInput(1)->SetThreshold(30);
             m.GetMusicInput(1)->SetGain(500);
         },
         {"music 1 b31", "music 1 b33", "music 1 b4", "music 2 b33", "out 0 b31", "poll"}},
        {"the microphone and the effect are never picked",
         [](CKTV_Data& m) {
             m.GetMicInput(0)->SetName("Vox");
             m.GetMicInput(0)->GetBand(2)->SetGainIndex(250);
             m.GetEffectData()->SetChanged(1);
         },
         {"poll"}},
        {"no processor online: nothing becomes pending",
         [](CKTV_Data& m) {
             g_bOnline = 0;
             m.GetOutput(3)->SetGain(100);
             m.GetMusicInput(0)->SetGain(100);
             m.GetOutput(3)->GetBand(0)->SetFreq(5000, 1);
         },
         {"poll"}},
        {"discarded changes",
         [](CKTV_Data& m) {
             m.GetOutput(3)->SetGain(100);
             m.GetMusicInput(0)->SetThreshold(10);
             m.GetOutput(5)->GetBand(2)->SetGainIndex(100);
             g_bSysBlock2Pending = 1;
             m.SetAllDirty(0);
         },
         {"poll"}},
    };
    for (const PickOrder& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.set(*m_model);
        EXPECT_EQ(Picks(int(c.picks.size())), c.picks);
        EXPECT_EQ(g_bSysBlock2Pending, 0);
        TearDown();
    }
}

TEST_F(KTV_DataTest, PickedBlockIsPackedIntoTheLiveImage) {
    Out(4).SetGain(321);
    auto frame = m_model->SendNextDirtyBlock();
    ASSERT_EQ(Describe(*frame), "out 4 b31");
    EXPECT_EQ(PayloadWord(*frame, 2), 321);
    const BYTE* block = g_DeviceImage + OutputRecordOffset(4) + 31 * kBlockSize;
    EXPECT_EQ(std::memcmp(block, frame->GetData() + frame::kOffPayload, kBlockSize), 0);
    EXPECT_EQ(g_bNameCheckPending, 1);
}

// A band moved by several octaves goes out one octave per pick, then once
// more when it arrived.
TEST_F(KTV_DataTest, OctaveGlide) {
    struct Glide {
        int from, to;
        std::vector<int> sent;
    } cases[] = {
        {100, 1600, {200, 400, 800, 1600, 1600}},
        {1600, 100, {800, 400, 200, 100, 100}},
        {1000, 1500, {1500}},
        {1000, 1000, {1000}},
    };
    for (const Glide& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
        CFilter& band = *Music(3).GetBand(9);
        band.SetFreq(c.from, 0);
        band.SetFreq(c.to, 1);
        band.SetGainIndex(150);
        std::vector<int> sent;
        for (auto picks = m_model->SendNextDirtyBlock(); Describe(*picks) != "poll";
             picks = m_model->SendNextDirtyBlock()) {
            ASSERT_EQ(Describe(*picks), "music 3 b9");
            sent.push_back(PayloadWord(*picks, 0));
            ASSERT_LE(sent.size(), 10u);
        }
        EXPECT_EQ(sent, c.sent);
    }
}

// The name check once the loaded live data were edited: every step one name
// frame and at most one notice; the view answers each notice by asking for
// the name write, which makes the live preset current.
TEST_F(KTV_DataTest, PresetNameCheck) {
    struct Step {
        const char* pick;
        int notices;
        const char* name; // the live image's name field after the pick
        int current;
        const char* shown;
    };
    struct Scenario {
        const char* name;
        int current;
        const char* shown;
        std::vector<Step> steps;
    } scenarios[] = {
        {"Preset A",
         3,
         "Preset A",
         {
             {"out 2 b31", 0, "Preset A", 3, "Preset A"},
             {"sys 0", 1, "Custom", 3, "Preset A"}, // renamed
             {"sys 0", 0, "Custom", 0, "Preset A"}, // the view's name write makes it current
             {"sys 0", 1, "Custom", 0, "Custom"},   // the shown name follows
             {"sys 0", 0, "Custom", 0, "Custom"},
             {"poll", 0, "Custom", 0, "Custom"},
             {"poll", 0, "Custom", 0, "Custom"},
         }},
        {"Custom",
         4,
         "Custom",
         {
             {"out 2 b31", 0, "Custom", 4, "Custom"},
             {"sys 0", 1, "Custom", 4, "Custom"}, // a stored preset named "Custom" is current
             {"sys 0", 0, "Custom", 0, "Custom"},
             {"poll", 0, "Custom", 0, "Custom"},
         }},
    };
    platform::MessageWindow view;
    view.SetHandler([](const platform::MessageWindow::Message& m) {
        if (m.message == UM_PRESET_NAME_CHANGED)
            g_bPresetNamePending = 1;
        return LRESULT(0);
    });
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        SetUp();
        g_pNotifyView = view.GetSafeHwnd();
        StringToBytesZ(g_DeviceImage, kPresetNameSize, scenario.name);
        g_DeviceSettings.CurrentPreset[0] = BYTE(scenario.current);
        SetShownPresetName(scenario.shown);
        Out(2).SetGain(300);
        for (const Step& s : scenario.steps) {
            SCOPED_TRACE(s.pick);
            auto frame = m_model->SendNextDirtyBlock();
            EXPECT_EQ(Describe(*frame), s.pick);
            EXPECT_EQ(int(view.TakeMessages().size()), s.notices);
            EXPECT_EQ(BytesToString(g_DeviceImage, kPresetNameSize), s.name);
            EXPECT_EQ(g_DeviceSettings.CurrentPreset[0], s.current);
            EXPECT_EQ(GetShownPresetName(), s.shown);
        }
        EXPECT_EQ(m_model->GetDeviceName(), "Custom");
        EXPECT_EQ(g_bNameCheckPending, 1); // only the view clears it
        TearDown();
    }
}

TEST_F(KTV_DataTest, StatusPollFrame) {
    auto frame = m_model->SendNextDirtyBlock();
    ASSERT_EQ(frame->GetLength(), 24);
    const BYTE* d = frame->GetData();
    const std::vector<BYTE> header(d, d + frame::kHeaderSize);
    EXPECT_EQ(header, (std::vector<BYTE>{0x5C, 0x5C, 0x5C, 0xEE, 0xA2, 1, 0, 9, 3, 0, 0, 0, 8, 0}));
    EXPECT_EQ(g_bNameCheckPending, 0);
}

TEST_F(KTV_DataTest, LinkTable) {
    // A number outside 1..12 (from a file or the processor) is no group in
    // the table and stays in the image.
    struct Case {
        std::vector<std::pair<int, BYTE>> tags; // output, image byte 287
        int active;
        std::vector<int> numbers; // the table's number of each tagged output
    } cases[] = {
        {{}, 0, {}},
        {{{4, 3}, {5, 3}}, 1, {3, 3}},
        {{{0, 0x05}, {2, 0x05}, {1, 0x02}}, 0, {5, 5, 2}},
        {{{10, 12}, {11, 12}}, 1, {12, 12}},
        {{{3, 9}, {4, 8}}, 0, {9, 8}},
        {{{4, 0x30}, {5, 0x30}}, 0, {0, 0}},
        {{{6, 13}, {7, 13}, {8, 255}}, 0, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < kOutputCount; ++i)
            g_DeviceImage[OutputRecordOffset(i) + 287] = 0;
        for (auto [output, tag] : c.tags)
            g_DeviceImage[OutputRecordOffset(output) + 287] = tag;
        g_bOutChanged[2] = 1;
        g_bLinkGroupUsed[11] = 1;
        g_nLinkGroupSize[4] = 2;
        g_nLinkGroupMask[0] = 0x88;
        m_model->InitLinkTable();
        EXPECT_EQ(g_OutLinkTable[0], c.active);
        for (size_t t = 0; t < c.tags.size(); ++t) {
            EXPECT_EQ(g_OutLinkTable[1 + c.tags[t].first], c.numbers[t]);
            EXPECT_EQ(g_DeviceImage[OutputRecordOffset(c.tags[t].first) + 287], c.tags[t].second);
        }
        EXPECT_EQ(g_bOutChanged[2], 0);
        EXPECT_EQ(g_bLinkGroupUsed[11], 0);
        EXPECT_EQ(g_nLinkGroupSize[4], 0);
        EXPECT_EQ(g_nLinkGroupMask[0], 0);
    }
    for (int i = 0; i < kOutputCount; ++i)
        EXPECT_EQ(g_OutLinkTable[13 + i], reinterpret_cast<std::intptr_t>(m_model->GetOutput(i)));
}

TEST_F(KTV_DataTest, LoadFromImageAndPackBack) {
    // Every band shaped, so the loaded responses are not trivially flat.
    for (int j = 0; j < kOutputCount; ++j)
        for (int k = 0; k < 31; ++k) {
            Out(j).GetBand(k)->SetGainIndex(100 + 5 * k + j);
            Out(j).GetBand(k)->SetType(k % 3);
        }
    Music(1).GetBand(3)->SetGainIndex(300);
    m_model->GetOutput(6)->SetGain(123);
    m_model->PackToImage();
    std::vector<BYTE> image(g_DeviceImage, g_DeviceImage + kDeviceImageSize);
    image[kSystemRecordOffset + 128] = 77; // effect group A, first value

    CKTV_Data loaded;
    loaded.LoadFromImage(image.data(), -1);
    EXPECT_NE(loaded.GetEffectData()->GetA1(), 77);
    loaded.LoadFromImage(image.data(), 6);
    EXPECT_EQ(loaded.GetEffectData()->GetA1(), 77);
    EXPECT_EQ(loaded.GetOutput(6)->GetGain(), 123);

    // The responses are the ones of filters set one value at a time.
    CKTV_OutData reference;
    reference.CreateEQ(30, 32, 12, 20, 20000);
    for (int j = 0; j < kOutputCount; ++j) {
        reference.LoadFromRecord(image.data() + OutputRecordOffset(j));
        for (int k = 0; k < reference.GetEQ().GetSize(); ++k)
            ASSERT_EQ(std::memcmp(loaded.GetOutput(j)->GetBand(k)->GetResponse(),
                                  reference.GetBand(k)->GetResponse(), sizeof(double) * kFreqSteps),
                      0)
                << "output " << j << " filter " << k;
    }

    loaded.PackToImage();
    EXPECT_EQ(std::vector<BYTE>(g_DeviceImage, g_DeviceImage + kDeviceImageSize), image);
}

TEST_F(KTV_DataTest, SaveCrossoverTableTakesTheSentFrequencies) {
    Out(7).GetHighPass()->SetFreq(50, 0);
    Out(7).GetHighPass()->SetFreq(400, 1); // still gliding: 50 sent
    Out(7).GetLowPass()->SetFamily(2, 1);
    m_model->SaveCrossoverTable();
    for (int i = 0; i < kOutputCount; ++i) {
        const auto record = Out(i).GetCrossover();
        EXPECT_EQ(std::vector<BYTE>(g_CrossoverTable[i], g_CrossoverTable[i] + 8),
                  std::vector<BYTE>(record.begin(), record.end()));
    }
    EXPECT_EQ(g_CrossoverTable[7][0] | (g_CrossoverTable[7][1] << 8), 50);
    EXPECT_EQ(g_CrossoverTable[7][6], 2);
}

} // namespace

namespace {

// Answers every box after looking, from another thread, whether the model
// and send locks are free: a handler run by the box's message loop may take
// them, and would wait forever on the thread that shows the box.
class LockProbeBox final : public platform::MessageBoxHandler {
public:
    LockProbeBox() { m_previous = platform::SetMessageBoxHandler(this); }
    ~LockProbeBox() override { platform::SetMessageBoxHandler(m_previous); }
    int Show(const CString&, UINT, int) override {
        ++shown;
        const bool free = std::async(std::launch::async, [] {
                              const bool send = g_csSend.try_lock();
                              if (send)
                                  g_csSend.unlock();
                              const bool model = g_csModel.try_lock();
                              if (model)
                                  g_csModel.unlock();
                              return send && model;
                          }).get();
        if (!free)
            ++shownUnderLock;
        return IDOK;
    }
    int shown = 0;
    int shownUnderLock = 0;

private:
    platform::MessageBoxHandler* m_previous = nullptr;
};

TEST_F(KTV_DataTest, NameLengthMessageIsShownWithNoLockHeld) {
    const struct {
        const char* what;
        std::function<void(CKTV_Data&)> act;
        int boxes;
    } cases[] = {
        {"output name", [](CKTV_Data& m) { m.GetOutput(3)->SetName("Output 12"); }, 1},
        {"packing music and microphone names",
         [](CKTV_Data& m) {
             m.GetMusicInput(1)->SetName("Music 123");
             m.GetMusicInput(2)->SetName("Music 456");
             std::memcpy(g_DeviceImage + kMicRecordOffset + 104, "Mic12345", 8);
             m.GetMicInput(0)->LoadFromDevice(g_DeviceImage + kMicRecordOffset);
             m.PackToImage();
         },
         3},
    };
    const CString outputName = m_model->GetOutput(3)->GetName();
    const CString musicName = BytesToString(g_DeviceImage + MusicRecordOffset(1) + 280, 8);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LockProbeBox box;
        c.act(*m_model);
        EXPECT_EQ(box.shown, c.boxes);
        EXPECT_EQ(box.shownUnderLock, 0);
    }
    // What did not fit was not stored.
    EXPECT_EQ(m_model->GetOutput(3)->GetName(), outputName);
    EXPECT_EQ(BytesToString(g_DeviceImage + MusicRecordOffset(1) + 280, 8), musicName);
}

} // namespace
