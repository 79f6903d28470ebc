#include "FilterFixture.h"

#include "model/KTVEQ.h"
#include "platform/sys/Archive.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <sstream>
#include <vector>

namespace {

class EqualiserSet : public FilterFixture {};

enum class Layout { Mic, Music, Effect, Output };

void Build(CKTVEQ& eq, Layout layout) {
    switch (layout) {
    case Layout::Mic:
        eq.InitMicLayout(8, 10, 20000);
        break;
    case Layout::Music:
        eq.InitMusicLayout(30, 32, 20000);
        break;
    case Layout::Effect:
        eq.InitEffectLayout(2, 8, 20000);
        break;
    case Layout::Output:
        eq.InitOutputLayout(30, 32, 11, 20, 20000);
        break;
    }
}

TEST_F(EqualiserSet, LayoutsBuildBandsThenHighPassThenLowPass) {
    struct Crossover {
        int family;
        int slope;
        int dragMode;
    };
    struct Case {
        Layout layout;
        std::vector<int> bandHz;
        int cutNo;
        Crossover highPass;
        Crossover lowPass;
    };
    const Case cases[] = {
        {Layout::Mic, {20, 32, 53, 87, 143, 235, 386, 632, 1035}, 10, {2, 0, 0}, {2, 0, 0}},
        {Layout::Music,
         {20,  32,   53,   87,   143,  235,  386,  632,  1035, 1696, 2778, 4551,  7455,  12210, 20000, 630,
          800, 1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000},
         32,
         {2, 0, 0},
         {2, 0, 0}},
        {Layout::Effect, {100, 1000, 10000}, 8, {2, 2, 8}, {2, 2, 8}},
        {Layout::Output,
         {20,  25,   32,   40,   50,   63,   80,   100,  125,  160,  200,  250,   315,   400,   500,  630,
          800, 1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000},
         32,
         {0, 2, 11},
         {0, 2, 12}},
    };
    for (const auto& c : cases) {
        CKTVEQ eq;
        Build(eq, c.layout);
        const int bands = static_cast<int>(c.bandHz.size());
        ASSERT_EQ(eq.GetSize(), bands + 2);
        for (int i = 0; i < bands; ++i) {
            const CFilter& band = *eq[i];
            EXPECT_EQ(band.GetFreq(), c.bandHz[i]) << "band " << i;
            EXPECT_EQ(band.GetSentFreq(), c.bandHz[i]) << "band " << i;
            EXPECT_EQ(band.GetBandNo(), i);
            EXPECT_FALSE(band.IsChanged());
            int type = band.GetType();
            if (c.layout == Layout::Mic && (i == 0 || i == bands - 1)) {
                EXPECT_EQ(type, i == 0 ? CFilter::LowShelf : CFilter::HighShelf);
                EXPECT_EQ(band.GetSlope(), 0);
            } else {
                EXPECT_EQ(type, CFilter::Peaking) << "band " << i;
            }
        }
        const Crossover* expected[] = {&c.highPass, &c.lowPass};
        for (int k = 0; k < 2; ++k) {
            const CFilter& cut = *eq[bands + k];
            EXPECT_EQ(cut.GetType(), k == 0 ? CFilter::HighPass : CFilter::LowPass);
            EXPECT_EQ(cut.GetFreq(), k == 0 ? 20 : 20000);
            EXPECT_EQ(cut.GetSentFreq(), cut.GetFreq());
            EXPECT_EQ(cut.GetFamily(), expected[k]->family);
            EXPECT_EQ(cut.GetSlope(), expected[k]->slope);
            EXPECT_EQ(cut.GetDragMode(), expected[k]->dragMode);
            EXPECT_EQ(cut.GetBandNo(), c.cutNo);
            EXPECT_FALSE(cut.IsChanged());
        }
    }
}

TEST_F(EqualiserSet, PackBandLaysOutTheBlock) {
    CKTVEQ eq;
    Build(eq, Layout::Output);
    CFilter& band = *eq[15];
    band.SetGainIndex(235);
    band.SetBandwidthIndex(52);
    band.SetSentFreq(640);
    EXPECT_EQ(eq.PackBand(15), (BandBlock{0x80, 0x02, 0x7B, 0x02, 0x34, 0x00, 0x02, 0x00}));
    band.SetType(CFilter::HighShelf);
    band.SetSlope(1, 0);
    band.SetBypass(1);
    EXPECT_EQ(eq.PackBand(15), (BandBlock{0x80, 0x02, 0x58, 0x02, 0x34, 0x00, 0x01, 0x02}));
    EXPECT_EQ(eq.PackBand(33), BandBlock{});
    EXPECT_EQ(eq.PackBand(-1), BandBlock{});
}

TEST_F(EqualiserSet, EveryFilterOfEveryLayoutRoundTrips) {
    for (Layout layout : {Layout::Mic, Layout::Music, Layout::Effect, Layout::Output}) {
        CKTVEQ source;
        Build(source, layout);
        CKTVEQ copy;
        Build(copy, layout);
        for (int i = 0; i < source.GetSize(); ++i) {
            CFilter& f = *source[i];
            f.SetGainIndex(120 + 7 * i);
            f.SetBandwidthIndex(3 * i);
            f.SetFreq(30 + 97 * i, 0);
            const BandBlock block = source.PackBand(i);
            copy.UnpackBand(block.data(), i);
            EXPECT_EQ(copy.PackBand(i), block) << "filter " << i;
            EXPECT_FALSE(copy[i]->IsChanged());
        }
    }
}

// The 16-bit fields read back signed; what comes back for each value class,
// with the two exceptions the rounding of the index getters implies.
TEST_F(EqualiserSet, BlockFieldsRoundTripByValueClass) {
    struct Case {
        const char* name;
        int field; // byte offset of the 16-bit field
        int in;
        int out;
    };
    const Case cases[] = {
        {"frequency", 0, 1000, 1000},
        {"frequency 0", 0, 0, 0},
        {"frequency read negative", 0, -1, -1},
        {"frequency 32767", 0, 32767, 32767},
        {"frequency -32768", 0, -32768, -32768},
        {"gain code 0 dB is flat", 2, 600, 600},
        {"gain code 635", 2, 635, 635},
        {"gain code 400, -20 dB", 2, 400, 400},
        {"gain code 800, +20 dB", 2, 800, 800},
        {"gain code 32767", 2, 32767, 32767},
        {"gain code 399 comes back one higher", 2, 399, 400},
        {"gain code 350 comes back one higher", 2, 350, 351},
        {"gain code 0 comes back one higher", 2, 0, 1},
        {"gain code -32768 comes back one higher", 2, -32768, -32767},
        {"bandwidth 52", 4, 52, 52},
        {"bandwidth 0", 4, 0, 0},
        {"bandwidth 295", 4, 295, 295},
        {"bandwidth 32767", 4, 32767, 32767},
        {"bandwidth -1 comes back as 0", 4, -1, 0},
        {"bandwidth -5 comes back one higher", 4, -5, -4},
        {"bandwidth -32768 comes back one higher", 4, -32768, -32767},
    };
    for (const auto& c : cases) {
        CKTVEQ eq;
        Build(eq, Layout::Output);
        BandBlock block{0xE8, 0x03, 0x58, 0x02, 0x34, 0x00, 0x01, 0x00};
        block[c.field] = static_cast<BYTE>(c.in & 0xFF);
        block[c.field + 1] = static_cast<BYTE>((c.in >> 8) & 0xFF);
        eq.UnpackBand(block.data(), 4);
        const BandBlock back = eq.PackBand(4);
        const int value = static_cast<std::int16_t>(back[c.field] | (back[c.field + 1] << 8));
        EXPECT_EQ(value, c.out) << c.name;
        EXPECT_FALSE(eq[4]->IsChanged()) << c.name;
        for (int i = 0; i < 8; ++i) {
            if (i != c.field && i != c.field + 1) {
                EXPECT_EQ(back[i], block[i]) << c.name << ", byte " << i;
            }
        }
    }
    for (int byte : {0, 1, 7, 8, 200, 255}) {
        CKTVEQ eq;
        Build(eq, Layout::Music);
        const BandBlock block{
            0x64, 0x00, 0x58, 0x02, 0x34, 0x00, static_cast<BYTE>(byte), static_cast<BYTE>(byte)};
        eq.UnpackBand(block.data(), 0);
        EXPECT_EQ(eq.PackBand(0), block) << "slope and type " << byte;
    }
}

TEST_F(EqualiserSet, UnpackedBandsAreNeverMarkedAndFlatFollowsTheGain) {
    g_bOnline = 1;
    CKTVEQ eq;
    Build(eq, Layout::Output);
    const BandBlock flat{0xE8, 0x03, 0x58, 0x02, 0x34, 0x00, 0x00, 0x00};
    eq[2]->SetGainIndex(250);
    eq.UnpackBand(flat.data(), 2);
    EXPECT_EQ(eq[2]->IsFlat(), 1);
    EXPECT_FALSE(eq[2]->IsChanged());
    EXPECT_EQ(eq[2]->GetSentFreq(), 1000);
}

TEST_F(EqualiserSet, CopyLeavesTheCrossoversOfTheDestination) {
    CKTVEQ source;
    Build(source, Layout::Output);
    source[5]->SetGainIndex(260);
    source[5]->SetFreq(70, 1);
    source[31]->SetFreq(300, 0);
    source[31]->SetFamily(CFilter::Bessel, 0);
    source[32]->SetSlope(7, 0);
    CKTVEQ dest;
    dest.InitOutputLayout(30, 32, 9, 80, 12000);
    dest.CopyFrom(source);
    EXPECT_EQ(dest[5]->GetGainIndex(), 260);
    EXPECT_EQ(dest[5]->GetFreq(), 70);
    EXPECT_EQ(dest[31]->GetFreq(), 80);
    EXPECT_EQ(dest[31]->GetFamily(), CFilter::LinkwitzRiley);
    EXPECT_EQ(dest[32]->GetFreq(), 12000);
    EXPECT_EQ(dest[32]->GetSlope(), 2);
    EXPECT_EQ(dest[31]->GetDragMode(), 9);
}

TEST_F(EqualiserSet, SumCurveAddsEveryFilter) {
    CKTVEQ eq;
    Build(eq, Layout::Output);
    eq.SetCurveRect(kPlot);
    eq.ComputeSumCurve();
    const int zeroY = GainToPos(0, kHeight) + CFilter::kPlotTop;
    for (int s = 0; s < kFreqSteps; ++s) {
        ASSERT_EQ(eq.GetSumCurve()[s].y, zeroY) << s;
        ASSERT_EQ(eq.GetSumCurve()[s].x, FreqToPos(g_FreqTable[s + 1], kWidth) + CFilter::kPlotLeft);
        ASSERT_EQ(eq.GetSumCurveF()[s].y, static_cast<float>(zeroY));
    }
    eq[17]->SetGainIndex(260); // +6 dB at 1000 Hz
    eq[31]->SetSlope(3, 0);
    eq[31]->SetFreq(1000, 0); // -5.95 dB at 1000 Hz
    eq.ComputeSumCurve();
    const double sum = eq[17]->GetResponse()[136] + eq[31]->GetResponse()[136];
    EXPECT_NEAR(sum, 0.05, 0.01);
    EXPECT_EQ(eq.GetSumCurve()[136].y, GainToPos(sum, kHeight) + CFilter::kPlotTop);
    EXPECT_NEAR(eq.GetSumCurveF()[136].y, GainToPosF(sum, kHeight) + CFilter::kPlotTop, 0.01);
    eq.ComputeBandCurve(17);
    EXPECT_EQ(eq.GetSumCurve()[136].y, GainToPos(6.0, kHeight) + CFilter::kPlotTop);
}

TEST_F(EqualiserSet, SerializedSetReadsBackIntoTheSameLayout) {
    CKTVEQ source;
    Build(source, Layout::Music);
    source[3]->SetGainIndex(222);
    source[31]->SetFreq(150, 0);
    std::ostringstream out;
    {
        CArchive ar(out);
        source.Serialize(ar);
        ar.Flush();
    }
    EXPECT_EQ(out.str().size(), 33u * 48u);
    CKTVEQ back;
    Build(back, Layout::Music);
    std::istringstream in(out.str());
    CArchive ar(in);
    back.Serialize(ar);
    for (int i = 0; i < back.GetSize(); ++i)
        EXPECT_EQ(back.PackBand(i), source.PackBand(i)) << i;
}

// Whatever a record or an archive holds, every value the graph and the sum
// use stays finite and every pixel stays a pixel.
void ExpectSane(const CFilter& f, const std::string& what) {
    for (int i = 0; i < kFreqSteps; ++i)
        ASSERT_TRUE(std::isfinite(f.GetResponse()[i])) << what << ", element " << i;
    auto inRange = [](int v) { return v > -100000 && v < 100000; };
    for (int i = 0; i < CFilter::kCurvePoints; ++i)
        ASSERT_TRUE(inRange(f.GetCurve()[i].y)) << what << ", point " << i;
    for (const CRect& r : {f.GetHandleRect(), f.GetBwLowRect(), f.GetBwHighRect(), f.GetLabelRect()}) {
        ASSERT_TRUE(inRange(r.left) && inRange(r.top) && inRange(r.right) && inRange(r.bottom)) << what;
    }
}

void ExpectSaneSum(CKTVEQ& eq, const std::string& what) {
    eq.ComputeSumCurve();
    for (int s = 0; s < kFreqSteps; ++s)
        ASSERT_TRUE(std::isfinite(eq.GetSumCurveF()[s].y)) << what << ", sum " << s;
}

TEST_F(EqualiserSet, EveryStoredByteClassKeepsTheMathsFinite) {
    const int types[] = {0, 1, 2, 3, 4, 5, 255};
    const int slopes[] = {0, 1, 2, 7, 8, 255};
    const int freqs[] = {-32768, -1, 0, 19, 20, 1000, 20000, 20001, 32767};
    const int gainCodes[] = {-32768, 0, 399, 600, 635, 801, 32767};
    const int bandwidths[] = {-32768, -5, 0, 52, 296, 32767};
    const int families[] = {0, 1, 2, 3, 255};

    CKTVEQ eq;
    Build(eq, Layout::Output);
    eq.SetCurveRect(kPlot);
    CFilter& f = *eq[0];
    for (int type : types) {
        for (int slope : slopes) {
            for (int freq : freqs) {
                for (int gain : gainCodes) {
                    const std::string what = "type " + std::to_string(type) + " slope " +
                                             std::to_string(slope) + " freq " + std::to_string(freq) +
                                             " gain code " + std::to_string(gain);
                    for (int bw : bandwidths) {
                        const BandBlock block{static_cast<BYTE>(freq),  static_cast<BYTE>(freq >> 8),
                                              static_cast<BYTE>(gain),  static_cast<BYTE>(gain >> 8),
                                              static_cast<BYTE>(bw),    static_cast<BYTE>(bw >> 8),
                                              static_cast<BYTE>(slope), static_cast<BYTE>(type)};
                        eq.UnpackBand(block.data(), 0);
                        f.GetLabelText();
                        ExpectSane(f, what + " bandwidth " + std::to_string(bw));
                    }
                    for (int family : families) {
                        f.SetFamily(family, 0);
                        ExpectSane(f, what + " family " + std::to_string(family));
                    }
                    ExpectSaneSum(eq, what);
                }
            }
        }
    }
}

// An archive can hold any double for the gain and the bandwidth.
TEST_F(EqualiserSet, ArchivedNonFiniteValuesKeepTheMathsFinite) {
    const double odd[] = {std::nan(""), INFINITY, -INFINITY, 1e300, -1e300, -3.0};
    for (int type : {0, 1, 2}) {
        for (double gain : odd) {
            for (double bandwidth : odd) {
                CKTVEQ eq;
                Build(eq, Layout::Output);
                eq.SetCurveRect(kPlot);
                eq[0]->SetType(type);
                eq[0]->SetGainIndex(230);
                std::ostringstream out;
                {
                    CArchive ar(out);
                    eq[0]->Serialize(ar);
                    ar.Flush();
                }
                std::string bytes = out.str();
                std::memcpy(bytes.data() + 12, &gain, 8);
                std::memcpy(bytes.data() + 28, &bandwidth, 8);
                std::istringstream in(bytes);
                CArchive ar(in);
                eq[0]->Serialize(ar);
                eq[0]->GetLabelText();
                ExpectSane(*eq[0], "type " + std::to_string(type));
                ExpectSaneSum(eq, "type " + std::to_string(type));
                eq.PackBand(0);
            }
        }
    }
}

} // namespace
