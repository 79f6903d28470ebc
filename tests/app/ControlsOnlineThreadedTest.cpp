// The program online against the simulated processor on the in-process USB
// device, its controls worked with keys and clicks as a user works them:
// the master volume's arrow keys, a pointer crossing a closed drop-down while
// a number is typed, a strip's on/off button, a graph click on a band or
// corner the page cannot show, and a group button after a loaded image.
// What reaches the processor is read back from its memory.

#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/PresetJson.h"
#include "pages/output/LinkGroups.h"
#include "platform/sys/MessageBox.h"
#include "platform/win/Input.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ShellFixture.h"
#include "tests/link/FakeFileDialog.h"

#include <QTemporaryDir>

#include <functional>
#include <utility>

namespace {

constexpr int kBasicBlockOffset = 31 * 8;
constexpr int kCrossoverBlockOffset = 32 * 8;
constexpr int kGroupByte = 287;

int Le16(const BYTE* at) {
    return at[0] | at[1] << 8;
}

void PutLe16(BYTE* at, int value) {
    at[0] = BYTE(value & 0xFF);
    at[1] = BYTE(value >> 8);
}

// A box shown as the system shows it: modal, so the program's timers go on
// running while it is open.  Boxes opened meanwhile are only counted.
class ModalBoxes final : public platform::MessageBoxHandler {
public:
    ModalBoxes(platform::VirtualClock& clock, std::function<void()> pump)
        : m_clock(clock), m_pump(std::move(pump)) {
        m_previous = platform::SetMessageBoxHandler(this);
    }
    ~ModalBoxes() override { platform::SetMessageBoxHandler(m_previous); }
    ModalBoxes(const ModalBoxes&) = delete;
    ModalBoxes& operator=(const ModalBoxes&) = delete;

    int Show(const CString& text, UINT, int) override {
        texts.push_back(text);
        if (m_open)
            return IDOK;
        m_open = true;
        for (int tick = 0; tick < 5; ++tick) { // a second before the user reads it
            m_clock.Advance(200);
            m_pump();
        }
        m_open = false;
        return IDOK;
    }

    std::vector<CString> texts;

private:
    platform::VirtualClock& m_clock;
    std::function<void()> m_pump;
    bool m_open = false;
    platform::MessageBoxHandler* m_previous = nullptr;
};

class ControlsOnlineThreaded : public apptest::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ping.Answer(true);
        backend->Bus().Plug();
    }
    // Starts with what the processor holds and waits for its live data.
    void StartOnline() {
        ASSERT_TRUE(Start());
        ASSERT_TRUE(PumpUntil([&] { return g_bOnline != 0 && View()->GetStrip(11).IsWindowVisible(); }));
        Pump();
    }
    CKTV_OutData* Out(int output) { return View()->m_pData->GetOutput(output); }
    const BYTE* Live(const sim::SimMemory& memory, int output) {
        return memory.live.data() + OutputRecordOffset(output);
    }
    void Click(CWnd& w, POINT at = {3, 3}) {
        platform::win::MouseInput(w.GetSafeHwnd(), WM_LBUTTONDOWN, at);
        platform::win::MouseInput(w.GetSafeHwnd(), WM_LBUTTONUP, at);
        Pump();
    }
    // A click on a skinned button, then the pointer leaves and the double-click
    // time passes.
    void ClickButton(CWnd& w) {
        Click(w);
        platform::win::MouseLeftWindows();
        clock->Advance(600);
        Pump();
    }
    void Type(const char* text) {
        for (const char* p = text; *p; ++p)
            platform::win::CharInput(UINT(static_cast<unsigned char>(*p)));
        Pump();
    }
    // A single click on a group button lands 200 ms after the press.
    void GroupClick(int output) {
        CBitButton& b = View()->GetStrip(output).m_btnGroup;
        platform::win::MouseInput(b.GetSafeHwnd(), WM_LBUTTONDOWN, {3, 3});
        platform::win::MouseInput(b.GetSafeHwnd(), WM_LBUTTONUP, {3, 3});
        clock->Advance(250);
        Pump();
        clock->Advance(600);
        Pump();
    }
    // A preset file made from the live preset as `change` leaves it, loaded
    // as the preset menu loads it.
    void LoadPresetFile(const std::function<void(std::vector<BYTE>&, DeviceSettingsArea&)>& change) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const CString path = dir.filePath("Stage.rdds").toStdString();
        std::vector<BYTE> image;
        DeviceSettingsArea settings{};
        {
            CModelLock lock(true);
            image.assign(g_DeviceImage, g_DeviceImage + kDeviceImageSize);
            settings = g_DeviceSettings;
        }
        change(image, settings);
        ASSERT_TRUE(CPresetJson().WritePresetFile(settings, image.data(), path));
        linktest::FakeFileDialog dialogs;
        dialogs.Answer(path);
        ASSERT_EQ(View()->GetLink().LoadPresetFile(), 1);
        Pump();
    }
    // A plain click (no drag) on a filter's handle on the response graph.
    void GraphClick(CFilter& filter) {
        CFStatic& graph = View()->GetOutputPage().m_graph;
        const CPoint at = filter.GetHandleRect().CenterPoint();
        CRect client;
        graph.GetClientRect(&client);
        ASSERT_TRUE(client.PtInRect(at)) << at.x << "," << at.y;
        platform::win::MouseInput(graph.GetSafeHwnd(), WM_MOUSEMOVE, at);
        platform::win::MouseInput(graph.GetSafeHwnd(), WM_LBUTTONDOWN, at);
        platform::win::MouseInput(graph.GetSafeHwnd(), WM_LBUTTONUP, at);
        clock->Advance(200);
        Pump();
    }
};

// The number has the focus while a preset file brings another volume: the
// arrow keys step from the volume shown, never from the one shown before.
TEST_F(ControlsOnlineThreaded, TheMasterVolumeStepsFromTheValueShown) {
    processor.UpdateMemory([](sim::SimMemory& m) { PutLe16(&m.settings.systemData[0], 40); });
    StartOnline();
    CGainDlg& panel = View()->GetGainPanel();
    ASSERT_EQ(panel.m_edit.GetWindowText(), "-20dB");
    Click(panel.m_edit);
    ASSERT_EQ(CWnd::GetFocus(), &panel.m_edit);
    LoadPresetFile(
        [](std::vector<BYTE>&, DeviceSettingsArea& settings) { PutLe16(&settings.SystemData[0], 10); });
    ASSERT_EQ(panel.m_edit.GetWindowText(), "-50dB");
    ASSERT_EQ(CWnd::GetFocus(), &panel.m_edit);
    ASSERT_TRUE(PumpUntil([&] { return Le16(&processor.Memory().settings.systemData[0]) == 10; }));

    const struct {
        UINT key;
        int volume;
        const char* shown;
    } steps[] = {{VK_UP, 11, "-49dB"}, {VK_DOWN, 10, "-50dB"}, {VK_DOWN, 9, "-51dB"}};
    int before = 10;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.volume);
        platform::win::KeyInput(step.key);
        ASSERT_TRUE(PumpUntil([&] { return Le16(&processor.Memory().settings.systemData[0]) != before; }));
        before = Le16(&processor.Memory().settings.systemData[0]);
        EXPECT_EQ(before, step.volume);
        EXPECT_EQ(panel.m_edit.GetWindowText(), step.shown);
        EXPECT_EQ(panel.GetFaderPos(), step.volume);
    }
}

// The pointer crossing a drop-down that was never opened: the number being
// typed stays in its edit and goes out whole when Enter commits it.  The
// link thread advances the test's clock while it sleeps, so the pointer's
// hover timer falls due there: its notice must still come on this thread.
TEST_F(ControlsOnlineThreaded, APointerCrossingAClosedDropDownLeavesTheTypingAlone) {
    StartOnline();
    COutputDlg& page = View()->GetOutputPage();
    CNumEdit& edit = page.m_editFreq[4];
    Click(edit);
    ASSERT_EQ(CWnd::GetFocus(), &edit);
    edit.SendMessage(EM_SETSEL, 0, -1);
    Type("12");
    for (CComBoxBtn* button : {&page.m_cbHighFamily, &page.m_cbLowSlope, &View()->GetSourceList()}) {
        platform::win::MouseInput(button->GetSafeHwnd(), WM_MOUSEMOVE, {5, 5});
        platform::win::MouseInput(button->GetSafeHwnd(), WM_MOUSEMOVE, {9, 6});
        Pump();
        EXPECT_EQ(CWnd::GetFocus(), &edit) << button->GetDlgCtrlID();
    }
    platform::win::MouseLeftWindows();
    Type("34");
    platform::win::KeyInput(VK_RETURN);
    Pump();
    EXPECT_EQ(Out(0)->GetBand(4)->GetFrequency(), 1234);
    EXPECT_TRUE(PumpUntil([&] { return Le16(Live(processor.Memory(), 0) + 4 * 8) == 1234; }));

    // Once opened, the popup takes the focus as before.
    Click(page.m_cbHighFamily, {5, 5});
    platform::win::MouseInput(page.m_cbHighFamily.GetSafeHwnd(), WM_MOUSEMOVE, {7, 7});
    Pump();
    EXPECT_EQ(CWnd::GetFocus(), page.m_cbHighFamily.GetDropWnd()->GetList());
}

// An on/off byte of 2 from the processor counts as on: the first click
// switches the output off, the second on again, each with its picture.
TEST_F(ControlsOnlineThreaded, AnOutputStoredAsTwoSwitchesOffAtTheFirstClick) {
    apptest::SolidPictures pictures;
    processor.UpdateMemory([](sim::SimMemory& m) { m.live[OutputRecordOffset(3) + kBasicBlockOffset] = 2; });
    StartOnline();
    COutRoute_Dlg& strip = View()->GetStrip(3);
    ASSERT_EQ(Out(3)->GetEnable(), 2);
    auto shown = [&] { return apptest::CentreOf(*app->m_pMainWnd, strip.m_btnEnable); };
    EXPECT_EQ(shown(), apptest::SolidPictures::ColorOf(526));
    for (int expected : {0, 1}) {
        SCOPED_TRACE(expected);
        ClickButton(strip.m_btnEnable);
        EXPECT_TRUE(PumpUntil([&] { return Live(processor.Memory(), 3)[kBasicBlockOffset] == expected; }));
        EXPECT_EQ(Out(3)->GetEnable(), expected);
        EXPECT_EQ(shown(), apptest::SolidPictures::ColorOf(expected ? 526 : 528));
    }
}

// A band and a crossover corner stored outside the page's ranges, clicked on
// the graph: no box (none stacks up while one would be open), the controls
// show the nearest end, the partner keeps its values, the focus goes on.
TEST_F(ControlsOnlineThreaded, AGraphClickOnAValueThePageCannotShowOpensNoBox) {
    processor.UpdateMemory([](sim::SimMemory& m) {
        for (int output : {0, 3})
            m.live[OutputRecordOffset(output) + kGroupByte] = 1;
        BYTE* current = m.live.data() + OutputRecordOffset(0);
        PutLe16(current + 4 * 8, 19);                        // band 5 at 19 Hz
        PutLe16(current + 4 * 8 + 2, 400 + 240);             // at +4 dB, so not flat
        PutLe16(current + kCrossoverBlockOffset + 4, 20500); // the low-pass corner
    });
    StartOnline();
    ModalBoxes boxes(*clock, &Pump);
    COutputDlg& page = View()->GetOutputPage();
    ASSERT_EQ(g_nCurOutChannel, 0);
    ASSERT_EQ(CLinkGroups::NumberOf(3), 1);
    const auto partnerBefore = [&] {
        const auto memory = processor.Memory();
        const BYTE* partner = Live(memory, 3);
        return std::vector<BYTE>(partner, partner + 33 * 8);
    }();

    GraphClick(*Out(0)->GetBand(4));
    EXPECT_TRUE(boxes.texts.empty()) << (boxes.texts.empty() ? "" : boxes.texts[0]);
    EXPECT_EQ(page.m_editFreq[4].GetValue(), 20);
    EXPECT_EQ(CWnd::GetFocus(), &page.m_editBandGain[4]);
    EXPECT_EQ(page.m_graph.m_bButtonUp, 0);
    EXPECT_EQ(Out(0)->GetBand(4)->GetFrequency(), 19); // the model keeps what it holds
    EXPECT_EQ(Out(3)->GetBand(4)->GetFrequency(), Le16(partnerBefore.data() + 4 * 8));

    GraphClick(*Out(0)->GetLowPass());
    EXPECT_TRUE(boxes.texts.empty()) << (boxes.texts.empty() ? "" : boxes.texts[0]);
    EXPECT_EQ(page.m_editLowFreq.GetValue(), 20000);
    EXPECT_EQ(CWnd::GetFocus(), &page.m_editLowFreq);
    EXPECT_LE(Out(3)->GetLowPass()->GetFrequency(), 20000);

    // Nothing out of range reached the partner in the processor either.
    processor.ClearRequests();
    ASSERT_TRUE(PumpUntil([&] {
        int polls = 0;
        for (const auto& r : processor.Requests())
            polls += r.type == DATA_DEVICE_INFO && r.channel == INFO_STATUS;
        return polls >= 2;
    }));
    const auto memory = processor.Memory();
    const BYTE* partner = Live(memory, 3);
    EXPECT_EQ(Le16(partner + 4 * 8), Le16(partnerBefore.data() + 4 * 8));
    EXPECT_LE(Le16(partner + kCrossoverBlockOffset + 4), 20000);
}

// Output 5 leaves group 1 and remembers it; a loaded preset gives number 1 to
// outputs 7 and 8.  A single click on output 5 does not join them.
TEST_F(ControlsOnlineThreaded, ARememberedGroupRebuiltByALoadedPresetIsNotRejoined) {
    StartOnline();
    GroupClick(4); // creates group 1
    GroupClick(5); // joins the group being formed
    GroupClick(4); // leaves and remembers group 1
    ASSERT_EQ(CLinkGroups::NumberOf(4), 0);
    ASSERT_EQ(CLinkGroups::NumberOf(5), 1);
    ASSERT_EQ(g_LastLinkGroup[4].bLeft, 1);

    LoadPresetFile([](std::vector<BYTE>& image, DeviceSettingsArea&) {
        for (int k = 0; k < kOutputCount; ++k)
            image[std::size_t(OutputRecordOffset(k) + kGroupByte)] = k == 6 || k == 7 ? 1 : 0;
    });
    ASSERT_EQ(CLinkGroups::NumberOf(6), 1);
    ASSERT_EQ(CLinkGroups::NumberOf(7), 1);

    GroupClick(4);
    EXPECT_EQ(CLinkGroups::NumberOf(4), 2); // a group of its own
    EXPECT_TRUE(PumpUntil([&] { return Live(processor.Memory(), 4)[kGroupByte] == 2; }));

    // An edit of output 5 stays its own.
    const int gain6 = Out(6)->GetGain(), gain7 = Out(7)->GetGain();
    CNumEdit& gain = View()->GetStrip(4).m_editGain;
    Click(gain);
    gain.SendMessage(EM_SETSEL, 0, -1);
    Type("-50");
    platform::win::KeyInput(VK_RETURN);
    Pump();
    ASSERT_TRUE(PumpUntil([&] { return Le16(Live(processor.Memory(), 4) + kBasicBlockOffset + 2) == 100; }));
    const auto memory = processor.Memory();
    EXPECT_EQ(Le16(Live(memory, 6) + kBasicBlockOffset + 2), gain6);
    EXPECT_EQ(Le16(Live(memory, 7) + kBasicBlockOffset + 2), gain7);
    EXPECT_EQ(Out(6)->GetGain(), gain6);
    EXPECT_EQ(Out(7)->GetGain(), gain7);
}

} // namespace
