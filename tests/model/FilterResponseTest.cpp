#include "FilterFixture.h"

#include <cmath>
#include <functional>
#include <string>

namespace {

constexpr int k1000Hz = 136; // element of g_FreqTable entry 137

class FilterResponse : public FilterFixture {};

bool AllZero(const CFilter& f) {
    for (int i = 0; i < kFreqSteps; ++i) {
        if (f.GetResponse()[i] != 0.0)
            return false;
    }
    return true;
}

TEST_F(FilterResponse, MatchesTheReferenceFiguresAtTheCorner) {
    struct Case {
        const char* name;
        std::function<void(CFilter&)> make;
        double dB;
    };
    const Case cases[] = {
        {"peaking +6 dB, 0.57 oct", [](CFilter& f) { MakeBand(f, CFilter::Peaking, 1000, 260); }, 6.00},
        {"peaking -12 dB", [](CFilter& f) { MakeBand(f, CFilter::Peaking, 1000, 80); }, -12.00},
        {"Linkwitz-Riley 24 dB/oct high-pass",
         [](CFilter& f) { MakeCrossover(f, CFilter::HighPass, 1000, CFilter::LinkwitzRiley, 3); }, -5.95},
        {"Butterworth 24 dB/oct high-pass",
         [](CFilter& f) { MakeCrossover(f, CFilter::HighPass, 1000, CFilter::Butterworth, 3); }, -3.01},
        {"Linkwitz-Riley 24 dB/oct low-pass",
         [](CFilter& f) { MakeCrossover(f, CFilter::LowPass, 1000, CFilter::LinkwitzRiley, 3); }, -5.95},
    };
    for (const auto& c : cases) {
        CFilter f;
        c.make(f);
        EXPECT_NEAR(f.GetResponse()[k1000Hz], c.dB, 0.005) << c.name;
    }
}

TEST_F(FilterResponse, ShelvesReachTheirGainFarFromTheCorner) {
    CFilter low;
    MakeBand(low, CFilter::LowShelf, 200, 260, 1);
    EXPECT_NEAR(low.GetResponse()[0], 6.0, 0.1);
    EXPECT_NEAR(low.GetResponse()[kFreqSteps - 1], 0.0, 0.1);
    CFilter high;
    MakeBand(high, CFilter::HighShelf, 5000, 140, 0);
    EXPECT_NEAR(high.GetResponse()[0], 0.0, 0.1);
    EXPECT_NEAR(high.GetResponse()[kFreqSteps - 1], -6.0, 0.3);
}

TEST_F(FilterResponse, SilentCasesGiveZeros) {
    struct Case {
        const char* name;
        std::function<void(CFilter&)> make;
    };
    const Case cases[] = {
        {"flat peaking", [](CFilter& f) { MakeBand(f, CFilter::Peaking, 1000, 200); }},
        {"bypassed peaking",
         [](CFilter& f) {
             MakeBand(f, CFilter::Peaking, 1000, 260);
             f.SetBypass(1);
         }},
        {"flat shelf", [](CFilter& f) { MakeBand(f, CFilter::LowShelf, 100, 200); }},
        {"bypassed shelf",
         [](CFilter& f) {
             MakeBand(f, CFilter::HighShelf, 8000, 150, 1);
             f.SetBypass(1);
         }},
        {"high-pass at 20 Hz",
         [](CFilter& f) { MakeCrossover(f, CFilter::HighPass, 20, CFilter::Butterworth, 7); }},
        {"low-pass at 20000 Hz",
         [](CFilter& f) { MakeCrossover(f, CFilter::LowPass, 20000, CFilter::Bessel, 7); }},
        {"high-pass slope 8",
         [](CFilter& f) { MakeCrossover(f, CFilter::HighPass, 1000, CFilter::Bessel, 8); }},
        {"low-pass slope 8",
         [](CFilter& f) { MakeCrossover(f, CFilter::LowPass, 1000, CFilter::LinkwitzRiley, 8); }},
        {"shelf with an unknown slope", [](CFilter& f) { MakeBand(f, CFilter::LowShelf, 100, 260, 2); }},
        {"crossover with an unknown slope",
         [](CFilter& f) { MakeCrossover(f, CFilter::HighPass, 1000, CFilter::Butterworth, 9); }},
        {"crossover with an unknown family",
         [](CFilter& f) { MakeCrossover(f, CFilter::LowPass, 1000, 3, 3); }},
    };
    for (const auto& c : cases) {
        CFilter f;
        c.make(f);
        EXPECT_TRUE(AllZero(f)) << c.name;
    }
}

TEST_F(FilterResponse, UnknownTypeKeepsTheLastResponse) {
    CFilter fresh;
    fresh.SetType(7);
    EXPECT_TRUE(AllZero(fresh));

    CFilter f;
    MakeBand(f, CFilter::Peaking, 1000, 260);
    f.SetType(7);
    f.SetGainIndex(100);
    EXPECT_NEAR(f.GetResponse()[k1000Hz], 6.0, 0.005);
}

TEST_F(FilterResponse, PeakingCentreSnapsToTheNearestAxisFrequency) {
    struct Case {
        int set;
        int computedAt;
    };
    const Case cases[] = {{1001, 1000}, {1015, 1030}, {1014, 1000}, {5, 19}, {30000, 20000}};
    for (const auto& c : cases) {
        CFilter set;
        MakeBand(set, CFilter::Peaking, c.set, 280);
        CFilter reference;
        MakeBand(reference, CFilter::Peaking, c.computedAt, 280);
        for (int i = 0; i < kFreqSteps; ++i)
            ASSERT_EQ(set.GetResponse()[i], reference.GetResponse()[i]) << c.set << " Hz, element " << i;
    }
}

// Far from the corner every slope index falls at its order x 6 dB/oct; the
// first-order sections of the odd orders and the Bessel tables show here.
TEST_F(FilterResponse, StopBandFallsAtTheSlopeOfEachOrder) {
    struct Case {
        int type;
        int family;
        int slope;
        double dBPerOctave;
    };
    std::vector<Case> cases;
    for (int family : {CFilter::LinkwitzRiley, CFilter::Butterworth, CFilter::Bessel}) {
        for (int slope = 0; slope <= 7; ++slope) {
            cases.push_back({CFilter::HighPass, family, slope, 6.0 * (slope + 1)});
            // A Bessel low-pass of slope index 0 is second order.
            double lowPassSlope = family == CFilter::Bessel && slope == 0 ? 12.0 : 6.0 * (slope + 1);
            cases.push_back({CFilter::LowPass, family, slope, lowPassSlope});
        }
    }
    for (const auto& c : cases) {
        CFilter f;
        // Four octaves and more from the corner: 250/500 Hz below a 4 kHz
        // high-pass, 3.2/6.4 kHz above a 200 Hz low-pass.
        bool high = c.type == CFilter::HighPass;
        MakeCrossover(f, c.type, high ? 4000 : 200, c.family, c.slope);
        double near = f.GetResponse()[FreqToIndex(high ? 500 : 3175)];
        double far = f.GetResponse()[FreqToIndex(high ? 250 : 6350)];
        EXPECT_NEAR(near - far, c.dBPerOctave, 1.0)
            << (high ? "high-pass" : "low-pass") << " family " << c.family << " slope " << c.slope;
    }
}

} // namespace
