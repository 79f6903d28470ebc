#include "model/ChannelRecord.h"

#include "model/Filter.h"
#include "model/KTVEQ.h"

#include <cassert>

CrossoverRecord CrossoverBytes(const CFilter& highPass, const CFilter& lowPass) {
    CrossoverRecord record{};
    PutLe16(&record[0], static_cast<unsigned>(highPass.GetSentFreq()));
    record[2] = static_cast<BYTE>(highPass.GetFamily());
    record[3] = static_cast<BYTE>(highPass.GetSlope());
    PutLe16(&record[4], static_cast<unsigned>(lowPass.GetSentFreq()));
    record[6] = static_cast<BYTE>(lowPass.GetFamily());
    record[7] = static_cast<BYTE>(lowPass.GetSlope());
    return record;
}

void ApplyCrossoverBytes(CFilter& highPass, CFilter& lowPass, const BYTE* record, bool signedFrequencies,
                         int mark) {
    auto apply = [=](CFilter& filter, const BYTE* at) {
        filter.SetFreq(signedFrequencies ? GetLe16Signed(at) : GetLe16(at), mark);
        filter.SetFamily(at[2], mark);
        filter.SetSlope(at[3], mark);
    };
    apply(highPass, record);
    apply(lowPass, record + 4);
}

void LoadCrossoverBytes(CFilter& highPass, CFilter& lowPass, const BYTE* record, bool signedFrequencies) {
    ApplyCrossoverBytes(highPass, lowPass, record, signedFrequencies, 0);
    highPass.StepSentFreq(0);
    lowPass.StepSentFreq(0);
}

CFilter* FilterAt(const CKTVEQ& eq, int index) {
    assert(index >= 0 && index < eq.GetSize());
    return eq.GetAt(index);
}

CFilter* HighPassOf(const CKTVEQ& eq) {
    CFilter* filter = FilterAt(eq, eq.GetSize() - 2);
    assert(filter->GetType() == CFilter::HighPass);
    return filter;
}

CFilter* LowPassOf(const CKTVEQ& eq) {
    CFilter* filter = FilterAt(eq, eq.GetSize() - 1);
    assert(filter->GetType() == CFilter::LowPass);
    return filter;
}

void StepAllSentFreq(const CKTVEQ& eq, int keep) {
    for (int i = 0; i < eq.GetSize(); ++i)
        eq.GetAt(i)->StepSentFreq(keep);
}

void CopySumCurveY(const CKTVEQ& eq, CPoint* points, CurvePointF* pointsF) {
    for (int i = 0; i < kFreqSteps; ++i) {
        points[i].y = eq.GetSumCurve()[i].y;
        pointsF[i].y = eq.GetSumCurveF()[i].y;
    }
}
