#include "model/DelaySteps.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> StepUp(int (*stepper)(int, int), int from, int count) {
    std::vector<int> steps;
    for (int s = from; int(steps.size()) < count;) {
        s = stepper(s, +1);
        steps.push_back(s);
    }
    return steps;
}

TEST(DelaySteps, EachStepUpShowsTheNextWholeUnit) {
    EXPECT_EQ(StepUp(DelayStepByCm, 0, 12), (std::vector<int>{1, 3, 4, 5, 7, 8, 10, 11, 12, 14, 15, 16}));
    EXPECT_EQ(StepUp(DelayStepByInch, 0, 12),
              (std::vector<int>{4, 7, 11, 14, 18, 21, 25, 28, 32, 35, 39, 42}));
}

TEST(DelaySteps, EndsOfTheRange) {
    struct Case {
        int (*stepper)(int, int);
        int step, delta, expected;
    };
    const Case cases[] = {
        {DelayStepByCm, 383, +1, 384},   {DelayStepByCm, 384, +1, 384},  {DelayStepByCm, 384, -1, 383},
        {DelayStepByCm, 960, -1, 384},   {DelayStepByCm, 960, +1, 960},  {DelayStepByCm, 0, -1, 0},
        {DelayStepByInch, 100, +1, 102}, {DelayStepByInch, 100, -1, 95}, {DelayStepByInch, 384, -1, 380},
        {DelayStepByInch, 960, +1, 960}, {DelayStepByInch, 0, -1, 0},    {DelayStepByInch, 960, -1, 384},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.stepper(c.step, c.delta), c.expected)
            << (c.stepper == DelayStepByCm ? "cm " : "inch ") << c.step << " " << c.delta;
}

// Step 120 is exactly 86.5 cm; it shows as 87, so one step up from 119
// (85.8 cm, shown 86) is enough and one step down from it reaches 86.
TEST(DelaySteps, HalfCentimetresRoundAwayFromZero) {
    EXPECT_EQ(DelayStepByCm(119, +1), 120);
    EXPECT_EQ(DelayStepByCm(120, -1), 119);
}

// Delay words from files and replies are not checked before they reach a
// spin; any word and a zero delta must give an answer inside 0..384.
TEST(DelaySteps, AnyWordEndsInsideTheRange) {
    for (auto stepper : {DelayStepByCm, DelayStepByInch}) {
        for (int step : {-50, 0, 200, 384, 500, 959, 961, 65535}) {
            for (int delta : {-1, 0, +1}) {
                if (step == 960 && delta > 0)
                    continue; // 20 ms stays 20 ms
                int result = stepper(step, delta);
                EXPECT_GE(result, 0) << step << " " << delta;
                EXPECT_LE(result, 384) << step << " " << delta;
            }
        }
        EXPECT_EQ(stepper(200, 0), 200);
    }
}

} // namespace
