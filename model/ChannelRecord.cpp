#include "model/ChannelRecord.h"

#include "model/Filter.h"
#include "model/Globals.h"
#include "platform/sys/MessageBox.h"

CrossoverRecord CrossoverBytes(const CFilter& highPass, const CFilter& lowPass) {
    CrossoverRecord record {};
    PutLe16(&record[0], static_cast<unsigned>(highPass.GetSentFreq()));
    record[2] = static_cast<BYTE>(highPass.GetFamily());
    record[3] = static_cast<BYTE>(highPass.GetSlope());
    PutLe16(&record[4], static_cast<unsigned>(lowPass.GetSentFreq()));
    record[6] = static_cast<BYTE>(lowPass.GetFamily());
    record[7] = static_cast<BYTE>(lowPass.GetSlope());
    return record;
}

void LoadCrossoverBytes(CFilter& highPass, CFilter& lowPass, const BYTE* record, bool signedFrequencies) {
    auto load = [signedFrequencies](CFilter& filter, const BYTE* at) {
        filter.SetFreq(signedFrequencies ? GetLe16Signed(at) : GetLe16(at), 0);
        filter.SetFamily(at[2], 0);
        filter.SetSlope(at[3], 0);
        filter.StepSentFreq(0);
    };
    load(highPass, record);
    load(lowPass, record + 4);
}

void ShowCharLenError() {
    if (g_bChinese)
        AfxMessageBox("字符长度错误!", MB_OK, -2);
    else
        AfxMessageBox("Char len error!", MB_OK, -3);
}
