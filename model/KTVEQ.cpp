#include "model/KTVEQ.h"

#include "model/Globals.h"
#include "platform/sys/Archive.h"

#include <algorithm>
#include <cstdint>
#include <mutex>

namespace {

constexpr int kGainCodeOffset = 400;
constexpr int kFlatGainCode = 600;

void PutWord(BYTE* at, long long value) {
    at[0] = static_cast<BYTE>(value & 0xFF);
    at[1] = static_cast<BYTE>((value >> 8) & 0xFF);
}

int GetSignedWord(const BYTE* at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(at[0] | (at[1] << 8)));
}

} // namespace

CFilter& CKTVEQ::Append() {
    m_filters.push_back(std::make_unique<CFilter>());
    return *m_filters.back();
}

// Bands 0..lastBand at the frequencies of the first table, continued by the
// same positions of the second table once the first runs out.
void CKTVEQ::AppendBands(int lastBand, const int* firstTable, int firstCount, const int* secondTable) {
    const int maxBand = secondTable ? 30 : firstCount - 1;
    lastBand = std::min(lastBand, maxBand);
    for (int i = 0; i <= lastBand; ++i) {
        CFilter& band = Append();
        band.SetFreq(i < firstCount ? firstTable[i] : secondTable[i], 1);
        band.SetBandNo(i);
    }
}

// The high-pass and the low-pass filter that follow the bands of the
// microphone and music sets: 6 dB/oct Bessel, high-pass at 20 Hz.
void CKTVEQ::AppendCutFilters(int cutNo, int lowPassFreq) {
    for (int type : {CFilter::HighPass, CFilter::LowPass}) {
        CFilter& cut = Append();
        cut.SetType(type);
        cut.SetSlope(0, 1);
        cut.SetFamily(CFilter::Bessel, 1);
        cut.SetHandlesMode(0);
        cut.SetFreq(type == CFilter::HighPass ? 20 : lowPassFreq, 1);
        cut.SetBandNo(cutNo);
    }
}

void CKTVEQ::InitMicLayout(int lastBand, int cutNo, int lowPassFreq) {
    AppendBands(lastBand, g_InBandTable, 15, nullptr);
    // The outer bands are 6 dB/oct shelves.
    if (GetSize() > 0) {
        GetAt(0)->SetSlope(0, 1);
        GetAt(0)->SetType(CFilter::LowShelf);
        GetAt(GetSize() - 1)->SetSlope(0, 1);
        GetAt(GetSize() - 1)->SetType(CFilter::HighShelf);
    }
    AppendCutFilters(cutNo, lowPassFreq);
}

void CKTVEQ::InitMusicLayout(int lastBand, int cutNo, int lowPassFreq) {
    AppendBands(lastBand, g_InBandTable, 15, g_OutBandTable);
    AppendCutFilters(cutNo, lowPassFreq);
}

void CKTVEQ::InitEffectLayout(int lastBand, int cutNo, int lowPassFreq) {
    AppendBands(lastBand, g_EffectBandTable, 3, nullptr);
    for (int type : {CFilter::HighPass, CFilter::LowPass}) {
        CFilter& cut = Append();
        cut.SetType(type);
        cut.SetHandlesMode(0);
        cut.SetFamily(CFilter::Bessel, 1);
        cut.SetFreq(type == CFilter::HighPass ? 20 : lowPassFreq, 1);
        cut.SetBandNo(cutNo);
        cut.SetDragMode(8);
    }
}

void CKTVEQ::InitOutputLayout(int lastBand, int cutNo, int highPassDragMode, int highPassFreq,
                              int lowPassFreq) {
    AppendBands(lastBand, g_OutBandTable, 31, nullptr);
    for (int type : {CFilter::HighPass, CFilter::LowPass}) {
        CFilter& cut = Append();
        cut.SetType(type);
        cut.SetHandlesMode(0);
        cut.SetFreq(type == CFilter::HighPass ? highPassFreq : lowPassFreq, 0);
        cut.SetBandNo(cutNo);
        cut.SetDragMode(type == CFilter::HighPass ? highPassDragMode : 12);
        cut.SetFamily(CFilter::LinkwitzRiley, 0);
        cut.SetSlope(2, 0);
    }
}

void CKTVEQ::SetCurveRect(const CRect& plot) {
    m_nGraphHeight = plot.Height();
    m_nGraphWidth = plot.Width();
    for (int s = 0; s < kFreqSteps; ++s)
        m_ptSumCurve[s] =
            CPoint(FreqToPos(g_FreqTable[s + 1], m_nGraphWidth) + CFilter::kPlotLeft, m_nGraphHeight / 2);
    for (auto& filter : m_filters)
        filter->SetGraphRect(plot);
}

double CKTVEQ::SummedResponse(int step) const {
    double sum = 0.0;
    for (const auto& filter : m_filters)
        sum += filter->GetResponse()[step];
    return sum;
}

void CKTVEQ::ComputeSumCurve() {
    for (int s = 0; s < kFreqSteps; ++s) {
        const double sum = SummedResponse(s);
        m_ptSumCurve[s].y = GainToPos(sum, m_nGraphHeight) + CFilter::kPlotTop;
        m_ptfSumCurve[s].y = static_cast<float>(GainToPosF(sum, m_nGraphHeight) + CFilter::kPlotTop);
    }
}

void CKTVEQ::ComputeSumCurveF() {
    for (int s = 0; s < kFreqSteps; ++s)
        m_ptfSumCurve[s].y =
            static_cast<float>(GainToPosF(SummedResponse(s), m_nGraphHeight) + CFilter::kPlotTop);
}

void CKTVEQ::ComputeBandCurve(int index) {
    if (index < 0 || index >= GetSize())
        return;
    const double* response = GetAt(index)->GetResponse();
    for (int s = 0; s < kFreqSteps; ++s)
        m_ptSumCurve[s].y = GainToPos(response[s], m_nGraphHeight) + CFilter::kPlotTop;
}

void CKTVEQ::DeferResponses(int defer) {
    for (auto& filter : m_filters)
        filter->DeferResponse(defer);
}

void CKTVEQ::CopyFrom(const CKTVEQ& source) {
    std::lock_guard lock(g_csModel);
    const int count = std::min(GetSize(), source.GetSize());
    for (int i = 0; i < count; ++i)
        GetAt(i)->CopyFrom(*source.GetAt(i));
}

BandBlock CKTVEQ::PackBand(int index) const {
    BandBlock block{};
    if (index < 0 || index >= GetSize())
        return block;
    const CFilter& filter = *GetAt(index);
    // 64-bit: an archived gain can be any double; only the low 16 bits go out.
    const long long gainCode = filter.IsFlatOrBypassed()
                                   ? kFlatGainCode
                                   : static_cast<long long>(filter.GetGainIndex()) + kGainCodeOffset;
    PutWord(&block[0], filter.GetSentFreq());
    PutWord(&block[2], gainCode);
    PutWord(&block[4], filter.GetBandwidthIndex());
    block[6] = filter.GetSlopeByte();
    block[7] = filter.GetTypeByte();
    return block;
}

void CKTVEQ::UnpackBand(const BYTE* block, int index) {
    std::lock_guard lock(g_csModel);
    if (index < 0 || index >= GetSize())
        return;
    CFilter& filter = *GetAt(index);
    filter.SetGainIndex(GetSignedWord(&block[2]) - kGainCodeOffset);
    filter.SetBandwidthIndex(GetSignedWord(&block[4]));
    filter.SetSlope(block[6], 1);
    filter.SetType(block[7]);
    // Target and sent frequency become the block's, so the step clears the flag.
    filter.SetFreq(GetSignedWord(&block[0]), 0);
    filter.StepSentFreq(0);
}

void CKTVEQ::Serialize(CArchive& ar) {
    std::lock_guard lock(g_csModel);
    CObject::Serialize(ar);
    for (auto& filter : m_filters)
        filter->Serialize(ar);
}
