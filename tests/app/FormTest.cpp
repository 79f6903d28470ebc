// The main view as a user meets it: its layout, keys, dragging, the window
// region, and the handlers behind the strips, the source list and the
// mixer button; the language switch and back.

#include "link/KTVCommand.h"
#include "model/Filter.h"
#include "model/FrameFormat.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/Input.h"
#include "platform/win/TopLevel.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ShellFixture.h"
#include "tests/link/FakeFileDialog.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

using apptest::AppFixture;

class Form : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
    }
    void TearDown() override {
        g_nMasterVolume = 0;
        AppFixture::TearDown();
    }
    CKTV_OutData* Out(int i) { return View()->m_pData->GetOutput(i); }
    CRect ClientRectOf(UINT id) {
        CRect r;
        View()->GetDlgItem(int(id))->GetWindowRect(&r);
        View()->ScreenToClient(&r);
        return r;
    }
    static std::array<BYTE, 18> ImageLevels(int output) {
        std::array<BYTE, 18> levels{};
        std::memcpy(levels.data(), g_DeviceImage + OutputRecordOffset(output) + 264, levels.size());
        return levels;
    }
};

TEST_F(Form, StripsSitInARowUnderThePageFrame) {
    const int xs[] = {144, 286, 429, 571, 714, 856, 999, 1141, 1284, 1426, 1569, 1711};
    for (int i = 0; i < kOutputCount; ++i) {
        CRect r;
        View()->GetStrip(i).GetWindowRect(&r);
        View()->ScreenToClient(&r);
        EXPECT_EQ(r, CRect(xs[i], 499, xs[i] + 140, 720)) << i;
    }
    EXPECT_LT(ClientRectOf(1368).bottom, 498);
    CRect gain;
    View()->GetGainPanel().GetWindowRect(&gain);
    View()->ScreenToClient(&gain);
    EXPECT_EQ(gain, CRect(25, 499, 109, 719));
}

TEST_F(Form, EnterAndEscapeOnlyMoveTheFocusToTheView) {
    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        View()->GetDlgItem(2823)->SetFocus();
        platform::win::KeyInput(key);
        Pump();
        EXPECT_EQ(::GetFocus(), View()->GetSafeHwnd());
        EXPECT_NE(MainWindow(), nullptr);
        EXPECT_TRUE(View()->IsWindowVisible());
    }
}

TEST_F(Form, TabIntoTheViewFocusesTheFirstBandsFrequencyEdit) {
    for (int from : {0, 2823}) {
        SCOPED_TRACE(from);
        if (from)
            View()->GetDlgItem(from)->SetFocus();
        else
            View()->SetFocus();
        platform::win::KeyInput(VK_TAB);
        Pump();
        ASSERT_NE(CWnd::GetFocus(), nullptr);
        EXPECT_EQ(CWnd::GetFocus()->GetDlgCtrlID(), 5200);
        EXPECT_EQ(CWnd::GetFocus()->GetParent(), &View()->GetOutputPage());
    }
}

TEST_F(Form, AMinimiseAndRestoreKeepTheWindowsShape) {
    auto shape = [&] {
        RECT window;
        app->m_pMainWnd->GetWindowRect(&window);
        RECT region{};
        platform::win::GetWindowRgnBox(MainWindow(), &region);
        RECT view;
        View()->GetWindowRect(&view);
        return std::make_tuple(CRect(window), CRect(region), CRect(view));
    };
    const auto before = shape();
    const HWND minimise = View()->GetDlgItem(2772)->GetSafeHwnd();
    platform::win::MouseInput(minimise, WM_LBUTTONDOWN, POINT{3, 3}, MK_LBUTTON);
    platform::win::MouseInput(minimise, WM_LBUTTONUP, POINT{3, 3}, 0);
    Pump();
    const auto topLevels = QApplication::topLevelWidgets();
    EXPECT_TRUE(std::any_of(topLevels.begin(), topLevels.end(), [](QWidget* w) { return w->isMinimized(); }));
    app->m_pMainWnd->ShowWindow(SW_RESTORE);
    Pump();
    EXPECT_EQ(shape(), before);
    EXPECT_TRUE(app->m_pMainWnd->IsWindowVisible());
}

// The strip's on/off button through the view: the output and the button's
// picture follow each click.
TEST_F(Form, TheStripsOnOffButtonSwitchesItsOutputAndItsPicture) {
    apptest::SolidPictures pictures;
    Stop();
    ASSERT_TRUE(Start());
    COutRoute_Dlg& strip = View()->GetStrip(4);
    ASSERT_EQ(Out(4)->GetEnable(), 1);
    for (int expected : {0, 1}) {
        SCOPED_TRACE(expected);
        clock->Advance(600);
        const HWND button = strip.m_btnEnable.GetSafeHwnd();
        platform::win::MouseInput(button, WM_LBUTTONDOWN, POINT{3, 3}, MK_LBUTTON);
        platform::win::MouseInput(button, WM_LBUTTONUP, POINT{3, 3}, 0);
        platform::win::MouseInput(View()->GetSafeHwnd(), WM_MOUSEMOVE, POINT{600, 460}, 0);
        Pump();
        EXPECT_EQ(Out(4)->GetEnable(), expected);
        EXPECT_EQ(strip.m_nEnable, expected);
        EXPECT_EQ(apptest::CentreOf(*app->m_pMainWnd, strip.m_btnEnable),
                  apptest::SolidPictures::ColorOf(expected ? 526 : 528));
    }
}

TEST_F(Form, DraggingTheBackgroundMovesTheWindowAPressOnAControlDoesNot) {
    auto origin = [&] {
        RECT r;
        app->m_pMainWnd->GetWindowRect(&r);
        return CPoint(r.left, r.top);
    };
    const CPoint before = origin();
    const HWND view = View()->GetSafeHwnd();
    platform::win::MouseInput(view, WM_LBUTTONDOWN, POINT{600, 460}, MK_LBUTTON);
    platform::win::MouseInput(view, WM_MOUSEMOVE, POINT{650, 480}, MK_LBUTTON);
    platform::win::MouseInput(view, WM_LBUTTONUP, POINT{650, 480}, 0);
    Pump();
    EXPECT_EQ(origin(), CPoint(before.x + 50, before.y + 20));

    const CPoint moved = origin();
    const HWND button = View()->GetDlgItem(2823)->GetSafeHwnd();
    platform::win::MouseInput(button, WM_LBUTTONDOWN, POINT{5, 5}, MK_LBUTTON);
    platform::win::MouseInput(button, WM_MOUSEMOVE, POINT{40, 30}, MK_LBUTTON);
    platform::win::MouseInput(button, WM_LBUTTONUP, POINT{40, 30}, 0);
    Pump();
    EXPECT_EQ(origin(), moved);
}

TEST_F(Form, TheRegionClipsTheEdgesAtBothSizesAndADisplayChangeResizes) {
    RECT box;
    ASSERT_TRUE(platform::win::GetWindowRgnBox(MainWindow(), &box));
    EXPECT_EQ(CRect(box), CRect(2, -2, 1280, 730));

    app->m_pMainWnd->SetWindowText("changed");
    ::PostMessage(MainWindow(), WM_DISPLAYCHANGE, 32, 0);
    Pump();
    RECT r;
    app->m_pMainWnd->GetWindowRect(&r);
    EXPECT_EQ(CRect(r), CRect(0, 0, 1254, 706));
    ASSERT_TRUE(platform::win::GetWindowRgnBox(MainWindow(), &box));
    EXPECT_EQ(CRect(box), CRect(2, -2, 1252, 704));

    app->m_pMainWnd->SetWindowText("changed");
    ::SendMessage(MainWindow(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_EQ(app->m_pMainWnd->GetWindowText(), "KAVRO-TUNE");
}

// A preset file read from the computer replaces the whole live preset, so the
// page's band controls and the strips must show it, not only the graph.
TEST_F(Form, ALoadedPresetFileShowsOnThePageAndTheStrips) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const CString path = dir.filePath("Stage.rdds").toStdString();
    linktest::FakeFileDialog dialogs;
    Out(0)->GetBand(0)->SetGainIndex(260); // +6 dB
    Out(0)->SetGain(300);
    dialogs.Answer(path);
    ASSERT_EQ(View()->GetLink().SavePresetFile(), 1);

    Out(0)->GetBand(0)->SetGainIndex(200);
    Out(0)->SetGain(500);
    View()->UpdateOutputControls();
    ASSERT_EQ(View()->GetOutputPage().m_sliderBand[0].GetPos(), 200);
    dialogs.Answer(path);
    ASSERT_EQ(View()->GetLink().LoadPresetFile(), 1);

    EXPECT_EQ(Out(0)->GetBand(0)->GetGainIndex(), 260);
    EXPECT_EQ(View()->GetOutputPage().m_sliderBand[0].GetPos(), 260);
    EXPECT_EQ(View()->GetOutputPage().m_btnBypass[0].GetCheck(), 0);
    EXPECT_EQ(View()->GetStrip(0).m_sliderGain.GetPos(), 300);
}

TEST_F(Form, AMasterVolumeAbove66IsShownAndKeptAs60) {
    g_nMasterVolume = 67;
    View()->UpdateOutputControls();
    EXPECT_EQ(g_nMasterVolume, 60);
    EXPECT_EQ(View()->GetGainPanel().GetFaderPos(), 60);
}

TEST_F(Form, AGainChangeMovesTheOtherOutputsOfItsGroupByTheSameStep) {
    struct Case {
        int gain;
        int expected0;
        int expected1;
    };
    // Outputs 0 and 1 in group 3, output 1 switched off.
    g_OutLinkTable[1] = 3;
    g_OutLinkTable[2] = 3;
    Out(0)->SetGain(300);
    Out(1)->SetGain(590);
    Out(1)->SetEnable(0);
    View()->UpdateOutputControls();
    const Case cases[] = {{320, 320, 600}, {320, 320, 600}, {300, 300, 580}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gain);
        Out(1)->SetEnable(0);
        View()->GetStrip(1).SetEnable(0);
        View()->SendMessage(UM_STRIP_GAIN_CHANGED, 0, c.gain);
        EXPECT_EQ(Out(0)->GetGain(), c.expected0);
        EXPECT_EQ(Out(1)->GetGain(), c.expected1);
        EXPECT_EQ(Out(0)->GetEnable(), 1);
        EXPECT_EQ(Out(1)->GetEnable(), 1); // also when the gain repeats
        EXPECT_EQ(View()->GetStrip(1).GetShownGain(), c.expected1);
    }
    g_OutLinkTable[1] = g_OutLinkTable[2] = 0;
}

TEST_F(Form, ASpeakerTypeSetsMixLevels1To16AndKeepsTheModels17And18InImageAndModel) {
    using Levels = std::array<BYTE, 18>;
    // Levels 17 and 18 are the model's, whatever the type.
    const std::pair<int, Levels> cases[] = {
        {0, Levels{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100, 60}},
        {1, Levels{100, 0, 0, 0, 0, 0, 100, 0, 100, 0, 0, 0, 0, 0, 100, 0, 100, 60}},
        {23, Levels{0, 100, 0, 0, 0, 0, 0, 100, 0, 100, 0, 0, 0, 0, 0, 100, 100, 60}},
        {14, Levels{0, 0, 100, 0, 0, 0, 100, 0, 0, 0, 100, 0, 0, 0, 100, 0, 100, 60}},
        {17, Levels{0, 0, 0, 100, 0, 0, 0, 100, 0, 0, 0, 100, 0, 0, 0, 100, 100, 60}},
        {19, Levels{50, 50, 0, 0, 0, 0, 50, 50, 50, 50, 0, 0, 0, 0, 50, 50, 100, 60}},
        {24, Levels{0, 0, 50, 50, 0, 0, 50, 50, 0, 0, 50, 50, 0, 0, 50, 50, 100, 60}},
    };
    Out(5)->SetMixLevel(17, 100);
    Out(5)->SetMixLevel(18, 60);
    // A stray level in the image gives way to the model's.
    g_DeviceImage[OutputRecordOffset(5) + 264 + 16] = 77;
    for (const auto& [type, levels] : cases) {
        SCOPED_TRACE(type);
        View()->SendMessage(UM_SPEAKER_TYPE_SELECTED, 5, type);
        EXPECT_EQ(ImageLevels(5), levels);
        for (int n = 1; n <= 18; ++n)
            EXPECT_EQ(Out(5)->GetMixLevel(n), levels[std::size_t(n - 1)]) << n;
        EXPECT_EQ(g_SpkTypeState[kSpkTypeOutputBase + 5], type);
        EXPECT_EQ(g_DeviceSettings.SpeakerTypes[5], type);
        // Image and model agree: a pack changes none of the levels.
        View()->m_pData->PackToImage();
        EXPECT_EQ(ImageLevels(5), levels);
    }
}

TEST_F(Form, ANewSpeakerTypesMixGoesOutWhileTheMasterIsMutedWithItsCrossover) {
    View()->GetLink().m_bConnected = 1;
    View()->SendMessage(UM_SPEAKER_TYPE_SELECTED, 3, 1);
    std::vector<std::vector<BYTE>> frames;
    {
        std::lock_guard lock(g_csSend);
        CKTVCommand& queue = View()->GetLink().GetKTVCommand();
        while (CSendData* head = queue.GetCurrentCommand()) {
            frames.emplace_back(head->GetData(), head->GetData() + head->GetLength());
            queue.PopCommand();
        }
    }
    View()->GetLink().m_bConnected = 0;
    ASSERT_GE(frames.size(), 4u);
    auto isMute = [](const std::vector<BYTE>& f) {
        return f[frame::kOffType] == DATA_DEVICE_INFO && f[frame::kOffChannel] == INFO_SYSTEM_DATA;
    };
    EXPECT_TRUE(isMute(frames.front()));
    EXPECT_TRUE(isMute(frames.back()));
    int mixA = -1;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const auto& f = frames[i];
        if (f[frame::kOffType] == DATA_OUTPUT && f[frame::kOffChannel] == 3 && f[frame::kOffBlock] == 33)
            mixA = int(i);
    }
    ASSERT_GT(mixA, 0);
    EXPECT_LT(mixA, int(frames.size()) - 1);
    // Type 1 (front left): level 1 at 100 in the frame that plays it.
    EXPECT_EQ(frames[std::size_t(mixA)][frame::kOffPayload], 100);
}

TEST_F(Form, SelectingAnOutputLatchesItsWholeGroupOrItAlone) {
    g_OutLinkTable[3] = 4;
    g_OutLinkTable[6] = 4;
    auto latched = [&] {
        std::string flags;
        for (int i = 0; i < kOutputCount; ++i)
            flags += View()->IsSelectLatched(i) ? '1' : '0';
        return flags;
    };
    View()->SendMessage(UM_SELECT_OUTPUT, 5, 0);
    EXPECT_EQ(g_nCurOutChannel, 5);
    EXPECT_EQ(latched(), "001001000000");
    View()->SendMessage(UM_SELECT_OUTPUT, 7, 0);
    EXPECT_EQ(latched(), "000000010000");
    g_OutLinkTable[3] = g_OutLinkTable[6] = 0;
}

TEST_F(Form, TheMasterFaderSetsTheVolumeUnmutesAndAsksForTheSystemBlock) {
    for (int connected : {0, 1}) {
        SCOPED_TRACE(connected);
        View()->GetLink().m_bConnected = connected;
        g_bSysBlock5Pending = 0;
        g_bMasterOn = 0;
        View()->GetGainPanel().m_btnMute.SetSelected(TRUE);
        View()->GetGainPanel().SetFaderPos(40 + connected);
        View()->SendMessage(UM_MASTER_GAIN_CHANGED, 737, 0);
        EXPECT_EQ(g_nMasterVolume, 40 + connected);
        EXPECT_EQ(g_bMasterOn, 1);
        EXPECT_FALSE(View()->GetGainPanel().m_btnMute.GetSelected());
        EXPECT_EQ(g_bSysBlock5Pending.load(), connected);
    }
    View()->GetLink().m_bConnected = 0;
    g_bSysBlock5Pending = 0;
}

TEST_F(Form, ANewLinkGroupTakesTheFirstFreeSlotAndNoneWhenAllAreUsed) {
    std::fill(std::begin(g_bLinkGroupUsed), std::end(g_bLinkGroupUsed), 1);
    EXPECT_EQ(View()->FindFreeSlot(), -1);
    g_bLinkGroupUsed[7] = 0;
    g_bLinkGroupUsed[3] = 0;
    EXPECT_EQ(View()->FindFreeSlot(), 3);
    std::fill(std::begin(g_bLinkGroupUsed), std::end(g_bLinkGroupUsed), 0);
    EXPECT_EQ(View()->FindFreeSlot(), 0);
}

TEST_F(Form, MessagesNamingNoOutputOrNoTypeChangeNothing) {
    const std::vector<BYTE> image(g_DeviceImage, g_DeviceImage + kDeviceImageSize);
    const int current = g_nCurOutChannel;
    const std::tuple<UINT, WPARAM, LPARAM> cases[] = {
        {UM_SPEAKER_TYPE_SELECTED, 12, 3},       {UM_SPEAKER_TYPE_SELECTED, 0, 25},
        {UM_SPEAKER_TYPE_SELECTED, 0, -1},       {UM_STRIP_GAIN_CHANGED, 12, 100},
        {UM_STRIP_DELAY_CHANGED, WPARAM(-1), 5}, {UM_SELECT_OUTPUT, 12, 0},
        {UM_STRIP_ENABLE_TOGGLED, 40, 0},
    };
    for (const auto& [message, wParam, lParam] : cases)
        View()->SendMessage(message, wParam, lParam);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), g_DeviceImage));
    EXPECT_EQ(g_nCurOutChannel, current);
}

TEST_F(Form, TheMixerRefusesWhileALockedPresetIsLoaded) {
    g_bPresetLocked = 1;
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        View()->OnMixerButton();
    }
    const auto shown = boxes->Entries();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Machine has been encrypted ");
    EXPECT_EQ(shown[1].text, "机器已加密");
    for (const auto& box : shown) {
        EXPECT_EQ(box.type, MB_OK);
        EXPECT_EQ(box.helpId, 2000);
    }
}

TEST_F(Form, TwoLanguageSwitchesRestoreEveryTextAndPictureAndStoreEachTime) {
    apptest::SolidPictures pictures;
    Stop();
    ASSERT_TRUE(Start());
    auto look = [&] {
        std::vector<COLORREF> colours;
        for (UINT id : {8801u, 8802u, 2823u, 1415u, 1413u})
            colours.push_back(apptest::CentreOf(*app->m_pMainWnd, *View()->GetDlgItem(int(id))));
        CString texts;
        for (CMenu* menu : {View()->GetPresetMenu().GetSubMenu(0), View()->GetSystemMenu().GetSubMenu(0)}) {
            for (int pos = 0; pos < menu->GetMenuItemCount(); ++pos) {
                CString text;
                menu->GetMenuString(UINT(pos), text, MF_BYPOSITION);
                texts += text + "|";
            }
        }
        texts += View()->GetSourceList().GetWindowText();
        // The view's background, strip 0's background and phase button.
        const QImage image = platform::win::RenderWindow(MainWindow());
        auto at = [&](CWnd& w, int x, int y) {
            CPoint p(x, y);
            w.ClientToScreen(&p);
            app->m_pMainWnd->ScreenToClient(&p);
            return apptest::PixelAt(image, p.x, p.y);
        };
        colours.push_back(at(*View(), 10, 600));
        colours.push_back(at(View()->GetStrip(0), 60, 190));
        colours.push_back(apptest::CentreOf(*app->m_pMainWnd, View()->GetStrip(0).m_btnPhase));
        return std::make_pair(colours, texts);
    };
    Out(0)->SetGain(0);
    View()->UpdateOutputControls();
    const auto english = look();
    const CString offEnglish = View()->GetStrip(0).m_editGain.GetWindowText();

    View()->SendMessage(WM_COMMAND, MAKEWPARAM(729, 0), 0);
    Pump();
    EXPECT_EQ(g_bChinese, 1);
    EXPECT_EQ(Value("DspMcu", "Language"), "Chinese");
    const auto chinese = look();
    EXPECT_EQ(chinese.first[0], apptest::SolidPictures::ColorOf(8701));
    EXPECT_EQ(chinese.first[2], apptest::SolidPictures::ColorOf(1011));
    EXPECT_EQ(chinese.first[3], apptest::SolidPictures::ColorOf(1125));
    EXPECT_EQ(chinese.first[4], apptest::SolidPictures::ColorOf(8751));
    EXPECT_EQ(chinese.first[5], apptest::SolidPictures::ColorOf(285));
    EXPECT_EQ(chinese.first[6], apptest::SolidPictures::ColorOf(1151));
    EXPECT_EQ(chinese.first[7], apptest::SolidPictures::ColorOf(1180));
    EXPECT_EQ(english.first[5], apptest::SolidPictures::ColorOf(284));
    EXPECT_EQ(english.first[6], apptest::SolidPictures::ColorOf(1152));
    EXPECT_EQ(english.first[7], apptest::SolidPictures::ColorOf(1186));
    EXPECT_NE(chinese.second, english.second);
    // The strips' numbers follow the language too.
    EXPECT_NE(View()->GetStrip(0).m_editGain.GetWindowText(), offEnglish);

    View()->SendMessage(WM_COMMAND, MAKEWPARAM(729, 0), 0);
    Pump();
    EXPECT_EQ(g_bChinese, 0);
    EXPECT_EQ(Value("DspMcu", "Language"), "English");
    EXPECT_EQ(look(), english);
    EXPECT_EQ(View()->GetStrip(0).m_editGain.GetWindowText(), offEnglish);
}

} // namespace
