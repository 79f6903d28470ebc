#include "pages/output/LinkedOutputMute.h"

#include "link/KTVCommand.h"
#include "model/Globals.h"
#include "model/KTV_OutData.h"
#include "model/SendData.h"
#include "pages/output/LinkGroups.h"

void CLinkedOutputMute::Run(int anchor, int flag, CKTVCommand& command) {
    if (!g_bOnline)
        return;
    const int number = CLinkGroups::NumberOf(anchor);
    if (!number)
        return;
    CModelLock lock(true);
    for (int k = 0; k < kOutputCount; ++k) {
        if (CLinkGroups::NumberOf(k) != number)
            continue;
        auto* out = reinterpret_cast<CKTV_OutData*>(g_OutLinkTable[13 + k]);
        if (!out)
            continue;
        if (flag) {
            m_saved[k] = out->GetEnable();
            out->SetEnable(0);
        } else {
            out->SetEnable(BYTE(m_saved[k]));
        }
        out->SetBasicDirty(0);
        command.AddCommand(out->PackBasic(1));
    }
}
