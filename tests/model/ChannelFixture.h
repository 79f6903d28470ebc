#pragma once

// Shared set-up of the channel-model tests: a clean live image, no processor
// online, no link groups, English texts, and the helpers that read frames.

#include "model/FrameFormat.h"
#include "model/Globals.h"
#include "model/SendData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

class ChannelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(g_DeviceImage, 0, sizeof g_DeviceImage);
        std::fill(std::begin(g_OutLinkTable), std::end(g_OutLinkTable), 0);
        g_bOnline = 0;
        g_bChinese = 0;
        g_bPresetLocked = 0;
        g_bPresetUnlocking = 0;
    }
    void TearDown() override {
        std::memset(g_DeviceImage, 0, sizeof g_DeviceImage);
        std::fill(std::begin(g_OutLinkTable), std::end(g_OutLinkTable), 0);
        g_bOnline = 0;
        g_bChinese = 0;
    }

    // Fills the whole live image with a byte no packer writes by accident.
    static void FillImage(BYTE value) { std::memset(g_DeviceImage, value, sizeof g_DeviceImage); }

    static std::vector<BYTE> ImageBytes(int offset, int count) {
        return {g_DeviceImage + offset, g_DeviceImage + offset + count};
    }

    // Header fields and the eight payload bytes of a 24-byte block frame.
    static void ExpectBlockFrame(const CSendData* frame, int type, int channel, int block,
                                 const BYTE* payload) {
        ASSERT_NE(frame, nullptr);
        ASSERT_EQ(frame->GetLength(), 24);
        const BYTE* bytes = frame->GetData();
        EXPECT_EQ(bytes[frame::kOffCommand], frame::kCmdWrite);
        EXPECT_EQ(bytes[frame::kOffType], type);
        EXPECT_EQ(bytes[frame::kOffChannel], channel);
        EXPECT_EQ(bytes[frame::kOffBlock], block);
        EXPECT_EQ(std::vector<BYTE>(bytes + frame::kOffPayload, bytes + frame::kOffPayload + 8),
                  std::vector<BYTE>(payload, payload + 8));
    }
};
