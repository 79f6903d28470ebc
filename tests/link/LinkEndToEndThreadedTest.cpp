// The whole link against the simulated processor, once over the in-process
// USB device and once over TCP on loopback: connect, handshake, the counted
// reads, online, edits one block per exchange, the idle status poll, and the
// preset batches, checked against the processor's memory.

#include "link/Net_Socket.h"
#include "sim/lib/SimTcpServer.h"
#include "tests/link/DistinctPresets.h"
#include "tests/link/FakePing.h"
#include "tests/link/SyncFixture.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

using linktest::SyncView;

enum class Transport { Usb, Tcp };

class LinkEndToEndThreaded : public SyncView, public ::testing::WithParamInterface<Transport> {
protected:
    void SetUp() override {
        SyncView::SetUp();
        ping.Answer(true);
        processor.UpdateMemory([](sim::SimMemory& m) { linktest::FillDistinctPresets(m, 0); });
        if (GetParam() == Transport::Usb) {
            Bus().Plug();
        } else {
            Bus().Unplug();
            ASSERT_TRUE(server.Start(0));
            g_nDevicePort = server.Port();
            socket = std::make_unique<CNet_Socket>();
            view->SetNetLink(socket.get());
        }
    }
    void TearDown() override {
        view->StopCommThread(1);
        if (socket) {
            socket->StopPing(0);
            view->SetNetLink(&net);
        }
        server.Stop();
        socket.reset();
        g_nDevicePort = 8899;
        SyncView::TearDown();
    }

    // Handles the view's messages until `done` holds.
    bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
        for (const auto& box : boxes.Entries())
            ADD_FAILURE() << "message: " << box.text;
        return platform::WaitHandlingSentMessages(
            [&] {
                platform::PumpMessages();
                return done();
            },
            timeoutMs);
    }

    // Start-up's automatic connect, and over TCP the ping that finds the processor.
    void ConnectAndGoOnline() {
        view->InitLink();
        platform::PumpMessages();
        if (GetParam() == Transport::Tcp) {
            clock->Advance(500); // the first ping tick
            ASSERT_TRUE(PumpUntil([&] { return view->m_bConnected != 0; }));
            EXPECT_EQ(g_nLinkMode, 2);
        } else {
            EXPECT_EQ(g_nLinkMode, 1);
        }
        ASSERT_TRUE(PumpUntil([&] { return g_bOnline != 0 && syncForm.allControlsUpdated > 0; }));
    }

    // A copy taken under the send lock: the change tracker packs into the
    // live image on the communication thread.
    static std::vector<BYTE> Live() {
        CModelLock lock(true);
        return {g_DeviceImage, g_DeviceImage + kDeviceImageSize};
    }

    static bool SameRecords(const BYTE* a, const BYTE* b) {
        return std::memcmp(a + kMusicRecordOffset, b + kMusicRecordOffset,
                           kDeviceImageSize - kMusicRecordOffset) == 0;
    }

    sim::SimTcpServer server{processor};
    linktest::FakePingRunner ping;
    std::unique_ptr<CNet_Socket> socket;
};

TEST_P(LinkEndToEndThreaded, ConnectsReadsEverythingAndGoesOnline) {
    ConnectAndGoOnline();
    // Status polls fill the gaps while the view handles the replies.
    std::vector<sim::SimFrame> requests;
    for (const auto& r : processor.Requests()) {
        if (!sim::IsStatusPoll(r))
            requests.push_back(r);
    }
    ASSERT_GE(requests.size(), 2u + 12u + 16u);
    const std::pair<int, int> expected[] = {
        {INFO_HANDSHAKE, 0},   {INFO_VERSION_LABEL, 0}, {INFO_PRESET_NAME, 1},    {INFO_PRESET_NAME, 2},
        {INFO_PRESET_NAME, 3}, {INFO_PRESET_NAME, 4},   {INFO_PRESET_NAME, 5},    {INFO_PRESET_NAME, 6},
        {INFO_LOCK_BLOCK, 0},  {INFO_PRESET_NAME, 0},   {INFO_CURRENT_PRESET, 0}, {INFO_INPUT_SETTINGS, 0},
        {INFO_SYSTEM_DATA, 0}, {INFO_SPEAKER_TYPES, 0}};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(requests[i].type, DATA_DEVICE_INFO);
        EXPECT_EQ(requests[i].channel, expected[i].first);
        EXPECT_EQ(requests[i].preset, expected[i].second);
    }
    // The routing notice writes the live name back in between; then the 16 records.
    int records = 0;
    for (const auto& r : requests)
        records += r.command == frame::kCmdRead && (r.type == DATA_MUSIC_INPUT || r.type == DATA_OUTPUT);
    EXPECT_EQ(records, 16);

    const sim::SimMemory memory = processor.Memory();
    EXPECT_TRUE(SameRecords(Live().data(), memory.live.data()));
    EXPECT_EQ(std::memcmp(g_PresetImages[2], "Stored 3", 8), 0);
    EXPECT_EQ(model.GetOutput(7)->GetGain(),
              GetLe16(memory.live.data() + OutputRecordOffset(7) + 31 * 8 + 2));
    EXPECT_EQ(syncForm.popupMode, 0);
    EXPECT_TRUE(boxes.Entries().empty());
}

TEST_P(LinkEndToEndThreaded, EditsGoOutOneBlockPerExchangeAndIdleTimeIsPolled) {
    ConnectAndGoOnline();
    ASSERT_TRUE(PumpUntil([&] {
        const auto r = processor.Requests();
        return !r.empty() && sim::IsStatusPoll(r.back());
    }));
    processor.ClearRequests();
    {
        std::lock_guard lock(g_csSend);
        model.GetOutput(3)->SetGain(0x155);
        model.GetOutput(4)->SetDelay(0x22);
    }
    const auto gainOf3 = [&] {
        return GetLe16(processor.Memory().live.data() + OutputRecordOffset(3) + 31 * 8 + 2);
    };
    const auto delayOf4 = [&] {
        return GetLe16(processor.Memory().live.data() + OutputRecordOffset(4) + 31 * 8 + 4);
    };
    ASSERT_TRUE(PumpUntil([&] { return gainOf3() == 0x155 && delayOf4() == 0x22; }));
    // Then idle: status polls only.
    const auto pollsAfterWrites = [&] {
        int polls = 0;
        for (const auto& r : processor.Requests())
            polls = r.command == frame::kCmdWrite ? 0 : polls + sim::IsStatusPoll(r);
        return polls;
    };
    ASSERT_TRUE(PumpUntil([&] { return pollsAfterWrites() >= 3; }));

    std::vector<sim::SimFrame> writes;
    for (const auto& r : processor.Requests()) {
        // The change tracker also renames a live preset that was edited.
        if (r.command == frame::kCmdWrite && r.type == DATA_OUTPUT)
            writes.push_back(r);
    }
    ASSERT_EQ(writes.size(), 2u);
    for (const auto& w : writes) {
        EXPECT_EQ(w.type, DATA_OUTPUT);
        EXPECT_EQ(w.block, CKTV_OutData::kBasicBlock);
        EXPECT_EQ(w.payload.size(), 8u) << "one block per exchange";
    }
    EXPECT_EQ(writes[0].channel, 3);
    EXPECT_EQ(writes[1].channel, 4);
}

TEST_P(LinkEndToEndThreaded, ReadingAllPresetsCopiesTheProcessorsStoredPresets) {
    ConnectAndGoOnline();
    ASSERT_EQ(view->ReadAllPresets(), 1);
    ASSERT_TRUE(PumpUntil([&] { return syncForm.allPresetsSaved == 1; }));
    EXPECT_EQ(g_bTransferBusy, 0);
    const sim::SimMemory memory = processor.Memory();
    for (int p = 1; p <= kPresetCount; ++p) {
        SCOPED_TRACE(p);
        EXPECT_TRUE(SameRecords(g_PresetImages[p - 1], memory.Image(p)));
    }
    EXPECT_TRUE(SameRecords(Live().data(), memory.live.data())) << "the live records stay where they were";
}

TEST_P(LinkEndToEndThreaded, WrittenPresetsArriveAsTheyAreSent) {
    ConnectAndGoOnline();
    // All presets, with a noise gate that has no remembered threshold.
    {
        CModelLock lock(true);
        for (int p = 1; p <= kPresetCount; ++p) {
            for (int i = kMusicRecordOffset; i < kDeviceImageSize; ++i)
                g_PresetImages[p - 1][i] = BYTE(i * 3 + p);
        }
        g_DeviceSettings.SystemData[3] = 40;
        g_DeviceSettings.SystemData[7] = 0;
        g_bMasterOn = 1;
    }
    processor.ClearRequests();
    view->SendAllPresets();
    // A batch ends with the system data that switches the master back on.
    const auto masterWrites = [&] {
        std::vector<BYTE> bytes;
        for (const auto& r : processor.Requests()) {
            if (r.command == frame::kCmdWrite && r.type == DATA_DEVICE_INFO && r.channel == INFO_SYSTEM_DATA)
                bytes.push_back(r.payload[6]);
        }
        return bytes;
    };
    ASSERT_TRUE(PumpUntil([&] { return masterWrites().size() == 2; }));
    EXPECT_EQ(masterWrites(), (std::vector<BYTE>{0, 1}));
    sim::SimMemory memory = processor.Memory();
    for (int p = 1; p <= kPresetCount; ++p) {
        SCOPED_TRACE(p);
        EXPECT_TRUE(SameRecords(memory.Image(p), g_PresetImages[p - 1]));
    }
    EXPECT_TRUE(SameRecords(memory.live.data(), Live().data()));
    EXPECT_EQ(memory.settings.systemData[3], 0) << "the gate goes out off";

    // The live data into slot 2, from the model, with the preset locked.
    {
        std::lock_guard lock(g_csSend);
        model.GetOutput(5)->SetGain(0x77);
    }
    processor.ClearRequests();
    {
        // The change tracker reads the lock flag on the communication thread.
        CModelLock lock(true);
        g_bPresetLocked = 1;
        view->SendPreset(2, 1);
        g_bPresetLocked = 0;
    }
    ASSERT_TRUE(PumpUntil([&] {
        const auto r = processor.Requests();
        return std::any_of(r.begin(), r.end(), [](const sim::SimFrame& f) {
            return f.type == DATA_OUTPUT && f.channel == kOutputCount - 1 && f.preset == 2;
        });
    }));
    memory = processor.Memory();
    const std::vector<BYTE> live = Live();
    const BYTE* slot = memory.Image(2);
    EXPECT_EQ(std::memcmp(slot + kMusicRecordOffset, live.data() + kMusicRecordOffset,
                          kOutputRecordOffset - kMusicRecordOffset),
              0);
    for (int o = 1; o < kOutputCount; ++o) {
        SCOPED_TRACE(o);
        const BYTE* sent = slot + OutputRecordOffset(o);
        const BYTE* record = live.data() + OutputRecordOffset(o);
        for (int i = 0; i < kOutputRecordSize; ++i)
            ASSERT_EQ(sent[i], BYTE(record[i] ^ 0x5E)) << "byte " << i;
    }
    EXPECT_EQ(GetLe16(live.data() + OutputRecordOffset(5) + 31 * 8 + 2), 0x77) << "packed before sending";
    EXPECT_EQ(memory.settings.currentPreset[0], 2);
}

// Over TCP a reply that stops short ends in a receive time-out, a new
// connection and a second write of the request; its whole answer, read on
// the new connection, is taken.  The link stays, during the handshake and
// online, and no request goes out a third time.  (Over USB a reply that does
// not come ends the link at the read time-out.)
class LinkOverTcpThreaded : public LinkEndToEndThreaded {};

TEST_P(LinkOverTcpThreaded, AReplyCutShortIsTakenWhenAnsweredAgainAfterTheReopen) {
    const auto cut = [&](BYTE type, BYTE channel, int bytes) {
        sim::SimFault fault{sim::SimFaultKind::Truncate, bytes};
        fault.type = type;
        fault.channel = channel;
        processor.InjectFault(fault);
    };
    const auto count = [&](const std::function<bool(const sim::SimFrame&)>& match) {
        const auto r = processor.Requests();
        return int(std::count_if(r.begin(), r.end(), match));
    };
    const auto isHandshake = [](const sim::SimFrame& f) {
        return f.type == DATA_DEVICE_INFO && f.channel == INFO_HANDSHAKE;
    };
    const auto isEdit = [](const sim::SimFrame& f) { return f.type == DATA_OUTPUT && f.channel == 3; };
    // The exchange goes on: `n` more status polls than now.
    const auto pollsGoOn = [&](int n) {
        const int polls = count(sim::IsStatusPoll);
        return PumpUntil([&] { return count(sim::IsStatusPoll) >= polls + n; });
    };

    // The handshake's reply broken off inside its preamble.
    cut(DATA_DEVICE_INFO, INFO_HANDSHAKE, 2);
    ASSERT_NO_FATAL_FAILURE(ConnectAndGoOnline());
    EXPECT_EQ(count(isHandshake), 2);
    EXPECT_EQ(server.AcceptedCount(), 2);

    // A status reply, 20 of its 31 bytes.
    cut(DATA_DEVICE_INFO, INFO_STATUS, 20);
    ASSERT_TRUE(PumpUntil([&] { return server.AcceptedCount() == 3; }));
    ASSERT_TRUE(pollsGoOn(3));

    // An edit's acknowledgement broken off inside its header.
    processor.ClearRequests();
    cut(DATA_OUTPUT, 3, 10);
    {
        std::lock_guard lock(g_csSend);
        model.GetOutput(3)->SetGain(0x155);
    }
    ASSERT_TRUE(PumpUntil([&] { return server.AcceptedCount() == 4; }));
    ASSERT_TRUE(pollsGoOn(3));
    EXPECT_EQ(count(isEdit), 2);
    EXPECT_EQ(GetLe16(processor.Memory().live.data() + OutputRecordOffset(3) + 31 * 8 + 2), 0x155);
    EXPECT_EQ(view->m_bConnected, 1);
    EXPECT_EQ(g_bNetLinkUp, 1);
}

INSTANTIATE_TEST_SUITE_P(Transports, LinkEndToEndThreaded, ::testing::Values(Transport::Usb, Transport::Tcp),
                         [](const auto& info) { return info.param == Transport::Usb ? "Usb" : "Tcp"; });

INSTANTIATE_TEST_SUITE_P(Tcp, LinkOverTcpThreaded, ::testing::Values(Transport::Tcp));

} // namespace
