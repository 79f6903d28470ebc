#pragma once

#include <functional>

// The outputs of each multi-way speaker group (centre, front left and right,
// rear left and right, subwoofers), classified from the outputs' speaker
// types.  Group state: -1 not linkable, 0 linkable (2 or 3 members), 1 linked.
struct COutputGroups {
    static constexpr int kOutputs = 12;

    int centreState = -1;
    int centreSlots[kOutputs] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int frontLeftState = -1;
    int frontLeftMode = -1;
    int frontLeftTypes[3] = {-1, -1, -1};
    int frontLeftSlots[kOutputs] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int frontRightState = -1;
    int frontRightMode = -1;
    int frontRightTypes[3] = {-1, -1, -1};
    int frontRightSlots[kOutputs] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int rearLeftState = -1;
    int rearLeftSlots[kOutputs] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int rearRightState = -1;
    int rearRightSlots[kOutputs] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int subwooferState = -1;
    int subwooferSlots[kOutputs] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

    // Rebuilds the process-wide groups from the twelve output types, then
    // runs `hideWindow` when given (the model knows no windows).
    static void Classify(const std::function<void()>& hideWindow = {});
    // Clears the process-wide group selection.
    static void Reset();
};

// Which group the user picked and which outputs of it; kept beside the groups.
struct GroupSelection {
    int selection = -1;
    int flags[COutputGroups::kOutputs] = {};
};
