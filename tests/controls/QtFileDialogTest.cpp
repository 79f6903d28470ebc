#include "platform/win/QtFileDialog.h"

#include <gtest/gtest.h>

namespace {

TEST(QtFileDialog, TheProgramsFiltersBecomeQtsNameFilters) {
    const std::pair<const char*, QStringList> cases[] = {
        {".rdds|*.rdds||", {".rdds (*.rdds)"}},
        {"Presets|*.rdds|All|*.*||", {"Presets (*.rdds)", "All (*.*)"}},
        {"", {}},
    };
    for (const auto& [filter, expected] : cases)
        EXPECT_EQ(platform::win::QtFileDialog::NameFilters(filter), expected) << filter;
}

} // namespace
