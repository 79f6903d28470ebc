// Whole firmware updates run by the communication thread against the
// simulated processor, on the virtual clock: the processor restarts into its
// loader after the start frame and again after the end frame, and what its
// loader took in must be the file's images.

#include "tests/link/FirmwareFixture.h"

#include "link/Net_Socket.h"
#include "platform/net/ProcessRunner.h"
#include "sim/lib/SimFirmwareImage.h"
#include "sim/lib/SimTcpServer.h"

#include <algorithm>
#include <cstring>

namespace {

using firmware_test::DspImage;
using firmware_test::FirmwareBytes;
using firmware_test::McuImage;
using firmwaretest::Bytes;

// The steps in order, runs counted: "6 : ;x5958 9".
std::string Steps(const std::vector<BYTE>& steps) {
    std::string out;
    for (std::size_t i = 0; i < steps.size();) {
        std::size_t run = 1;
        while (i + run < steps.size() && steps[i + run] == steps[i])
            ++run;
        if (!out.empty())
            out += ' ';
        out += char(steps[i]);
        if (run > 1)
            out += 'x' + std::to_string(run);
        i += run;
    }
    return out;
}

BYTE Check(const Bytes& mcu) {
    BYTE check = 0x12;
    for (std::size_t i = 4; i < mcu.size(); ++i)
        check ^= mcu[i];
    return check;
}

struct Image {
    const char* name;
    Bytes dsp;
    Bytes mcu;
    const char* steps;
};

std::vector<Image> Images() {
    return {
        {"DSP", DspImage(), {}, "6 : ;x5958 9"},
        {"MCU", {}, McuImage(996), "6 7 8x21 9"},
        {"DSP and MCU", DspImage(), McuImage(1000), "6 : ;x5958 7 8x21 9"},
    };
}

// What the processor's loader holds must be what the file carried.
void ExpectLoaded(const sim::SimFirmwareImage& fw, const Image& image) {
    EXPECT_TRUE(fw.complete);
    EXPECT_EQ(Steps(fw.steps), image.steps);
    ASSERT_GE(fw.dsp.size(), image.dsp.size());
    EXPECT_TRUE(std::equal(image.dsp.begin(), image.dsp.end(), fw.dsp.begin()));
    if (image.mcu.empty()) {
        EXPECT_TRUE(fw.mcuData.empty());
    } else {
        EXPECT_EQ(fw.mcuHeader, Bytes(image.mcu.begin(), image.mcu.begin() + 4));
        ASSERT_GE(fw.mcuData.size(), image.mcu.size() - 4);
        EXPECT_TRUE(std::equal(image.mcu.begin() + 4, image.mcu.end(), fw.mcuData.begin()));
        EXPECT_TRUE(std::all_of(fw.mcuData.begin() + std::ptrdiff_t(image.mcu.size() - 4), fw.mcuData.end(),
                                [](BYTE b) { return b == 0xFF; }));
    }
    ASSERT_TRUE(fw.checkByte.has_value());
    EXPECT_EQ(*fw.checkByte, Check(image.mcu));
}

// Every ping of the processor's address answers.
class AnsweringPing final : public platform::ProcessRunner {
public:
    AnsweringPing() : m_previous(Install(this)) {}
    ~AnsweringPing() override { Install(m_previous); }

    std::unique_ptr<platform::ChildProcess> Start(const std::vector<std::string>&) override {
        return std::make_unique<Child>();
    }

private:
    struct Child final : platform::ChildProcess {
        bool WaitForExit(int) override { return true; }
        int ReadOutput(char* buffer, int capacity) override {
            const std::string out = "64 bytes from 127.0.0.1: icmp_seq=1 ttl=64 time=0.05 ms\n";
            const int n = std::min(capacity, int(out.size()));
            std::memcpy(buffer, out.data(), std::size_t(n));
            return n;
        }
        void Kill() override {}
        void Interrupt() override {}
    };
    ProcessRunner* m_previous = nullptr;
};

class FirmwareTransferThreaded : public firmwaretest::FirmwareView,
                                 public ::testing::WithParamInterface<std::size_t> {
protected:
    Image m_image = Images()[GetParam()];
};

TEST_P(FirmwareTransferThreaded, OverUsbTheProcessorComesBackAtANewPathAndTakesTheWholeFile) {
    Load(FirmwareBytes(m_image.dsp, m_image.mcu));
    const CString firstPath = Bus().ProcessorPath();

    g_nLinkMode = 1;
    ASSERT_EQ(view->ConnectUsbForUpdate(firstPath), 1);
    ASSERT_TRUE(Until([&] { return view->Count(UM_FIRMWARE_DONE) == 1 && g_nLinkMode == 0; }));

    ExpectLoaded(processor.Firmware(), m_image);
    EXPECT_NE(g_strUsbDevicePath, firstPath) << "reopened where the processor came back";
    EXPECT_EQ(view->Count(UM_LINK_LOST), 0);
    EXPECT_EQ(g_bUpgrading, 0);
    EXPECT_FALSE(view->IsCommThreadAlive());
    EXPECT_EQ(BoxTexts(), std::vector<CString>{"Update successfully"});
    EXPECT_EQ(boxes.Entries().back().helpId, 2000);
    EXPECT_EQ(bar.GetCurPos(), bar.GetUpper());
    const auto texts = label.Texts();
    EXPECT_EQ(texts.front(), "Connected Usb");
    EXPECT_EQ(texts.back(), "Update successfully");

    // After the end frame the processor restarts once more; back, it is
    // connected as any processor that arrives.
    clock->Advance(2000);
    EXPECT_TRUE(Until([&] { return g_nLinkMode == 1 && view->IsCommThreadAlive(); }));
}

TEST_P(FirmwareTransferThreaded, OverTcpTheConnectionIsResetAfterTheStartAndTheWholeFileArrives) {
    AnsweringPing ping;
    sim::SimTcpServer server(processor);
    ASSERT_TRUE(server.Start(0));
    g_strDeviceIp = "127.0.0.1";
    g_nDevicePort = server.Port();
    CNet_Socket net;
    std::atomic<bool> running{true};
    ASSERT_EQ(net.OnPingTick(&running), 1) << "the processor was seen";
    view->SetNetLink(&net);
    Load(FirmwareBytes(m_image.dsp, m_image.mcu));

    g_nLinkMode = 2;
    ASSERT_EQ(view->ConnectNetworkForUpdate(), 1);
    ASSERT_TRUE(Until([&] {
        return view->Count(UM_FIRMWARE_DONE) == 1 && g_nLinkMode == 0 && processor.Firmware().complete;
    }));

    ExpectLoaded(processor.Firmware(), m_image);
    EXPECT_GE(server.AcceptedCount(), 2) << "connected again after the start frame";
    EXPECT_EQ(view->Count(UM_LINK_LOST), 0);
    EXPECT_EQ(g_bUpgrading, 0);
    EXPECT_EQ(g_bNetLinkUp, 0);
    EXPECT_EQ(BoxTexts(), std::vector<CString>{"Update successfully"});
    EXPECT_EQ(label.Texts().front(), "Connected NetWork");
    EXPECT_EQ(label.Texts().back(), "Update successfully");
    view.reset();
}

INSTANTIATE_TEST_SUITE_P(Images, FirmwareTransferThreaded, ::testing::Values(0, 1, 2),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return std::string(info.param == 0   ? "Dsp"
                                                : info.param == 1 ? "Mcu"
                                                                  : "DspAndMcu");
                         });

} // namespace
