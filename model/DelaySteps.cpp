#include "model/DelaySteps.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxStep = 384;
constexpr int kTwentyMsStep = 960;
constexpr double kAirTemperature = 75;
const double kSpeedOfSound = (kAirTemperature - 50) * 0.6 + 331;
const double kSpeedOfSoundFine = (kAirTemperature - 50) * 0.6 + 331.4;
const double kInchesPerMetre = 3.2808 * 12;

double TimeMs(int step) {
    return step == kTwentyMsStep ? 20.0 : step / 48.0;
}

// Whole units, halves away from zero (86.5 cm shows as 87).
int Whole(double distance) {
    return int(std::round(distance));
}

int Centimetres(int step) {
    return Whole(kSpeedOfSound / 1000 * TimeMs(step) * 100);
}

int Inches(int step) {
    double v = step == kTwentyMsStep ? kSpeedOfSoundFine : kSpeedOfSound;
    return Whole(v / 1000 * TimeMs(step) * 3.2808 * 12);
}

int StepOfTime(double ms) {
    if (ms >= 20.0)
        return kMaxStep;
    return int(ms / (1.0 / 48) + 0.5);
}

struct Walk {
    int step;      // the last step reached
    double timeMs; // the time of the last step evaluated
    int distance;  // the whole distance of the last step evaluated
};

// Moves from `step` by `delta` until the whole distance has changed by one
// unit in that direction, or the range ends.
template <typename Distance> Walk WalkToNextUnit(int step, int delta, Distance distance) {
    const int d0 = distance(step);
    int s = step + delta;
    for (;;) {
        Walk w{s, TimeMs(s), distance(s)};
        if (delta > 0 ? w.distance - d0 >= 1 : w.distance - d0 <= -1)
            return w;
        s += delta;
        if (s >= kMaxStep)
            return {kMaxStep, w.timeMs, w.distance};
        if (s < 0)
            return {0, w.timeMs, w.distance};
    }
}

bool AtEnd(int step, int delta) {
    return (delta > 0 && step == kTwentyMsStep) || (delta < 0 && step == 0);
}

} // namespace

int DelayStepByCm(int step, int delta) {
    if (AtEnd(step, delta))
        return step;
    // Without a direction no distance ever changes.
    if (delta == 0)
        return std::clamp(step, 0, kMaxStep);
    Walk w = WalkToNextUnit(step, delta, Centimetres);
    return std::clamp(StepOfTime(w.timeMs), 0, kMaxStep);
}

int DelayStepByInch(int step, int delta) {
    if (AtEnd(step, delta))
        return step;
    if (delta == 0)
        return std::clamp(step, 0, kMaxStep);
    Walk w = WalkToNextUnit(step, delta, Inches);
    int s = w.step;
    // The step of the new whole-inch distance, not the first step reaching it.
    if (s > 0 && s < kMaxStep)
        s = StepOfTime(w.distance / kInchesPerMetre * 1000 / kSpeedOfSoundFine);
    return std::clamp(s, 0, kMaxStep);
}
