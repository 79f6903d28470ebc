#include "model/ChannelRecord.h"

#include "model/Filter.h"

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
