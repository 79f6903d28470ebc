// Start-up and shut-down of the whole program: against the simulated
// processor on TCP it connects and comes online; the close button, the
// window's own close and a stop signal each stop the link once and end it.
// Online, edits typed into the strips reach the processor.

#include "link/Net_Socket.h"
#include "model/ChannelRecord.h"
#include "model/DataDefine.h"
#include "model/FrameFormat.h"
#include "model/KTV_OutData.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/Input.h"
#include "sim/lib/SimTcpServer.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ShellFixture.h"

#include <csignal>
#include <cstring>

namespace {

using apptest::AppFixture;

class Startup : public AppFixture {
protected:
    void TearDown() override {
        AppFixture::TearDown();
        server.Stop();
        g_nDevicePort = 8899;
    }

    // The simulator on a free port, answering the ping.
    void ServeOnLoopback() {
        ASSERT_TRUE(server.Start(0));
        g_nDevicePort = server.Port();
        ping.Answer(true);
    }

    // The first ping tick finds the processor; the connect reads it all.
    void GoOnline() {
        clock->Advance(500);
        ASSERT_TRUE(PumpUntil([&] { return View()->GetLink().m_bConnected != 0; }));
        ASSERT_TRUE(PumpUntil([&] { return g_bOnline != 0; }));
        // The live data come last; they show the strips of outputs 9-12.
        ASSERT_TRUE(PumpUntil([&] { return View()->GetStrip(11).IsWindowVisible() != FALSE; }));
        Pump();
    }

    COLORREF PixelAt(UINT control) {
        RECT rc;
        View()->GetDlgItem(int(control))->GetWindowRect(&rc);
        RECT main;
        app->m_pMainWnd->GetWindowRect(&main);
        const QColor c =
            Render().pixelColor((rc.left + rc.right) / 2 - main.left, (rc.top + rc.bottom) / 2 - main.top);
        return RGB(c.red(), c.green(), c.blue());
    }

    // Focus on the edit, its text replaced by `text`, then Enter.
    static void Type(CWnd& edit, const CString& text) {
        edit.SetFocus();
        edit.SendMessage(EM_SETSEL, 0, -1);
        for (char c : text)
            platform::win::CharInput(UINT(static_cast<unsigned char>(c)));
        platform::win::KeyInput(VK_RETURN);
    }
    WORD ProcessorGain(int output) {
        return GetLe16(processor.Memory().live.data() + OutputRecordOffset(output) +
                       8 * CKTV_OutData::kBasicBlock + 2);
    }
    static bool IsStatusPoll(const sim::SimFrame& f) {
        return f.type == DATA_DEVICE_INFO && f.channel == INFO_STATUS && f.command == frame::kCmdRead;
    }
    // Status polls since the last write the processor received.
    int PollsSinceLastWrite() {
        int polls = 0;
        for (const auto& r : processor.Requests())
            polls = r.command == frame::kCmdWrite ? 0 : polls + IsStatusPoll(r);
        return polls;
    }

    sim::SimTcpServer server{processor};
};

TEST_F(Startup, ComesOnlineAgainstTheSimulatorAndTheCloseButtonEndsEverything) {
    ServeOnLoopback();
    apptest::SolidPictures pictures;
    ASSERT_TRUE(Start());
    ASSERT_NE(View(), nullptr);
    EXPECT_EQ(PixelAt(1413), apptest::SolidPictures::ColorOf(8753)); // offline, English
    auto stripsShown = [&] {
        std::string shown;
        for (int i = 0; i < kOutputCount; ++i)
            shown += View()->GetStrip(i).IsWindowVisible() ? '1' : '0';
        return shown;
    };
    EXPECT_EQ(stripsShown(), "111111110000");

    GoOnline();
    EXPECT_EQ(g_nLinkMode, 2);
    EXPECT_EQ(PixelAt(1413), apptest::SolidPictures::ColorOf(8743)); // online
    EXPECT_EQ(stripsShown(), "111111111111");
    EXPECT_TRUE(boxes->Entries().empty());

    View()->OnCloseButton();
    Pump();
    EXPECT_EQ(MainWindow(), nullptr);
    EXPECT_FALSE(View()->GetLink().IsCommThreadAlive());
    // Ending the application joins what is left; no ping runs afterwards.
    app->ExitInstance();
    EXPECT_EQ(g_pView, nullptr);
    const int pings = ping.Starts();
    clock->Advance(5000);
    EXPECT_EQ(ping.Starts(), pings);
}

TEST_F(Startup, TheWindowsOwnCloseAndAStopSignalEndItAsTheCloseButtonDoes) {
    ServeOnLoopback();
    enum class Ending { WindowClose, Signal };
    for (Ending ending : {Ending::WindowClose, Ending::Signal}) {
        SCOPED_TRACE(int(ending));
        ASSERT_TRUE(Start());
        GoOnline();
        if (ending == Ending::WindowClose)
            ::PostMessage(MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            std::raise(SIGTERM);
        ASSERT_TRUE(PumpUntil([&] { return MainWindow() == nullptr; }, 5000));
        EXPECT_FALSE(View()->GetLink().IsCommThreadAlive());
        Stop();
    }
}

TEST_F(Startup, ASourceChosenInTheListReachesTheProcessorOnceAndOnlyWhenItChanges) {
    ServeOnLoopback();
    ASSERT_TRUE(Start());
    GoOnline();
    auto sourceWrites = [&] {
        int writes = 0;
        for (const auto& r : processor.Requests())
            writes += r.type == DATA_DEVICE_INFO && r.channel == INFO_INPUT_SETTINGS &&
                      r.command == frame::kCmdWrite;
        return writes;
    };
    // "Bluetooth" is the third entry and source code 2.
    View()->GetSourceList().SetCurSel(2);
    View()->SendMessage(UM_DROPLIST_SELECTED, 2820, 2);
    ASSERT_TRUE(PumpUntil([&] { return processor.Memory().settings.inputSettings[0] == 2; }));
    EXPECT_EQ(g_DeviceSettings.InputSettings[0], 2);

    processor.ClearRequests();
    View()->SendMessage(UM_DROPLIST_SELECTED, 2820, 2); // the same source again
    View()->SendMessage(UM_DROPLIST_SELECTED, 1014, 0); // another list
    ASSERT_TRUE(PumpUntil([&] { return processor.Requests().size() >= 3; }));
    EXPECT_EQ(sourceWrites(), 0);
    EXPECT_EQ(processor.Memory().settings.inputSettings[0], 2);
}

// The processor plays stored preset 3 when the program connects: the first
// edit renames the live preset "Custom" and makes it current, and then edits
// and polls go on as before.
TEST_F(Startup, EditsOfARecalledPresetRenameItAndKeepReachingTheProcessor) {
    ServeOnLoopback();
    processor.UpdateMemory([](sim::SimMemory& m) {
        m.settings.currentPreset[0] = 3;
        std::memcpy(m.live.data(), "Stage", 6);
    });
    ASSERT_TRUE(Start());
    GoOnline();
    ASSERT_EQ(g_DeviceSettings.CurrentPreset[0], 3);
    processor.ClearRequests();

    Type(View()->GetStrip(3).m_editGain, "-10");
    ASSERT_TRUE(PumpUntil([&] { return ProcessorGain(3) == 500; }));
    Type(View()->GetStrip(4).m_editGain, "-12");
    // Name frames are writes: polls after the last write show the renaming
    // has ended.
    ASSERT_TRUE(PumpUntil([&] { return ProcessorGain(4) == 480 && PollsSinceLastWrite() >= 3; }));
    int nameFrames = 0;
    for (const auto& r : processor.Requests())
        nameFrames +=
            r.command == frame::kCmdWrite && r.type == DATA_DEVICE_INFO && r.channel == INFO_PRESET_NAME;
    EXPECT_GE(nameFrames, 1);
    EXPECT_EQ(g_DeviceSettings.CurrentPreset[0], 0);
    EXPECT_EQ(BytesToString(processor.Memory().live.data(), kPresetNameSize), "Custom");
    EXPECT_TRUE(boxes->Entries().empty());
}

// Pictures of the main window for a person to look at, offline and online in
// both languages.
TEST_F(Startup, MainWindowPictures) {
    ServeOnLoopback();
    for (const char* locale : {"en_US", "zh_CN"}) {
        platform::SetSystemLocaleName(locale);
        g_strLanguage.clear();
        SetValue("DspMcu", "Language", "");
        ASSERT_TRUE(Start());
        const CString lang = g_bChinese ? "zh" : "en";
        SavePng(Render(), ("main_offline_" + lang).c_str());
        GoOnline();
        SavePng(Render(), ("main_online_" + lang).c_str());
        Stop();
    }
}

TEST_F(Startup, StartsOfflineWithoutAnyProcessor) {
    ASSERT_TRUE(Start());
    clock->Advance(500);
    Pump();
    EXPECT_EQ(View()->GetLink().m_bConnected, 0);
    EXPECT_EQ(g_bOnline, 0);
    EXPECT_TRUE(boxes->Entries().empty());
}

TEST_F(Startup, CommandLinesThatRegisterEndStartUpWithoutAWindow) {
    const std::pair<const char*, bool> cases[] = {
        {"/RegServer", false},
        {"-regserver", false},
        {"/UNREGSERVER", false},
        {"/RegServerX", true},
        {"-RegServer more", true},
        {"file.rdds", true},
        {"", true},
        {"a b /unregserver", false},
    };
    for (const auto& [line, starts] : cases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(Start(line), starts);
        EXPECT_EQ(MainWindow() != nullptr, starts);
        Stop();
    }
}

} // namespace
