// The progress a reply reports: only a reply that takes the head frame off
// the queue moves a bar or announces the end of a transfer.

#include "link/FirmwareFrames.h"
#include "link/KTVCommand.h"
#include "link/LinkGlobals.h"
#include "link/LinkProgress.h"
#include "model/DeviceDefaults.h"
#include "model/FrameBuilders.h"
#include "model/Globals.h"
#include "platform/sys/MessageWindow.h"
#include "platform/sys/UserMessages.h"
#include "sim/lib/SimFrame.h"
#include "tests/link/FirmwareFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

class ReplyProgress : public ::testing::Test {
protected:
    void SetUp() override {
        InitDefaultDeviceData();
        g_bChinese = 0;
        g_bHandshakeWait = 0;
        g_bFirmwareRebooting = 0;
        g_bUpdateAbort = 0;
        m_cmd.SetNotifyWnd(m_view.GetSafeHwnd());
    }
    void TearDown() override {
        m_cmd.ClearCommands();
        g_pTransferProgress = nullptr;
        g_pFirmwareProgress = nullptr;
        g_pUpdateStatusLabel = nullptr;
        g_bFirmwareRebooting = 0;
    }

    void Feed(const Bytes& bytes) {
        std::memcpy(g_NetRecvBuf, bytes.data(), bytes.size());
        m_cmd.OnNetworkData(int(bytes.size()));
    }

    static Bytes Reply(BYTE code, BYTE channel, Bytes payload = {}) {
        sim::SimFrame f;
        f.command = code;
        f.type = DATA_DEVICE_INFO;
        f.channel = channel;
        f.payload = std::move(payload);
        return sim::EncodeFrame(f);
    }

    std::vector<UINT> Notices() {
        std::vector<UINT> ids;
        for (const auto& m : m_view.TakeMessages())
            ids.push_back(m.message);
        return ids;
    }

    platform::MessageWindow m_view;
    CKTVCommand m_cmd;
};

TEST_F(ReplyProgress, OnlyRepliesThatCompleteTheHeadFrameCount) {
    const BYTE check = 0x12;
    struct Case {
        const char* name;
        bool firmware; // the end frame of an update, else the last read of a batch
        Bytes reply;
        bool counted;
    };
    const Case cases[] = {
        {"end frame acknowledged", true, Reply(frame::kReplyAck, HEXEnd), true},
        {"end frame rejected", true, Reply(frame::kReplyReject, HEXEnd), false},
        {"end frame, unknown code", true, Reply(0x60, HEXEnd), false},
        {"batch read stored", false, Reply(frame::kReplyData, INFO_LOCK_BLOCK, Bytes(8, 1)), true},
        {"batch read rejected", false, Reply(frame::kReplyReject, INFO_LOCK_BLOCK), false},
        {"batch read, unknown code", false, Reply(0x60, INFO_LOCK_BLOCK), false},
        {"batch read of the wrong length", false, Reply(frame::kReplyData, INFO_LOCK_BLOCK, Bytes(5, 1)),
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_cmd.ClearCommands();
        firmwaretest::DialogBar popup;
        firmwaretest::DialogBar firmware;
        firmwaretest::DialogLabel label;
        firmware.SetRange(0, 100);
        g_pTransferProgress = &popup;
        g_pFirmwareProgress = &firmware;
        g_pUpdateStatusLabel = &label;
        g_bFirmwareRebooting = 0;
        Notices();

        std::unique_ptr<CSendData> head =
            c.firmware ? BuildFirmwareFrame(HEXEnd, &check, 1) : BuildRequestFrame9(INFO_LOCK_BLOCK, 0);
        head->SetProgressPos(7);
        head->SetNotifyLast(c.firmware ? 0 : 1);
        m_cmd.AddCommand(std::move(head));
        Feed(c.reply);

        EXPECT_EQ(m_cmd.GetCommandCount(), c.counted ? 0 : 1);
        const auto notices = Notices();
        if (c.firmware) {
            EXPECT_EQ(firmware.GetCurPos(), c.counted ? 100 : 0);
            EXPECT_EQ(label.Texts(),
                      c.counted ? std::vector<CString>{"Update successfully"} : std::vector<CString>{});
            EXPECT_EQ(g_bFirmwareRebooting, c.counted ? 1 : 0);
            EXPECT_EQ(notices, c.counted ? std::vector<UINT>{UM_FIRMWARE_DONE} : std::vector<UINT>{});
        } else {
            EXPECT_EQ(popup.GetCurPos(), c.counted ? 7 : 0);
            EXPECT_EQ(notices, c.counted ? std::vector<UINT>{UM_TRANSFER_DONE} : std::vector<UINT>{});
        }
    }
}

} // namespace
