#pragma once

// The strips' buttons and the view's answers as plain state, for the
// link-group bookkeeping without windows.

#include "model/Globals.h"
#include "pages/output/LinkGroupSurface.h"
#include "pages/output/LinkGroups.h"

#include <array>
#include <string>
#include <vector>

class FakeLinkSurface final : public ILinkGroupSurface {
public:
    std::array<int, kOutputCount> image{};
    std::array<BOOL, kOutputCount> group{};
    std::array<BOOL, kOutputCount> select{};
    std::vector<std::pair<int, int>> mutes; // anchor, flag
    std::vector<int> shown;
    int redraws = 0;
    int linkMarkResets = 0;

    void SetGroupImage(int output, int number) override { image[output] = number; }
    BOOL IsGroupLatched(int output) override { return group[output]; }
    void SetGroupLatched(int output, BOOL latched) override { group[output] = latched; }
    BOOL IsSelectLatched(int output) override { return select[output]; }
    void SetSelectLatched(int output, BOOL latched) override { select[output] = latched; }
    int FindFreeSlot() override {
        for (int g = 0; g < kOutputCount; ++g)
            if (!g_bLinkGroupUsed[g])
                return g;
        return -1;
    }
    void HighlightLinkGroup(int, int number) override { CLinkGroups::HighlightGroup(*this, number); }
    void MuteLinkedOutputs(int anchor, int flag) override { mutes.emplace_back(anchor, flag); }
    void RedrawGraph() override { ++redraws; }
    void ShowChannel(int output) override {
        g_nCurOutChannel = output;
        shown.push_back(output);
    }
    void UnlatchPageLinkMark() override { ++linkMarkResets; }

    // What the view's select handler does: the output becomes current and
    // the select buttons of its group (or its own) are latched.
    void Select(int output) {
        select.fill(FALSE);
        g_nCurOutChannel = output;
        const int number = CLinkGroups::NumberOf(output);
        for (int k = 0; k < kOutputCount; ++k)
            if (k == output || (number && CLinkGroups::NumberOf(k) == number))
                select[k] = TRUE;
    }

    static std::string Flags(const std::array<BOOL, kOutputCount>& flags) {
        std::string s;
        for (BOOL f : flags)
            s += f ? '1' : '0';
        return s;
    }
};
