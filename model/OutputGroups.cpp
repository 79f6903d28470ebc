#include "model/OutputGroups.h"

#include "model/Globals.h"

#include <algorithm>
#include <iterator>

namespace {

int StateFromCount(int count) {
    return (count == 2 || count == 3) ? 0 : -1;
}

// With two members: tweeter and woofer 2, tweeter and another 1, no tweeter 3;
// three members 4.
int FrontMode(int count, const int (&types)[3], int tweeter, int woofer) {
    if (count == 3)
        return 4;
    if (count != 2)
        return -1;
    bool hasTweeter = types[0] == tweeter || types[1] == tweeter;
    if (!hasTweeter)
        return 3;
    bool hasWoofer = types[0] == woofer || types[1] == woofer;
    return hasWoofer ? 2 : 1;
}

} // namespace

void COutputGroups::Classify(const std::function<void()>& hideWindow) {
    COutputGroups& g = g_OutputGroups;
    g = COutputGroups{};

    int centre = 0, frontLeft = 0, frontRight = 0, rearLeft = 0, rearRight = 0, subwoofer = 0;
    for (int k = 0; k < kOutputs; ++k) {
        int type = g_SpkTypeState[kSpkTypeOutputBase + k];
        if (type == 19 || type == 20) {
            g.centreSlots[k] = k;
            ++centre;
        } else if (type >= 1 && type <= 5) {
            g.frontLeftSlots[k] = k;
            if (frontLeft < 3)
                g.frontLeftTypes[frontLeft] = type;
            ++frontLeft;
        } else if (type >= 7 && type <= 11) {
            g.frontRightSlots[k] = k;
            if (frontRight < 3)
                g.frontRightTypes[frontRight] = type;
            ++frontRight;
        } else if (type == 13 || type == 14) {
            g.rearLeftSlots[k] = k;
            ++rearLeft;
        } else if (type == 16 || type == 17) {
            g.rearRightSlots[k] = k;
            ++rearRight;
        } else if (type == 22 || type == 23) {
            g.subwooferSlots[k] = k;
            ++subwoofer;
        }
    }

    g.centreState = StateFromCount(centre);
    g.frontLeftState = StateFromCount(frontLeft);
    g.frontRightState = StateFromCount(frontRight);
    g.rearLeftState = StateFromCount(rearLeft);
    g.rearRightState = StateFromCount(rearRight);
    g.subwooferState = StateFromCount(subwoofer);
    g.frontLeftMode = FrontMode(frontLeft, g.frontLeftTypes, 1, 3);
    g.frontRightMode = FrontMode(frontRight, g.frontRightTypes, 7, 9);

    if (hideWindow)
        hideWindow();
}

void COutputGroups::Reset() {
    g_GroupSelection.selection = -1;
    std::fill(std::begin(g_GroupSelection.flags), std::end(g_GroupSelection.flags), 0);
}
