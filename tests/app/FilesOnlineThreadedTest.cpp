// Save All Presets from the preset menu of the running program, online
// against the simulated processor on the in-process USB device, onto a disk
// that fills up part-way: the program says so and the user's earlier file
// stays whole, with nothing left beside it.

#include "platform/sys/FullDisk.h"
#include "platform/win/Input.h"
#include "tests/app/AppFixture.h"
#include "tests/app/PresetMenu.h"
#include "tests/app/QtInput.h"
#include "tests/link/DistinctPresets.h"
#include "tests/link/FakeFileDialog.h"

#include <QDir>
#include <QFile>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace apptest;

class FilesOnlineThreaded : public apptest::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ping.Answer(true);
        backend->Bus().Plug();
    }
    // Every stored preset of the processor from `seed`.
    void FillStoredPresets(int seed) {
        processor.UpdateMemory([seed](sim::SimMemory& m) { linktest::FillDistinctPresets(m, 1, seed); });
    }
    // Save All Presets chosen from the preset menu, the file named in its
    // dialog; true once the read of the processor's presets has ended.
    bool SaveAllPresets(const CString& path) {
        linktest::FakeFileDialog dialogs;
        dialogs.Answer(path);
        {
            MenuChoice choice(kSaveAllPresetsItem);
            ClickAt(*View()->GetDlgItem(int(kPresetMenuButton)), {3, 3});
            Pump();
            // The next click is a click of its own, not the second of a double click.
            platform::win::MouseLeftWindows();
            clock->Advance(GetDoubleClickTime() + 100);
        }
        return dialogs.requests.size() == 1 && PumpUntil([] { return g_bTransferBusy == 0; });
    }
    static QByteArray Bytes(const CString& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList Entries() const {
        return QDir(QString::fromStdString(documents))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(FilesOnlineThreaded, SaveAllPresetsOntoAFullDiskSaysSoAndKeepsTheEarlierFile) {
    const CString path = documents + "/backup.rdda";
    FillStoredPresets(0);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(PumpUntil([&] { return g_bOnline != 0 && View()->GetStrip(11).IsWindowVisible(); }));

    // The earlier file holds the processor's presets.
    ASSERT_TRUE(SaveAllPresets(path));
    ASSERT_TRUE(boxes->Entries().empty());
    const QByteArray earlier = Bytes(path);
    ASSERT_TRUE(StoredPresetsIn(path) ==
                StoredPresetsOf(processor.Memory(), m_dir.filePath("made.rdda").toStdString()));
    const QStringList entries = Entries();

    // The processor's presets have changed since; the disk is full at the
    // first byte of the new file, or half-way through it.
    FillStoredPresets(1);
    for (const qsizetype room : {qsizetype(0), earlier.size() / 2}) {
        SCOPED_TRACE(room);
        platform::FullDisk disk{std::size_t(room)};
        const std::size_t shown = boxes->Entries().size();
        ASSERT_TRUE(SaveAllPresets(path));
        ASSERT_TRUE(PumpUntil([&] { return boxes->Entries().size() > shown; }));
        EXPECT_EQ(boxes->Entries().back().text, "Save all presets file error!");
        EXPECT_EQ(disk.saves, 1);
        EXPECT_EQ(Bytes(path), earlier);
        EXPECT_EQ(Entries(), entries) << "nothing left beside the file";
    }

    // With room again, the same command replaces it with the processor's new presets.
    ASSERT_TRUE(SaveAllPresets(path));
    EXPECT_TRUE(StoredPresetsIn(path) ==
                StoredPresetsOf(processor.Memory(), m_dir.filePath("made.rdda").toStdString()));
    EXPECT_EQ(Entries(), entries);
}

} // namespace
