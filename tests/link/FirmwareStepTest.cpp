// The USB firmware steps one at a time on the test's thread, against the
// simulated processor on the virtual clock: how often each frame may be
// written, how long each answer may take, and how the transfer ends when the
// processor refuses or does not answer.

#include "link/FirmwareFrames.h"
#include "platform/sys/FileDialog.h"
#include "tests/link/FirmwareFixture.h"

#include <set>

namespace {

using firmware_test::DspImage;
using firmware_test::FirmwareBytes;
using firmware_test::McuImage;
using firmwaretest::Bytes;

class FirmwareStep : public firmwaretest::FirmwareView {
protected:
    // The update dialog's start over USB, without the thread: the steps run here.
    void Begin(const Bytes& content) {
        Load(content);
        OpenWithoutThread();
        g_bUpgrading = 1;
        g_bUsbLinkUp = 1;
    }

    // Runs steps, handling the view's messages after each, until the link is
    // gone or the end frame was answered; the number of steps run.
    int Run(int maxSteps = 20000) {
        int steps = 0;
        while (steps < maxSteps && g_nLinkMode == 1 && !g_bFirmwareRebooting) {
            view->UsbFirmwareStep();
            ++steps;
            platform::PumpMessages();
        }
        platform::PumpMessages();
        return steps;
    }

    void Fault(BYTE step, sim::SimFaultKind kind, int count, int value = 0) {
        sim::SimFault fault(kind, value);
        fault.type = DATA_DEVICE_INFO;
        fault.channel = step;
        fault.count = count;
        processor.InjectFault(fault);
    }
};

using K = sim::SimFaultKind;

struct Failure {
    const char* name;
    bool dsp;
    BYTE step;
    K kind;
    int count;
    int writes; // of the faulty step
};

const Failure kFailures[] = {
    {"EraseRefusedEveryTime", true, IAP_DSP_REQUEST_INFO, K::Reject, -1, 4},
    {"DspDataRefusedOnce", true, IAP_DSP_DATA, K::Reject, 1, 1},
    {"StartRefused", false, HEXApply, K::Reject, 1, 1},
    {"McuHeaderRefused", false, HEXStart, K::Reject, 1, 1},
    {"EndFrameRefused", false, HEXEnd, K::Reject, 1, 1},
    {"StartUnanswered", false, HEXApply, K::Silence, 1, 1},
    {"EraseUnanswered", true, IAP_DSP_REQUEST_INFO, K::Silence, 1, 1},
    {"DspDataUnanswered", true, IAP_DSP_DATA, K::Silence, 1, 1},
    {"McuHeaderUnanswered", false, HEXStart, K::Silence, 1, 1},
    {"McuDataUnanswered", false, HEXData, K::Silence, 1, 1},
    {"EndFrameUnanswered", false, HEXEnd, K::Silence, 1, 1},
};

class FirmwareStepFailure : public FirmwareStep, public ::testing::WithParamInterface<Failure> {};

TEST_P(FirmwareStepFailure, EndsTheTransferAfterItsWritesWithOneLinkLoss) {
    const Failure& c = GetParam();
    Fault(c.step, c.kind, c.count);
    Begin(c.dsp ? FirmwareBytes(DspImage(), {}) : FirmwareBytes({}, McuImage(200)));
    Run();

    EXPECT_EQ(Received(c.step), c.writes);
    EXPECT_EQ(view->Count(UM_LINK_LOST), 1) << "reported once";
    EXPECT_EQ(view->Count(UM_FIRMWARE_DONE), 0);
    EXPECT_EQ(g_bUpgrading, 0);
    const auto texts = BoxTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "The firmware update failed") << "never \"Update successfully\"";
    EXPECT_EQ(label.Texts().back(), "The firmware update failed");
    EXPECT_LT(bar.GetCurPos(), bar.GetUpper());
}

INSTANTIATE_TEST_SUITE_P(Frames, FirmwareStepFailure, ::testing::ValuesIn(kFailures),
                         [](const ::testing::TestParamInfo<Failure>& info) {
                             return std::string(info.param.name);
                         });

// An answer that comes just inside its step's limit is taken and the
// transfer goes on to the end.
TEST_F(FirmwareStep, AnswersJustInsideEachStepsLimitAreTaken) {
    const BYTE dspSteps[] = {HEXApply, IAP_DSP_REQUEST_INFO, IAP_DSP_DATA, HEXEnd};
    const BYTE mcuSteps[] = {HEXStart, HEXData};
    for (BYTE step : dspSteps)
        Fault(step, K::Delay, 1, UsbFirmwareReadLimitSeconds(step) * 1000 - 100);
    for (BYTE step : mcuSteps)
        Fault(step, K::Delay, 1, UsbFirmwareReadLimitSeconds(step) * 1000 - 100);
    Begin(FirmwareBytes(DspImage(), McuImage(300)));
    Run();
    EXPECT_TRUE(processor.Firmware().complete);
    EXPECT_EQ(view->Count(UM_LINK_LOST), 0);
    EXPECT_EQ(Received(IAP_DSP_REQUEST_INFO), 1);
}

// Remembers how long each report write may wait.
class WaitRecordingDevice final : public platform::HidDevice {
public:
    explicit WaitRecordingDevice(std::shared_ptr<platform::HidDevice> inner) : m_inner(std::move(inner)) {}
    int Write(const BYTE* report, std::size_t length, int timeoutMs) override {
        waits.insert(timeoutMs);
        return m_inner->Write(report, length, timeoutMs);
    }
    int Read(BYTE* report, std::size_t length, int timeoutMs) override {
        return m_inner->Read(report, length, timeoutMs);
    }
    void Close() override { m_inner->Close(); }

    std::set<int> waits;

private:
    std::shared_ptr<platform::HidDevice> m_inner;
};

// An update paces its reports by 5 ms write waits, not the data steps' 20 ms.
TEST_F(FirmwareStep, FirmwareReportsWaitFiveMillisecondsForTheirWrite) {
    Begin(FirmwareBytes({}, McuImage(300)));
    auto recording = std::make_shared<WaitRecordingDevice>(g_hUsbWrite.Get());
    g_hUsbWrite.Set(recording);
    Run();
    EXPECT_TRUE(processor.Firmware().complete);
    EXPECT_EQ(recording->waits, std::set<int>{5});
}

// The erase frame may be refused three times: the fourth write still counts.
TEST_F(FirmwareStep, TheEraseFrameIsWrittenUpToFourTimes) {
    Fault(IAP_DSP_REQUEST_INFO, K::Reject, 3);
    Begin(FirmwareBytes(DspImage(), {}));
    Run();
    EXPECT_EQ(Received(IAP_DSP_REQUEST_INFO), 4);
    EXPECT_TRUE(processor.Firmware().complete);
    EXPECT_EQ(view->Count(UM_LINK_LOST), 0);
}

// A processor that vanishes while an answer is awaited ends the step: the
// loss is reported once and the thread can be stopped.
TEST_F(FirmwareStep, ADeviceGoneDuringAWaitIsReportedOnceAndEndsTheStep) {
    Fault(IAP_DSP_REQUEST_INFO, K::Reset, 1);
    Begin(FirmwareBytes(DspImage(), {}));
    Run();
    EXPECT_EQ(view->Count(UM_LINK_LOST), 1);
    EXPECT_EQ(g_bUpgrading, 0);
}

// Answers the file dialog with a path, or cancels it.
class AnsweringFileDialog final : public platform::FileDialogHandler {
public:
    AnsweringFileDialog() : m_previous(platform::SetFileDialogHandler(this)) {}
    ~AnsweringFileDialog() override { platform::SetFileDialogHandler(m_previous); }
    bool Choose(const platform::FileDialogRequest& r, CString& path) override {
        request = r;
        path = answer;
        return !answer.empty();
    }
    CString answer;
    platform::FileDialogRequest request;

private:
    platform::FileDialogHandler* m_previous = nullptr;
};

TEST_F(FirmwareStep, ChoosingTheFileTakesOnlyAnExactBinExtension) {
    const CString dspMcu = "Software\\KAVRO-TUNE-V2.03_2.exe\\DspMcu";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, dspMcu, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    g_strLanguage = "English";
    AnsweringFileDialog dialog;
    struct Case {
        CString answer;
        int result;
        CString hexFile;
        CString folder;
    };
    const Case cases[] = {
        {"/fw/v2/update.bin", 1, "/fw/v2/update.bin", "/fw/v2"},
        // The refusals below leave the stored settings as the first case wrote them.
        {"", 0, "/old/keep.bin", "/old"},
        {"/fw/update.BIN", 0, "/fw/update.BIN", "/old"},
        {"/fw/update.bin.txt", 0, "/fw/update.bin.txt", "/old"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        g_strHexFile = "/old/keep.bin";
        view->m_strFirmwareFolder = "/old";
        dialog.answer = c.answer;
        EXPECT_EQ(view->SelectFirmwareFile(), c.result);
        EXPECT_EQ(g_strHexFile, c.hexFile);
        EXPECT_EQ(view->m_strFirmwareFolder, c.folder);
        EXPECT_TRUE(dialog.request.open);
        EXPECT_EQ(dialog.request.defaultExt, "bin");
        EXPECT_EQ(dialog.request.initialDir, "/old");
    }
    CString name, path, language;
    ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, dspMcu, &key), ERROR_SUCCESS);
    RegQueryStringValue(key, "Name", &name, 300);
    RegQueryStringValue(key, "Path", &path, 260);
    RegQueryStringValue(key, "Language", &language, 10);
    RegCloseKey(key);
    EXPECT_EQ(name, "/fw/v2/update.bin");
    EXPECT_EQ(path, "/fw/v2");
    EXPECT_EQ(language, "English");
}

// A file that cannot be sent is refused before the working link is touched.
TEST_F(FirmwareStep, AFileWithoutAWholeImageIsRefusedAndTheLinkStays) {
    struct Case {
        int chinese;
        bool exists;
        const char* text;
        int code;
    };
    const Case cases[] = {
        {0, true, "Update file error!", -3},
        {1, true, "更新文件错误!", -2},
        {0, false, "Update file error!", -3},
    };
    OpenWithoutThread();
    firmware_test::TempFile garbage(Bytes(0x40010, 0x33));
    for (const auto& c : cases) {
        g_bChinese = c.chinese;
        g_strHexFile = c.exists ? garbage.Path() : garbage.Path() + ".missing";
        EXPECT_EQ(view->LoadFirmwareFile(1), 0);
        EXPECT_TRUE(g_strHexFile.empty());
        ASSERT_FALSE(boxes.Entries().empty());
        EXPECT_EQ(boxes.Entries().back().text, c.text);
        EXPECT_EQ(boxes.Entries().back().helpId, c.code);
    }
    EXPECT_EQ(g_nLinkMode, 1);
    EXPECT_EQ(view->m_bConnected, 1);
    EXPECT_TRUE(g_hUsbRead.IsOpen());
}

TEST_F(FirmwareStep, QuittingTheDialogDuringAnUpdateDropsTheLinkAndSaysSo) {
    Begin(FirmwareBytes({}, McuImage(200)));
    view->OnFirmwareUpdateFailed();
    EXPECT_EQ(g_nLinkMode, 0);
    EXPECT_EQ(g_bUpgrading, 0);
    EXPECT_FALSE(g_hUsbRead.IsOpen());
    EXPECT_EQ(BoxTexts(), std::vector<CString>{"The firmware update failed!"});
    EXPECT_EQ(boxes.Entries().back().helpId, 2001);
}

} // namespace
