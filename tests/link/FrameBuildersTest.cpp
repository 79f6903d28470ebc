#include "model/FrameBuilders.h"
#include "model/FrameFormat.h"
#include "model/Globals.h"
#include "platform/sys/RecordingMessageBox.h"

#include "tests/link/HexBytes.h"
#include <cstring>
#include <functional>

#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace {

using linktest::Hex;

std::vector<BYTE> Bytes(const CSendData& frame) {
    return {frame.GetData(), frame.GetData() + frame.GetLength()};
}

void Put(BYTE* at, const char* hex) {
    const auto bytes = Hex(hex);
    std::memcpy(at, bytes.data(), bytes.size());
}

BYTE* Output(int c) {
    return g_DeviceImage + OutputRecordOffset(c);
}

// The processor's memory as the tests see it: mostly zero, with marker bytes
// where each builder must take its payload from.
class FrameBuilders : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(g_DeviceImage, 0, sizeof g_DeviceImage);
        std::memset(g_PresetImages, 0, sizeof g_PresetImages);
        g_DeviceSettings = {};
        std::fill(std::begin(g_OutLinkTable), std::end(g_OutLinkTable), 0);
        g_bPresetLocked = 0;
        g_bPresetUnlocking = 0;
        g_bNameCheckPending = 0;
        g_strPresetPassword = "123456";
        // What start-up writes into the template once.
        std::memset(g_TxFrame, 0, sizeof g_TxFrame);
        Put(g_TxFrame, "5C 5C 5C EE");

        Put(g_DeviceImage, "4C 69 76 65");                                     // live name "Live"
        Put(g_DeviceImage + kMicRecordOffset + 16, "21 22 23 24 25 26 27 28"); // mic block 2
        Put(g_DeviceImage + kMicRecordOffset + 111, "2F");
        Put(g_DeviceImage + kSystemRecordOffset + 24, "31 32 33 34 35 36 37 38"); // system block 3
        Put(g_DeviceImage + kSystemRecordOffset + 95, "3F");
        Put(g_DeviceImage + 176, "45"); // system block 18 (its name), outside whole-record frames
        Put(g_DeviceImage + MusicRecordOffset(2), "99");
        Put(g_DeviceImage + MusicRecordOffset(2) + 280, "41 42 43 44 45 46 47 48"); // music 2 block 35
        Put(Output(0), "01");
        Put(Output(0) + 288, "4F 55 54 31"); // name "OUT1"
        Put(Output(3) + 40, "11 22 33 44 55 66 77 88");
        Put(Output(3) + 248, "01 00 58 02 10 00 00 05");
        Put(Output(5), "A0");
        Put(Output(5) + 295, "0F");

        BYTE* stored2 = g_PresetImages[1];
        Put(stored2, "53 74 6F 72 65 64 20 54 77 6F 20 20 20 20 20 7A"); // "Stored Two     " + stray byte
        Put(stored2 + OutputRecordOffset(0) + 288, "4F");

        Put(g_DeviceSettings.InputSettings, "01 00 03 00 FF 00 00 02");
        Put(g_DeviceSettings.SystemData, "3C 00 00 37 00 00 01 00");
        Put(g_DeviceSettings.SpeakerTypes, "01 07 05 0B 0F 12 15 18 01 05 07 0B");
        Put(g_DeviceSettings.CurrentPreset, "03");
        Put(g_DeviceSettings.LockBlock, "01 02 03 04 05 06 07 08");
        g_DeviceSettings.SoundDelay[0] = 0xD1;
        g_DeviceSettings.SoundDelay[97] = 0xD2;
    }

    static void LinkOutputs(std::initializer_list<int> outputs, int tag) {
        for (int c : outputs)
            g_OutLinkTable[1 + c] = tag;
    }
};

struct GoldenCase {
    const char* what;
    std::function<void()> arrange;
    std::function<std::unique_ptr<CSendData>()> build;
    const char* expected;
};

void Nothing() {}

} // namespace

TEST_F(FrameBuilders, GoldenFrames) {
    // Builders run under the send lock on either thread: they never ask the user.
    platform::RecordingMessageBox boxes;
    const GoldenCase cases[] = {
        {"band, output 3 block 5, linked with output 7",
         [] {
             LinkOutputs({3, 7}, 2);
         },
         [] { return BuildBandFrame(4, 3, 5); },
         "5C 5C 5C EE A1 01 00 04 03 05 01 00 08 00 11 22 33 44 55 66 77 88 23 AA"},
        {"band, output 3 block 5, alone in its group", [] { LinkOutputs({3}, 2); },
         [] { return BuildBandFrame(4, 3, 5); },
         "5C 5C 5C EE A1 01 00 04 03 05 00 00 08 00 11 22 33 44 55 66 77 88 22 AA"},
        {"band, basic block 31 of a linked output",
         [] {
             LinkOutputs({3, 7}, 2);
         },
         [] { return BuildBandFrame(4, 3, 31); },
         "5C 5C 5C EE A1 01 00 04 03 1F 00 00 08 00 01 00 58 02 10 00 00 05 FE AA"},
        {"band, locked preset scrambles the payload", [] { g_bPresetLocked = 1; },
         [] { return BuildBandFrame(4, 3, 5); },
         "5C 5C 5C EE A1 01 00 04 03 05 00 00 08 00 4F 7C 6D 1A 0B 38 29 D6 22 AA"},
        {"band, microphone block 2", Nothing, [] { return BuildBandFrame(1, 0, 2); },
         "5C 5C 5C EE A1 01 00 01 00 02 00 00 08 00 21 22 23 24 25 26 27 28 A3 AA"},
        {"band, system block 3 keeps its channel byte", Nothing, [] { return BuildBandFrame(2, 6, 3); },
         "5C 5C 5C EE A1 01 00 02 06 03 00 00 08 00 31 32 33 34 35 36 37 38 A7 AA"},
        {"band, system block 18 (its name)", Nothing, [] { return BuildBandFrame(2, 0, 18); },
         "5C 5C 5C EE A1 01 00 02 00 12 00 00 08 00 45 00*7 FD AA"},
        {"band, music input 2 block 35", Nothing, [] { return BuildBandFrame(3, 2, 35); },
         "5C 5C 5C EE A1 01 00 03 02 23 00 00 08 00 41 42 43 44 45 46 47 48 82 AA"},
        {"status poll sends zeros whatever the template held", [] { std::memset(FramePayload(), 0xE7, 8); },
         [] { return BuildBandFrame(7, 0, 0); }, "5C 5C 5C EE A2 01 00 09 03 00 00 00 08 00 00*8 A1 AA"},
        {"record, output 0 while locked", [] { g_bPresetLocked = 1; },
         [] { return BuildBlockFrame(0, 4, 0, 1, 0); },
         "5C 5C 5C EE A1 01 00 04 00 00 00 00 28 01 5F 5E*287 21 0B 6F 6C 6D 6A 6B 68 A1 AA"},
        {"record, output 0 locked with a short password",
         [] {
             g_bPresetLocked = 1;
             g_strPresetPassword = "12";
         },
         [] { return BuildBlockFrame(0, 4, 0, 1, 0); },
         "5C 5C 5C EE A1 01 00 04 00 00 00 00 28 01 5F 5E*287 21 0B 6F 6C 5E 5E 5E 5E A5 AA"},
        {"record, output 0 locked with an overlong password",
         [] {
             g_bPresetLocked = 1;
             g_strPresetPassword = "123456789";
         },
         [] { return BuildBlockFrame(0, 4, 0, 1, 0); },
         "5C 5C 5C EE A1 01 00 04 00 00 00 00 28 01 5F 5E*287 21 0B 6F 6C 6D 6A 6B 68 A1 AA"},
        {"record, output 0 while unlocking", [] { g_bPresetUnlocking = 1; },
         [] { return BuildBlockFrame(0, 4, 0, 1, 0); },
         "5C 5C 5C EE A1 01 00 04 00 00 00 00 28 01 01 00*287 20 55 54 31 00*4 9C AA"},
        {"record, output 0 unlocked", Nothing, [] { return BuildBlockFrame(0, 4, 0, 1, 0); },
         "5C 5C 5C EE A1 01 00 04 00 00 00 00 28 01 01 00*287 4F 55 54 31 00*4 F3 AA"},
        {"record, output 5 while locked, linked",
         [] {
             g_bPresetLocked = 1;
             LinkOutputs({5, 6}, 0x60);
         },
         [] { return BuildBlockFrame(0, 4, 5, 1, 0); },
         "5C 5C 5C EE A1 01 00 04 05 00 01 00 28 01 FE 5E*294 51 26 AA"},
        {"record, stored preset 2 output 0 goes out plain while locked", [] { g_bPresetLocked = 1; },
         [] { return BuildBlockFrame(2, 4, 0, 0, 1); },
         "5C 5C 5C EE A1 01 02 04 00 00 00 00 28 01 00*288 4F 00*7 C0 AA"},
        {"record, microphone", Nothing, [] { return BuildBlockFrame(0, 1, 0, 1, 0); },
         "5C 5C 5C EE A1 01 00 01 00 00 00 00 70 00 00*16 21 22 23 24 25 26 27 28 00*87 2F F6 AA"},
        {"record, system block carries 96 bytes", Nothing, [] { return BuildBlockFrame(0, 2, 0, 1, 0); },
         "5C 5C 5C EE A1 01 00 02 00 00 00 00 60 00 00*24 31 32 33 34 35 36 37 38 00*63 3F F5 AA"},
        {"record, music input 2 into preset 3's slot", Nothing, [] { return BuildBlockFrame(3, 3, 2, 1, 0); },
         "5C 5C 5C EE A1 01 03 03 02 00 00 00 20 01 99 00*279 41 42 43 44 45 46 47 48 12 AA"},
        {"read, stored preset 4 output 11 (bulk)", Nothing, [] { return BuildRequestFrame(4, 4, 11, 0, 1); },
         "5C 5C 5C EE A2 01 04 04 0B 77 00 00 08 00 00*8 D7 AA"},
        {"read, live preset 0 output 2", Nothing, [] { return BuildRequestFrame(0, 4, 2, 1, 0); },
         "5C 5C 5C EE A2 01 00 04 02 77 00 00 08 00 00*8 DA AA"},
        {"read, stored preset 3 music 1 into the live image", Nothing,
         [] { return BuildRequestFrame(3, 3, 1, 1, 0); },
         "5C 5C 5C EE A2 01 03 03 01 00 00 00 08 00 00*8 AA AA"},
        {"read, version label", Nothing, [] { return BuildRequestFrame9(4, 0); },
         "5C 5C 5C EE A2 01 00 09 04 00 00 00 08 00 00*8 A6 AA"},
        {"read, handshake 204", Nothing, [] { return BuildRequestFrame9(204, 0); },
         "5C 5C 5C EE A2 01 00 09 CC 00 00 00 08 00 00*8 6E AA"},
        {"write, name of stored preset 2", Nothing, [] { return BuildSystemFrame(0, 2); },
         "5C 5C 5C EE A1 01 02 09 00 00 00 00 10 00 53 74 6F 72 65 64 20 54 77 6F 20 20 20 20 20 00 CC AA"},
        {"write, live name", Nothing, [] { return BuildSystemFrame(0, 0); },
         "5C 5C 5C EE A1 01 00 09 00 00 00 00 10 00 4C 69 76 65 00*12 8F AA"},
        {"write, input settings", Nothing, [] { return BuildSystemFrame(2, 0); },
         "5C 5C 5C EE A1 01 00 09 02 00 00 00 08 00 01 00 03 00 FF 00 00 02 5C AA"},
        {"write, system data without a threshold sends byte 3 as 0", Nothing,
         [] { return BuildSystemFrame(5, 0); },
         "5C 5C 5C EE A1 01 00 09 05 00 00 00 08 00 3C 00 00 00 00 00 01 00 99 AA"},
        {"write, system data with a threshold", [] { g_DeviceSettings.SystemData[7] = 0x37; },
         [] { return BuildSystemFrame(5, 0); },
         "5C 5C 5C EE A1 01 00 09 05 00 00 00 08 00 3C 00 00 37 00 00 01 37 99 AA"},
        {"write, speaker types of outputs 1-8", Nothing, [] { return BuildSystemFrame(6, 0); },
         "5C 5C 5C EE A1 01 00 09 06 00 00 00 08 00 01 07 05 0B 0F 12 15 18 BF AA"},
        {"write, lock block", Nothing, [] { return BuildSystemFrame(19, 0); },
         "5C 5C 5C EE A1 01 00 09 13 00 00 00 08 00 01 02 03 04 05 06 07 08 BA AA"},
        {"write, current preset", Nothing, [] { return BuildSystemFrame(52, 0); },
         "5C 5C 5C EE A1 01 00 09 34 00 00 00 01 00 03 9F AA"},
        {"write, sound delay", Nothing, [] { return BuildSystemFrame(64, 0); },
         "5C 5C 5C EE A1 01 00 09 40 00 00 00 62 00 D1 00*96 D2 88 AA"},
        {"write, Wi-Fi reset", Nothing, [] { return BuildSystemFrame(65, 0); },
         "5C 5C 5C EE A1 01 00 09 41 00 00 00 08 00 00*8 E0 AA"},
        {"write, item 96", Nothing, [] { return BuildSystemFrame(96, 0); },
         "5C 5C 5C EE A1 01 00 09 60 00 00 00 08 00 00*8 C1 AA"},
    };
    for (const auto& c : cases) {
        SetUp();
        c.arrange();
        std::vector<BYTE> imageBefore(g_DeviceImage, g_DeviceImage + sizeof g_DeviceImage);
        auto settingsBefore = g_DeviceSettings;
        auto frame = c.build();
        ASSERT_NE(frame, nullptr) << c.what;
        EXPECT_EQ(Bytes(*frame), Hex(c.expected)) << c.what;
        EXPECT_EQ(frame->GetLength(), int(Hex(c.expected).size())) << c.what;
        EXPECT_TRUE(std::equal(imageBefore.begin(), imageBefore.end(), g_DeviceImage))
            << c.what << ": a builder must leave the image as it was";
        EXPECT_EQ(std::memcmp(&settingsBefore, &g_DeviceSettings, sizeof g_DeviceSettings), 0) << c.what;
    }
    EXPECT_TRUE(boxes.Entries().empty());
}

TEST_F(FrameBuilders, EveryFrameHasTheFrameShape) {
    std::vector<std::unique_ptr<CSendData>> frames;
    for (int locked = 0; locked <= 1; ++locked) {
        g_bPresetLocked = locked;
        LinkOutputs({0, 4, 11}, 9);
        for (int block = 0; block < 14; ++block)
            frames.push_back(BuildBandFrame(1, 0, block));
        for (int block = 0; block < 19; ++block)
            frames.push_back(BuildBandFrame(2, 0, block));
        for (int c = 0; c < 4; ++c)
            for (int block = 0; block < 36; ++block)
                frames.push_back(BuildBandFrame(3, c, block));
        for (int c = 0; c < 12; ++c)
            for (int block = 0; block < 37; ++block)
                frames.push_back(BuildBandFrame(4, c, block));
        frames.push_back(BuildBandFrame(7, 0, 0));
        for (int preset = 0; preset <= 6; ++preset) {
            const int live = preset == 0 ? 1 : 0;
            frames.push_back(BuildBlockFrame(preset, 1, 0, live, 1 - live));
            frames.push_back(BuildBlockFrame(preset, 2, 0, live, 1 - live));
            for (int c = 0; c < 4; ++c)
                frames.push_back(BuildBlockFrame(preset, 3, c, live, 1 - live));
            for (int c = 0; c < 12; ++c) {
                frames.push_back(BuildBlockFrame(preset, 4, c, live, 1 - live));
                frames.push_back(BuildRequestFrame(preset, 4, c, live, 1 - live));
            }
            for (int sub : {0, 2, 5, 6, 19, 52, 64, 65, 96})
                frames.push_back(BuildSystemFrame(sub, preset));
            for (int sub : {0, 2, 3, 4, 5, 6, 19, 52, 64, 204})
                frames.push_back(BuildRequestFrame9(sub, preset));
        }
    }
    for (const auto& frame : frames) {
        ASSERT_NE(frame, nullptr);
        const auto bytes = Bytes(*frame);
        const std::size_t length = bytes[12] | (bytes[13] << 8);
        ASSERT_EQ(bytes.size(), length + 16);
        ASSERT_LE(bytes.size(), frame::kMaxFrameLength);
        EXPECT_EQ(bytes[0], 0x5C);
        EXPECT_EQ(bytes[1], 0x5C);
        EXPECT_EQ(bytes[2], 0x5C);
        EXPECT_EQ(bytes[3], 0xEE);
        EXPECT_TRUE(bytes[4] == 0xA1 || bytes[4] == 0xA2);
        EXPECT_EQ(bytes[5], 1);
        EXPECT_EQ(bytes[11], 0);
        BYTE check = 0;
        for (std::size_t i = 4; i < bytes.size() - 2; ++i)
            check ^= bytes[i];
        EXPECT_EQ(bytes[bytes.size() - 2], check);
        EXPECT_EQ(bytes.back(), 0xAA);
    }
}

TEST_F(FrameBuilders, LinkFlagFollowsTheGroupAndTheBlock) {
    LinkOutputs({3, 7}, 2);
    LinkOutputs({5}, 4);
    struct Case {
        int output, block, flag;
    };
    const Case cases[] = {
        {3, 0, 1},  {3, 30, 1}, {3, 32, 1}, {3, 33, 1}, {7, 12, 1}, {3, 31, 0},
        {3, 34, 0}, {3, 35, 0}, {3, 36, 0}, {5, 0, 0},  {0, 0, 0},
    };
    for (const auto& c : cases) {
        auto frame = BuildBandFrame(4, c.output, c.block);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->GetData()[10], c.flag) << c.output << " block " << c.block;
    }
    EXPECT_EQ(IsLinkedOutput(-1), 0);
    EXPECT_EQ(IsLinkedOutput(12), 0);
}

TEST_F(FrameBuilders, LiveRecordsOfInputsAndOutputsStartTheNameCheck) {
    struct Case {
        int preset, type, fromLive, pending;
    };
    const Case cases[] = {{0, 4, 1, 1}, {0, 3, 1, 1}, {0, 1, 1, 0}, {0, 2, 1, 0}, {2, 4, 0, 0}, {2, 3, 0, 0}};
    for (const auto& c : cases) {
        g_bNameCheckPending = 0;
        ASSERT_NE(BuildBlockFrame(c.preset, c.type, 0, c.fromLive, !c.fromLive), nullptr);
        EXPECT_EQ(g_bNameCheckPending, c.pending) << c.type << " live " << c.fromLive;
    }
    g_bNameCheckPending = 0;
    BuildBandFrame(4, 0, 0);
    EXPECT_EQ(g_bNameCheckPending, 0);
}

TEST_F(FrameBuilders, RefusesWhatIsNotThereInsteadOfReadingPastTheImages) {
    const std::function<std::unique_ptr<CSendData>()> refused[] = {
        [] { return BuildBandFrame(4, 12, 0); },       [] { return BuildBandFrame(4, -1, 0); },
        [] { return BuildBandFrame(4, 0, 37); },       [] { return BuildBandFrame(3, 4, 0); },
        [] { return BuildBandFrame(3, 0, 36); },       [] { return BuildBandFrame(1, 1, 0); },
        [] { return BuildBandFrame(1, 0, 14); },       [] { return BuildBandFrame(2, 0, 19); },
        [] { return BuildBandFrame(5, 0, 0); },        [] { return BuildBlockFrame(0, 4, 0, 0, 1); },
        [] { return BuildBlockFrame(7, 4, 0, 0, 1); }, [] { return BuildBlockFrame(0, 4, 12, 1, 0); },
        [] { return BuildBlockFrame(0, 9, 0, 1, 0); }, [] { return BuildSystemFrame(0, 7); },
        [] { return BuildSystemFrame(3, 0); },         [] { return BuildSystemFrame(204, 0); },
    };
    for (const auto& build : refused)
        EXPECT_EQ(build(), nullptr);

    // A template length that does not match the buffer is not finished.
    WriteFrameHeader(0xA1, 0, 4, 0, 0, 0, 8);
    BYTE buffer[32] = {};
    EXPECT_FALSE(FinishFrame(buffer, 25));
    WriteFrameHeader(0xA1, 0, 4, 0, 0, 0, 301);
    std::vector<BYTE> big(317);
    EXPECT_FALSE(FinishFrame(big.data(), 317));
}
