#include "tests/link/SimTestFrames.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <numeric>
#include <string>

using namespace sim;
using simtest::Exchange;
using simtest::Parse;
using simtest::Read9;
using simtest::Request;
using simtest::Write9;

namespace {

std::vector<BYTE> Pattern(std::size_t n, BYTE seed) {
    std::vector<BYTE> v(n);
    std::iota(v.begin(), v.end(), seed);
    return v;
}

} // namespace

TEST(SimFrame, EncodesTheHostsBandFrameLayout) {
    SimFrame f;
    f.command = frame::kCmdWrite;
    f.type = 4;
    f.channel = 3;
    f.block = 5;
    f.linkFlag = 1;
    f.payload = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::vector<BYTE> expected = {0x5C, 0x5C, 0x5C, 0xEE, 0xA1, 0x01, 0x00, 0x04,
                                        0x03, 0x05, 0x01, 0x00, 0x08, 0x00, 1,    2,
                                        3,    4,    5,    6,    7,    8,    0xA3, 0xAA};
    EXPECT_EQ(EncodeFrame(f), expected);
}

TEST(SimProcessor, HandshakeReplyIsByteExact) {
    SimProcessor processor;
    const std::vector<BYTE> expected = {0x5C, 0x5C, 0x5C, 0xEE, 0x53, 0x01, 0x00, 0x09, 0xCC,
                                        0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x96, 0xAA};
    EXPECT_EQ(Exchange(processor, Read9(204)).bytes, expected);
}

// Every request gets one reply that repeats the request's preset, type,
// channel and block; the code and payload length are what the host expects.
TEST(SimProcessor, ReplyRules) {
    struct Case {
        const char* what;
        std::vector<BYTE> request;
        BYTE code;
        std::size_t length;
    };
    const Case cases[] = {
        {"handshake", Read9(204), frame::kReplyData, 1},
        {"version label", Read9(4), frame::kReplyData, 11},
        {"status poll", Read9(3), frame::kReplyData, 15},
        {"live preset name", Read9(0), frame::kReplyData, 16},
        {"stored preset name", Read9(0, 6), frame::kReplyData, 16},
        {"input settings", Read9(2), frame::kReplyData, 8},
        {"system data", Read9(5), frame::kReplyData, 8},
        {"speaker types", Read9(6), frame::kReplyData, 8},
        {"lock block", Read9(19), frame::kReplyData, 8},
        {"current preset", Read9(52), frame::kReplyData, 1},
        {"sound delay", Read9(64), frame::kReplyData, 98},
        {"live output record", Request(frame::kCmdRead, 0, 4, 11, 0x77), frame::kReplyData, 296},
        {"stored output record", Request(frame::kCmdRead, 4, 4, 11, 0x77), frame::kReplyData, 296},
        {"stored music record", Request(frame::kCmdRead, 6, 3, 3, 0x77), frame::kReplyData, 288},
        {"recall of a stored record", Request(frame::kCmdRead, 2, 3, 0, 0), frame::kReplyData, 288},
        {"band write", Request(frame::kCmdWrite, 0, 4, 3, 5), frame::kReplyAck, 0},
        {"system block write", Request(frame::kCmdWrite, 0, 2, 0, 18), frame::kReplyAck, 0},
        {"output record write", Request(frame::kCmdWrite, 3, 4, 0, 0, Pattern(296, 0)), frame::kReplyAck, 0},
        {"name write", Write9(0, Pattern(16, 'A'), 2), frame::kReplyAck, 0},
        {"current preset write", Write9(52, {3}), frame::kReplyAck, 0},
        {"sound delay write", Write9(64, Pattern(98, 0)), frame::kReplyAck, 0},
        {"wifi reset", Write9(65, std::vector<BYTE>(8, 0)), frame::kReplyAck, 0},
        // What the firmware does not know: a data reply without payload.
        {"unknown sub-id", Read9(7), frame::kReplyData, 0},
        {"unknown data type", Request(frame::kCmdRead, 0, 5, 0, 0), frame::kReplyData, 0},
        {"unknown command", Request(0xA5, 0, 4, 0, 0), frame::kReplyData, 0},
        {"output beyond 11", Request(frame::kCmdRead, 0, 4, 12, 0x77), frame::kReplyData, 0},
        {"music input beyond 3", Request(frame::kCmdWrite, 0, 3, 4, 0), frame::kReplyData, 0},
        {"preset beyond 6", Request(frame::kCmdRead, 7, 4, 0, 0x77), frame::kReplyData, 0},
        {"block beyond the record", Request(frame::kCmdWrite, 0, 4, 0, 37), frame::kReplyData, 0},
        {"write of a wrong length", Write9(2, std::vector<BYTE>(7, 0)), frame::kReplyData, 0},
        {"name of a preset beyond 6", Read9(0, 7), frame::kReplyData, 0},
    };
    for (const auto& c : cases) {
        SimProcessor processor;
        const auto request = Parse(c.request);
        ASSERT_TRUE(request) << c.what;
        const auto reply = Parse(Exchange(processor, c.request).bytes);
        ASSERT_TRUE(reply) << c.what;
        EXPECT_EQ(reply->command, c.code) << c.what;
        EXPECT_EQ(reply->payload.size(), c.length) << c.what;
        EXPECT_EQ(reply->preset, request->preset) << c.what;
        EXPECT_EQ(reply->type, request->type) << c.what;
        EXPECT_EQ(reply->channel, request->channel) << c.what;
        EXPECT_EQ(reply->block, request->block) << c.what;
    }
}

TEST(SimProcessor, DeviceInformationComesFromItsMemory) {
    SimProcessor processor;
    processor.UpdateMemory([](SimMemory& m) {
        m.settings.inputSettings[0] = 3;
        m.status[0] = 0x42;
        m.settings.currentPreset[0] = 5;
        std::memcpy(m.stored[2].data(), "Stage left\0\0\0\0\0", 16);
    });
    EXPECT_EQ(Parse(Exchange(processor, Read9(4)).bytes)->payload,
              std::vector<BYTE>({'K', 'W', 'E', 'X', '-', 'D', 'V', '1', '.', '0', '0'}));
    const auto status = Parse(Exchange(processor, Read9(3)).bytes)->payload;
    EXPECT_EQ(status[0], 0x42);
    EXPECT_EQ(status[kStatusInputMode], 3) << "the status carries the input mode";
    EXPECT_EQ(Parse(Exchange(processor, Read9(52)).bytes)->payload, std::vector<BYTE>{5});
    const auto name = Parse(Exchange(processor, Read9(0, 3)).bytes)->payload;
    EXPECT_EQ(std::string(name.begin(), name.begin() + 10), "Stage left");
}

// What is written is stored where the host's own image keeps it, and reads
// give it back.
TEST(SimProcessor, WritesAreStoredAndReadBack) {
    SimProcessor processor;
    const auto band = Pattern(8, 0x10);
    Exchange(processor, Request(frame::kCmdWrite, 0, 4, 3, 5, band));
    const auto record = Pattern(296, 0x20);
    Exchange(processor, Request(frame::kCmdWrite, 2, 4, 7, 0, record));
    const auto music = Pattern(288, 0x30);
    Exchange(processor, Request(frame::kCmdWrite, 0, 3, 1, 0, music));
    const auto system = Pattern(96, 0x40);
    Exchange(processor, Request(frame::kCmdWrite, 0, 2, 0, 0, system));
    const auto systemBlock18 = Pattern(8, 0x50);
    Exchange(processor, Request(frame::kCmdWrite, 0, 2, 0, 18, systemBlock18));
    const auto mic = Pattern(8, 0x60);
    Exchange(processor, Request(frame::kCmdWrite, 0, 1, 0, 13, mic));
    Exchange(processor, Write9(0, Pattern(16, 'a'), 4));
    Exchange(processor, Write9(2, Pattern(8, 1)));
    Exchange(processor, Write9(5, Pattern(8, 2)));
    Exchange(processor, Write9(6, Pattern(8, 3)));
    Exchange(processor, Write9(19, Pattern(8, 4)));
    Exchange(processor, Write9(52, {6}));
    Exchange(processor, Write9(64, Pattern(98, 5)));

    const SimMemory m = processor.Memory();
    EXPECT_TRUE(std::equal(band.begin(), band.end(), m.live.begin() + 1448 + 296 * 3 + 40));
    EXPECT_TRUE(std::equal(record.begin(), record.end(), m.stored[1].begin() + 1448 + 296 * 7));
    EXPECT_TRUE(std::equal(music.begin(), music.end(), m.live.begin() + 296 + 288));
    EXPECT_TRUE(std::equal(system.begin(), system.end(), m.live.begin() + 32));
    EXPECT_TRUE(std::equal(systemBlock18.begin(), systemBlock18.end(), m.live.begin() + 176));
    EXPECT_TRUE(std::equal(mic.begin(), mic.end(), m.live.begin() + 184 + 104));
    EXPECT_EQ(m.stored[3][0], 'a');
    EXPECT_EQ(m.stored[3][15], 'a' + 15);
    EXPECT_EQ(m.settings.inputSettings[7], 8);
    EXPECT_EQ(m.settings.systemData[0], 2);
    EXPECT_EQ(m.settings.speakerTypes[7], 10);
    EXPECT_EQ(m.settings.speakerTypes[8], 0) << "only the first 8 speaker types travel";
    EXPECT_EQ(m.settings.lockBlock[0], 4);
    EXPECT_EQ(m.settings.currentPreset[0], 6);
    EXPECT_EQ(m.settings.soundDelay[97], 5 + 97);

    EXPECT_EQ(Parse(Exchange(processor, Request(frame::kCmdRead, 2, 4, 7, 0x77)).bytes)->payload, record);
    EXPECT_EQ(Parse(Exchange(processor, Read9(6)).bytes)->payload, Pattern(8, 3));
    EXPECT_EQ(Parse(Exchange(processor, Read9(0, 4)).bytes)->payload, Pattern(16, 'a'));
}

TEST(SimProcessor, RejectedAndUnknownWritesChangeNothing) {
    SimProcessor processor;
    const SimMemory before = processor.Memory();
    Exchange(processor, Request(frame::kCmdWrite, 0, 4, 12, 0, Pattern(8, 1)));
    Exchange(processor, Request(frame::kCmdWrite, 0, 4, 0, 1, Pattern(296, 1)));
    Exchange(processor, Write9(5, Pattern(9, 1)));
    processor.InjectFault({SimFaultKind::Reject});
    Exchange(processor, Request(frame::kCmdWrite, 0, 4, 0, 0, Pattern(8, 1)));
    processor.InjectFault({SimFaultKind::Reset});
    Exchange(processor, Request(frame::kCmdWrite, 0, 4, 0, 0, Pattern(8, 1)));
    const SimMemory after = processor.Memory();
    EXPECT_EQ(after.live, before.live);
    EXPECT_EQ(after.settings.systemData, before.settings.systemData);
}

// A stored preset read without the stored-preset mark is a recall: the reply
// carries the stored record under block 0 and the processor plays it.
TEST(SimProcessor, ReadingAStoredPresetWithBlockZeroRecallsIt) {
    SimProcessor processor;
    const auto record = Pattern(296, 7);
    processor.UpdateMemory(
        [&](SimMemory& m) { std::copy(record.begin(), record.end(), m.stored[1].begin() + 1448); });
    const auto reply = Parse(Exchange(processor, Request(frame::kCmdRead, 2, 4, 0, 0)).bytes);
    EXPECT_EQ(reply->block, 0);
    EXPECT_EQ(reply->payload, record);
    const SimMemory m = processor.Memory();
    EXPECT_TRUE(std::equal(record.begin(), record.end(), m.live.begin() + 1448));
    EXPECT_EQ(m.settings.currentPreset[0], 2);

    // With the mark the live preset stays as it is.
    const auto other = Pattern(296, 9);
    processor.UpdateMemory(
        [&](SimMemory& m2) { std::copy(other.begin(), other.end(), m2.stored[2].begin() + 1448); });
    EXPECT_EQ(Parse(Exchange(processor, Request(frame::kCmdRead, 3, 4, 0, 0x77)).bytes)->payload, other);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), processor.Memory().live.begin() + 1448));
}

TEST(SimFrameCollector, FindsFramesInNoiseAndAcrossPieces) {
    const auto frame = Read9(3);
    std::vector<BYTE> stream = {0x00, 0x5C, 0x5C, 0x13, 0xEE}; // noise, a false start
    stream.insert(stream.end(), frame.begin(), frame.end());
    stream.insert(stream.end(), 40, 0x00); // the zero fill of a USB report
    stream.push_back(0x00);                // the report id of a block sent over TCP
    stream.insert(stream.end(), frame.begin(), frame.end());

    // Byte by byte, so every split point is crossed.
    SimFrameCollector collector;
    int frames = 0;
    for (BYTE b : stream) {
        for (const auto& c : collector.Feed(&b, 1)) {
            EXPECT_TRUE(c.intact);
            EXPECT_EQ(c.frame.channel, 3);
            ++frames;
        }
    }
    EXPECT_EQ(frames, 2);
}

TEST(SimProcessor, DamagedRequestIsRejectedAndOversizedOneIgnored) {
    SimProcessor processor;
    auto damaged = Request(frame::kCmdWrite, 0, 4, 2, 1, Pattern(8, 1));
    damaged[15] ^= 0x01;
    const auto reply = Parse(Exchange(processor, damaged).bytes);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->command, frame::kReplyReject);
    EXPECT_EQ(reply->channel, 2);
    EXPECT_TRUE(processor.Requests().empty()) << "only intact frames are logged";

    // A header announcing more than any request carries is noise; the next
    // good frame is answered.
    std::vector<BYTE> stream = {0x5C, 0x5C, 0x5C, 0xEE, 0xA2, 1, 0, 9, 3, 0, 0, 0, 0xFF, 0x7F};
    const auto good = Read9(204);
    stream.insert(stream.end(), good.begin(), good.end());
    SimFrameCollector collector;
    const auto replies = processor.Feed(collector, stream.data(), stream.size());
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(Parse(replies[0].bytes)->channel, 204);
}

TEST(SimProcessor, FaultsChangeTheReply) {
    const auto request = Read9(4);
    const auto clean = SimProcessor().Answer({*Parse(request), true}).bytes;
    const std::vector<BYTE> junk = {0x00, 0x5C, 0x5C, 0x5C, 0x5C, 0xEE};

    struct Case {
        SimFault fault;
        std::function<void(const SimReply&)> check;
    };
    const Case cases[] = {
        {{SimFaultKind::Reject},
         [](const SimReply& r) {
             EXPECT_EQ(Parse(r.bytes)->command, frame::kReplyReject);
             EXPECT_TRUE(Parse(r.bytes)->payload.empty());
         }},
        {{SimFaultKind::Silence}, [](const SimReply& r) { EXPECT_TRUE(r.bytes.empty()); }},
        {{SimFaultKind::Delay, 250},
         [&](const SimReply& r) {
             EXPECT_EQ(r.delayMs, 250);
             EXPECT_EQ(r.bytes, clean);
         }},
        {{SimFaultKind::Split, 3},
         [&](const SimReply& r) {
             EXPECT_EQ(r.pieceSize, 3u);
             EXPECT_EQ(r.bytes, clean);
         }},
        {{SimFaultKind::Merge}, [](const SimReply& r) { EXPECT_TRUE(r.merge); }},
        {{SimFaultKind::Junk, 0, junk},
         [&](const SimReply& r) {
             EXPECT_TRUE(std::equal(junk.begin(), junk.end(), r.bytes.begin()));
             EXPECT_TRUE(std::equal(clean.begin(), clean.end(), r.bytes.begin() + junk.size()));
         }},
        {{SimFaultKind::BadCheck},
         [&](const SimReply& r) {
             EXPECT_NE(r.bytes[r.bytes.size() - 2], clean[clean.size() - 2]);
             EXPECT_EQ(r.bytes.back(), frame::kEnd);
         }},
        {{SimFaultKind::BadEnd}, [](const SimReply& r) { EXPECT_NE(r.bytes.back(), frame::kEnd); }},
        {{SimFaultKind::ReplyCode, 0x5F},
         [](const SimReply& r) { EXPECT_EQ(Parse(r.bytes)->command, 0x5F); }},
        {{SimFaultKind::EmptyPayload},
         [](const SimReply& r) {
             EXPECT_EQ(Parse(r.bytes)->command, frame::kReplyData);
             EXPECT_TRUE(Parse(r.bytes)->payload.empty());
         }},
        {{SimFaultKind::OversizedLength, 600},
         [](const SimReply& r) {
             EXPECT_EQ(r.bytes.size(), 616u);
             EXPECT_EQ(r.bytes[frame::kOffLength] | (r.bytes[frame::kOffLength + 1] << 8), 600);
         }},
        {{SimFaultKind::BadChannel, 99}, [](const SimReply& r) { EXPECT_EQ(Parse(r.bytes)->channel, 99); }},
        {{SimFaultKind::BadPreset, 9}, [](const SimReply& r) { EXPECT_EQ(Parse(r.bytes)->preset, 9); }},
        {{SimFaultKind::Reset},
         [](const SimReply& r) {
             EXPECT_TRUE(r.reset);
             EXPECT_TRUE(r.bytes.empty());
         }},
        {{SimFaultKind::Truncate, 9},
         [&](const SimReply& r) { EXPECT_EQ(r.bytes, std::vector<BYTE>(clean.begin(), clean.begin() + 9)); }},
        {{SimFaultKind::StaleStatus, 2},
         [&](const SimReply& r) {
             SimFrameCollector collector;
             const auto frames = collector.Feed(r.bytes.data(), r.bytes.size());
             ASSERT_EQ(frames.size(), 3u);
             for (int i : {0, 1}) {
                 EXPECT_EQ(frames[i].frame.command, frame::kReplyData);
                 EXPECT_EQ(frames[i].frame.channel, INFO_STATUS);
                 EXPECT_EQ(frames[i].frame.payload.size(), 15u);
             }
             EXPECT_TRUE(
                 std::equal(clean.begin(), clean.end(), r.bytes.end() - std::ptrdiff_t(clean.size())));
         }},
        {{SimFaultKind::Late},
         [&](const SimReply& r) {
             EXPECT_TRUE(r.late);
             EXPECT_EQ(r.bytes, clean);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.fault.kind));
        SimProcessor processor;
        processor.InjectFault(c.fault);
        c.check(Exchange(processor, request));
        EXPECT_EQ(Exchange(processor, request).bytes, clean) << "a fault applies once by default";
    }
}

TEST(SimProcessor, FaultsMatchTheirRequestsAndCount) {
    SimProcessor processor;
    SimFault silence{SimFaultKind::Silence};
    silence.type = 9;
    silence.channel = 3;
    silence.count = 2;
    processor.InjectFault(silence);
    EXPECT_FALSE(Exchange(processor, Read9(4)).bytes.empty()) << "another sub-id is answered";
    EXPECT_TRUE(Exchange(processor, Read9(3)).bytes.empty());
    EXPECT_TRUE(Exchange(processor, Read9(3)).bytes.empty());
    EXPECT_FALSE(Exchange(processor, Read9(3)).bytes.empty());

    SimFault always{SimFaultKind::Reject};
    always.count = -1;
    processor.InjectFault(always);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Parse(Exchange(processor, Read9(204)).bytes)->command, frame::kReplyReject);
    processor.ClearFaults();
    EXPECT_EQ(Parse(Exchange(processor, Read9(204)).bytes)->command, frame::kReplyData);
}

// The loader takes a whole update: start, erase, DSP data, MCU header and
// data, end; it restarts after the start frame and after the end frame.
TEST(SimProcessor, LoaderKeepsTheImageItReceived) {
    SimProcessor processor;
    auto step = [&](BYTE s, std::vector<BYTE> payload) {
        return Exchange(processor, Write9(s, std::move(payload)));
    };
    auto dspFrame = [](std::uint32_t address, BYTE seed) {
        std::vector<BYTE> p = {BYTE(address), BYTE(address >> 8), BYTE(address >> 16), BYTE(address >> 24)};
        const auto data = Pattern(44, seed);
        p.insert(p.end(), data.begin(), data.end());
        return p;
    };

    const auto apply = step(HEXApply, std::vector<BYTE>(16, 0));
    EXPECT_TRUE(apply.restart);
    EXPECT_EQ(Parse(apply.bytes)->command, frame::kReplyAck);
    EXPECT_EQ(Parse(apply.bytes)->channel, HEXApply) << "the reply repeats the step";
    EXPECT_TRUE(processor.Firmware().inLoader);
    EXPECT_FALSE(step(IAP_DSP_REQUEST_INFO, std::vector<BYTE>(16, 0)).restart);
    step(IAP_DSP_DATA, dspFrame(0, 0));
    step(IAP_DSP_DATA, dspFrame(44, 44));
    step(HEXStart, {1, 2, 3, 4});
    step(HEXData, Pattern(48, 0));
    step(HEXData, Pattern(48, 48));
    EXPECT_EQ(Parse(step(IAP_DSP_DATA, dspFrame(0x40000, 0)).bytes)->command, frame::kReplyReject)
        << "an address beyond the DSP memory";
    const auto end = step(HEXEnd, {0x5A});
    EXPECT_TRUE(end.restart);

    const SimFirmwareImage fw = processor.Firmware();
    EXPECT_EQ(fw.steps, std::vector<BYTE>({HEXApply, IAP_DSP_REQUEST_INFO, IAP_DSP_DATA, IAP_DSP_DATA,
                                           HEXStart, HEXData, HEXData, HEXEnd}));
    EXPECT_EQ(fw.dsp, Pattern(88, 0));
    EXPECT_EQ(fw.mcuHeader, std::vector<BYTE>({1, 2, 3, 4}));
    EXPECT_EQ(fw.mcuData, Pattern(96, 0));
    EXPECT_EQ(fw.checkByte, 0x5A);
    EXPECT_TRUE(fw.complete);
    EXPECT_FALSE(fw.inLoader);
}

// A link left idle polls the status without end; a reader that falls behind
// still finds the changes made before the polls, in order.
TEST(SimProcessor, TheFullRequestLogDropsStatusPollsBeforeOtherRequests) {
    SimProcessor processor;
    const auto poll = Read9(3);
    const auto write = [](BYTE channel) {
        return Request(frame::kCmdWrite, 0, 4, channel, 5, Pattern(8, 1));
    };
    Exchange(processor, poll);
    Exchange(processor, write(1));
    Exchange(processor, Read9(4));
    Exchange(processor, poll);
    Exchange(processor, write(2));
    for (std::size_t i = 0; i < SimProcessor::kRequestLogSize; ++i)
        Exchange(processor, poll);
    auto log = processor.Requests();
    ASSERT_EQ(log.size(), SimProcessor::kRequestLogSize);
    EXPECT_EQ(log[0].channel, 1);
    EXPECT_EQ(log[1].channel, 4) << "a read that is not a poll stays";
    EXPECT_EQ(log[2].channel, 2);
    EXPECT_EQ(log.back().channel, 3);

    // With no poll left to drop, the oldest request goes.
    processor.ClearRequests();
    for (std::size_t i = 0; i < SimProcessor::kRequestLogSize; ++i)
        Exchange(processor, write(0));
    for (int i = 0; i < 5; ++i) {
        Exchange(processor, write(1));
        Exchange(processor, poll);
    }
    log = processor.Requests();
    ASSERT_EQ(log.size(), SimProcessor::kRequestLogSize);
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const SimFrame& f) { return f.channel == 0; }),
              SimProcessor::kRequestLogSize - 5);
    EXPECT_EQ(log.back().channel, 1) << "the newest poll was the only one to drop";

    processor.ClearRequests();
    Exchange(processor, poll);
    EXPECT_EQ(processor.Requests().size(), 1u);
}
