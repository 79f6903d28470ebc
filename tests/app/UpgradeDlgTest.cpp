// The firmware-update dialog as the user works it: the link it offers, the
// update it starts, the reconnect polling, quitting and closing at any
// moment, and a whole update over TCP to the simulated processor.

#include "app/UpgradeDlg.h"
#include "link/Net_Socket.h"
#include "platform/win/Input.h"
#include "sim/lib/SimTcpServer.h"
#include "tests/app/ShellFixture.h"
#include "tests/link/FakeFileDialog.h"
#include "tests/link/FakePing.h"
#include "tests/link/FirmwareTestFiles.h"
#include "tests/link/SyncFixture.h"
#include "tests/link/ViewLinkFixture.h"

#include <QDir>
#include <algorithm>
#include <filesystem>
#include <optional>

namespace {

using firmware_test::FirmwareBytes;
using firmware_test::McuImage;
using firmware_test::TempFile;

// Records each menu shown and chooses the item it was told to (0: none).
class MenuChooser final : public platform::win::PopupMenuTracker {
public:
    MenuChooser() { m_previous = platform::win::InstallPopupMenuTracker(this); }
    ~MenuChooser() override { platform::win::InstallPopupMenuTracker(m_previous); }
    MenuChooser(const MenuChooser&) = delete;
    MenuChooser& operator=(const MenuChooser&) = delete;

    UINT Track(const platform::win::MenuData& menu, POINT, UINT, HWND) override {
        std::vector<CString> texts;
        for (const auto& item : menu.items)
            texts.push_back(item.text);
        shown.push_back(texts);
        return choose;
    }

    std::vector<std::vector<CString>> shown;
    UINT choose = 0;

private:
    platform::win::PopupMenuTracker* m_previous = nullptr;
};

// Keeps the reconnect results the polling reported to the dialog.
class ReportingUpgradeDlg final : public CUpgradeDlg {
public:
    using CUpgradeDlg::CUpgradeDlg;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == UM_UPDATE_RECONNECTED)
            reports.push_back(lParam);
        return CUpgradeDlg::WindowProc(message, wParam, lParam);
    }
    std::vector<LPARAM> reports;
};

// Without device notices: the view would connect the devices the tests
// plug in by itself.
class UpgradeDlgThreaded : public linktest::ViewLink {
protected:
    void SetUp() override {
        ViewLink::SetUp();
        g_TxFrame[0] = g_TxFrame[1] = g_TxFrame[2] = 0x5C;
        g_TxFrame[3] = 0xEE;
        Bus().SetRestart(1500, true, 50);
        g_strDeviceIp = "127.0.0.1";
        view->SetNetLink(&net);
        net.seen = 0;
        file = std::make_unique<TempFile>(FirmwareBytes({}, McuImage(500)));
        g_strHexFile = file->Path();
    }
    void TearDown() override {
        Close();
        if (view) {
            view->SetNetLink(&net);
            view->StopCommThread(1);
        }
        ViewLink::TearDown();
        g_strHexFile.clear();
    }

    std::vector<CString> BoxTexts() {
        std::vector<CString> texts;
        for (const auto& e : boxes.Entries())
            texts.push_back(e.text);
        return texts;
    }

    void Open() {
        dialog = std::make_unique<ReportingUpgradeDlg>(*view);
        ASSERT_TRUE(dialog->Create(CUpgradeDlg::IDD));
        dialog->ShowWindow(SW_SHOW);
    }
    void Close() {
        if (!dialog)
            return;
        dialog->DestroyWindow();
        dialog.reset();
    }
    void Click(UINT id) {
        Press(id);
        platform::PumpMessages();
    }
    // The click without handling what was posted since: an update over a
    // device that never answers gives up within moments on the test's
    // clock, and the link's end would already be handled.
    void Press(UINT id) {
        const HWND button = dialog->GetDlgItem(int(id))->GetSafeHwnd();
        platform::win::MouseInput(button, WM_LBUTTONDOWN, {4, 4});
        platform::win::MouseInput(button, WM_LBUTTONUP, {4, 4});
        platform::win::MouseLeftWindows();
    }
    // Advances the clock in 100 ms steps, handling what the ticks posted
    // and what the tries posted on.
    void Run(int ms) {
        for (int t = 0; t < ms; t += 100) {
            clock->Advance(100);
            platform::PumpMessages();
            platform::PumpMessages();
        }
    }
    // What the view does once the dialog has gone; the other devices on the
    // bus never answer, so an update over them is left half done.
    void EndUpdate() {
        view->StopCommThread(1);
        if (g_nLinkMode == 1)
            view->DisconnectUsb();
        else if (g_nLinkMode == 2)
            view->DisconnectNetwork();
        g_bUpgrading = 0;
        g_bReconnectPending = 0;
    }
    CString LabelText() {
        platform::PumpMessages();
        return dialog->GetStatusLabel().GetWindowText();
    }
    void AddUsbDevices(int count) {
        for (int i = 0; i < count; ++i)
            Bus().AddForeignDevice({"/dev/other-hidraw" + std::to_string(i), sim::SimHidBus::kVendorId,
                                    sim::SimHidBus::kProductId, sim::SimHidBus::kVersion});
    }

    // From here on the view's link goes over TCP to the simulated
    // processor; the USB bus is empty.
    void LinkOverTcp() {
        m_ping.emplace();
        m_ping->Answer(true);
        m_server.emplace(processor);
        ASSERT_TRUE(m_server->Start(0));
        g_nDevicePort = m_server->Port();
        ASSERT_EQ(m_socket.OnPingTick(&m_pinging), 1);
        view->SetNetLink(&m_socket);
        Bus().Unplug();
    }

    linktest::FakeNetLink net;
    MenuChooser menus;
    std::unique_ptr<TempFile> file;
    std::unique_ptr<ReportingUpgradeDlg> dialog;

private:
    std::optional<linktest::FakePingRunner> m_ping;
    std::optional<sim::SimTcpServer> m_server;
    std::atomic<bool> m_pinging{true};
    CNet_Socket m_socket;
};

TEST_F(UpgradeDlgThreaded, OpensWithTheRememberedFileAndLendsItsBarAndLabelUntilItCloses) {
    Open();
    EXPECT_EQ(dialog->GetDlgItem(CUpgradeDlg::kPathEdit)->GetWindowText(), g_strHexFile);
    EXPECT_EQ(dialog->GetWindowText(), "Device Firmware Update");
    EXPECT_EQ(dialog->GetDlgItem(CUpgradeDlg::kQuitButton)->GetWindowText(), "Quit");
    EXPECT_EQ(g_pFirmwareProgress.load(), &dialog->GetProgress());
    EXPECT_EQ(g_pUpdateStatusLabel.load(), &dialog->GetStatusLabel());
    CRect rc;
    dialog->GetWindowRect(&rc);
    EXPECT_EQ(rc.Size(), CSize(CUpgradeDlg::kWidth, CUpgradeDlg::kHeight));
    // The size is the window's, frame and caption included: the client area
    // ends close under the buttons.
    CRect client, quit;
    dialog->GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(CUpgradeDlg::kWidth - 6, CUpgradeDlg::kHeight - 25));
    dialog->GetDlgItem(CUpgradeDlg::kQuitButton)->GetWindowRect(&quit);
    dialog->ScreenToClient(&quit);
    EXPECT_LE(quit.bottom, client.bottom);
    EXPECT_LT(client.bottom - quit.bottom, quit.Height());

    Close();
    EXPECT_EQ(g_pFirmwareProgress.load(), nullptr);
    EXPECT_EQ(g_pUpdateStatusLabel.load(), nullptr);
}

TEST_F(UpgradeDlgThreaded, TheUsbDevicesAndTheNetworkDecideBetweenStartingAtOnceAMenuAndAMessage) {
    struct Case {
        int usb;
        int net;
        std::vector<CString> menu; // empty: no menu
        const char* box;           // nullptr: no box
        int linkMode;              // of the update started at once; 0 none
    };
    const Case cases[] = {
        {0, 0, {}, "No connection can be opened", 0},
        {0, 1, {}, nullptr, 2},
        {1, 0, {}, nullptr, 1},
        {1, 1, {"USB", "127.0.0.1"}, nullptr, 0},
        {3, 0, {"USB1", "USB2", "USB3"}, nullptr, 0},
        {2, 1, {"USB1", "USB2", "127.0.0.1"}, nullptr, 0},
    };
    Bus().Unplug();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.usb << " USB, network " << c.net);
        for (int i = 0; i < 3; ++i)
            Bus().RemoveForeignDevice("/dev/other-hidraw" + std::to_string(i));
        AddUsbDevices(c.usb);
        net.seen = c.net;
        g_nLinkMode = 0;
        menus.shown.clear();
        const std::size_t boxesBefore = boxes.Entries().size();
        Open();
        Press(CUpgradeDlg::kUpdateButton);
        if (c.menu.empty())
            EXPECT_TRUE(menus.shown.empty());
        else
            EXPECT_EQ(menus.shown, std::vector<std::vector<CString>>{c.menu});
        const auto entries = boxes.Entries();
        if (c.box) {
            ASSERT_EQ(entries.size(), boxesBefore + 1);
            EXPECT_EQ(entries.back().text, c.box);
        } else {
            EXPECT_EQ(entries.size(), boxesBefore);
        }
        EXPECT_EQ(g_nLinkMode, c.linkMode);
        EXPECT_EQ(dialog->IsConnectedAtStart() || dialog->IsPolling(), c.linkMode != 0);
        Close();
        EndUpdate();
    }
}

TEST_F(UpgradeDlgThreaded, EachMenuChoiceStartsOneUpdateOverItsLink) {
    struct Case {
        int usb;
        UINT choice;
        int linkMode;
    };
    const Case cases[] = {{1, CUpgradeDlg::kMenuUsb, 1},
                          {1, CUpgradeDlg::kMenuNetwork, 2},
                          {3, CUpgradeDlg::kUsbDeviceFirst + 2, 1},
                          // Past the devices offered: nothing starts.
                          {3, CUpgradeDlg::kUsbDeviceFirst + 3, 0}};
    Bus().Unplug();
    net.seen = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        for (int i = 0; i < 3; ++i)
            Bus().RemoveForeignDevice("/dev/other-hidraw" + std::to_string(i));
        AddUsbDevices(c.usb);
        g_nLinkMode = 0;
        net.connects = 0;
        menus.choose = c.choice;
        Open();
        // The menu's choice is handled; what the started link posts waits.
        Click(CUpgradeDlg::kUpdateButton);
        EXPECT_EQ(g_nLinkMode, c.linkMode);
        EXPECT_EQ(net.connects, c.linkMode == 2 ? 1 : 0);
        EXPECT_EQ(dialog->IsConnectedAtStart() || dialog->IsPolling(), c.linkMode != 0);
        Close();
        EndUpdate();
    }
}

TEST_F(UpgradeDlgThreaded, BrowseShowsTheChosenFileEvenWhilePolling) {
    linktest::FakeFileDialog files;
    net.seen = 1;
    Open();
    ASSERT_EQ(dialog->StartNetworkUpdate(), TRUE);
    ASSERT_TRUE(dialog->IsPolling());
    const CString chosen = m_dir.filePath("new.bin").toStdString();
    files.Answer(chosen);
    Click(CUpgradeDlg::kBrowseButton);
    EXPECT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(dialog->GetDlgItem(CUpgradeDlg::kPathEdit)->GetWindowText(), chosen);
    // Cancelled: the file stays.
    Click(CUpgradeDlg::kBrowseButton);
    EXPECT_EQ(dialog->GetDlgItem(CUpgradeDlg::kPathEdit)->GetWindowText(), chosen);
}

TEST_F(UpgradeDlgThreaded, DismissingTheMenuLeavesTheLinkClosed) {
    OpenWithoutThread();
    net.seen = 1;
    Open();
    Click(CUpgradeDlg::kUpdateButton);
    ASSERT_EQ(menus.shown.size(), 1u);
    EXPECT_EQ(view->m_bConnected, 0);
    EXPECT_EQ(g_bUpgrading, 0);
    EXPECT_FALSE(dialog->IsPolling());
}

TEST_F(UpgradeDlgThreaded, UpdateDoesNothingWhileATransferRunsOrThePollingGoesOn) {
    for (auto* flag : {&g_bUpgrading, &g_bReconnectPending}) {
        OpenWithoutThread();
        Open();
        *flag = 1;
        Click(CUpgradeDlg::kUpdateButton);
        EXPECT_EQ(view->m_bConnected, 1) << "the link stays as it was";
        EXPECT_TRUE(menus.shown.empty());
        EXPECT_TRUE(boxes.Entries().empty());
        EXPECT_FALSE(dialog->IsPolling());
        *flag = 0;
        Close();
        view->DisconnectUsb();
    }
}

TEST_F(UpgradeDlgThreaded, AFileThatIsNoFirmwareStartsNothing) {
    const TempFile text(firmware_test::Bytes{'n', 'o', 't', ' ', 'f', 'w'}, "notes.txt");
    const std::string folder = m_dir.filePath("folder").toStdString();
    std::filesystem::create_directory(folder);
    const CString paths[] = {m_dir.filePath("missing.bin").toStdString(), folder, text.Path()};
    for (const CString& path : paths) {
        SCOPED_TRACE(path);
        g_strHexFile = path;
        OpenWithoutThread();
        Open();
        const std::size_t before = boxes.Entries().size();
        ASSERT_EQ(dialog->StartUsbUpdate(Bus().ProcessorPath()), TRUE);
        ASSERT_EQ(boxes.Entries().size(), before + 1);
        EXPECT_EQ(boxes.Entries().back().text, "Update file error!");
        EXPECT_EQ(g_bUpgrading, 0);
        EXPECT_FALSE(dialog->IsPolling());
        EXPECT_EQ(view->m_bConnected, 1) << "nothing was touched";
        EXPECT_TRUE(g_strHexFile.empty());
        Close();
        view->DisconnectUsb();
    }
}

TEST_F(UpgradeDlgThreaded, APollThatSucceedsAtTheTwentiethRetryReportsOnceAndStartsTheTransfer) {
    view->RegisterHidNotification();
    Bus().Unplug();
    ASSERT_TRUE(Until([&] { return view->Count(WM_DEVICECHANGE) == 1; }));
    Open();
    dialog->GetProgress().SetRange(0, 10);
    dialog->GetProgress().SetPos(7);
    ASSERT_EQ(dialog->StartUsbUpdate(Bus().ProcessorPath()), TRUE);
    EXPECT_EQ(dialog->IsConnectedAtStart(), 0);
    ASSERT_TRUE(dialog->IsPolling());
    Run(9'600); // nineteen retries failed
    EXPECT_TRUE(dialog->reports.empty());
    EXPECT_EQ(LabelText(), "Connected Usb");
    Bus().Plug();
    ASSERT_TRUE(Until([&] { return view->Count(WM_DEVICECHANGE) == 2; }));
    Run(400);
    EXPECT_EQ(dialog->reports, std::vector<LPARAM>{1});
    EXPECT_FALSE(dialog->IsPolling());
    EXPECT_EQ(g_bReconnectPending, 0);
    EXPECT_EQ(g_bUpgrading, 1);
    EXPECT_EQ(dialog->GetProgress().GetUpper(), g_nFirmwareFrameTotal.load());
    Run(2000);
    EXPECT_EQ(dialog->reports.size(), 1u);
}

TEST_F(UpgradeDlgThreaded, APollThatNeverSucceedsMakesTwentyOneTriesAndReportsOneFailure) {
    net.seen = 1;
    Open();
    ASSERT_EQ(dialog->StartNetworkUpdate(), TRUE);
    EXPECT_EQ(net.connects, 1);
    Run(10'400);
    EXPECT_EQ(net.connects, 1 + 20);
    EXPECT_TRUE(dialog->reports.empty());
    EXPECT_EQ(LabelText(), "Connected NetWork");
    Run(5'000);
    EXPECT_EQ(net.connects, 1 + 21);
    EXPECT_EQ(dialog->reports, std::vector<LPARAM>{0});
    EXPECT_EQ(LabelText(), "The firmware update failed");
    EXPECT_EQ(g_bReconnectPending, 0);
    EXPECT_FALSE(dialog->IsPolling());
}

TEST_F(UpgradeDlgThreaded, QuitDuringATransferAsksAndOnlyYesFailsTheUpdate) {
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        platform::RecordingMessageBox answers(answer);
        Open();
        g_bUpgrading = 1;
        OpenWithoutThread();
        Click(CUpgradeDlg::kQuitButton);
        ASSERT_FALSE(answers.Entries().empty());
        EXPECT_EQ(answers.Entries()[0].text,
                  "Update is not completed, will be forced to exit the damaged equipment, whether to exit?");
        EXPECT_EQ(answers.Entries()[0].helpId, -5);
        if (answer == IDNO) {
            EXPECT_EQ(answers.Entries().size(), 1u);
            EXPECT_EQ(g_bUpgrading, 1);
            EXPECT_EQ(view->m_bConnected, 1);
            EXPECT_TRUE(dialog->IsWindowVisible());
            EXPECT_EQ(g_pUpdateStatusLabel.load(), &dialog->GetStatusLabel());
            g_bUpgrading = 0;
            Close();
            view->DisconnectUsb();
        } else {
            ASSERT_EQ(answers.Entries().size(), 2u);
            EXPECT_EQ(answers.Entries()[1].text, "The firmware update failed!");
            EXPECT_EQ(g_bUpgrading, 0);
            EXPECT_EQ(g_bUpdateAbort, 0);
            EXPECT_EQ(view->m_bConnected, 0);
            EXPECT_EQ(g_pUpdateStatusLabel.load(), nullptr);
            EXPECT_EQ(g_pFirmwareProgress.load(), nullptr);
        }
    }
}

// The transfer ends while the question waits for its answer.
class EndingWhileAsked final : public platform::MessageBoxHandler {
public:
    EndingWhileAsked() { m_previous = platform::SetMessageBoxHandler(this); }
    ~EndingWhileAsked() override { platform::SetMessageBoxHandler(m_previous); }
    EndingWhileAsked(const EndingWhileAsked&) = delete;
    EndingWhileAsked& operator=(const EndingWhileAsked&) = delete;
    int Show(const CString& text, UINT, int) override {
        texts.push_back(text);
        g_bUpgrading = 0;
        return IDYES;
    }
    std::vector<CString> texts;

private:
    platform::MessageBoxHandler* m_previous = nullptr;
};

TEST_F(UpgradeDlgThreaded, AnUpdateThatEndedWhileQuitWasAskedIsNotReportedAsFailed) {
    Open();
    OpenWithoutThread();
    g_bUpgrading = 1;
    EndingWhileAsked answers;
    Click(CUpgradeDlg::kQuitButton);
    EXPECT_EQ(answers.texts.size(), 1u) << "the question only";
    EXPECT_EQ(view->m_bConnected, 1);
    EXPECT_EQ(g_pUpdateStatusLabel.load(), nullptr) << "the dialog closed";
    view->DisconnectUsb();
}

TEST_F(UpgradeDlgThreaded, EnterAndEscapeLeaveTheDialogOpenAndTheCloseBoxQuits) {
    Open();
    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        dialog->GetDlgItem(CUpgradeDlg::kQuitButton)->SetFocus();
        platform::win::KeyInput(key);
        platform::PumpMessages();
        EXPECT_NE(g_pUpdateStatusLabel.load(), nullptr) << key;
    }
    EXPECT_TRUE(boxes.Entries().empty());

    net.seen = 1;
    ASSERT_EQ(dialog->StartNetworkUpdate(), TRUE);
    ASSERT_TRUE(dialog->IsPolling());
    dialog->SendMessage(WM_CLOSE);
    platform::PumpMessages();
    EXPECT_FALSE(dialog->IsPolling());
    EXPECT_EQ(g_pUpdateStatusLabel.load(), nullptr);
    const int tries = net.connects;
    Run(2000);
    EXPECT_EQ(net.connects, tries) << "no try after the dialog went";
}

// Closing at any moment: the polling stops, its thread ends and the
// communication thread no longer reaches the windows that go.
TEST_F(UpgradeDlgThreaded, ClosingWhilePollingOrTransferringLeavesNothingBehind) {
    net.seen = 1;
    Open();
    ASSERT_EQ(dialog->StartNetworkUpdate(), TRUE);
    Run(1000);
    Close();
    Run(2000);
    EXPECT_EQ(clock->TimerCount(), 0u);

    file = std::make_unique<TempFile>(FirmwareBytes(firmware_test::DspImage(), McuImage(800)));
    g_strHexFile = file->Path();
    Open();
    ASSERT_EQ(dialog->StartUsbUpdate(Bus().ProcessorPath()), TRUE);
    ASSERT_EQ(dialog->IsConnectedAtStart(), 1);
    ASSERT_TRUE(Until([&] { return dialog->GetProgress().GetCurPos() > 0; }));
    Close();
    for (int i = 0; i < 50; ++i) {
        clock->Advance(20);
        platform::PumpMessages();
    }
    view->StopCommThread(1);
}

// Starts an update that has to poll, then closes through its close box.
class ClosingWhilePollingDlg final : public CUpgradeDlg {
public:
    using CUpgradeDlg::CUpgradeDlg;

protected:
    BOOL OnInitDialog() override {
        CUpgradeDlg::OnInitDialog();
        StartNetworkUpdate();
        polled = IsPolling();
        PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        return TRUE;
    }

public:
    bool polled = false;
};

TEST_F(UpgradeDlgThreaded, TheCloseBoxEndsTheModalRunAndThePollingWithIt) {
    net.seen = 1;
    ClosingWhilePollingDlg modal(*view);
    EXPECT_EQ(modal.DoModal(), IDCANCEL);
    EXPECT_TRUE(modal.polled);
    EXPECT_EQ(modal.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(modal.IsPolling());
    EXPECT_EQ(g_pFirmwareProgress.load(), nullptr);
    EXPECT_EQ(g_pUpdateStatusLabel.load(), nullptr);
    EXPECT_EQ(clock->TimerCount(), 0u);
    EXPECT_TRUE(boxes.Entries().empty()) << "nothing was running: no question";
}

// A whole update as the user runs it: the dialog over TCP to the simulated
// processor, until the label says so and the bar is full.
TEST_F(UpgradeDlgThreaded, AWholeUpdateOverTcpFromTheDialog) {
    LinkOverTcp();

    Open();
    Click(CUpgradeDlg::kUpdateButton);
    ASSERT_EQ(dialog->IsConnectedAtStart(), 1);
    EXPECT_EQ(dialog->GetProgress().GetUpper(), g_nFirmwareFrameTotal.load());
    ASSERT_TRUE(Until([&] {
        return view->Count(UM_FIRMWARE_DONE) == 1 && g_nLinkMode == 0 && processor.Firmware().complete;
    }));
    EXPECT_EQ(LabelText(), "Update successfully");
    EXPECT_EQ(dialog->GetProgress().GetCurPos(), dialog->GetProgress().GetUpper());
    EXPECT_EQ(BoxTexts(), std::vector<CString>{"Update successfully"});
    EXPECT_TRUE(dialog->IsWindowVisible()) << "the dialog stays open";
    apptest::SavePicture(dialog->GetSafeHwnd(), "upgrade_dialog_done_en.png");
}

// The answer to an MCU data frame is cut over TCP.  The loader may have
// stored the frame, and it appends what it takes: the update fails instead of
// writing the frame twice, and the dialog starts a whole new one.
TEST_F(UpgradeDlgThreaded, AnMcuFrameWhoseAnswerIsCutFailsTheUpdateAndTheNextAttemptSucceeds) {
    LinkOverTcp();
    sim::SimFault cut(sim::SimFaultKind::Truncate, 9);
    cut.type = DATA_DEVICE_INFO;
    cut.channel = HEXData;
    processor.InjectFault(cut);
    auto dataFrames = [&] {
        const auto requests = processor.Requests();
        return std::count_if(requests.begin(), requests.end(), [](const sim::SimFrame& r) {
            return r.type == DATA_DEVICE_INFO && r.channel == HEXData;
        });
    };

    Open();
    Click(CUpgradeDlg::kUpdateButton);
    ASSERT_EQ(dialog->IsConnectedAtStart(), 1);
    ASSERT_TRUE(Until([&] { return view->Count(UM_LINK_LOST) == 1 && g_nLinkMode == 0; }));
    EXPECT_EQ(dataFrames(), 1) << "written once";
    EXPECT_FALSE(processor.Firmware().complete);
    EXPECT_EQ(view->Count(UM_FIRMWARE_DONE), 0);
    EXPECT_EQ(LabelText(), "The firmware update failed");
    const auto failed = BoxTexts();
    ASSERT_FALSE(failed.empty());
    EXPECT_EQ(failed.front(), "The firmware update failed");
    EXPECT_EQ(std::count(failed.begin(), failed.end(), CString("Update successfully")), 0);
    EXPECT_EQ(g_bUpgrading, 0);
    EXPECT_FALSE(dialog->IsPolling());

    processor.ClearRequests();
    Click(CUpgradeDlg::kUpdateButton);
    ASSERT_EQ(dialog->IsConnectedAtStart(), 1);
    ASSERT_TRUE(Until([&] {
        return view->Count(UM_FIRMWARE_DONE) == 1 && g_nLinkMode == 0 && processor.Firmware().complete;
    }));
    EXPECT_EQ(LabelText(), "Update successfully");
    EXPECT_EQ(BoxTexts().back(), "Update successfully");
    // The loader holds the image once, in 48-byte frames padded with 0xFF.
    const auto image = McuImage(500);
    const auto fw = processor.Firmware();
    EXPECT_EQ(dataFrames(), 11);
    ASSERT_EQ(fw.mcuData.size(), 11 * 48u);
    EXPECT_TRUE(std::equal(image.begin() + 4, image.end(), fw.mcuData.begin()));
}

TEST_F(UpgradeDlgThreaded, PicturesInBothLanguages) {
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        Open();
        dialog->GetStatusLabel().SetText(chinese ? "连接Usb" : "Connected Usb");
        dialog->GetProgress().SetRange(0, 200);
        dialog->GetProgress().SetPos(81);
        platform::PumpMessages();
        EXPECT_TRUE(apptest::SavePicture(dialog->GetSafeHwnd(),
                                         chinese ? "upgrade_dialog_zh.png" : "upgrade_dialog_en.png"));
        if (chinese) {
            EXPECT_EQ(dialog->GetWindowText(), "设备固件更新");
            EXPECT_EQ(dialog->GetDlgItem(CUpgradeDlg::kUpdateButton)->GetWindowText(), "更新");
        }
        Close();
    }
    g_bChinese = 0;
}

} // namespace
