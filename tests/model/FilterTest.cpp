#include "FilterFixture.h"

#include "model/FilterSliderLink.h"
#include "platform/sys/Archive.h"

#include <gmock/gmock.h>

#include <cstring>
#include <functional>
#include <sstream>
#include <vector>

namespace {

class FilterState : public FilterFixture {};

// The frequencies the change tracking packs, one per pick, until the
// filter's flag clears.
std::vector<int> SentUntilClear(CFilter& f) {
    std::vector<int> sent;
    for (int pick = 0; pick < 20 && f.IsChanged(); ++pick) {
        f.StepSentFreq(0);
        sent.push_back(f.GetSentFreq());
    }
    return sent;
}

TEST_F(FilterState, FrequencyGlidesOneOctavePerPick) {
    struct Case {
        const char* name;
        bool band;
        int online;
        int from;
        int to;
        std::vector<int> sent;
    };
    const Case cases[] = {
        {"band up within an octave", true, 1, 1000, 1500, {1500}},
        {"band down over an octave", true, 1, 1000, 300, {500, 300, 300}},
        {"band 20 to 1000", true, 1, 20, 1000, {40, 80, 160, 320, 640, 1000, 1000}},
        {"band 1000 to 20", true, 1, 1000, 20, {500, 250, 125, 62, 31, 20, 20}},
        {"band down within an octave", true, 1, 1000, 600, {600}},
        {"crossover down within an octave", false, 1, 1000, 800, {800, 800}},
        {"crossover up within an octave", false, 1, 1000, 1500, {1500}},
        {"crossover up over an octave", false, 1, 1000, 3000, {2000, 3000, 3000}},
        {"band offline", true, 0, 1000, 300, {}},
        {"crossover offline", false, 0, 1000, 3000, {}},
    };
    for (const auto& c : cases) {
        g_bOnline = 0;
        CFilter f;
        f.SetHandlesMode(c.band ? 1 : 0);
        f.SetFreq(c.from, 0);
        g_bOnline = c.online;
        f.SetFreq(c.to, 1);
        EXPECT_EQ(SentUntilClear(f), c.sent) << c.name;
        EXPECT_EQ(f.GetFreq(), c.to) << c.name;
        EXPECT_EQ(f.GetSentFreq(), c.to) << c.name;
        EXPECT_FALSE(f.IsChanged()) << c.name;
    }
}

// Loaded records can carry a frequency of 0 or, read back signed, below 0:
// the step sends the target as it is and never divides.
TEST_F(FilterState, GlideStepWithoutAnOctaveToStepAlong) {
    struct Case {
        int target;
        int sent;
        int keep;
        int newSent;
        int changed;
    };
    const Case cases[] = {
        {1000, 0, 0, 1000, 1},  {1000, -5, 0, 1000, 1},   {0, 20, 0, 0, 1},         {-20, 1000, 0, -20, 1},
        {0, 0, 1, 0, 1},        {0, 0, 0, 0, 0},          {1000, 1000, 1, 1000, 1}, {1000, 1000, 0, 1000, 0},
        {1000, 400, 0, 800, 1}, {1000, 2500, 0, 1250, 1},
    };
    for (const auto& c : cases) {
        CFilter f;
        f.SetFreq(c.target, 0);
        f.SetSentFreq(c.sent);
        f.StepSentFreq(c.keep);
        EXPECT_EQ(f.GetSentFreq(), c.newSent) << c.target << " from " << c.sent;
        EXPECT_EQ(f.IsChanged(), c.changed) << c.target << " from " << c.sent;
    }
}

TEST_F(FilterState, SettersMarkOnlyWhileOnline) {
    const std::function<void(CFilter&)> edits[] = {
        [](CFilter& f) { f.SetFreq(2000, 1); },
        [](CFilter& f) { f.SetGainIndex(230); },
        [](CFilter& f) { f.SetBandwidthIndex(100); },
        [](CFilter& f) { f.SetSlope(1, 1); },
        [](CFilter& f) { f.SetFamily(1, 1); },
        [](CFilter& f) { f.SetType(CFilter::LowShelf); },
        [](CFilter& f) { f.SetFlat(0); },
    };
    for (int online : {0, 1}) {
        int i = 0;
        for (const auto& edit : edits) {
            g_bOnline = 0;
            CFilter f;
            f.SetFreq(1000, 0);
            f.SetGainIndex(260);
            f.SetFlat(1);
            g_bOnline = online;
            edit(f);
            EXPECT_EQ(f.IsChanged(), online) << "edit " << i;
            ++i;
        }
    }
    g_bOnline = 1;
    CFilter f;
    f.SetSlope(1, 0);
    f.SetFamily(2, 0);
    f.SetFreq(3000, 0);
    f.SetBypass(1);
    f.Reset(500);
    EXPECT_FALSE(f.IsChanged());
    f.SetType(CFilter::LowPass);
    EXPECT_TRUE(f.IsChanged());
    EXPECT_EQ(f.GetSentFreq(), 20000);
}

TEST_F(FilterState, FlatAndBypassRules) {
    struct Case {
        const char* name;
        int gainIndex;
        int bypass;
        std::function<void(CFilter&)> op;
        int flat;
        int bypassed;
        int changed;
        int gainIndexAfter;
    };
    const Case cases[] = {
        {"gain 0 dB makes flat", 260, 0, [](CFilter& f) { f.SetGainIndex(200); }, 1, 0, 1, 200},
        {"gain clears flat and bypass", 200, 1, [](CFilter& f) { f.SetGainIndex(230); }, 0, 0, 1, 230},
        {"bypassed band packs 0 dB", 260, 1, [](CFilter&) {}, 0, 1, 0, 200},
        {"flat over bypass", 260, 1, [](CFilter& f) { f.SetFlat(1); }, 1, 0, 1, 200},
        {"unflat over bypass", 260, 1, [](CFilter& f) { f.SetFlat(0); }, 0, 0, 1, 260},
        {"bypass at 0 dB only clears", 200, 1, [](CFilter& f) { f.SetFlat(0); }, 1, 0, 0, 200},
        {"same flat does nothing", 260, 0, [](CFilter& f) { f.SetFlat(0); }, 0, 0, 0, 260},
        {"flat at 0 dB does nothing", 200, 0, [](CFilter& f) { f.SetFlat(0); }, 1, 0, 0, 200},
        {"flatten", 260, 0, [](CFilter& f) { f.SetFlat(1); }, 1, 0, 1, 200},
        {"bypass on and off", 260, 0,
         [](CFilter& f) {
             f.SetBypass(1);
             f.SetBypass(0);
         },
         0, 0, 0, 260},
        {"bypass off restores an earlier bypass", 260, 1,
         [](CFilter& f) {
             f.SetBypass(1);
             f.SetBypass(0);
         },
         0, 1, 0, 200},
    };
    for (const auto& c : cases) {
        g_bOnline = 0;
        CFilter f;
        f.SetGainIndex(c.gainIndex);
        if (c.bypass)
            f.SetBypass(1);
        g_bOnline = 1;
        c.op(f);
        EXPECT_EQ(f.IsFlat(), c.flat) << c.name;
        EXPECT_EQ(f.IsBypassed(), c.bypassed) << c.name;
        EXPECT_EQ(f.IsChanged(), c.changed) << c.name;
        EXPECT_EQ(f.GetGainIndex(), c.gainIndexAfter) << c.name;
    }
}

TEST_F(FilterState, CopyKeepsCrossoverCornersAndIdentity) {
    CFilter source;
    MakeBand(source, CFilter::HighShelf, 6000, 250, 1);
    source.SetBandwidthIndex(80);
    source.SetBandNo(4);
    CFilter band;
    band.SetBandNo(7);
    band.SetSentFreq(1234);
    band.CopyFrom(source);
    EXPECT_EQ(band.GetType(), CFilter::HighShelf);
    EXPECT_EQ(band.GetFreq(), 6000);
    EXPECT_EQ(band.GetSentFreq(), 6000);
    EXPECT_EQ(band.GetSlope(), 1);
    EXPECT_EQ(band.GetGainIndex(), 250);
    EXPECT_EQ(band.GetBandwidthIndex(), 80);
    EXPECT_EQ(band.GetBandNo(), 7);

    CFilter highPass;
    MakeCrossover(highPass, CFilter::HighPass, 80, CFilter::Butterworth, 3);
    CFilter other;
    MakeCrossover(other, CFilter::HighPass, 500, CFilter::Bessel, 6);
    highPass.CopyFrom(other);
    EXPECT_EQ(highPass.GetFreq(), 80);
    EXPECT_EQ(highPass.GetFamily(), CFilter::Butterworth);
    EXPECT_EQ(highPass.GetSlope(), 3);
}

// The archive form: ten values, 48 bytes, in declaration order.
TEST_F(FilterState, SerializeWritesFortyEightBytesAndReadsThemBack) {
    CFilter f;
    MakeBand(f, CFilter::LowShelf, 125, 235, 1);
    f.SetBandwidthIndex(52);
    f.SetBandNo(3);
    f.SetSentFreq(100);
    std::ostringstream stream;
    {
        CArchive out(stream);
        f.Serialize(out);
        out.Flush();
    }
    const std::string bytes = stream.str();
    ASSERT_EQ(bytes.size(), 48u);
    auto int32At = [&](int at) {
        std::int32_t v = 0;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    };
    auto doubleAt = [&](int at) {
        double v = 0;
        std::memcpy(&v, bytes.data() + at, 8);
        return v;
    };
    EXPECT_EQ(int32At(0), CFilter::LowShelf);
    EXPECT_EQ(int32At(4), 125);
    EXPECT_EQ(int32At(8), 100);
    EXPECT_NEAR(doubleAt(12), 3.5, 1e-9);
    EXPECT_EQ(int32At(20), 0);
    EXPECT_EQ(int32At(24), 0);
    EXPECT_NEAR(doubleAt(28), 0.57, 1e-9);
    EXPECT_EQ(int32At(36), CFilter::LinkwitzRiley);
    EXPECT_EQ(int32At(40), 1);
    EXPECT_EQ(int32At(44), 3);

    CFilter back;
    back.SetGraphRect(kPlot);
    std::istringstream input(bytes);
    CArchive in(input);
    back.Serialize(in);
    EXPECT_EQ(back.GetSentFreq(), 100);
    EXPECT_EQ(back.GetGainIndex(), 235);
    for (int i = 0; i < kFreqSteps; ++i)
        ASSERT_EQ(back.GetResponse()[i], f.GetResponse()[i]) << i;
    EXPECT_EQ(back.GetHandleRect(), f.GetHandleRect());
}

// A filter whose bandwidth is an arbitrary double, as an archive can hold it.
void LoadBandwidth(CFilter& f, double octaves) {
    std::ostringstream stream;
    {
        CArchive out(stream);
        f.Serialize(out);
        out.Flush();
    }
    std::string bytes = stream.str();
    std::memcpy(bytes.data() + 28, &octaves, 8);
    std::istringstream patched(bytes);
    CArchive in(patched);
    f.Serialize(in);
}

TEST_F(FilterState, BandwidthIndexTruncatesWithATolerance) {
    struct Case {
        double octaves;
        int index;
    };
    const Case cases[] = {{0.575, 52}, {0.5796, 53}, {0.57, 52}, {0.05, 0}, {3.0, 295}, {0.0, -4}};
    for (const auto& c : cases) {
        CFilter f;
        LoadBandwidth(f, c.octaves);
        EXPECT_EQ(f.GetBandwidthIndex(), c.index) << c.octaves;
    }
}

class FilterLabel : public FilterFixture {};

TEST_F(FilterLabel, Texts) {
    struct Case {
        std::function<void(CFilter&)> make;
        int chinese;
        const char* text;
    };
    const Case cases[] = {
        {[](CFilter& f) { MakeBand(f, CFilter::Peaking, 1000, 200); }, 0, "1000Hz 2.515Q 0.0dB"},
        {[](CFilter& f) { MakeBand(f, CFilter::Peaking, 1000, 230); }, 0, "1000Hz 2.515Q 3.0dB"},
        {[](CFilter& f) {
             MakeBand(f, CFilter::Peaking, 1000, 230);
             f.SetBypass(1);
         },
         0, "1000Hz 2.515Q 0.0dB"},
        {[](CFilter& f) {
             MakeBand(f, CFilter::Peaking, 1000, 175);
             f.SetGainOnlyLabel(1);
         },
         0, "-2.5dB"},
        {[](CFilter& f) {
             MakeBand(f, CFilter::Peaking, 63, 230);
             f.SetBandwidthIndex(3);
         },
         0, "63Hz 18.03Q 3.0dB"},
        {[](CFilter& f) {
             MakeBand(f, CFilter::Peaking, 63, 230);
             f.SetBandwidthIndex(-40);
         },
         0, "63Hz 28.85Q 3.0dB"},
        {[](CFilter& f) { MakeBand(f, CFilter::LowShelf, 100, 230, 0); }, 0, "Lo 100Hz 6dB/Oct 3.0dB"},
        {[](CFilter& f) { MakeBand(f, CFilter::HighShelf, 8000, 175, 1); }, 0, "Hi 8000Hz 12dB/Oct -2.5dB"},
        {[](CFilter& f) { MakeBand(f, CFilter::LowShelf, 100, 230, 4); }, 0, "Lo 100Hz  3.0dB"},
        {[](CFilter& f) { MakeCrossover(f, CFilter::HighPass, 80, CFilter::Bessel, 8); }, 0, "OFF"},
        {[](CFilter& f) { MakeCrossover(f, CFilter::LowPass, 80, CFilter::Bessel, 8); }, 1, "关闭"},
        {[](CFilter& f) { MakeCrossover(f, CFilter::LowPass, 12000, CFilter::Bessel, 3); }, 1, "12000Hz"},
    };
    for (const auto& c : cases) {
        g_bChinese = c.chinese;
        CFilter f;
        c.make(f);
        EXPECT_EQ(f.GetLabelText(), c.text);
    }
}

class FilterGeometry : public FilterFixture {};

TEST_F(FilterGeometry, HandleAndLabelBoxStayInsideThePlot) {
    // The plot spans x 40..640 and y 10..250; 1000 Hz is plot x 339, 0 dB plot y 120.
    constexpr int P = CFilter::Peaking;
    struct Case {
        int type;
        int hz;
        int gainIndex;
        int bandNo;
        int gainOnly;
        CRect handle;
        CRect label;
    };
    const Case cases[] = {
        {P, 1000, 200, 17, 0, {371, 122, 387, 138}, {291, 147, 467, 163}}, // centre
        {P, 20, 320, 0, 0, {32, 10, 48, 26}, {40, 35, 176, 51}},           // left by 8, top clamped
        {P, 20, 320, 9, 0, {40, 10, 56, 26}, {40, 35, 176, 51}}, // upper bands never left of the plot
        {P, 20000, 80, 30, 0, {624, 234, 640, 250}, {480, 209, 640, 225}}, // moved inside, label above
        {P, 7300, 200, 17, 0, {544, 122, 560, 138}, {464, 147, 640, 163}}, // label still fits on the right
        {P, 7400, 200, 17, 0, {545, 122, 561, 138}, {480, 147, 640, 163}}, // label held at the right edge
        {P, 44, 200, 17, 0, {100, 122, 116, 138}, {20, 147, 196, 163}},    // label still fits on the left
        {P, 43, 200, 17, 0, {98, 122, 114, 138}, {40, 147, 176, 163}},     // label held at the left edge
        {P, 1000, 113, 17, 0, {371, 209, 387, 225}, {291, 184, 467, 200}}, // bottom at height - 15: above
        {P, 1000, 114, 17, 0, {371, 208, 387, 224}, {291, 233, 467, 249}}, // one pixel higher: below
        {P, 1000, 230, 17, 1, {371, 92, 387, 108}, {346, 117, 412, 133}},  // gain only
        {P, 20000, 230, 17, 1, {624, 92, 640, 108}, {590, 117, 640, 133}}, // gain only, right edge
        {P, 20, 230, 0, 1, {32, 92, 48, 108}, {40, 117, 86, 133}},         // gain only, left edge
        {CFilter::LowShelf, 100, 230, 17, 0, {171, 92, 187, 108}, {171, 117, 277, 133}},
        {CFilter::HighShelf, 5180, 200, 17, 0, {514, 122, 530, 138}, {514, 147, 620, 163}},  // still fits
        {CFilter::HighShelf, 5250, 200, 17, 0, {515, 122, 531, 138}, {524, 147, 640, 163}},  // held at the
                                                                                             // edge
        {CFilter::HighShelf, 20000, 200, 17, 0, {624, 122, 640, 138}, {524, 147, 640, 163}}, // right end
    };
    for (const auto& c : cases) {
        CFilter f;
        f.SetBandNo(c.bandNo);
        MakeBand(f, c.type, c.hz, c.gainIndex);
        f.SetGainOnlyLabel(c.gainOnly);
        EXPECT_EQ(f.GetHandleRect(), c.handle)
            << "type " << c.type << ", " << c.hz << " Hz, gain " << c.gainIndex;
        EXPECT_EQ(f.GetLabelRect(), c.label)
            << "type " << c.type << ", " << c.hz << " Hz, gain " << c.gainIndex;
    }
}

TEST_F(FilterGeometry, BandwidthHandlesBesideThePoint) {
    // The upper handle sits 10 pixels right of its frequency, the lower one 10
    // left; both 10 pixels off the point toward 0 dB (below it at 0 dB).
    struct Case {
        const char* name;
        int hz;
        int gainIndex;
        int bandNo;
        int bandwidthIndex;
        int bypass;
        CRect low;
        CRect high;
    };
    const Case cases[] = {
        {"0.57 octave at 0 dB", 1000, 200, 17, 52, 0, {348, 136, 356, 144}, {402, 136, 410, 144}},
        {"cut: above the point", 1000, 170, 17, 52, 0, {348, 146, 356, 154}, {402, 146, 410, 154}},
        {"bypassed cut: above", 1000, 170, 17, 52, 1, {348, 116, 356, 124}, {402, 116, 410, 124}},
        {"three octaves", 1000, 230, 17, 295, 0, {275, 106, 283, 114}, {476, 106, 484, 114}},
        {"narrowest", 1000, 230, 17, 0, 0, {364, 106, 372, 114}, {387, 106, 395, 114}},
        {"lower edge below 20 Hz", 20, 320, 0, 52, 0, {9, 24, 17, 32}, {61, 24, 69, 32}},
    };
    for (const auto& c : cases) {
        CFilter f;
        f.SetBandNo(c.bandNo);
        MakeBand(f, CFilter::Peaking, c.hz, c.gainIndex);
        f.SetBandwidthIndex(c.bandwidthIndex);
        f.SetBypass(c.bypass);
        EXPECT_EQ(f.GetBwLowRect(), c.low) << c.name;
        EXPECT_EQ(f.GetBwHighRect(), c.high) << c.name;
    }
}

TEST_F(FilterGeometry, CrossoverMarkerAndLabelBox) {
    // A high-pass marker hangs at -7 dB (plot y 190), a low-pass one at -10 dB
    // (plot y 220), neither clamped to the plot's bottom.
    struct Case {
        const char* name;
        int type;
        int hz;
        CRect handle;
        CRect label;
    };
    const Case cases[] = {
        {"high-pass", CFilter::HighPass, 80, {152, 200, 168, 216}, {152, 185, 218, 241}},
        {"high-pass at 20 Hz", CFilter::HighPass, 20, {32, 200, 48, 216}, {32, 185, 98, 241}},
        {"high-pass, label at the edge",
         CFilter::HighPass,
         10400,
         {575, 200, 591, 216},
         {574, 185, 640, 241}},
        {"low-pass", CFilter::LowPass, 5000, {511, 230, 527, 246}, {511, 215, 577, 266}},
        {"low-pass, label still fits", CFilter::LowPass, 10000, {571, 230, 587, 246}, {571, 215, 637, 266}},
        {"low-pass at the right end", CFilter::LowPass, 20000, {632, 230, 648, 246}, {574, 215, 640, 266}},
    };
    for (const auto& c : cases) {
        CFilter f;
        MakeCrossover(f, c.type, c.hz, CFilter::LinkwitzRiley, 3);
        EXPECT_EQ(f.GetHandleRect(), c.handle) << c.name;
        EXPECT_EQ(f.GetLabelRect(), c.label) << c.name;
    }
}

class MockSlider : public FilterSliderLink {
public:
    MOCK_METHOD(void, OnFilterFrequencySet, (int hz), (override));
    MOCK_METHOD(void, OnFilterGainDragged, (int gainIndex), (override));
};

class FilterDrag : public FilterFixture {
protected:
    // Grabs the handle at its centre, so the mouse is where the point goes.
    static void Grab(CFilter& f) { f.BeginDrag(f.GetHandleRect().CenterPoint()); }
};

TEST_F(FilterDrag, PointFollowsTheMouseWithinTheLimits) {
    struct Case {
        const char* name;
        int type;
        int gainOnly;
        CPoint mouse;
        int hz;
        int gainIndex;
        int changed;
    };
    const Case cases[] = {
        {"inside", CFilter::Peaking, 0, At(200, 6.0), 200, 260, 1},
        {"above and right of the plot", CFilter::Peaking, 0, {2000, -500}, 20000, 320, 1},
        {"below and left of the plot", CFilter::Peaking, 0, {-100, 900}, 20, 80, 1},
        {"gain only, sideways", CFilter::Peaking, 1, At(5000, 3.0), 1000, 230, 0},
        {"gain only, down", CFilter::Peaking, 1, At(5000, -4.0), 1000, 160, 1},
        {"low shelf past its corner", CFilter::LowShelf, 0, At(5000, 3.0), 2000, 230, 1},
        {"high shelf below its corner", CFilter::HighShelf, 0, At(500, 3.0), 2000, 230, 1},
        {"top edge counts as a change", CFilter::Peaking, 1, {0, 10}, 1000, 320, 1},
    };
    for (const auto& c : cases) {
        CFilter f;
        MakeBand(f, c.type, 1000, 230, 0);
        f.SetGainOnlyLabel(c.gainOnly);
        if (c.name == std::string("top edge counts as a change"))
            f.SetGainIndex(320);
        Grab(f);
        g_bOnline = 1;
        EXPECT_EQ(f.DragPoint(c.mouse), c.changed) << c.name;
        EXPECT_EQ(f.GetFreq(), c.hz) << c.name;
        EXPECT_EQ(f.GetGainIndex(), c.gainIndex) << c.name;
        EXPECT_EQ(f.IsChanged(), c.changed) << c.name;
        g_bOnline = 0;
    }
}

TEST_F(FilterDrag, PointTellsTheLinkedSliderTheGainIndex) {
    CFilter f;
    MakeBand(f, CFilter::Peaking, 1000, 200);
    MockSlider slider;
    f.SetLinkedSlider(&slider);
    Grab(f);
    EXPECT_CALL(slider, OnFilterGainDragged(250));
    f.DragPoint(At(1000, 5.0));
    EXPECT_EQ(f.IsFlat(), 0);

    CFilter crossover;
    MakeCrossover(crossover, CFilter::LowPass, 8000, CFilter::Butterworth, 3);
    crossover.SetLinkedSlider(&slider);
    EXPECT_EQ(crossover.DragPoint(At(1000, 5.0)), 0);
    EXPECT_CALL(slider, OnFilterFrequencySet(5000));
    crossover.SetFreq(5000, 1);
}

TEST_F(FilterDrag, BandwidthHandlesLimitToThreeOctavesAndTheCentre) {
    // Plot x 200 is 200 Hz, 400 is 2000 Hz, 600 is 20000 Hz.
    struct Case {
        bool low;
        int bandHz;
        int mouseX;
        int index;
    };
    const Case cases[] = {
        {false, 1000, 600, 295},                        // 4.3 octaves
        {true, 1000, 0, 295},    {false, 2000, 400, 0}, // onto the centre
        {true, 1000, 400, 0},                           // the low handle past the centre
        {false, 1000, 400, 195}, {true, 4000, 400, 195},
    };
    for (const auto& c : cases) {
        CFilter f;
        MakeBand(f, CFilter::Peaking, c.bandHz, 230);
        (c.low ? f.m_bDragLow : f.m_bDragHigh) = 1;
        g_bOnline = 1;
        EXPECT_EQ(f.DragBandwidth({c.mouseX + CFilter::kPlotLeft, 0}), 1);
        EXPECT_EQ(f.GetBandwidthIndex(), c.index) << c.bandHz << " Hz, x " << c.mouseX;
        EXPECT_TRUE(f.IsChanged());
        g_bOnline = 0;
    }
    CFilter idle;
    MakeBand(idle, CFilter::Peaking, 1000, 230);
    EXPECT_EQ(idle.DragBandwidth(At(20000, 0)), 1);
    EXPECT_EQ(idle.GetBandwidthIndex(), 52);
}

TEST_F(FilterDrag, CrossoverCornerByDragMode) {
    struct Case {
        const char* name;
        int type;
        int mode;
        int from;
        int mouseX; // plot x
        int limit;
        int result;
        int hz;
    };
    const Case cases[] = {
        {"mode 9 left edge switches off", CFilter::HighPass, 9, 100, -30, 20000, 1, 20},
        {"mode 9 left edge when already off", CFilter::HighPass, 9, 20, -30, 20000, 1, 20},
        {"mode 10 left edge through the position", CFilter::HighPass, 10, 100, -30, 20000, 1, 20},
        {"mode 10 left edge when already off", CFilter::HighPass, 10, 20, -30, 20000, 0, 20},
        {"mode 11 left edge when already off", CFilter::HighPass, 11, 20, -30, 20000, 0, 20},
        {"mode 9 stops at the low-pass", CFilter::HighPass, 9, 100, 700, 5000, 1, 5000},
        {"mode 10 stops at the low-pass", CFilter::HighPass, 10, 100, 700, 5000, 1, 5000},
        {"mode 11 jumps to the right end", CFilter::HighPass, 11, 100, 700, 5000, 1, 20000},
        {"mode 11 stops at the low-pass inside", CFilter::HighPass, 11, 100, 550, 5000, 1, 5000},
        {"mode 11 below the low-pass", CFilter::HighPass, 11, 100, 200, 5000, 1, 200},
        {"same frequency", CFilter::HighPass, 9, 200, 200, 5000, 0, 200},
        {"low-pass stops at the high-pass", CFilter::LowPass, 12, 5000, 100, 300, 1, 300},
        {"low-pass left edge", CFilter::LowPass, 12, 5000, -30, 10, 1, 20},
        {"low-pass to the right end is off", CFilter::LowPass, 12, 5000, 900, 300, 1, 20000},
    };
    for (const auto& c : cases) {
        CFilter f;
        MakeCrossover(f, c.type, c.from, CFilter::LinkwitzRiley, 3, c.mode);
        f.BeginDrag(f.GetHandleRect().CenterPoint());
        CPoint mouse = f.GetHandleRect().CenterPoint();
        mouse.x = c.mouseX + CFilter::kPlotLeft;
        g_bOnline = 1;
        EXPECT_EQ(f.DragCrossover(mouse, c.limit), c.result) << c.name;
        EXPECT_EQ(f.GetFreq(), c.hz) << c.name;
        EXPECT_EQ(f.IsChanged(), c.result) << c.name;
        g_bOnline = 0;
    }
}

} // namespace
