// The magnitude response of a filter: second-order digital sections at a
// 96 kHz sample rate, evaluated on the unit circle at the 241 frequencies of
// g_FreqTable.  The constants are the processor's own digits.

#include "model/Filter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr double kAngleFactor = 6.2831852;
constexpr double kSampleRate = 96000.0;
constexpr double kDesignFactor = 6.544985e-05;
constexpr double kBandwidthFactor = 0.34657359;
constexpr double kZeroGuard = 1e-10;
constexpr int kMaxSections = 4;

// A response never reaches these; they only keep a degenerate section from
// producing an infinite or undefined value.
constexpr double kMinPowerRatio = 1e-200;
constexpr double kMaxPowerRatio = 1e200;

// The evaluation loops run over a whole number of vector lanes; the angles
// past the last step repeat it and their values are never used.
constexpr int kPaddedSteps = (kFreqSteps + 3) / 4 * 4;

// cos and sin of every evaluation angle, the same for every filter.
struct EvaluationAngles {
    alignas(32) std::array<double, kPaddedSteps> cosW{};
    alignas(32) std::array<double, kPaddedSteps> sinW{};
};

const EvaluationAngles& Angles() {
    static const EvaluationAngles angles = [] {
        EvaluationAngles a;
        for (int i = 0; i < kPaddedSteps; ++i) {
            double w = kAngleFactor * g_FreqTable[std::min(i, kFreqSteps - 1) + 1] / kSampleRate;
            a.cosW[i] = std::cos(w);
            a.sinW[i] = std::sin(w);
        }
        return a;
    }();
    return angles;
}

// Two doubles at a time: every x86-64 processor has these registers, and
// the same source builds with both compilers.
using Lanes = double __attribute__((vector_size(16)));
using LaneBits = std::uint64_t __attribute__((vector_size(16)));
constexpr int kLanes = 2;

Lanes Select(LaneBits mask, Lanes ifSet, Lanes otherwise) {
    return (Lanes)(((LaneBits)ifSet & mask) | ((LaneBits)otherwise & ~mask));
}

// 10 log10 of power ratios: NaN counts as 1 (no change), the rest is limited
// to [kMinPowerRatio, kMaxPowerRatio].  The exponent comes from the bits, the
// mantissa, brought to [sqrt(1/2), sqrt(2)), goes through the series
// ln m = 2 atanh s, s = (m - 1) / (m + 1), whose first eight terms leave an
// error below 1e-13 dB.
Lanes RatioToDb(Lanes ratio) {
    const Lanes one = {1.0, 1.0};
    ratio = Select((LaneBits)(ratio == ratio), ratio, one);
    ratio = Select((LaneBits)(ratio < kMinPowerRatio), one * kMinPowerRatio, ratio);
    ratio = Select((LaneBits)(ratio > kMaxPowerRatio), one * kMaxPowerRatio, ratio);
    LaneBits bits = (LaneBits)ratio;
    // The biased exponent placed in the mantissa of 2^52, then 2^52 taken off:
    // a conversion without integer-to-double instructions.
    Lanes exponent = (Lanes)((bits >> 52) | 0x4330000000000000ull) - (4503599627370496.0 + 1023.0);
    bits = (bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull;
    Lanes m = (Lanes)bits;
    const LaneBits high = (LaneBits)(m > 1.4142135623730951);
    m = Select(high, m * 0.5, m);
    exponent = Select(high, exponent + 1.0, exponent);
    const Lanes s = (m - 1.0) / (m + 1.0);
    const Lanes s2 = s * s;
    Lanes series = one * (1.0 / 15.0);
    series = series * s2 + 1.0 / 13.0;
    series = series * s2 + 1.0 / 11.0;
    series = series * s2 + 1.0 / 9.0;
    series = series * s2 + 1.0 / 7.0;
    series = series * s2 + 1.0 / 5.0;
    series = series * s2 + 1.0 / 3.0;
    series = series * s2 + 1.0;
    constexpr double kLn2 = 0.69314718055994530942;
    constexpr double kDbPerLn = 4.3429448190325182765; // 10 / ln 10
    return (2.0 * s * series + exponent * kLn2) * kDbPerLn;
}

// One section H(z) = (b0 + b1 z^-1 + b2 z^-2) / (a0 + a1 z^-1 + a2 z^-2),
// kept in the form its squared magnitude at angle w is quickest from:
// |H|^2 = ((p cos w + b1)^2 + (q sin w)^2) / ((r cos w + a1)^2 + (t sin w)^2).
struct Section {
    double p = 1, q = 1, b1 = 0, r = 1, t = 1, a1 = 0;

    static Section Make(double b0, double b1, double b2, double a0, double a1, double a2) {
        Section s;
        s.p = (b0 + b2) / a0;
        s.q = (b0 - b2) / a0;
        s.b1 = b1 / a0;
        s.r = 1.0 + a2 / a0;
        s.t = 1.0 - a2 / a0;
        s.a1 = a1 / a0;
        return s;
    }
};

double GuardA0(double a0) {
    return a0 == 0.0 ? kZeroGuard : a0;
}

// Sums the dB values of the sections at every angle into `response`: the
// product of their power ratios, then one logarithm per point.  Each loop
// runs over all angles for one thing at a time, so the compiler vectorises it.
void Evaluate(const Section* sections, int count, double* response) {
    const auto& angles = Angles();
    alignas(32) double ratio[kPaddedSteps];
    for (int i = 0; i < kPaddedSteps; ++i)
        ratio[i] = 1.0;
    for (int k = 0; k < count; ++k) {
        const Section sec = sections[k];
        for (int i = 0; i < kPaddedSteps; ++i) {
            const double c = angles.cosW[i];
            const double s = angles.sinW[i];
            const double nr = sec.p * c + sec.b1;
            const double ni = sec.q * s;
            const double dr = sec.r * c + sec.a1;
            const double di = sec.t * s;
            ratio[i] *= (nr * nr + ni * ni) / (dr * dr + di * di);
        }
    }
    alignas(32) double db[kPaddedSteps];
    for (int i = 0; i < kPaddedSteps; i += kLanes) {
        Lanes r;
        std::memcpy(&r, ratio + i, sizeof r);
        const Lanes d = RatioToDb(r);
        std::memcpy(db + i, &d, sizeof d);
    }
    std::copy(db, db + kFreqSteps, response);
}

// Damping values d(k) of the Linkwitz-Riley and Butterworth families, by slope
// index; 0 marks no section.  Odd orders start with a first-order section.
constexpr double kLinkwitzRiley[8][kMaxSections] = {
    {1.0},
    {1.0},
    {1.0, 0.70422535211},
    {0.70422535211, 0.70422535211},
    {1.0, 0.62, 0.62},
    {1.0, 0.5, 0.5},
    {1.0, 0.453134315, 0.92592592593, 0.453134315},
    {0.92592592593, 0.373134315, 0.92592592593, 0.373134315},
};
constexpr double kButterworth[8][kMaxSections] = {
    {0.70422535},
    {0.70422535},
    {1.0, 0.5},
    {0.92592593, 0.38167939},
    {1.0, 0.8064616129, 0.3086417953},
    {0.96153846, 0.70422535211, 0.2590673575},
    {1.0, 0.90909090909, 0.625, 0.2222222222},
    {0.98039126, 0.83333333, 0.55555556, 0.1953125},
};
// The processor's 48 dB/oct Butterworth low-pass differs in its first value.
constexpr double kButterworthLowPass48First = 0.98039216;

struct BesselHighPass {
    double d[kMaxSections];
    double divisor;
};
constexpr BesselHighPass kBesselHighPass[8] = {
    {{0.70422535}, 1.2683112435},
    {{0.70422535}, 1.2683112435},
    {{0.756, 0.72463768}, 1.2854981442},
    {{0.96153846, 0.61728395}, 1.5006420029},
    {{0.6656, 0.8928571428, 0.54347826}, 1.3854981442},
    {{0.980392156, 0.819672131, 0.490196}, 1.5554981442},
    {{0.5937, 0.943396226415, 0.757575757576, 0.4424778761}, 1.5554981442},
    {{0.98039216, 0.89285714, 0.70422535, 0.40650406}, 1.679120141},
};

// Analog Bessel factors 1 / (1 + a p + b p^2); a = 0 marks no section.
struct BesselLowPass {
    double a[kMaxSections];
    double b[kMaxSections];
    double divisor;
};
constexpr BesselLowPass kBesselLowPass[8] = {
    {{1.0}, {0.3333333333}, 1.3616541287},
    {{1.0}, {0.3333333333}, 1.3616541287},
    {{0.5693712514, 0.430628846}, {0.154812441, 0}, 1.75567236868},
    {{0.369, 0.6278294896}, {0.087858766, 0.109408}, 2.1139176749},
    {{0.6656, 1.1402, 0.6216}, {0, 0.4128, 0.3245}, 1.0},
    {{1.2217, 0.9686, 0.5131}, {0.3887, 0.3505, 0.2756}, 1.0},
    {{0.5937, 1.0944, 0.8304, 0.4332}, {0, 0.3395, 0.3011, 0.2381}, 1.0},
    {{0.117235677, 0.226516664, 0.3067559, 0.3494916166},
     {0.02064747, 0.0259273886, 0.0294683265, 0.031272257},
     3.17961723751},
};

bool IsOddOrder(int slope) {
    return slope % 2 == 0;
}

// Cookbook high- and low-pass sections from the damping values, the first
// replaced by a first-order section for odd orders.
int CrossoverSections(bool highPass, int slope, const double* d, double fc, Section* out) {
    const double w0 = kDesignFactor * fc;
    const double c = std::cos(w0);
    const double s = std::sin(w0);
    const double t = std::tan(w0 / 2.0);
    int count = 0;
    for (int k = 0; k < kMaxSections; ++k) {
        if (d[k] == 0.0)
            continue;
        if (k == 0 && IsOddOrder(slope)) {
            if (highPass)
                out[count++] = Section::Make(1.0, -1.0, 0.0, GuardA0(1.0 + d[0] * t), d[0] * t - 1.0, 0.0);
            else
                out[count++] = Section::Make(t, t, 0.0, GuardA0(t + d[0]), t - d[0], 0.0);
            continue;
        }
        const double alpha = s * d[k];
        const double a0 = GuardA0(1.0 + alpha);
        if (highPass)
            out[count++] =
                Section::Make((1.0 + c) / 2.0, -(1.0 + c), (1.0 + c) / 2.0, a0, -2.0 * c, 1.0 - alpha);
        else
            out[count++] =
                Section::Make((1.0 - c) / 2.0, 1.0 - c, (1.0 - c) / 2.0, a0, -2.0 * c, 1.0 - alpha);
    }
    return count;
}

// Degenerate stored values would otherwise reach the maths unlimited.
double Limited(double value, double low, double high, double ifNaN) {
    if (std::isnan(value))
        return ifNaN;
    return std::clamp(value, low, high);
}

} // namespace

double CFilter::Log10(double value) {
    return std::log10(value);
}

int CFilter::ShapingFreq() const {
    return std::clamp(m_nFreq, 20, 20000);
}

double CFilter::ShapingGain() const {
    return Limited(m_dGain, -20.0, 20.0, 0.0);
}

double CFilter::ShapingBandwidth() const {
    return Limited(m_dBandwidth, 0.05, 3.0, 0.57);
}

void CFilter::DeferResponse(int defer) {
    m_bResponseDeferred = defer;
    if (!defer && m_bResponseStale)
        ComputeResponse();
}

void CFilter::ComputeResponse() {
    if (m_bResponseDeferred) {
        m_bResponseStale = 1;
        return;
    }
    m_bResponseStale = 0;
    const bool silent = m_bBypass || m_bFlat;
    switch (m_nType) {
    case Peaking:
        if (silent)
            std::fill(std::begin(m_dResponse), std::end(m_dResponse), 0.0);
        else
            ComputePeakResponse();
        break;
    case LowShelf:
    case HighShelf:
        if (silent)
            std::fill(std::begin(m_dResponse), std::end(m_dResponse), 0.0);
        else
            ComputeShelfResponse();
        break;
    case HighPass:
        if (ShapingFreq() == 20 || m_nSlope == kSlopeOff)
            std::fill(std::begin(m_dResponse), std::end(m_dResponse), 0.0);
        else
            ComputeHighPassResponse();
        break;
    case LowPass:
        if (ShapingFreq() == 20000 || m_nSlope == kSlopeOff)
            std::fill(std::begin(m_dResponse), std::end(m_dResponse), 0.0);
        else
            ComputeLowPassResponse();
        break;
    default:
        break;
    }
    // GainToPos, spelled out so the loop needs no call per point; a response
    // lies within a few thousand dB, so the conversion never saturates.
    const double scale = m_nGraphHeight / 24.0;
    for (int i = 0; i < kFreqSteps; ++i)
        m_ptCurve[i + 1].y = static_cast<int>(scale * (12.0 - m_dResponse[i]) + 0.5) + kPlotTop;
}

void CFilter::ComputePeakResponse() {
    // The centre snaps to the nearest frequency of the axis.
    const double f0 = g_FreqTable[FreqToIndex(m_nFreq) + 1];
    const double a = std::pow(10.0, ShapingGain() / 40.0);
    const double w0 = kDesignFactor * f0;
    const double sinW0 = std::sin(w0);
    const double alpha = sinW0 * std::sinh(kBandwidthFactor * ShapingBandwidth() * w0 / sinW0);
    const double cosTerm = -2.0 * std::cos(w0);
    Section section =
        Section::Make(1.0 + alpha * a, cosTerm, 1.0 - alpha * a, 1.0 + alpha / a, cosTerm, 1.0 - alpha / a);
    Evaluate(&section, 1, m_dResponse);
}

void CFilter::ComputeShelfResponse() {
    double multiplier = 0;
    double shelfSlope = 0;
    if (m_nSlope == 0) {
        multiplier = m_nType == LowShelf ? 2.0 : 0.4545454546;
        shelfSlope = 0.5;
    } else if (m_nSlope == 1) {
        multiplier = m_nType == LowShelf ? 1.2727272727 : 0.76923076923;
        shelfSlope = 1.3;
    }
    const double gain = ShapingGain();
    if (multiplier == 0 || gain == 0.0) {
        std::fill(std::begin(m_dResponse), std::end(m_dResponse), 0.0);
        return;
    }
    const double w0 = kDesignFactor * ShapingFreq() * multiplier;
    const double a = std::pow(10.0, gain / 40.0);
    const double c = std::cos(w0);
    // Negative only for shelves far beyond the editors' range.
    const double radicand = std::max(0.0, (a + 1.0 / a) * (1.0 / shelfSlope - 1.0) + 2.0);
    const double alpha = std::sin(w0) / 2.0 * std::sqrt(radicand);
    const double beta = 2.0 * std::sqrt(a) * alpha;
    Section section;
    if (m_nType == LowShelf) {
        section = Section::Make(a * ((a + 1) - (a - 1) * c + beta), 2 * a * ((a - 1) - (a + 1) * c),
                                a * ((a + 1) - (a - 1) * c - beta), (a + 1) + (a - 1) * c + beta,
                                -2 * ((a - 1) + (a + 1) * c), (a + 1) + (a - 1) * c - beta);
    } else {
        section = Section::Make(a * ((a + 1) + (a - 1) * c + beta), -2 * a * ((a - 1) + (a + 1) * c),
                                a * ((a + 1) + (a - 1) * c - beta), (a + 1) - (a - 1) * c + beta,
                                2 * ((a - 1) - (a + 1) * c), (a + 1) - (a - 1) * c - beta);
    }
    Evaluate(&section, 1, m_dResponse);
}

void CFilter::ComputeHighPassResponse() {
    if (m_nSlope < 0 || m_nSlope > 7 || m_nFamily < LinkwitzRiley || m_nFamily > Bessel) {
        std::fill(std::begin(m_dResponse), std::end(m_dResponse), 0.0);
        return;
    }
    double fc = ShapingFreq();
    const double* d = nullptr;
    if (m_nFamily == Bessel) {
        d = kBesselHighPass[m_nSlope].d;
        fc /= kBesselHighPass[m_nSlope].divisor;
    } else {
        d = m_nFamily == LinkwitzRiley ? kLinkwitzRiley[m_nSlope] : kButterworth[m_nSlope];
    }
    Section sections[kMaxSections];
    int count = CrossoverSections(true, m_nSlope, d, fc, sections);
    Evaluate(sections, count, m_dResponse);
}

void CFilter::ComputeLowPassResponse() {
    if (m_nSlope < 0 || m_nSlope > 7 || m_nFamily < LinkwitzRiley || m_nFamily > Bessel) {
        std::fill(std::begin(m_dResponse), std::end(m_dResponse), 0.0);
        return;
    }
    Section sections[kMaxSections];
    int count = 0;
    if (m_nFamily == Bessel) {
        const BesselLowPass& bessel = kBesselLowPass[m_nSlope];
        const double k = std::tan(kDesignFactor * ShapingFreq() / bessel.divisor / 2.0);
        const double k2 = k * k;
        for (int i = 0; i < kMaxSections; ++i) {
            const double a = bessel.a[i];
            const double b = bessel.b[i];
            if (a == 0.0)
                continue;
            sections[count++] = Section::Make(k2, 2 * k2, k2, a * k + k2 + b, 2 * k2 - 2 * b, k2 - a * k + b);
        }
    } else {
        double d[kMaxSections];
        const double* table = m_nFamily == LinkwitzRiley ? kLinkwitzRiley[m_nSlope] : kButterworth[m_nSlope];
        std::copy(table, table + kMaxSections, d);
        if (m_nFamily == Butterworth && m_nSlope == 7)
            d[0] = kButterworthLowPass48First;
        count = CrossoverSections(false, m_nSlope, d, ShapingFreq(), sections);
    }
    Evaluate(sections, count, m_dResponse);
}
