#pragma once

// A model over the factory defaults, packed into the live image, with a
// processor online and the live preset already named "Custom" as the current
// preset, so the name check is quiet until a test sets it up otherwise.
// Frames are read back as short descriptions ("out 3 b5", "music 1 b31",
// "sys 5", "poll").

#include "model/DataDefine.h"
#include "model/DeviceDefaults.h"
#include "model/FrameFormat.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

class ModelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        g_bOnline = 0;
        std::memset(g_TxFrame, 0, sizeof g_TxFrame); // as at start: the defaults write only its ends
        InitDefaultDeviceData();
        std::fill(std::begin(g_OutLinkTable), std::end(g_OutLinkTable), 0);
        m_model = std::make_unique<CKTV_Data>();
        m_model->PackToImage();
        StringToBytesZ(g_DeviceImage, kPresetNameSize, "Custom");
        g_DeviceSettings.CurrentPreset[0] = 0;
        g_strShownPresetName = "Custom";
        g_bSysBlock5Pending = g_bSysBlock2Pending = g_bPresetNamePending = g_bNameCheckPending = 0;
        g_bPresetLocked = 0;
        g_bOnline = 1;
    }
    void TearDown() override {
        g_bOnline = 0;
        g_bSysBlock5Pending = g_bSysBlock2Pending = g_bPresetNamePending = g_bNameCheckPending = 0;
        g_pNotifyView = nullptr;
        g_strShownPresetName.clear();
    }

    static std::string Describe(const CSendData& frame) {
        const BYTE* d = frame.GetData();
        const int type = d[frame::kOffType];
        const int channel = d[frame::kOffChannel];
        const int block = d[frame::kOffBlock];
        if (d[frame::kOffCommand] == frame::kCmdRead && type == DATA_DEVICE_INFO && channel == INFO_STATUS)
            return "poll";
        if (type == DATA_DEVICE_INFO)
            return "sys " + std::to_string(channel);
        const char* kind = type == DATA_OUTPUT ? "out " : type == DATA_MUSIC_INPUT ? "music " : "other ";
        return kind + std::to_string(channel) + " b" + std::to_string(block);
    }

    // The next `count` picks, described.
    std::vector<std::string> Picks(int count) {
        std::vector<std::string> picks;
        for (int i = 0; i < count; ++i) {
            auto frame = m_model->SendNextDirtyBlock();
            picks.push_back(frame ? Describe(*frame) : "null");
        }
        return picks;
    }

    static WORD PayloadWord(const CSendData& frame, int at) {
        const BYTE* p = frame.GetData() + frame::kOffPayload + at;
        return WORD(p[0] | (p[1] << 8));
    }

    std::unique_ptr<CKTV_Data> m_model;
};
