// Choosing, opening and closing the USB link, the in-use marks between
// instances, removal of HID interfaces and link loss; no communication
// thread runs here.

#include "tests/link/ViewLinkFixture.h"

#include "link/LinkProgress.h"
#include "model/FrameBuilders.h"
#include "platform/sys/Process.h"

#include <sys/wait.h>
#include <unistd.h>

namespace {

using linktest::ViewLink;

const platform::HidDeviceInfo kMouse{"/dev/hidraw-mouse", 0x046D, 0xC077, 0x0100};
// The processor's ids but another release: not a processor this program talks to.
const platform::HidDeviceInfo kOtherRelease{"/dev/hidraw-other", 0x0483, 0x5750, 0x0100};

// A process id that names no running process.
CString EndedPid() {
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return std::to_string(child);
}

class UsbLink : public ViewLink {};

TEST_F(UsbLink, ConnectTakesTheFirstProcessorThatNoRunningInstanceHolds) {
    const CString own = std::to_string(GetCurrentProcessId());
    const CString otherInstance = std::to_string(getppid());
    struct Case {
        const char* name;
        bool processorPresent;
        CString markBefore; // on the processor's path
        bool connects;
    };
    const Case cases[] = {
        {"free", true, "", true},
        {"held by a running instance", true, otherInstance, false},
        {"mark of an instance that ended", true, EndedPid(), true},
        {"a mark that names no process", true, "0", true},
        {"no processor, only other HID devices", false, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        linktest::ResetLinkGlobals();
        view->ClearUsbKey();
        if (c.processorPresent)
            Bus().Plug();
        else
            Bus().Unplug();
        Bus().AddForeignDevice(kMouse);
        Bus().AddForeignDevice(kOtherRelease);
        const CString processor = Bus().ProcessorPath();
        if (!c.markBefore.empty())
            SetMark(processor, c.markBefore);
        SetMark("/dev/hidraw-gone", otherInstance);

        EXPECT_EQ(view->ConnectUsb(), c.connects ? 1 : 0);
        EXPECT_EQ(g_nLinkMode, c.connects ? 1 : 0);
        EXPECT_EQ(g_hUsbRead.IsOpen(), c.connects);
        EXPECT_EQ(g_strUsbDevicePath, c.connects ? processor : CString());
        if (c.connects) {
            EXPECT_EQ(Mark(processor), own);
        }
        if (!c.processorPresent) {
            EXPECT_EQ(Mark("/dev/hidraw-gone"), "") << "finding no processor drops every mark";
        }
        EXPECT_EQ(g_saHidPaths, c.processorPresent ? CStringArray{processor} : CStringArray{});

        if (c.connects)
            view->DisconnectUsb();
        Bus().RemoveForeignDevice(kMouse.path);
        Bus().RemoveForeignDevice(kOtherRelease.path);
    }
}

TEST_F(UsbLink, DisconnectClosesTheDeviceAndDeletesTheMark) {
    ASSERT_EQ(view->ConnectUsb(), 1);
    const CString path = g_strUsbDevicePath;
    view->m_bConnected = 1;
    g_bOnline = 1;
    view->DisconnectUsb();
    EXPECT_FALSE(g_hUsbRead.IsOpen());
    EXPECT_EQ(Mark(path), "");
    EXPECT_EQ(g_nLinkMode, 0);
    EXPECT_EQ(g_bOnline, 0);
    EXPECT_EQ(view->m_bConnected, 0);
    EXPECT_EQ(g_strUsbDevicePath, path) << "remembered for the next connect";
    EXPECT_EQ(form.label, "Not connected devices");
    EXPECT_TRUE(form.blink);
    EXPECT_EQ(form.bitmap, 8753u);
    EXPECT_EQ(form.popupClosed, 1);
}

TEST_F(UsbLink, RemovalOfAnInterfaceWhileTheProcessorIsOpen) {
    struct Label final : ILinkStatusLabel {
        void SetText(const CString& t) override { text = t; }
        CString text;
    };
    const CString usbFailure = "Connection failure!";
    const CString updateFailure = "The firmware update failed";
    struct Case {
        const char* name;
        bool openDevice; // else another interface went away
        int upgrading;
        int lastStep;
        bool linkStays; // link mode, handle and connected flag unchanged
        int linkUpAfter;
        std::vector<CString> messages;
    };
    const Case cases[] = {
        {"another device", false, 0, 0, true, 1, {}},
        {"the open device", true, 0, 0, false, 0, {usbFailure}},
        {"the open device after an update ended on the start frame",
         true,
         0,
         HEXApply,
         false,
         0,
         {usbFailure}},
        {"during an update, after the start frame", true, 1, HEXApply, true, 0, {}},
        {"during an update, after the handshake pattern", true, 1, FIRMWARE_HANDSHAKE, true, 1, {}},
        {"during an update, in the data", true, 1, HEXData, false, 0, {updateFailure}},
    };
    Bus().AddForeignDevice(kMouse);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Label label;
        g_pUpdateStatusLabel = &label;
        OpenWithoutThread();
        g_bUsbLinkUp = 1;
        g_bUpgrading = c.upgrading;
        g_nLastFirmwareStep = c.lastStep;
        const CString processor = g_strUsbDevicePath;
        const std::size_t boxesBefore = boxes.Entries().size();

        const DeviceNotice notice{DBT_DEVTYP_DEVICEINTERFACE, c.openDevice ? processor : kMouse.path};
        EXPECT_EQ(view->OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, &notice), TRUE);

        EXPECT_EQ(g_bUsbLinkUp, c.linkUpAfter);
        EXPECT_EQ(g_nLinkMode, c.linkStays ? 1 : 0);
        EXPECT_EQ(g_hUsbRead.IsOpen(), c.linkStays) << "another device's removal leaves the handle open";
        EXPECT_EQ(view->m_bConnected, c.linkStays ? 1 : 0);
        std::vector<CString> shown;
        for (std::size_t i = boxesBefore; i < boxes.Entries().size(); ++i)
            shown.push_back(boxes.Entries()[i].text);
        EXPECT_EQ(shown, c.messages);
        if (!c.linkStays) {
            EXPECT_EQ(Mark(processor), "");
            EXPECT_EQ(g_strUsbDevicePath, "");
            EXPECT_EQ(g_bUpgrading, 0);
            EXPECT_EQ(g_nLastFirmwareStep, 0) << "update mode has ended";
            EXPECT_EQ(label.text, c.upgrading ? updateFailure : CString());
        }
        g_pUpdateStatusLabel = nullptr;
        view->DisconnectUsb();
        linktest::ResetLinkGlobals();
    }
}

TEST_F(UsbLink, LinkLossClosesTheLinkAndShowsWhy) {
    for (int upgrading : {0, 1}) {
        SCOPED_TRACE(upgrading);
        OpenWithoutThread();
        g_bUsbLinkUp = 1;
        g_bUpgrading = upgrading;
        g_nLastFirmwareStep = upgrading ? HEXData : 0;
        view->GetKTVCommand().AddCommand(BuildBandFrame(DATA_STATUS_POLL, 0, 0));
        const CString path = g_strUsbDevicePath;
        const std::size_t boxesBefore = boxes.Entries().size();

        PostMessage(view->GetSafeHwnd(), UM_LINK_LOST, 0, 0);
        PostMessage(view->GetSafeHwnd(), UM_LINK_LOST, 0, 0); // a second notice finds the link closed
        view->TakeMessages();

        std::vector<CString> shown;
        for (std::size_t i = boxesBefore; i < boxes.Entries().size(); ++i)
            shown.push_back(boxes.Entries()[i].text);
        std::vector<CString> expected = {"Connection failure!"};
        if (upgrading)
            expected.insert(expected.begin(), "The firmware update failed");
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(g_nLinkMode, 0);
        EXPECT_EQ(view->GetKTVCommand().GetCommandCount(), 0);
        EXPECT_EQ(Mark(path), "");
        EXPECT_EQ(g_bUpgrading, 0);
        EXPECT_EQ(g_nLastFirmwareStep, 0);
    }
}

} // namespace
