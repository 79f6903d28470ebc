#pragma once

// The equaliser of one channel: N peaking or shelf bands, then the high-pass
// and the low-pass filter.  Builds its filters with the channel's default
// layout, sums their responses into the curve the graph draws, and converts
// one band to and from the 8-byte block of the device image.

#include "model/DataDefine.h"
#include "model/Filter.h"
#include "platform/sys/Geometry.h"
#include "platform/sys/Object.h"

#include <array>
#include <memory>
#include <vector>

// One band in a channel record, little-endian: sent frequency (16-bit), gain
// code (16-bit, gain index + 400, 600 when flat or bypassed), bandwidth index
// (16-bit), slope byte, type byte.  The 16-bit fields read back signed.
using BandBlock = std::array<BYTE, 8>;

struct CurvePointF {
    float x = 0;
    float y = 0;
};

class CKTVEQ : public CObject {
public:
    CKTVEQ() = default;
    ~CKTVEQ() override = default;
    CKTVEQ(const CKTVEQ&) = delete;
    CKTVEQ& operator=(const CKTVEQ&) = delete;

    void Serialize(CArchive& ar) override;

    // Each runs once, on an empty set, when the channel is created.
    void InitMicLayout(int lastBand, int cutNo, int lowPassFreq);
    void InitMusicLayout(int lastBand, int cutNo, int lowPassFreq);
    void InitEffectLayout(int lastBand, int cutNo, int lowPassFreq);
    void InitOutputLayout(int lastBand, int cutNo, int highPassDragMode, int highPassFreq, int lowPassFreq);

    int GetSize() const { return static_cast<int>(m_filters.size()); }
    CFilter* GetAt(int index) const { return m_filters[static_cast<std::size_t>(index)].get(); }
    CFilter* operator[](int index) const { return GetAt(index); }

    void SetCurveRect(const CRect& plot);
    void ComputeSumCurve();
    void ComputeSumCurveF();
    void ComputeBandCurve(int index);
    void ComputeBandCurveY(int index) { ComputeBandCurve(index); }
    const CPoint* GetSumCurve() const { return m_ptSumCurve; }
    const CurvePointF* GetSumCurveF() const { return m_ptfSumCurve; }

    void CopyFrom(const CKTVEQ& source);
    // CFilter::DeferResponse on every filter of the set.
    void DeferResponses(int defer);

    // Returned by value: packing runs on both threads.  An index outside the
    // set gives a zero block and an unpack of one does nothing.
    BandBlock PackBand(int index) const;
    void UnpackBand(const BYTE* block, int index);

private:
    CFilter& Append();
    void AppendBands(int lastBand, const int* firstTable, int firstCount, const int* secondTable);
    void AppendCutFilters(int cutNo, int lowPassFreq);
    double SummedResponse(int step) const;

    std::vector<std::unique_ptr<CFilter>> m_filters;
    CPoint m_ptSumCurve[kFreqSteps];
    CurvePointF m_ptfSumCurve[kFreqSteps];
    int m_nGraphHeight = 0;
    int m_nGraphWidth = 0;
};
