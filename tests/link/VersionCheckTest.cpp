// The version check after the connect handshake, and the handlers of the
// parser's status, routing, live-data and empty-reply notices.  The link is
// open without its thread, so every step is the handler's own.

#include "tests/link/SyncFixture.h"

#include "model/SpkType.h"

#include <cstring>

namespace {

using linktest::SyncView;

class VersionCheck : public SyncView {
protected:
    void SetUp() override {
        SyncView::SetUp();
        ConnectWithoutThread();
    }
    void SetLabel(const char* label) {
        std::memset(g_DeviceSettings.VersionLabel, 0, sizeof g_DeviceSettings.VersionLabel);
        std::memcpy(g_DeviceSettings.VersionLabel, label, std::strlen(label));
    }
};

TEST_F(VersionCheck, OnlyTheFamilyAndTheMajorDigitDecide) {
    const CString zhDeviceOlder = "设备版本比PC软件版本号低，只有版本号为“ZEFB-MV1.01到ZEFB-MV1."
                                  "99”之间的设备才能和该版本的PC软件连接。";
    const CString enDeviceOlder =
        " If device version is lower than the software version, only the device at version, "
        "ZEFB-MV1.01 to ZEFB-MV1.99, can be connected with this software.";
    const CString zhSoftwareOlder = "PC软件版本比设备版本号低，只有版本号为“ZEFA-MV2.01到ZEFA-MV2."
                                    "99”之间的PC软件才能和该版本的设备连接。";
    const CString enSoftwareOlder =
        " If software version is lower than the device version, only the software at version, "
        "ZEFA-MV2.01 to ZEFA-MV2.99, can be connected with this device.";
    struct Case {
        const char* label;
        int chinese;
        bool accepted;
        CString message; // empty: none
        int code;
    };
    const Case cases[] = {
        {"KWEX-DV1.00", 0, true, "", 0},
        {"KWEX-DV1.37", 0, true, "", 0}, // only characters 0 to 7 count
        {"KWEX-DV0.99", 1, false, zhDeviceOlder, -4},
        {"KWEX-DV0.99", 0, false, enDeviceOlder, -5},
        {"KWEX-DVX.00", 0, false, enDeviceOlder, -5}, // not a digit: counts as 0
        {"KWEX-DV2.00", 1, false, zhSoftwareOlder, -4},
        {"KWEX-DV2.00", 0, false, enSoftwareOlder, -5},
        {"KWEX-EV1.00", 0, false, "", 0}, // another family: no message
        {"", 0, false, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.label) + (c.chinese ? " zh" : " en"));
        ConnectWithoutThread();
        g_bChinese = c.chinese;
        g_bOnline = 0;
        {
            std::lock_guard lock(g_csSend);
            view->RequestDeviceInfo(0);
        }
        SetLabel(c.label);
        const std::size_t boxesBefore = boxes.Entries().size();

        view->OnVersionInfo();

        const auto frames = TakeQueue();
        if (c.accepted) {
            EXPECT_EQ(view->m_bConnected, 1);
            EXPECT_EQ(g_bOnline, 1);
            // The two handshake frames, then 12 settings reads and 16 record reads.
            ASSERT_EQ(frames.size(), 2u + 12u + 16u);
            EXPECT_EQ(frames[2].channel(), INFO_PRESET_NAME);
            EXPECT_EQ(frames[2].preset(), 1);
            EXPECT_EQ(frames[13].channel(), INFO_SPEAKER_TYPES);
            EXPECT_EQ(frames[29].type(), DATA_OUTPUT);
            EXPECT_EQ(frames[29].pos, 12 + 15) << "the live reads count on from the settings reads";
            EXPECT_EQ(boxes.Entries().size(), boxesBefore);
        } else {
            EXPECT_EQ(view->m_bConnected, 0);
            EXPECT_EQ(g_nLinkMode, 0);
            EXPECT_FALSE(g_hUsbRead.IsOpen());
            EXPECT_TRUE(frames.empty()) << "the queue was cleared";
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(g_DeviceSettings.VersionLabel), 12),
                      std::string(12, ' '));
            const auto entries = boxes.Entries();
            ASSERT_EQ(entries.size(), boxesBefore + (c.message.empty() ? 0 : 1));
            if (!c.message.empty()) {
                EXPECT_EQ(entries.back().text, c.message);
                EXPECT_EQ(entries.back().helpId, c.code);
            }
        }
    }
}

TEST_F(VersionCheck, ALabelForALinkAlreadyClosedIsNotChecked) {
    view->DisconnectUsb();
    SetLabel("KWEX-DV2.00");
    view->OnVersionInfo();
    EXPECT_TRUE(boxes.Entries().empty());
    EXPECT_EQ(syncForm.menusShown, 0) << "the connect button's action does not run";
    EXPECT_EQ(Queue().GetCommandCount(), 0);
}

class LiveNotices : public VersionCheck {};

TEST_F(LiveNotices, StatusInputModeTable) {
    struct Step {
        int length;
        int connected;
        int mode;
        int expectInputMode;
        int expectSetting; // InputSettings byte 0
        int expectEntry;   // drop-down entry, -1 untouched
    };
    // Each row starts from input mode 1, setting 1, no entry chosen.
    const Step steps[] = {
        {15, 1, 1, 1, 1, -1}, // same mode: nothing
        {15, 1, 0, 0, 0, 3},  {15, 1, 2, 2, 2, 2},  {15, 1, 3, 3, 3, 1},
        {15, 1, 4, 4, 4, 4},  {15, 1, 7, 7, 7, -1}, // stored, but no entry offers it
        {14, 1, 3, 1, 1, -1},                       // wrong length
        {15, 0, 3, 1, 1, -1},                       // not connected
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message()
                     << "length " << s.length << " connected " << s.connected << " mode " << s.mode);
        g_nInputMode = 1;
        g_DeviceSettings.InputSettings[0] = 1;
        syncForm.inputSourceEntry = -1;
        view->m_bConnected = s.connected;
        g_DeviceStatus[14] = s.mode;
        view->OnStatusReceived(s.length);
        EXPECT_EQ(g_nInputMode, s.expectInputMode);
        EXPECT_EQ(g_DeviceSettings.InputSettings[0], s.expectSetting);
        EXPECT_EQ(syncForm.inputSourceEntry, s.expectEntry);
    }
}

TEST_F(LiveNotices, AfterTheUserPickedASourceTheNextReportedChangeIsOnlyRecorded) {
    g_nInputMode = 0;
    view->SelectInputSource(2, 1);
    EXPECT_EQ(syncForm.inputSourceEntry, 2);
    EXPECT_EQ(g_DeviceSettings.InputSettings[0], 2);
    const auto sent = TakeQueue();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].channel(), INFO_INPUT_SETTINGS);

    g_DeviceStatus[14] = 1; // the processor still reports the old mode
    view->OnStatusReceived(15);
    EXPECT_EQ(g_nInputMode, 1);
    EXPECT_EQ(g_DeviceSettings.InputSettings[0], 2);
    EXPECT_EQ(syncForm.inputSourceEntry, 2);

    g_DeviceStatus[14] = 4;
    view->OnStatusReceived(15);
    EXPECT_EQ(g_DeviceSettings.InputSettings[0], 4);
    EXPECT_EQ(syncForm.inputSourceEntry, 4);
}

TEST_F(LiveNotices, RoutingTakesTheReportedTypesAndNamesTheLivePreset) {
    DeviceSettingsArea& area = g_DeviceSettings;
    area.SystemData[4] = 9;
    area.InputSettings[0] = 3;
    area.InputSettings[4] = 255;
    const BYTE types[8] = {1, 2, 3, 3, 5, 0, 0, 0}; // output 4 repeats output 3's type
    std::memcpy(area.SpeakerTypes, types, 8);
    g_bOutputMapLocked = 1;

    view->OnRoutingReceived(0);

    EXPECT_EQ(area.SystemData[4], 0);
    EXPECT_EQ(g_ModeTable.m_nSelection, CModeTable::kSelectionNone);
    EXPECT_EQ(area.SpeakerTypes[3], 0) << "the repeated type was dropped";
    EXPECT_EQ(model.GetOutput(0)->GetSpeakerType(), 1);
    EXPECT_EQ(model.GetOutput(4)->GetSpeakerType(), 5);
    EXPECT_EQ(g_bOutputMapLocked, 0);
    EXPECT_EQ(syncForm.stripsEnableUpdated, 1);
    EXPECT_EQ(syncForm.captionsUpdated, 1);
    EXPECT_EQ(g_nInputMode, 3);
    EXPECT_EQ(syncForm.inputSourceEntry, 1);
    const auto frames = TakeQueue();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].channel(), INFO_SPEAKER_TYPES);
    EXPECT_EQ(frames[0].payload()[3], 0);
    EXPECT_EQ(frames[1].channel(), INFO_PRESET_NAME);
    EXPECT_EQ(frames[1].preset(), 0);
}

TEST_F(LiveNotices, LiveDataLoadsTheModelAndGoesOnline) {
    std::memcpy(g_DeviceImage + OutputRecordOffset(5) + CKTV_OutData::kBasicBlock * kBlockSize,
                "\x01\x00\x34\x01\x00\x00\x00\x00", 8);
    g_bPresetLocked = 1;
    g_bDeviceLocked = 1;
    g_bTransferBusy = 1;
    g_bNameCheckPending = 1;
    view->OnLiveDataReceived(0);
    EXPECT_EQ(model.GetOutput(5)->GetGain(), 0x134);
    EXPECT_EQ(g_bPresetLocked, 0);
    EXPECT_EQ(g_bDeviceLocked, 0);
    EXPECT_EQ(g_bOnline, 1);
    EXPECT_EQ(g_bTransferBusy, 0);
    EXPECT_EQ(g_bNameCheckPending, 0);
    EXPECT_EQ(syncForm.unlockedShown, 1);
    EXPECT_EQ(syncForm.allControlsUpdated, 1);
    EXPECT_EQ(syncForm.invalidated, 1);
}

TEST_F(LiveNotices, AnEmptyDataReplyDropsTheLinkAndAsksForNewFirmware) {
    for (int chinese : {0, 1}) {
        ConnectWithoutThread();
        g_bChinese = chinese;
        view->OnEmptyDataReply();
        EXPECT_EQ(view->m_bConnected, 0);
        EXPECT_EQ(g_nLinkMode, 0);
        ASSERT_FALSE(boxes.Entries().empty());
        EXPECT_EQ(boxes.Entries().back().text,
                  chinese ? "设备异常 请更新固件!" : "Please Update the Firmware!");
        EXPECT_EQ(boxes.Entries().back().helpId, 2001);
    }
}

TEST_F(LiveNotices, SendersQueueOnlyWithALinkButTheModelChangesAnyway) {
    view->DisconnectUsb();
    view->SendCommand(INFO_LOCK_BLOCK, 0);
    view->SendPresetNameResetCurrent(2);
    g_SpkTypeState[kSpkTypeOutputBase + 3] = 7;
    view->SendChannelData(3, 0);
    EXPECT_EQ(Queue().GetCommandCount(), 0);
    EXPECT_TRUE(boxes.Entries().empty());
    EXPECT_EQ(model.GetOutput(3)->GetSpeakerType(), 7);
    EXPECT_EQ(model.GetOutput(3)->GetCrossover(), CKTV_OutData::DefaultCrossover(7));

    ConnectWithoutThread();
    g_bMasterOn = 1;
    view->SendChannelData(0, 1);
    const auto frames = TakeQueue();
    ASSERT_EQ(frames.size(), 1u + 1u + 12u + 24u + 1u);
    EXPECT_EQ(frames[0].payload()[6], 0) << "muted";
    EXPECT_EQ(frames[1].channel(), INFO_SPEAKER_TYPES);
    EXPECT_EQ(frames[2].block(), CKTV_OutData::kCrossoverBlock);
    // The new mixes go out before the master plays again, and are not sent twice.
    for (int k = 0; k < kOutputCount; ++k) {
        EXPECT_EQ(frames[14 + 2 * k].block(), CKTV_OutData::kMixABlock);
        EXPECT_EQ(frames[15 + 2 * k].block(), CKTV_OutData::kMixBBlock);
        EXPECT_EQ(model.GetOutput(k)->GetMixADirty(), 0);
    }
    EXPECT_EQ(frames[38].payload()[6], 1) << "unmuted";
}

} // namespace
