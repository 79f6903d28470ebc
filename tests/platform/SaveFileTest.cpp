// The one writer every saved file goes through: a save lands whole, and one
// the disk cannot take leaves the earlier file as it was and nothing beside it.

#include "platform/sys/SaveFile.h"
#include "platform/sys/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace {

class SaveFile : public ::testing::Test {
protected:
    CString Path(const char* name) const { return m_dir.filePath(name).toStdString(); }
    // The folder's entries; a save that failed must leave no new file there.
    QStringList Entries() const {
        return QDir(m_dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    static std::optional<std::string> Content(const CString& path) {
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        return file.readAll().toStdString();
    }

    // Every byte value, NULs and line ends included, over more than one buffer.
    const std::string bytes = [] {
        std::string s;
        for (int i = 0; i < 70000; ++i)
            s += char(i * 7 + i / 256);
        return s;
    }();
    const std::string earlier = std::string(57600, 'e');

private:
    QTemporaryDir m_dir;
};

// Not what a new file gets: a replaced file keeps the earlier one's.
constexpr auto kEarlierPerms = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                               std::filesystem::perms::group_read;

TEST_F(SaveFile, ASaveLandsWholeOverAnEarlierFileOrAsANewOne) {
    for (const bool existed : {false, true}) {
        SCOPED_TRACE(existed);
        const CString path = Path(existed ? "old.rdda" : "new.rdda");
        if (existed) {
            ASSERT_TRUE(platform::SaveFileWhole(path, earlier));
            std::filesystem::permissions(path, kEarlierPerms);
        }
        ASSERT_TRUE(platform::SaveFileWhole(path, bytes));
        EXPECT_EQ(Content(path), bytes);
        if (existed) {
            EXPECT_EQ(std::filesystem::status(path).permissions(), kEarlierPerms)
                << "the replaced file keeps who may read it";
        }
    }
    ASSERT_TRUE(platform::SaveFileWhole(Path("empty"), {}));
    EXPECT_EQ(Content(Path("empty")), "");
    EXPECT_EQ(Entries(), (QStringList{"empty", "new.rdda", "old.rdda"}));
}

TEST_F(SaveFile, ASaveTheDiskCannotTakeLeavesTheEarlierFileAndNothingBesideIt) {
    const CString path = Path("all.rdda");
    // Room for nothing, for a part, for all but the last byte; and for all of it.
    const std::size_t rooms[] = {0, 4096, bytes.size() - 1, bytes.size()};
    for (const bool existed : {true, false}) {
        for (const std::size_t room : rooms) {
            SCOPED_TRACE(testing::Message() << "existed " << existed << " room " << room);
            QFile::remove(QString::fromStdString(path));
            if (existed) {
                ASSERT_TRUE(platform::SaveFileWhole(path, earlier));
            }
            const bool fits = room == bytes.size();
            {
                platform::FullDisk disk(room);
                EXPECT_EQ(platform::SaveFileWhole(path, bytes), fits);
                EXPECT_EQ(disk.saves, 1);
            }
            const std::optional<std::string> left = fits      ? bytes
                                                    : existed ? earlier
                                                              : std::optional<std::string>();
            EXPECT_EQ(Content(path), left);
            EXPECT_EQ(Entries(), existed || fits ? QStringList{"all.rdda"} : QStringList{});
        }
    }
}

TEST_F(SaveFile, AFolderThatIsNotThereOrATargetThatIsAFolderFails) {
    QDir().mkpath(QString::fromStdString(Path("folder.rdda")));
    EXPECT_FALSE(platform::SaveFileWhole(Path("gone/all.rdda"), bytes));
    EXPECT_FALSE(platform::SaveFileWhole(Path("folder.rdda"), bytes));
    EXPECT_EQ(Entries(), QStringList{"folder.rdda"});
    EXPECT_TRUE(QDir(QString::fromStdString(Path("folder.rdda"))).isEmpty());
}

} // namespace
