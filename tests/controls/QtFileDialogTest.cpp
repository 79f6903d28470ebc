#include "platform/win/QtFileDialog.h"

#include <QDir>
#include <QTemporaryDir>

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

// A documents folder that was never made must not turn into a proposed file
// name: the dialog opens in the nearest folder that exists instead.
TEST(QtFileDialog, StartsInTheNearestFolderThatExists) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString base = QDir::cleanPath(root.path());
    ASSERT_TRUE(QDir(base).mkpath("a/b"));
    const std::pair<QString, QString> cases[] = {
        {base + "/a/b", base + "/a/b"},
        {base + "/a/Documents", base + "/a"},
        {base + "/x/y/z", base},
        {"", ""},
    };
    for (const auto& [initial, expected] : cases)
        EXPECT_EQ(platform::win::QtFileDialog::StartFolder(initial.toStdString()), expected)
            << initial.toStdString();
}

} // namespace
