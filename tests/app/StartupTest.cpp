// Start-up and shut-down of the whole program: against the simulated
// processor on TCP it connects and comes online; the close button, the
// window's own close and a stop signal each stop the link once and end it.
// Online, edits typed into the strips reach the processor.

#include "link/Net_Socket.h"
#include "model/ChannelRecord.h"
#include "model/DataDefine.h"
#include "model/FrameFormat.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/PresetJson.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/Input.h"
#include "platform/win/Menu.h"
#include "sim/lib/SimTcpServer.h"
#include "tests/app/AppFixture.h"
#include "tests/app/PresetMenu.h"
#include "tests/app/ShellFixture.h"
#include "tests/link/FakeFileDialog.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <csignal>
#include <cstring>
#include <future>
#include <optional>
#include <thread>
#include <vector>

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
    // Status polls since the last write the processor received.
    int PollsSinceLastWrite() {
        int polls = 0;
        for (const auto& r : processor.Requests())
            polls = r.command == frame::kCmdWrite ? 0 : polls + sim::IsStatusPoll(r);
        return polls;
    }

    // Save Preset chosen with the file named `name` in its dialog; the
    // settings and image the file holds.
    void SavePresetFile(const char* name, DeviceSettingsArea& settings, std::vector<BYTE>& image) {
        const CString path = m_dir.filePath(name).toStdString();
        {
            linktest::FakeFileDialog dialogs;
            dialogs.Answer(path);
            View()->SendMessage(WM_COMMAND, MAKEWPARAM(725, 0), 0);
            Pump();
        }
        settings = {};
        image.assign(kDeviceImageSize, 0);
        ASSERT_TRUE(CPresetJson().ReadPresetFile(settings, image.data(), path));
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

// Offline the ping thread keeps pinging; the close button ends a ping that
// hangs instead of waiting for its time-out.
TEST_F(Startup, TheCloseButtonEndsARunningPing) {
    ASSERT_TRUE(Start());
    ping.SetGate(false); // no ping ends by itself
    clock->Advance(500);
    ASSERT_TRUE(ping.WaitForWaits(1));

    // Should the close wait for the ping after all, it is let go in the end.
    std::promise<void> closed;
    std::atomic<bool> forced = false;
    std::thread watchdog([&, done = closed.get_future()] {
        if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            forced = true;
            ping.SetGate(true);
        }
    });
    View()->OnCloseButton();
    closed.set_value();
    watchdog.join();
    EXPECT_FALSE(forced) << "the close waited for the ping";
    EXPECT_EQ(ping.Interrupts(), 1);
    ASSERT_TRUE(PumpUntil([&] { return MainWindow() == nullptr; }));
    app->ExitInstance();
    const int pings = ping.Starts();
    clock->Advance(5000);
    EXPECT_EQ(ping.Starts(), pings);
    ping.SetGate(true);
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

// Levels 17 and 18 are the user's, not the speaker type's: a type chosen from
// the strip's menu leaves them in the processor and in a file saved afterwards.
TEST_F(Startup, ASpeakerTypeLeavesMixLevels17And18InTheProcessorAndInASavedFile) {
    constexpr int kOutput = 2;
    constexpr std::size_t kLevel17 = std::size_t(OutputRecordOffset(kOutput)) + 264 + 16;
    ServeOnLoopback();
    const struct {
        bool online;
        int type;
        BYTE level1;
    } cases[] = {{false, 5, 100}, {true, 19, 50}};
    for (const auto& [online, type, level1] : cases) {
        SCOPED_TRACE(online);
        processor.UpdateMemory([&](sim::SimMemory& m) {
            m.Image(0)[kLevel17] = 100;
            m.Image(0)[kLevel17 + 1] = 60;
        });
        ping.Answer(online);
        ASSERT_TRUE(Start());
        CKTV_OutData* out = View()->m_pData->GetOutput(kOutput);
        if (online) {
            GoOnline();
        } else {
            out->SetMixLevel(17, 100);
            out->SetMixLevel(18, 60);
        }
        ASSERT_EQ(out->GetMixLevel(17), 100);
        ASSERT_NE(g_SpkTypeState[kSpkTypeOutputBase + kOutput], type);
        processor.ClearRequests();

        {
            apptest::MenuChoice choice(UINT(4100 + type));
            CWnd& button = View()->GetStrip(kOutput).m_btnType;
            platform::win::MouseInput(button.GetSafeHwnd(), WM_LBUTTONDOWN, POINT{3, 3}, MK_LBUTTON);
            platform::win::MouseInput(button.GetSafeHwnd(), WM_LBUTTONUP, POINT{3, 3}, 0);
            Pump();
        }
        ASSERT_EQ(g_SpkTypeState[kSpkTypeOutputBase + kOutput], type);
        EXPECT_EQ(out->GetMixLevel(1), level1);
        EXPECT_EQ(out->GetMixLevel(17), 100);
        EXPECT_EQ(out->GetMixLevel(18), 60);

        if (online) {
            // The new mix went out; two polls later the change tracker has
            // had its turn too.
            ASSERT_TRUE(PumpUntil([&] {
                int polls = 0;
                bool mixB = false;
                for (const auto& r : processor.Requests()) {
                    mixB = mixB || (r.type == DATA_OUTPUT && r.channel == kOutput && r.block == 34);
                    polls += mixB && r.type == DATA_DEVICE_INFO && r.channel == INFO_STATUS;
                }
                return polls >= 2;
            }));
            for (const auto& r : processor.Requests())
                EXPECT_FALSE(r.type == DATA_OUTPUT && r.channel == kOutput && r.block == 35);
            const sim::SimMemory memory = processor.Memory();
            EXPECT_EQ(memory.Image(0)[kLevel17 - 16], level1) << "level 1 of the new type";
            EXPECT_EQ(memory.Image(0)[kLevel17], 100);
            EXPECT_EQ(memory.Image(0)[kLevel17 + 1], 60);
        }

        DeviceSettingsArea settings;
        std::vector<BYTE> image;
        ASSERT_NO_FATAL_FAILURE(SavePresetFile(online ? "online.rdds" : "offline.rdds", settings, image));
        EXPECT_EQ(image[kLevel17], 100);
        EXPECT_EQ(image[kLevel17 + 1], 60);
        EXPECT_EQ(settings.SpeakerTypes[kOutput], type);
        Stop();
    }
}

// Link groups as the processor holds them show on the strips when its live
// data arrive; a double click and a right click on a group button reach it.
TEST_F(Startup, LinkGroupsOfTheLiveDataShowAndGroupClicksReachTheProcessor) {
    auto number = [](const sim::SimMemory& m, int output) {
        return m.Image(0)[OutputRecordOffset(output) + 287];
    };
    processor.UpdateMemory([](sim::SimMemory& m) {
        for (int output : {1, 3})
            m.Image(0)[OutputRecordOffset(output) + 287] = 1;
    });
    ServeOnLoopback();
    ASSERT_TRUE(Start());
    GoOnline();
    auto latched = [&] {
        std::string flags;
        for (int i = 0; i < kOutputCount; ++i)
            flags += View()->GetStrip(i).m_btnGroup.GetSelected() ? '1' : '0';
        return flags;
    };
    EXPECT_EQ(latched(), "010100000000");
    EXPECT_NE(g_OutLinkTable[1 + 1], 0);
    EXPECT_EQ(g_OutLinkTable[1 + 1], g_OutLinkTable[1 + 3]);

    // Double click: output 6 founds a group of its own and becomes current.
    const HWND six = View()->GetStrip(6).m_btnGroup.GetSafeHwnd();
    platform::win::MouseInput(six, WM_LBUTTONDOWN, POINT{3, 3}, MK_LBUTTON);
    platform::win::MouseInput(six, WM_LBUTTONUP, POINT{3, 3}, 0);
    platform::win::MouseInput(six, WM_LBUTTONDBLCLK, POINT{3, 3}, MK_LBUTTON);
    platform::win::MouseInput(six, WM_LBUTTONUP, POINT{3, 3}, 0);
    Pump();
    EXPECT_EQ(g_nCurOutChannel, 6);
    EXPECT_EQ(latched(), "010100100000");
    ASSERT_TRUE(PumpUntil([&] { return number(processor.Memory(), 6) == 2; }));

    // Right click: output 1 leaves its group; output 3 stays in it.
    clock->Advance(600);
    platform::win::MouseInput(View()->GetStrip(1).m_btnGroup.GetSafeHwnd(), WM_RBUTTONDOWN, POINT{3, 3}, 0);
    platform::win::MouseInput(View()->GetStrip(1).m_btnGroup.GetSafeHwnd(), WM_RBUTTONUP, POINT{3, 3}, 0);
    Pump();
    EXPECT_EQ(latched(), "000100100000");
    EXPECT_EQ(g_OutLinkTable[1 + 1], 0);
    ASSERT_TRUE(PumpUntil([&] { return number(processor.Memory(), 1) == 0; }));
    EXPECT_EQ(number(processor.Memory(), 3), 1);
    EXPECT_TRUE(boxes->Entries().empty());
}

// The speaker-type menu as the strip opens it, kept as one letter per type
// 1..24: '.' free, 'x' excluded, 't' taken by another output, 'o' the
// strip's own.
class RecordingTypeMenu final : public platform::win::PopupMenuTracker {
public:
    RecordingTypeMenu() { m_previous = platform::win::InstallPopupMenuTracker(this); }
    ~RecordingTypeMenu() override { platform::win::InstallPopupMenuTracker(m_previous); }
    UINT Track(const platform::win::MenuData& menu, POINT, UINT, HWND) override {
        shown = std::string(24, '?');
        Walk(menu);
        return 0;
    }
    std::string shown;

private:
    void Walk(const platform::win::MenuData& menu) {
        for (const auto& item : menu.items) {
            if (item.popup)
                Walk(*item.popup);
            const int type = int(item.id) - 4100;
            if (type < 1 || type > 24)
                continue;
            const bool checked = item.state & MF_CHECKED, grayed = item.state & MF_GRAYED;
            shown[std::size_t(type - 1)] = checked ? (grayed ? 't' : 'o') : (grayed ? 'x' : '.');
        }
    }
    platform::win::PopupMenuTracker* m_previous = nullptr;
};

// The processor reports the types of outputs 1-8 only; outputs 9-12 have
// none to take over, so they hold no type and take none from the others.
TEST_F(Startup, OutputsTheProcessorReportsNoTypeForHoldNoneAfterAConnection) {
    constexpr std::size_t kTypeByte = std::size_t(CKTV_OutData::kBasicBlock) * 8 + 7;
    const struct {
        const char* what;
        std::array<BYTE, 8> reported;
        std::optional<std::array<BYTE, 8>> written; // the types the program writes back
        std::array<BYTE, 8> kept;
        const char* menu; // what the type menu of each strip without a type offers
    } cases[] = {
        {"eight NULL types", {}, std::nullopt, {}, "........................"},
        {"a type reported twice", {3, 3}, std::array<BYTE, 8>{3}, {3}, "..t.xx....xx............"},
    };
    ServeOnLoopback();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        processor.UpdateMemory([&](sim::SimMemory& m) {
            std::fill(m.settings.speakerTypes.begin(), m.settings.speakerTypes.end(), BYTE(0));
            std::copy(c.reported.begin(), c.reported.end(), m.settings.speakerTypes.begin());
            for (int k = 0; k < kOutputCount; ++k)
                m.Image(0)[OutputRecordOffset(k) + kTypeByte] = k < 8 ? c.kept[std::size_t(k)] : 0;
        });
        processor.ClearRequests();
        ASSERT_TRUE(Start());
        GoOnline();
        // The connection's own writes have gone out once polls follow them.
        ASSERT_TRUE(PumpUntil([&] { return PollsSinceLastWrite() >= 3; }));

        int typeWrites = 0;
        for (const auto& r : processor.Requests())
            typeWrites += r.command == frame::kCmdWrite && r.type == DATA_DEVICE_INFO &&
                          r.channel == INFO_SPEAKER_TYPES;
        EXPECT_EQ(typeWrites, c.written ? 1 : 0);
        const sim::SimMemory memory = processor.Memory();
        EXPECT_TRUE(std::equal(c.kept.begin(), c.kept.end(), memory.settings.speakerTypes.begin()));
        for (int k = 0; k < kOutputCount; ++k) {
            EXPECT_EQ(g_SpkTypeState[kSpkTypeOutputBase + k], k < 8 ? c.kept[std::size_t(k)] : 0) << k;
            EXPECT_EQ(View()->m_pData->GetOutput(k)->GetSpeakerType(), k < 8 ? c.kept[std::size_t(k)] : 0)
                << k;
        }

        for (int k = 0; k < kOutputCount; ++k) {
            RecordingTypeMenu menu;
            CWnd& button = View()->GetStrip(k).m_btnType;
            platform::win::MouseInput(button.GetSafeHwnd(), WM_LBUTTONDOWN, POINT{3, 3}, MK_LBUTTON);
            platform::win::MouseInput(button.GetSafeHwnd(), WM_LBUTTONUP, POINT{3, 3}, 0);
            Pump();
            if (g_SpkTypeState[kSpkTypeOutputBase + k] == 0) {
                EXPECT_EQ(menu.shown, c.menu) << "output " << k + 1;
            }
        }

        DeviceSettingsArea settings;
        std::vector<BYTE> image;
        ASSERT_NO_FATAL_FAILURE(SavePresetFile("connected.rdds", settings, image));
        for (int k = 8; k < kOutputCount; ++k) {
            EXPECT_EQ(settings.SpeakerTypes[k], 0) << k;
            EXPECT_EQ(image[std::size_t(OutputRecordOffset(k)) + kTypeByte], 0) << k;
        }
        Stop();
    }
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
