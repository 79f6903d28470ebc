#include "link/FirmwareFile.h"
#include "link/FirmwareFrames.h"
#include "link/FirmwareQueue.h"
#include "link/KTVCommand.h"
#include "link/LinkGlobals.h"
#include "link/LinkProgress.h"
#include "model/FrameFormat.h"
#include "model/Globals.h"

#include "tests/link/FirmwareFixture.h"
#include "tests/link/FirmwareTestFiles.h"

#include "tests/link/HexBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;
using firmware_test::DspImage;
using firmware_test::FirmwareBytes;
using firmware_test::McuImage;
using firmware_test::TempFile;

using linktest::Hex;

Bytes FrameBytes(const CSendData& f) {
    return {f.GetData(), f.GetData() + f.GetLength()};
}

BYTE Check(const Bytes& mcu) {
    BYTE check = CFirmwareFile::kCheckSeed;
    for (std::size_t i = CFirmwareFile::kMcuHeaderSize; i < mcu.size(); ++i)
        check ^= mcu[i];
    return check;
}

TEST(FirmwareFile, LoadTable) {
    const Bytes dsp = DspImage();
    const Bytes mcu = McuImage(996);
    struct Case {
        const char* name;
        Bytes content;
        CFirmwareFile::LoadResult result;
        Bytes dsp;
        Bytes mcu;
        int estimate;
    };
    using R = CFirmwareFile::LoadResult;
    auto cat = [](std::initializer_list<Bytes> parts) {
        Bytes out;
        for (const auto& p : parts)
            out.insert(out.end(), p.begin(), p.end());
        return out;
    };
    const Bytes wdsp = {'W', 'D', 'S', 'P'};
    const Bytes wmcu = {'W', 'M', 'C', 'U'};
    const Case cases[] = {
        {"MCU only, 1000 bytes", FirmwareBytes({}, mcu), R::Loaded, {}, mcu, 20},
        {"MCU header and one data byte", FirmwareBytes({}, McuImage(5)), R::Loaded, {}, McuImage(5), 0},
        {"DSP only, exactly 0x40004 bytes", FirmwareBytes(dsp, {}), R::Loaded, dsp, {}, 5957},
        {"DSP with a short tail that is no MCU section",
         cat({FirmwareBytes(dsp, {}), {'W', 'M'}}),
         R::Loaded,
         dsp,
         {},
         5957},
        {"DSP with an untagged tail",
         cat({FirmwareBytes(dsp, {}), Bytes(100, 0x77)}),
         R::Loaded,
         dsp,
         {},
         5959},
        {"DSP and MCU", FirmwareBytes(dsp, McuImage(100)), R::Loaded, dsp, McuImage(100), 5959},
        {"long file without WDSP but WMCU at 4",
         cat({{'X', 'D', 'S', 'P'}, wmcu, Bytes(0x40000, 0x55)}),
         R::NoImage,
         {},
         {},
         0},
        {"long garbage", Bytes(0x40010, 0x33), R::NoImage, {}, {}, 0},
        {"empty file", {}, R::NoImage, {}, {}, 0},
        {"short garbage", Bytes(300, 0x44), R::NoImage, {}, {}, 0},
        {"WDSP in a short file", cat({wdsp, Bytes(1000, 0x11)}), R::NoImage, {}, {}, 0},
        {"MCU tag alone", wmcu, R::NoImage, {}, {}, 0},
        {"MCU header without data", FirmwareBytes({}, McuImage(4)), R::NoImage, {}, {}, 0},
        {"MCU image of 2 bytes", FirmwareBytes({}, McuImage(2)), R::NoImage, {}, {}, 0},
        {"DSP and an MCU header without data", FirmwareBytes(dsp, McuImage(4)), R::NoImage, {}, {}, 0},
        {"DSP and an empty MCU section", FirmwareBytes(dsp, Bytes{}, true), R::NoImage, {}, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.content);
        CFirmwareFile loaded;
        ASSERT_EQ(loaded.Load(file.Path()), c.result);
        EXPECT_EQ(loaded.HasDspImage(), !c.dsp.empty());
        EXPECT_EQ(loaded.HasMcuImage(), !c.mcu.empty());
        EXPECT_EQ(loaded.TakeDsp(c.content.size()), c.dsp);
        EXPECT_EQ(loaded.TakeMcu(c.content.size()), c.mcu);
        EXPECT_EQ(loaded.GetFrameEstimate(), c.estimate);
        EXPECT_EQ(loaded.GetCheckByte(), c.mcu.empty() ? 0x12 : Check(c.mcu));
    }

    CFirmwareFile missing;
    EXPECT_EQ(missing.Load(testing::TempDir() + "/no-such-firmware.bin"), R::CannotOpen);
}

class FirmwareFrames : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(g_TxFrame, 0, sizeof g_TxFrame);
        std::memcpy(g_TxFrame, "\x5C\x5C\x5C\xEE", 4);
        g_pTransferProgress = &m_popupBar;
    }
    void TearDown() override { g_pTransferProgress = nullptr; }

    struct Sent {
        Bytes bytes;
        int step = 0;
        int position = 0;
    };

    // Loads `content` and takes every frame the transfer asks for, as the
    // write steps would when the processor accepts each one.
    std::vector<Sent> Transfer(const Bytes& content) {
        TempFile file(content);
        EXPECT_EQ(m_queue.Load(file.Path()), CFirmwareFile::LoadResult::Loaded);
        std::vector<Sent> sent;
        for (;;) {
            if (!m_cmd.GetCurrentCommand())
                m_queue.NextFirmwareFrame(m_cmd);
            CSendData* head = m_cmd.GetCurrentCommand();
            if (!head)
                break;
            sent.push_back({FrameBytes(*head), head->GetCommand(), head->GetProgressPos()});
            m_cmd.PopCommand();
        }
        return sent;
    }

    static Bytes Payload(const Sent& s) { return {s.bytes.begin() + frame::kOffPayload, s.bytes.end() - 2}; }

    // The steps in order, runs counted: "* 6 : ;x5958 9".
    static std::string Steps(const std::vector<Sent>& sent) {
        std::string steps;
        for (std::size_t i = 0; i < sent.size();) {
            std::size_t run = 1;
            while (i + run < sent.size() && sent[i + run].step == sent[i].step)
                ++run;
            if (!steps.empty())
                steps += ' ';
            steps += sent[i].step == FIRMWARE_HANDSHAKE ? '*' : char(sent[i].step);
            if (run > 1)
                steps += 'x' + std::to_string(run);
            i += run;
        }
        return steps;
    }

    firmwaretest::DialogBar m_popupBar;
    CFirmwareQueue m_queue;
    CKTVCommand m_cmd;
};

TEST_F(FirmwareFrames, McuOnlyFile) {
    const Bytes mcu = McuImage(996);
    const auto sent = Transfer(FirmwareBytes({}, mcu));
    EXPECT_EQ(g_nFirmwareFrameTotal, 26);
    EXPECT_EQ(Steps(sent), "* 6 7 8x21 9");

    // The handshake marker: 24 pairs 43 11 that never go out as they are.
    Bytes marker = Hex("5C 5C 5C EE A1 01 00 09 FF 00 00 00 30 00");
    for (int i = 0; i < 24; ++i)
        marker.insert(marker.end(), {0x43, 0x11});
    marker.insert(marker.end(), {0x66, 0xAA});
    EXPECT_EQ(sent[0].bytes, marker);
    EXPECT_EQ(sent[1].bytes.size(), 32u);
    EXPECT_EQ(Payload(sent[1]), Bytes(16, 0));
    EXPECT_EQ(sent[2].bytes.size(), 20u);
    Bytes data;
    for (std::size_t i = 3; i < 24; ++i) {
        EXPECT_EQ(sent[i].bytes.size(), 64u);
        const Bytes piece = Payload(sent[i]);
        data.insert(data.end(), piece.begin(), piece.end());
    }
    // 992 data bytes: twenty full frames and 32 bytes padded with 0xFF.
    EXPECT_TRUE(std::equal(mcu.begin() + 4, mcu.end(), data.begin()));
    EXPECT_EQ(Bytes(data.begin() + 992, data.end()), Bytes(16, 0xFF));
    EXPECT_EQ(sent.back().bytes.size(), 17u);
    EXPECT_EQ(sent.back().bytes[14], Check(mcu));

    // Progress numbers restart with every call; the end frame repeats the
    // number of the frame before it.
    EXPECT_EQ(sent[0].position, 0);
    EXPECT_EQ(sent[1].position, 1);
    EXPECT_EQ(sent[2].position, 2);
    EXPECT_EQ(sent[3].position, 3);
    EXPECT_EQ(sent[4].position, 1);
    EXPECT_EQ(sent[23].position, 1);
    EXPECT_EQ(sent[24].position, 1);
    EXPECT_EQ(m_popupBar.GetUpper(), 1);
}

TEST_F(FirmwareFrames, DspOnlyFile) {
    const auto sent = Transfer(FirmwareBytes(DspImage(), {}));
    EXPECT_EQ(g_nFirmwareFrameTotal, 5963);
    EXPECT_EQ(Steps(sent), "* 6 : ;x5958 9");
    for (std::size_t i = 0; i < 5958; ++i) {
        const BYTE* p = sent[3 + i].bytes.data() + 14;
        const std::uint32_t address = p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
        ASSERT_EQ(address, 44 * i) << i;
    }
    EXPECT_EQ(sent[3].bytes,
              Hex("5C 5C 5C EE A1 01 00 09 3B 00 00 00 30 00 00 00 00 00 07 0C 11 16 1B 20 25 2A 2F "
                  "34 39 3E 43 48 4D 52 57 5C 61 66 6B 70 75 7A 7F 84 89 8E 93 98 9D A2 A7 AC B1 B6 "
                  "BB C0 C5 CA CF D4 D9 DE 26 AA"));
    // Address 262108, the last 35 image bytes, zero fill.
    EXPECT_EQ(sent[5960].bytes,
              Hex("5C 5C 5C EE A1 01 00 09 3B 00 00 00 30 00 DC FF 03 00 53 58 5D 62 67 6C 71 76 "
                  "7B 80 85 8A 8F 94 99 9E A3 A8 AD B2 B7 BC C1 C6 CB D0 D5 DA DF E4 E9 EE F3 F8 "
                  "FD 00*9 94 AA"));
    // Without MCU data the end frame carries the seed.
    EXPECT_EQ(sent.back().bytes, Hex("5C 5C 5C EE A1 01 00 09 39 00 00 00 01 00 12 83 AA"));
    EXPECT_EQ(sent.back().position, sent[5960].position);
}

TEST_F(FirmwareFrames, DspAndMcuFile) {
    Bytes mcu = {0x10, 0x20, 0x30, 0x40};
    for (int i = 0; i < 100; ++i)
        mcu.push_back(BYTE(i * 3 + 1));
    const auto sent = Transfer(FirmwareBytes(DspImage(), mcu));
    // One start frame, from the DSP part; one end frame, from the MCU part.
    EXPECT_EQ(Steps(sent), "* 6 : ;x5958 7 8x3 9");
    EXPECT_EQ(sent[5961].bytes, Hex("5C 5C 5C EE A1 01 00 09 37 00 00 00 04 00 10 20 30 40 DA AA"));
    EXPECT_EQ(sent[5964].bytes, Hex("5C 5C 5C EE A1 01 00 09 38 00 00 00 30 00 21 24 27 2A FF*44 A9 AA"));
    EXPECT_EQ(sent[5965].bytes, Hex("5C 5C 5C EE A1 01 00 09 39 00 00 00 01 00 5A CB AA"));
}

TEST_F(FirmwareFrames, ARefusedFileLeavesNothingToSend) {
    TempFile file(Bytes(0x40010, 0x33));
    EXPECT_EQ(m_queue.Load(file.Path()), CFirmwareFile::LoadResult::NoImage);
    EXPECT_EQ(g_bFirmwareHandshakePending, 0);
    EXPECT_EQ(g_nFirmwareFrameTotal, 0);
    m_queue.NextFirmwareFrame(m_cmd);
    EXPECT_EQ(m_cmd.GetCommandCount(), 0);
}

TEST(FirmwareLimits, PerStepWriteAndTimeLimits) {
    struct Case {
        int step;
        int usbWrites, netWrites, usbSeconds, netMs;
    };
    const Case cases[] = {
        {HEXApply, 2, 2, 3, 10000},
        {HEXStart, 2, 2, 8, 8000},
        {HEXData, 2, 2, 2, 2000},
        {HEXEnd, 2, 2, 2, 2000},
        {IAP_DSP_REQUEST_INFO, 4, 2, 40, 50000},
        {IAP_DSP_DATA, 2, 2, 10, 10000},
        {IAP_DSP_END, 2, 2, 20, 8000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        EXPECT_EQ(UsbFirmwareWriteLimit(c.step), c.usbWrites);
        EXPECT_EQ(NetFirmwareWriteLimit(c.step), c.netWrites);
        EXPECT_EQ(UsbFirmwareReadLimitSeconds(c.step), c.usbSeconds);
        EXPECT_EQ(NetFirmwareRecvTimeoutMs(c.step), c.netMs);
    }
}

} // namespace
