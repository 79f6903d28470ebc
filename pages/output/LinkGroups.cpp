#include "pages/output/LinkGroups.h"

#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "pages/output/LinkGroupSurface.h"

namespace {

constexpr int kNumberByte = 287;

bool IsGroupIndex(int g) {
    return g >= 0 && g < kOutputCount;
}

int Bit(int output) {
    return 1 << output;
}

void SetNumber(int output, int number) {
    g_OutLinkTable[1 + output] = number;
}

bool AnyGroupUsed() {
    for (int g = 0; g < kOutputCount; ++g)
        if (g_bLinkGroupUsed[g])
            return true;
    return false;
}

} // namespace

int CLinkGroups::NumberOf(int output) {
    if (output < 0 || output >= kOutputCount)
        return 0;
    const auto n = g_OutLinkTable[1 + output];
    return n >= 1 && n <= kOutputCount ? int(n) : 0;
}

void CLinkGroups::HighlightGroup(ILinkGroupSurface& surface, int number) {
    if (number < 1 || number > kOutputCount)
        return;
    BOOL any = FALSE;
    for (int k = 0; k < kOutputCount; ++k)
        if (NumberOf(k) == number && surface.IsSelectLatched(k))
            any = TRUE;
    for (int k = 0; k < kOutputCount; ++k)
        if (NumberOf(k) == number)
            surface.SetSelectLatched(k, any);
}

void CLinkGroups::Release(int group) {
    // The outputs that remembered an emptied group can no longer rejoin it.
    for (int k = 0; k < kOutputCount; ++k) {
        if (g_nLinkGroupMask[group] & Bit(k)) {
            g_LastLinkGroup[k].bLeft = 0;
            g_nLinkGroupMask[group] &= ~Bit(k);
        }
    }
}

void CLinkGroups::Leave(ILinkGroupSurface& surface, int output, bool remember, bool changeSelect) {
    const int g = NumberOf(output) - 1;
    SetNumber(output, 0);
    if (changeSelect) {
        if (output != g_nCurOutChannel) {
            surface.SetSelectLatched(output, FALSE);
        } else {
            for (int k = 0; k < kOutputCount; ++k)
                if (k != output)
                    surface.SetSelectLatched(k, FALSE);
        }
    }
    g_bOutChanged[output] = 0;
    g_bLinkGroupForming = 0;
    if (!IsGroupIndex(g)) {
        g_LastLinkGroup[output].bLeft = 0;
        return;
    }
    if (g_nLinkGroupSize[g] > 0)
        --g_nLinkGroupSize[g];
    if (g_nLinkGroupSize[g] == 0)
        g_bLinkGroupUsed[g] = 0;
    // Cleared, not subtracted: a rebuild may have cleared the bit already.
    if (remember) {
        g_nLinkGroupMask[g] |= Bit(output);
        g_LastLinkGroup[output] = {1, g};
    } else {
        g_nLinkGroupMask[g] &= ~Bit(output);
        g_LastLinkGroup[output].bLeft = 0;
    }
    if (!g_bLinkGroupUsed[g])
        Release(g);
}

void CLinkGroups::ForgetRemembered(int output) {
    LastLinkGroup& last = g_LastLinkGroup[output];
    if (!last.bLeft)
        return;
    if (IsGroupIndex(last.nGroup))
        g_nLinkGroupMask[last.nGroup] &= ~Bit(output);
    last.bLeft = 0;
}

int CLinkGroups::RejoinAnchor(int output) {
    const int g = g_LastLinkGroup[output].nGroup;
    // The output's own bit says the group is still the one it left: a
    // rebuild clears every bit, and may hand the number to other outputs.
    if (!IsGroupIndex(g) || !g_bLinkGroupUsed[g] || !(g_nLinkGroupMask[g] & Bit(output)))
        return -1;
    for (int k = 0; k < kOutputCount; ++k)
        if (k != output && (g_nLinkGroupMask[g] & Bit(k)) && !g_LastLinkGroup[k].bLeft &&
            NumberOf(k) == g + 1)
            return k;
    return -1;
}

void CLinkGroups::Join(ILinkGroupSurface& surface, int output, int anchor, int group) {
    SetNumber(output, group + 1);
    surface.MuteLinkedOutputs(anchor, 1);
    surface.MuteLinkedOutputs(anchor, 0);
    surface.HighlightLinkGroup(output, group + 1);
    surface.RedrawGraph();
    surface.SetGroupImage(output, group + 1);
    ++g_nLinkGroupSize[group];
    g_bLinkGroupUsed[group] = 1;
    g_nLinkGroupMask[group] |= Bit(output);
    g_LastLinkGroup[output] = {0, group};
}

int CLinkGroups::Create(ILinkGroupSurface& surface, int output, bool select) {
    const int s = surface.FindFreeSlot();
    if (!IsGroupIndex(s))
        return -1;
    surface.SetGroupImage(output, s + 1);
    SetNumber(output, s + 1);
    if (select) {
        for (int k = 0; k < kOutputCount; ++k)
            surface.SetSelectLatched(k, k == output);
        surface.ShowChannel(output);
    }
    g_bLinkGroupForming = 1;
    g_nLinkGroupFounder = output;
    g_bLinkGroupUsed[s] = 1;
    ++g_nLinkGroupSize[s];
    g_nLinkGroupMask[s] |= Bit(output);
    g_LastLinkGroup[output] = {0, s};
    return s;
}

void CLinkGroups::EndStep(ILinkGroupSurface& surface, int output, CKTV_OutData* data, BOOL latched) {
    {
        CModelLock lock(false);
        g_DeviceImage[OutputRecordOffset(output) + kNumberByte] = BYTE(NumberOf(output));
    }
    if (data)
        data->SetLimiterDirty(1);
    surface.SetGroupLatched(output, latched);
}

void CLinkGroups::OnGroupClick(ILinkGroupSurface& surface, int output, CKTV_OutData* data, WPARAM kind) {
    if (output < 0 || output >= kOutputCount)
        return;
    if (kind != kSingleClick && kind != kDoubleClick && kind != kRightClick)
        return;
    const BOOL latched = surface.IsGroupLatched(output);

    if (kind == kRightClick) {
        if (!latched)
            return;
        Leave(surface, output, false, true);
        EndStep(surface, output, data, FALSE);
        return;
    }
    if (latched) {
        if (kind == kSingleClick) {
            Leave(surface, output, true, true);
            if (!AnyGroupUsed())
                for (auto& last : g_LastLinkGroup)
                    last.bLeft = 0;
            EndStep(surface, output, data, FALSE);
        } else {
            // Out of its group into a new one of its own.
            Leave(surface, output, false, false);
            const BOOL inGroup = Create(surface, output, true) >= 0;
            if (!inGroup)
                surface.SetGroupImage(output, 0);
            EndStep(surface, output, data, inGroup);
        }
        return;
    }

    if (kind == kDoubleClick) {
        if (surface.FindFreeSlot() < 0)
            return;
        ForgetRemembered(output);
        Create(surface, output, true);
        EndStep(surface, output, data, TRUE);
        return;
    }

    // Single click on an unlatched button.
    if (g_LastLinkGroup[output].bLeft && !g_bOutChanged[output]) {
        const int anchor = RejoinAnchor(output);
        if (anchor >= 0) {
            Join(surface, output, anchor, g_LastLinkGroup[output].nGroup);
            EndStep(surface, output, data, TRUE);
            return;
        }
    }
    const int cur = g_nCurOutChannel;
    const int curNumber = NumberOf(cur);
    if (cur >= 0 && cur < kOutputCount && cur != output && curNumber && surface.IsGroupLatched(cur)) {
        ForgetRemembered(output);
        Join(surface, output, cur, curNumber - 1);
        EndStep(surface, output, data, TRUE);
        return;
    }
    const int founder = g_nLinkGroupFounder;
    if (output != cur && founder >= 0 && founder < kOutputCount && founder != output && g_bLinkGroupForming) {
        const int number = NumberOf(founder);
        if (number && g_bLinkGroupUsed[number - 1]) {
            ForgetRemembered(output);
            Join(surface, output, founder, number - 1);
            EndStep(surface, output, data, TRUE);
            return;
        }
    }
    if (surface.FindFreeSlot() < 0)
        return;
    ForgetRemembered(output);
    Create(surface, output, false);
    EndStep(surface, output, data, TRUE);
}

void CLinkGroups::Rebuild(CKTV_Data& model, ILinkGroupSurface& surface) {
    model.InitLinkTable();
    const int cur = g_nCurOutChannel;
    const int curNumber = NumberOf(cur);
    for (int k = 0; k < kOutputCount; ++k)
        surface.SetSelectLatched(k, FALSE);
    for (int k = 0; k < kOutputCount; ++k)
        if (k == cur || (curNumber && NumberOf(k) == curNumber))
            surface.SetSelectLatched(k, TRUE);
    for (int k = 0; k < kOutputCount; ++k) {
        const int number = NumberOf(k);
        if (number) {
            const int g = number - 1;
            g_bLinkGroupUsed[g] = 1;
            g_nLinkGroupMask[g] |= Bit(k);
            ++g_nLinkGroupSize[g];
            g_LastLinkGroup[k] = {0, g};
            surface.SetGroupImage(k, number);
            surface.SetGroupLatched(k, TRUE);
        } else {
            surface.SetGroupImage(k, 0);
            surface.SetGroupLatched(k, FALSE);
        }
    }
    g_bLinkGroupForming = cur >= 0 && cur < kOutputCount && surface.IsGroupLatched(cur) ? 1 : 0;
    surface.UnlatchPageLinkMark();
    surface.RedrawGraph();
}
