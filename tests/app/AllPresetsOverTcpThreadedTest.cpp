// Save All Presets and Load All Presets chosen from the preset menu of the
// running program, against the simulated processor over TCP, while replies
// come out of turn: status replies nobody asked for, and replies that come
// after the link gave up waiting for them and asked again.

#include "link/Net_Socket.h"
#include "model/DataDefine.h"
#include "sim/lib/SimTcpServer.h"
#include "tests/app/AppFixture.h"
#include "tests/app/PresetMenu.h"
#include "tests/app/QtInput.h"
#include "tests/link/DistinctPresets.h"
#include "tests/link/FakeFileDialog.h"

#include <QFile>

#include <cstring>
#include <string>

namespace {

using namespace apptest;

class AllPresetsOverTcpThreaded : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        processor.UpdateMemory([](sim::SimMemory& m) { linktest::FillDistinctPresets(m, 0); });
        ASSERT_TRUE(server.Start(0));
        g_nDevicePort = server.Port();
        ping.Answer(true);
        ASSERT_TRUE(Start());
        clock->Advance(500); // the first ping tick finds the processor
        ASSERT_TRUE(PumpUntil([&] { return View()->GetLink().m_bConnected != 0 && g_bOnline != 0; }));
        ASSERT_TRUE(PumpUntil([&] { return View()->GetStrip(11).IsWindowVisible() != FALSE; }));
    }
    void TearDown() override {
        AppFixture::TearDown();
        server.Stop();
        g_nDevicePort = 8899;
    }

    void ChooseFromPresetMenu(UINT item) {
        tracker.choose = item;
        ClickAt(*View()->GetDlgItem(int(kPresetMenuButton)), {3, 3});
        Pump();
    }
    // Queues `count` unasked status replies in front of the answer to the
    // first read of the record.
    void StaleStatusBefore(BYTE type, BYTE channel, int count) {
        sim::SimFault fault{sim::SimFaultKind::StaleStatus, count};
        fault.type = type;
        fault.channel = channel;
        processor.InjectFault(fault);
    }
    // The answer to the first request for the record comes only after the
    // link gave up on it, in front of the answer to its second request.
    void LateAnswerTo(BYTE type, BYTE channel) {
        sim::SimFault fault{sim::SimFaultKind::Late};
        fault.type = type;
        fault.channel = channel;
        processor.InjectFault(fault);
    }

    // How often the processor got the request.
    int Sent(BYTE command, BYTE type, BYTE channel, BYTE preset) const {
        int count = 0;
        for (const auto& r : processor.Requests())
            count += r.command == command && r.type == type && r.channel == channel && r.preset == preset;
        return count;
    }
    // The live preset and the six stored ones as the program holds them.
    static sim::SimMemory ProgramsPresets() {
        sim::SimMemory memory;
        CModelLock lock(true);
        std::memcpy(memory.Image(0), g_DeviceImage, kDeviceImageSize);
        for (int p = 1; p <= kPresetCount; ++p)
            std::memcpy(memory.Image(p), g_PresetImages[p - 1], kDeviceImageSize);
        return memory;
    }
    // Whether every record of presets 0..6 is the same in both memories.
    static bool SameRecords(const sim::SimMemory& a, const sim::SimMemory& b) {
        for (int p = 0; p <= kPresetCount; ++p) {
            for (BYTE type : {BYTE(DATA_MUSIC_INPUT), BYTE(DATA_OUTPUT)}) {
                const sim::SimRecordLayout layout = *sim::RecordLayoutOf(type);
                const std::size_t from = layout.offset;
                const std::size_t to = layout.offset + layout.stride * std::size_t(layout.channels);
                if (std::memcmp(a.Image(p) + from, b.Image(p) + from, to - from) != 0)
                    return false;
            }
        }
        return true;
    }

    sim::SimTcpServer server{processor};
    MenuChoice tracker;
    linktest::FakeFileDialog dialogs;
};

TEST_F(AllPresetsOverTcpThreaded, TheSavedFileHoldsTheProcessorsPresetsAndLoadingItWritesThemBack) {
    const sim::SimMemory original = processor.Memory();

    // Save All Presets, with status replies nobody asked for in front of the
    // answers to two reads (the second more than one receive can hold), and
    // the answer to a third after its time limit.
    StaleStatusBefore(DATA_MUSIC_INPUT, 0, 5);
    StaleStatusBefore(DATA_OUTPUT, 5, 20);
    LateAnswerTo(DATA_MUSIC_INPUT, 2);
    const CString saved = documents + "/backup.rdda";
    dialogs.Answer(saved);
    ChooseFromPresetMenu(kSaveAllPresetsItem);
    ASSERT_EQ(g_bTransferBusy, 1) << "the reads were queued";
    // The transfer ends for the user when the popup may go: by then the
    // file holds every preset.
    ASSERT_TRUE(PumpUntil([&] { return g_bTransferBusy == 0; }, 60'000));
    ASSERT_TRUE(QFile::exists(QString::fromStdString(saved)));
    EXPECT_TRUE(StoredPresetsIn(saved) ==
                StoredPresetsOf(original, m_dir.filePath("expected.rdda").toStdString()));
    EXPECT_EQ(Sent(frame::kCmdRead, DATA_MUSIC_INPUT, 2, 1), 2) << "the read answered late went out again";
    EXPECT_TRUE(boxes->Entries().empty());

    // Every stored preset and the live one change on the processor; loading
    // the file, with one answer past its time limit, writes them back.
    processor.UpdateMemory([](sim::SimMemory& m) {
        for (int p = 0; p <= kPresetCount; ++p)
            std::memset(m.Image(p) + kMusicRecordOffset, 0x3C, sim::kImageSize - kMusicRecordOffset);
    });
    LateAnswerTo(DATA_MUSIC_INPUT, 3);
    processor.ClearRequests();
    dialogs.Answer(saved);
    ChooseFromPresetMenu(kLoadAllPresetsItem);
    ASSERT_EQ(g_bTransferBusy, 1) << "the writes were queued";
    const sim::SimMemory loaded = ProgramsPresets();
    ASSERT_TRUE(
        PumpUntil([&] { return g_bTransferBusy == 0 && SameRecords(processor.Memory(), loaded); }, 60'000));
    // The batch ends with the master switched back on.
    const auto masterWrites = [&] {
        std::vector<BYTE> master;
        for (const auto& r : processor.Requests()) {
            if (r.command == frame::kCmdWrite && r.type == DATA_DEVICE_INFO && r.channel == INFO_SYSTEM_DATA)
                master.push_back(r.payload[6]);
        }
        return master;
    };
    ASSERT_TRUE(PumpUntil([&] { return masterWrites().size() >= 2; }));
    EXPECT_EQ(masterWrites(), (std::vector<BYTE>{0, 1}));
    EXPECT_EQ(processor.Memory().settings.systemData[6], 1);
    EXPECT_EQ(Sent(frame::kCmdWrite, DATA_MUSIC_INPUT, 3, 0), 2)
        << "the write whose answer came late went out once more";
    EXPECT_TRUE(boxes->Entries().empty());
    EXPECT_EQ(View()->GetLink().m_bConnected, 1);
}

} // namespace
