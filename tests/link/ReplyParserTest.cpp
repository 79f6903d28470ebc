// The receiver and reply parser fed byte streams as the transports deliver
// them: whole, in 64-byte reports, byte by byte, with noise and damage.

#include "link/KTVCommand.h"
#include "link/LinkGlobals.h"
#include "link/LinkProgress.h"
#include "model/DeviceDefaults.h"
#include "model/FrameBuilders.h"
#include "model/Globals.h"
#include "platform/sys/MessageWindow.h"
#include "platform/sys/UserMessages.h"
#include "sim/lib/SimFrame.h"
#include "tests/link/SimTestFrames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes Reply(BYTE code, BYTE preset, BYTE type, BYTE channel, BYTE block, Bytes payload = {}) {
    return simtest::Request(code, preset, type, channel, block, std::move(payload));
}

Bytes Ack() {
    return Reply(frame::kReplyAck, 0, 9, 0, 0);
}
Bytes Info(BYTE subId, Bytes payload, BYTE preset = 0) {
    return Reply(frame::kReplyData, preset, DATA_DEVICE_INFO, subId, 0, std::move(payload));
}
Bytes Record(BYTE type, BYTE channel, BYTE preset, BYTE block, std::size_t length, BYTE fill) {
    return Reply(frame::kReplyData, preset, type, channel, block, Bytes(length, fill));
}
Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ReplyParser : public ::testing::Test {
protected:
    void SetUp() override {
        InitDefaultDeviceData();
        g_bHandshakeWait = 0;
        g_bDataStepHalted = 0;
        m_cmd.SetNotifyWnd(m_view.GetSafeHwnd());
    }
    void TearDown() override { m_cmd.ClearCommands(); }

    // Queues `count` status polls as the requests the replies answer.
    void Queue(int count = 1) {
        for (int i = 0; i < count; ++i)
            m_cmd.AddCommand(BuildBandFrame(DATA_STATUS_POLL, 0, 0));
    }

    // Feeds `bytes` in pieces of `piece`; returns the result of every call.
    std::vector<int> Feed(const Bytes& bytes, std::size_t piece) {
        std::vector<int> results;
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            const std::size_t n = std::min(piece, bytes.size() - at);
            std::memcpy(g_NetRecvBuf, bytes.data() + at, n);
            results.push_back(m_cmd.OnNetworkData(int(n)));
        }
        return results;
    }
    int FeedWhole(const Bytes& bytes) { return Feed(bytes, kNetRecvBufSize).back(); }

    // Queues the read request that `reply` answers: its preset, data type,
    // channel and block.
    void Ask(const Bytes& reply) {
        auto request = std::make_unique<CSendData>();
        request->SetData(simtest::Request(frame::kCmdRead, reply[frame::kOffPreset], reply[frame::kOffType],
                                          reply[frame::kOffChannel], reply[frame::kOffBlock]));
        m_cmd.AddCommand(std::move(request));
    }
    // The reply as the answer to its own request.
    int Answer(const Bytes& reply) {
        Ask(reply);
        return FeedWhole(reply);
    }

    std::vector<UINT> Notices() {
        std::vector<UINT> ids;
        for (const auto& m : m_view.TakeMessages())
            ids.push_back(m.message);
        return ids;
    }

    // Everything a reply may write.
    struct Snapshot {
        std::vector<BYTE> live, stored, settings;
        std::vector<int> status;
        bool operator==(const Snapshot&) const = default;
    };
    static Snapshot Take() {
        const auto bytes = [](const void* p, std::size_t n) {
            const BYTE* b = static_cast<const BYTE*>(p);
            return std::vector<BYTE>(b, b + n);
        };
        return {bytes(g_DeviceImage, sizeof g_DeviceImage), bytes(g_PresetImages, sizeof g_PresetImages),
                bytes(&g_DeviceSettings, sizeof g_DeviceSettings),
                std::vector<int>(std::begin(g_DeviceStatus), std::end(g_DeviceStatus))};
    }

    platform::MessageWindow m_view;
    CKTVCommand m_cmd;
};

TEST_F(ReplyParser, SynchronisesOnExactlyThreePreambleBytesAndTheStartByte) {
    const Bytes ack = Ack(); // 5C 5C 5C EE ...
    const Bytes body(ack.begin() + 3, ack.end());
    struct Case {
        const char* name;
        std::vector<Bytes> pieces;
        bool taken;
    };
    const Case cases[] = {
        {"plain", {ack}, true},
        {"noise before", {Cat({0x00, 0x13, 0xEE}, ack)}, true},
        {"zero then preamble", {Cat({0x00}, ack)}, true},
        {"four preamble bytes", {Cat({0x5C}, ack)}, false},
        {"two preamble bytes", {Cat({0x5C, 0x5C}, body)}, false},
        {"start byte alone", {body}, false},
        {"preamble split over two reads", {{0x00, 0x5C, 0x5C}, Cat({0x5C}, body)}, true},
        {"preamble broken across reads", {{0x5C, 0x5C}, Cat({0x00, 0x5C}, body)}, false},
        {"split inside the header",
         {Bytes(ack.begin(), ack.begin() + 9), Bytes(ack.begin() + 9, ack.end())},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_cmd.ClearCommands();
        Queue();
        int last = 0;
        for (const auto& piece : c.pieces)
            last = FeedWhole(piece);
        EXPECT_EQ(last, c.taken ? 1 : 0);
        EXPECT_EQ(m_cmd.GetCommandCount(), c.taken ? 0 : 1);
    }
}

// What came before a reset (the link's connection closed or opened) is not
// part of what comes after it.
TEST_F(ReplyParser, AResetForgetsTheFrameOrPreambleBegun) {
    const Bytes ack = Ack();
    for (std::size_t cut : {std::size_t(2), std::size_t(3), std::size_t(9), ack.size() - 1}) {
        SCOPED_TRACE(cut);
        m_cmd.ClearCommands();
        Queue();
        EXPECT_EQ(FeedWhole(Bytes(ack.begin(), ack.begin() + std::ptrdiff_t(cut))), 0);
        m_cmd.ResetReceiver();
        EXPECT_EQ(FeedWhole(ack), 1);
        EXPECT_EQ(m_cmd.GetCommandCount(), 0);
    }
    // Nor is a reply that came behind another in the last read.
    m_cmd.ClearCommands();
    Queue(3);
    EXPECT_EQ(FeedWhole(Cat(ack, ack)), 1);
    m_cmd.ResetReceiver();
    EXPECT_EQ(FeedWhole({0x00}), 0);
    EXPECT_EQ(m_cmd.GetCommandCount(), 2);
}

// A data reply counts only for the request at the head of the queue: the same
// data type and channel (sub-id) and, for a record, the same preset.  Any
// other is passed over without a trace and the read goes on, so the head's
// own answer, in the same read or a later one, is taken.
TEST_F(ReplyParser, ADataReplyCountsOnlyForTheRequestAtTheHead) {
    const Bytes record = Record(DATA_OUTPUT, 5, 2, 0x77, kOutputRecordSize, 0xA5);
    const Bytes status = Info(INFO_STATUS, Bytes(15, 0x44));
    const Bytes name = Info(INFO_PRESET_NAME, Bytes(16, 'N'), 2);
    struct Case {
        const char* name;
        Bytes answer; // what the head frame asks for
        Bytes other;  // what comes first
    };
    const Case cases[] = {
        {"a status reply while a record is read", record, status},
        {"the record of another preset", record, Record(DATA_OUTPUT, 5, 3, 0x77, kOutputRecordSize, 0xE1)},
        {"the live record of the output", record, Record(DATA_OUTPUT, 5, 0, 0, kOutputRecordSize, 0xE1)},
        {"the record of another output", record, Record(DATA_OUTPUT, 6, 2, 0x77, kOutputRecordSize, 0xE1)},
        {"a music input record", record, Record(DATA_MUSIC_INPUT, 3, 2, 0x77, kMusicRecordSize, 0xE1)},
        {"a name while a record is read", record, name},
        {"a status reply while a name is read", name, status},
        {"the system data while the status is polled", status, Info(INFO_SYSTEM_DATA, Bytes(8, 0xE1))},
    };
    for (const auto& c : cases) {
        for (bool oneRead : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.name << (oneRead ? ", one read" : ", two reads"));
            InitDefaultDeviceData();
            const Snapshot before = Take();
            m_cmd.ClearCommands();
            Ask(c.answer);
            Queue();
            if (oneRead) {
                EXPECT_EQ(FeedWhole(Cat(c.other, c.answer)), 1);
            } else {
                EXPECT_EQ(FeedWhole(c.other), 0) << "the read goes on";
                EXPECT_EQ(m_cmd.GetCommandCount(), 2);
                EXPECT_TRUE(Take() == before) << "nothing stored";
                EXPECT_EQ(FeedWhole(c.answer), 1);
            }
            EXPECT_EQ(m_cmd.GetCommandCount(), 1);
            // Exactly what the answer carries changed.
            Snapshot expected = before;
            if (c.answer == record)
                std::memset(&expected.stored[1 * kDeviceImageSize + OutputRecordOffset(5)], 0xA5,
                            kOutputRecordSize);
            else if (c.answer == name)
                std::memcpy(&expected.stored[1 * kDeviceImageSize], "NNNNNNNNNNNNN\0\0", 15);
            else
                std::fill(expected.status.begin(), expected.status.begin() + 15, 0x44);
            EXPECT_TRUE(Take() == expected);
            const auto notices = Notices();
            EXPECT_EQ(notices,
                      c.answer == status ? std::vector<UINT>{UM_STATUS_RECEIVED} : std::vector<UINT>{});
        }
    }
}

// Replies that arrive together in one read each count: the one behind waits
// for the next read and is parsed before what that brings.
TEST_F(ReplyParser, TwoRepliesInOneReadBothCount) {
    const Bytes record = Record(DATA_MUSIC_INPUT, 2, 1, 0x77, kMusicRecordSize, 0x6B);
    const BYTE* stored = g_PresetImages[0] + MusicRecordOffset(2);
    const auto queue = [&] {
        m_cmd.ClearCommands();
        std::memset(g_PresetImages[0] + MusicRecordOffset(2), 0, kMusicRecordSize);
        m_cmd.AddCommand(BuildBandFrame(DATA_OUTPUT, 3, 5));
        Ask(record);
        Queue();
    };

    // Over TCP: one read, the record taken at the next.
    queue();
    EXPECT_EQ(FeedWhole(Cat(Ack(), record)), 1);
    EXPECT_EQ(m_cmd.GetCommandCount(), 2);
    EXPECT_EQ(stored[0], 0) << "not before the next read";
    EXPECT_EQ(FeedWhole(Info(INFO_STATUS, Bytes(15, 0x21))), 1);
    EXPECT_EQ(m_cmd.GetCommandCount(), 1);
    EXPECT_EQ(stored[0], 0x6B);
    EXPECT_EQ(stored[kMusicRecordSize - 1], 0x6B);
    EXPECT_EQ(FeedWhole({0x00}), 1) << "the status reply came behind the record";
    EXPECT_EQ(m_cmd.GetCommandCount(), 0);
    EXPECT_EQ(g_DeviceStatus[0], 0x21);

    // Over USB: the record begins in the report that ends the acknowledgement.
    queue();
    EXPECT_EQ(Feed(Cat(Ack(), record), frame::kHidChunkSize), (std::vector<int>{1, 0, 0, 0, 1}));
    EXPECT_EQ(m_cmd.GetCommandCount(), 1);
    EXPECT_EQ(stored[kMusicRecordSize - 1], 0x6B);
}

TEST_F(ReplyParser, AnOutputRecordIsAssembledWhateverTheDeliveryAndStoredOnce) {
    const Bytes reply = Record(DATA_OUTPUT, 11, 0, 0, kOutputRecordSize, 0x3C);
    ASSERT_EQ(reply.size(), 312u);
    for (std::size_t piece : {std::size_t(400), std::size_t(64), std::size_t(1)}) {
        SCOPED_TRACE(piece);
        std::memset(g_DeviceImage + OutputRecordOffset(11), 0, kOutputRecordSize);
        Ask(reply);
        Queue();
        const auto results = Feed(reply, piece);
        EXPECT_EQ(std::count(results.begin(), results.end(), 1), 1) << "one completion";
        EXPECT_EQ(results.back(), 1) << "completed by the last byte";
        EXPECT_EQ(m_cmd.GetCommandCount(), 1) << "exactly the head frame was taken";
        const BYTE* record = g_DeviceImage + OutputRecordOffset(11);
        EXPECT_TRUE(std::all_of(record, record + kOutputRecordSize, [](BYTE b) { return b == 0x3C; }));
        EXPECT_EQ(Notices(), std::vector<UINT>{UM_LIVE_DATA_RECEIVED});
        m_cmd.ClearCommands();
    }
}

TEST_F(ReplyParser, ADamagedFrameIsDroppedAndTheNextGoodOneIsTaken) {
    Bytes badCheck = Ack();
    badCheck[badCheck.size() - 2] ^= 0xFF;
    Bytes badEnd = Ack();
    badEnd.back() = 0xAB;
    for (const Bytes& bad : {badCheck, badEnd}) {
        // In separate reads, and both in one read.
        Queue(2);
        EXPECT_EQ(FeedWhole(bad), 0);
        EXPECT_EQ(m_cmd.GetCommandCount(), 2) << "the head frame stays queued";
        EXPECT_TRUE(m_cmd.IsReceiverHunting());
        EXPECT_EQ(FeedWhole(Ack()), 1);
        EXPECT_EQ(FeedWhole(Cat(bad, Ack())), 1);
        EXPECT_EQ(m_cmd.GetCommandCount(), 0);
    }
}

TEST_F(ReplyParser, ReplyCodes) {
    m_cmd.AddCommand(BuildBandFrame(DATA_OUTPUT, 3, 5));
    Queue();
    CSendData* head = m_cmd.GetCurrentCommand();
    while (head->NextHidChunk()) {
    }

    // Reject: the frame stays at the head, rewound and marked, and the
    // exchange is over so the next step writes it again.
    EXPECT_EQ(FeedWhole(Reply(frame::kReplyReject, 0, 4, 3, 5)), 1);
    ASSERT_EQ(m_cmd.GetCurrentCommand(), head);
    EXPECT_EQ(head->GetChunkPos(), 0);
    EXPECT_EQ(head->GetFailed(), 1);

    // Unknown code: dropped; the head stays queued as written, so the next
    // step reads again without writing; the next reply is received normally.
    while (head->NextHidChunk()) {
    }
    const int written = head->GetChunkPos();
    EXPECT_EQ(FeedWhole(Reply(0x54, 0, 4, 3, 5)), 1);
    EXPECT_EQ(m_cmd.GetCurrentCommand(), head);
    EXPECT_EQ(head->GetChunkPos(), written);

    // Acknowledge: exactly the head frame leaves.
    EXPECT_EQ(FeedWhole(Ack()), 1);
    EXPECT_EQ(m_cmd.GetCommandCount(), 1);
    EXPECT_NE(m_cmd.GetCurrentCommand(), head);

    // A firmware frame's rejection leaves the read to the firmware step.
    m_cmd.ClearCommands();
    auto firmware = BuildSystemFrame(INFO_LOCK_BLOCK, 0);
    firmware->SetCommand(HEXData);
    m_cmd.AddCommand(std::move(firmware));
    EXPECT_EQ(FeedWhole(Reply(frame::kReplyReject, 0, 9, HEXData, 0)), 0);
    EXPECT_EQ(m_cmd.GetCurrentCommand()->GetFailed(), 1);
}

TEST_F(ReplyParser, RecordRepliesLandInTheImageTheirPresetAndBlockName) {
    struct Case {
        BYTE type, channel, preset, block;
        BYTE* record;
        std::vector<UINT> notices;
        WPARAM wParam;
    };
    const Case cases[] = {
        {DATA_OUTPUT, 11, 0, 0, g_DeviceImage + OutputRecordOffset(11), {UM_LIVE_DATA_RECEIVED}, 0},
        {DATA_OUTPUT, 11, 3, 0, g_DeviceImage + OutputRecordOffset(11), {UM_LIVE_DATA_RECEIVED}, 3},
        {DATA_OUTPUT, 11, 0, 0x77, g_DeviceImage + OutputRecordOffset(11), {UM_LIVE_DATA_RECEIVED}, 0},
        {DATA_OUTPUT, 11, 6, 0x77, g_PresetImages[5] + OutputRecordOffset(11), {UM_ALL_PRESETS_RECEIVED}, 6},
        {DATA_OUTPUT, 11, 4, 0x77, g_PresetImages[3] + OutputRecordOffset(11), {}, 0},
        {DATA_OUTPUT, 2, 0, 0, g_DeviceImage + OutputRecordOffset(2), {}, 0},
        {DATA_MUSIC_INPUT, 3, 2, 0x77, g_PresetImages[1] + MusicRecordOffset(3), {}, 0},
        {DATA_MUSIC_INPUT, 0, 0, 0, g_DeviceImage + MusicRecordOffset(0), {}, 0},
    };
    BYTE fill = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.type) << "/" << int(c.channel) << " preset " << int(c.preset)
                                        << " block " << int(c.block));
        const std::size_t size = c.type == DATA_OUTPUT ? kOutputRecordSize : kMusicRecordSize;
        ++fill;
        EXPECT_EQ(Answer(Record(c.type, c.channel, c.preset, c.block, size, fill)), 1);
        EXPECT_EQ(m_cmd.GetCommandCount(), 0);
        EXPECT_EQ(c.record[0], fill);
        EXPECT_EQ(c.record[size - 1], fill);
        const auto messages = m_view.TakeMessages();
        ASSERT_EQ(messages.size(), c.notices.size());
        if (!messages.empty()) {
            EXPECT_EQ(messages[0].message, c.notices[0]);
            EXPECT_EQ(messages[0].wParam, c.wParam);
        }
    }
}

TEST_F(ReplyParser, DeviceInformationRepliesFillTheSettingsArea) {
    // A name keeps its first 13 printable characters.
    Answer(Info(INFO_PRESET_NAME,
                {'H', 'a', 'l', 'l', 0x07, 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 0}, 2));
    const BYTE* name = g_PresetImages[1];
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(name), 4), "Hall");
    EXPECT_EQ(name[4], 0) << "a control character becomes 0";
    EXPECT_EQ(name[12], 'I');
    EXPECT_EQ(name[13], 0);
    EXPECT_EQ(name[14], 0);

    Answer(Info(INFO_SYSTEM_DATA, {1, 2, 3, 44, 5, 6, 7, 8}));
    EXPECT_EQ(g_DeviceSettings.SystemData[3], 44);
    EXPECT_EQ(g_DeviceSettings.SystemData[7], 44) << "the last threshold follows byte 3";

    Answer(Info(INFO_VERSION_LABEL, Bytes{'K', 'W', 'E', 'X', '-', 'D', 'V', '1', '.', '0', '0'}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(g_DeviceSettings.VersionLabel)), "KWEX-DV1.00");

    Bytes status(15, 0);
    status[14] = 3;
    Answer(Info(INFO_STATUS, status));
    EXPECT_EQ(g_DeviceStatus[14], 3);

    // The current preset first gives the live preset the stored preset's name.
    std::memcpy(g_PresetImages[2], "Stored three\0\0\0", 16);
    Answer(Info(INFO_CURRENT_PRESET, {3}));
    EXPECT_EQ(g_DeviceSettings.CurrentPreset[0], 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(g_DeviceImage)), "Stored three");

    Answer(Info(INFO_SOUND_DELAY, Bytes(98, 9)));
    EXPECT_EQ(g_DeviceSettings.SoundDelay[97], 9);

    const auto messages = m_view.TakeMessages();
    std::vector<UINT> ids;
    for (const auto& m : messages)
        ids.push_back(m.message);
    EXPECT_EQ(ids, (std::vector<UINT>{UM_VERSION_INFO, UM_STATUS_RECEIVED, UM_ROUTING_RECEIVED}));
    EXPECT_EQ(messages[1].lParam, 15) << "the status notice carries the payload length";
}

TEST_F(ReplyParser, SpeakerTypesWaitUntilTheViewHasHandledTheRoutingNotice) {
    // The view answers a sent notice before the parser goes on; on the
    // parser's own thread the send is a direct call.
    BYTE typeSeen = 0;
    m_view.SetHandler([&](const platform::MessageWindow::Message& m) -> LRESULT {
        if (m.message == UM_ROUTING_RECEIVED)
            typeSeen = g_DeviceSettings.SpeakerTypes[7];
        return 0;
    });
    const Bytes types = Info(INFO_SPEAKER_TYPES, {1, 2, 3, 4, 5, 6, 7, 8});
    Ask(types);
    Queue();
    EXPECT_EQ(FeedWhole(types), 1);
    EXPECT_EQ(typeSeen, 8);
    EXPECT_EQ(m_cmd.GetCommandCount(), 1);
}

TEST_F(ReplyParser, DuringTheHandshakeOnlyItsReplyCounts) {
    std::memset(g_DeviceSettings.VersionLabel, 0, sizeof g_DeviceSettings.VersionLabel);
    g_bHandshakeWait = 1;
    m_cmd.AddCommand(BuildRequestFrame9(INFO_HANDSHAKE, 0));
    m_cmd.AddCommand(BuildRequestFrame9(INFO_VERSION_LABEL, 0));
    EXPECT_EQ(FeedWhole(Info(INFO_VERSION_LABEL, Bytes{'K', 'W', 'E', 'X'})), 1);
    EXPECT_EQ(m_cmd.GetCommandCount(), 2) << "a version reply is dropped while the handshake waits";
    EXPECT_EQ(g_DeviceSettings.VersionLabel[0], 0);
    EXPECT_EQ(FeedWhole(Info(INFO_HANDSHAKE, {1})), 1);
    EXPECT_EQ(g_bHandshakeWait, 1) << "only a 0 byte answers the handshake";
    EXPECT_EQ(FeedWhole(Info(INFO_HANDSHAKE, {0})), 1);
    EXPECT_EQ(g_bHandshakeWait, 0);
    EXPECT_EQ(m_cmd.GetCommandCount(), 1);
}

TEST_F(ReplyParser, AnEmptyDataReplyHaltsTheDataSteps) {
    Queue();
    EXPECT_EQ(FeedWhole(Info(INFO_STATUS, {})), 1);
    EXPECT_EQ(g_bDataStepHalted, 1);
    EXPECT_EQ(m_cmd.GetCommandCount(), 1);
    EXPECT_EQ(Notices(), std::vector<UINT>{UM_EMPTY_DATA_REPLY});
}

TEST_F(ReplyParser, BatchProgressAndItsEndNotices) {
    struct Bar : ILinkProgressBar {
        void SetRange(int, int) override {}
        void SetPos(int p) override { pos = p; }
        int GetCurPos() const override { return pos; }
        int GetUpper() const override { return 110; }
        int pos = 0;
    } bar;
    g_pTransferProgress = &bar;
    auto last = BuildRequestFrame9(INFO_LOCK_BLOCK, 0);
    last->SetProgressPos(7);
    last->SetNotifyLast(1);
    m_cmd.AddCommand(std::move(last));
    FeedWhole(Info(INFO_LOCK_BLOCK, Bytes(8, 1)));
    g_pTransferProgress = nullptr;
    EXPECT_EQ(bar.pos, 7);
    const auto messages = m_view.TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, UM_TRANSFER_DONE);
    EXPECT_EQ(messages[0].lParam, 0);
}

// Replies that would not fit where they go, even when the head frame asks
// for what they name: nothing is written, the head frame stays as written,
// and the receiver stays in step.
TEST_F(ReplyParser, MalformedRepliesAreDroppedWithoutWritingAnything) {
    struct Case {
        const char* name;
        Bytes reply;
    };
    Bytes tooLong = Reply(frame::kReplyData, 0, 4, 0, 0, Bytes(388, 0xEE));
    const Case cases[] = {
        {"music input 4", Record(DATA_MUSIC_INPUT, 4, 0, 0, kMusicRecordSize, 0xE1)},
        {"output 12", Record(DATA_OUTPUT, 12, 0, 0, kOutputRecordSize, 0xE1)},
        {"output 255 of stored preset", Record(DATA_OUTPUT, 255, 6, 0x77, kOutputRecordSize, 0xE1)},
        {"preset 7", Record(DATA_OUTPUT, 0, 7, 0x77, kOutputRecordSize, 0xE1)},
        {"short output record", Record(DATA_OUTPUT, 0, 0, 0, 200, 0xE1)},
        {"long music record", Record(DATA_MUSIC_INPUT, 0, 0, 0, 296, 0xE1)},
        {"status of 17", Info(INFO_STATUS, Bytes(17, 0xE1))},
        {"name of 17", Info(INFO_PRESET_NAME, Bytes(17, 'E'))},
        {"name of preset 7", Info(INFO_PRESET_NAME, Bytes(16, 'E'), 7)},
        {"version of 12", Info(INFO_VERSION_LABEL, Bytes(12, 'E'))},
        {"current preset 7", Info(INFO_CURRENT_PRESET, {7})},
        {"current preset 200", Info(INFO_CURRENT_PRESET, {200})},
        {"system data of 9", Info(INFO_SYSTEM_DATA, Bytes(9, 0xE1))},
        {"input settings of 4", Info(INFO_INPUT_SETTINGS, Bytes(4, 0xE1))},
        {"lock block of 9", Info(INFO_LOCK_BLOCK, Bytes(9, 0xE1))},
        {"speaker types of 16", Info(INFO_SPEAKER_TYPES, Bytes(16, 0xE1))},
        {"sound delay of 99", Info(INFO_SOUND_DELAY, Bytes(99, 0xE1))},
        {"unknown data type", Record(5, 0, 0, 0, 8, 0xE1)},
        {"announced length beyond the buffer", tooLong},
        {"announced length 65535",
         Cat({0x5C, 0x5C, 0x5C, 0xEE, 0x53, 1, 0, 4, 0, 0, 0, 0, 0xFF, 0xFF}, Bytes(64, 0xE1))},
    };
    BYTE images[1 + kPresetCount][kDeviceImageSize];
    const DeviceSettingsArea settings = g_DeviceSettings;
    std::memcpy(images[0], g_DeviceImage, kDeviceImageSize);
    std::memcpy(images[1], g_PresetImages, sizeof g_PresetImages);
    int statusBefore[16];
    std::memcpy(statusBefore, g_DeviceStatus, sizeof statusBefore);

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::size_t piece : {std::size_t(400), std::size_t(64)}) {
            m_cmd.ClearCommands();
            Ask(c.reply);
            Queue();
            CSendData* head = m_cmd.GetCurrentCommand();
            while (head->NextHidChunk()) {
            }
            const int written = head->GetChunkPos();
            Feed(c.reply, piece);
            EXPECT_EQ(m_cmd.GetCurrentCommand(), head);
            EXPECT_EQ(head->GetChunkPos(), written) << "not rewound for a second copy";
            // Whatever was left of it, a good reply is still understood.
            EXPECT_EQ(FeedWhole(Ack()), 1);
            EXPECT_EQ(m_cmd.GetCommandCount(), 1);
        }
        EXPECT_EQ(std::memcmp(images[0], g_DeviceImage, kDeviceImageSize), 0);
        EXPECT_EQ(std::memcmp(images[1], g_PresetImages, sizeof g_PresetImages), 0);
        EXPECT_EQ(std::memcmp(&settings, &g_DeviceSettings, sizeof settings), 0);
        EXPECT_EQ(std::memcmp(statusBefore, g_DeviceStatus, sizeof statusBefore), 0);
    }
    EXPECT_TRUE(Notices().empty());

    // With nothing queued every reply is dropped.
    m_cmd.ClearCommands();
    EXPECT_EQ(FeedWhole(Record(DATA_OUTPUT, 11, 0, 0, kOutputRecordSize, 0xE2)), 1);
    EXPECT_EQ(FeedWhole(Ack()), 1);
    EXPECT_EQ(std::memcmp(images[0], g_DeviceImage, kDeviceImageSize), 0);
    EXPECT_TRUE(Notices().empty());
}

TEST_F(ReplyParser, ArbitraryBytesNeverUpsetTheReceiver) {
    // Random streams with frame starts and large announced lengths sprinkled
    // in; run under AddressSanitizer this finds any write outside the buffers.
    std::mt19937 random(20251210);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> piece(1, kNetRecvBufSize);
    for (int round = 0; round < 300; ++round) {
        Bytes noise(std::size_t(piece(random)));
        for (auto& b : noise)
            b = BYTE(byte(random));
        if (noise.size() > 20 && round % 2) {
            const Bytes start = {0x5C,
                                 0x5C,
                                 0x5C,
                                 0xEE,
                                 0x53,
                                 1,
                                 0,
                                 BYTE(1 + round % 9),
                                 BYTE(round),
                                 0x77,
                                 0,
                                 0,
                                 BYTE(byte(random)),
                                 BYTE(round % 3)};
            std::copy(start.begin(), start.end(), noise.begin() + std::ptrdiff_t(round % 7));
        }
        if (m_cmd.GetCommandCount() == 0)
            Queue();
        std::memcpy(g_NetRecvBuf, noise.data(), noise.size());
        m_cmd.OnNetworkData(int(noise.size()));
    }
    m_cmd.ClearCommands();
    Queue();
    EXPECT_EQ(FeedWhole(Ack()), 1);
    EXPECT_EQ(m_cmd.GetCommandCount(), 0);

    // A flood of replies, faster than one per read: each read still takes
    // exactly one, whatever piles up behind it.
    Bytes flood;
    while (flood.size() < std::size_t(kNetRecvBufSize))
        flood = Cat(flood, Ack());
    flood.resize(kNetRecvBufSize);
    Queue(100);
    for (int round = 0; round < 60; ++round)
        ASSERT_EQ(FeedWhole(flood), 1);
    EXPECT_EQ(m_cmd.GetCommandCount(), 40);
}

} // namespace
