// Start-up and shut-down of the whole program: against the simulated
// processor on TCP it connects and comes online; the close button, the
// window's own close and a stop signal each stop the link once and end it.

#include "link/Net_Socket.h"
#include "model/FrameFormat.h"
#include "platform/sys/UserMessages.h"
#include "sim/lib/SimTcpServer.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ShellFixture.h"

#include <csignal>
#include <optional>

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
    enum class Ending { WindowClose, Signal, SignalBeforeTheWindow };
    for (Ending ending : {Ending::WindowClose, Ending::Signal, Ending::SignalBeforeTheWindow}) {
        SCOPED_TRACE(int(ending));
        // As main has it: taken before anything else, while there is no window yet.
        std::optional<platform::StopSignalWatch> early;
        if (ending == Ending::SignalBeforeTheWindow) {
            early.emplace();
            std::raise(SIGTERM);
            ASSERT_TRUE(Start({}, &*early));
        } else {
            ASSERT_TRUE(Start());
            GoOnline();
            if (ending == Ending::WindowClose)
                ::PostMessage(MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                std::raise(SIGTERM);
        }
        ASSERT_TRUE(PumpUntil([&] { return MainWindow() == nullptr; }));
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
