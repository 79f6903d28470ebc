#include "PagesFixture.h"

#include "link/TALQ50View.h"
#include "pages/input/InputNoise.h"

namespace pagestest {
namespace {

class InputNoiseTest : public PagesFixture {
protected:
    void SetUp() override {
        PagesFixture::SetUp();
        g_bSysBlock5Pending = 0;
        m_view.m_bConnected = 1;
    }
    void TearDown() override {
        m_dlg.reset();
        g_bSysBlock5Pending = 0;
        PagesFixture::TearDown();
    }
    void Open(int byte3, int byte7) {
        g_DeviceSettings.SystemData[3] = BYTE(byte3);
        g_DeviceSettings.SystemData[7] = BYTE(byte7);
        m_dlg = std::make_unique<CInputNoise>(); // a new object for every showing
        m_dlg->m_pView = &m_view;
        ASSERT_TRUE(m_dlg->Create(CInputNoise::IDD));
    }

    SolidPictures m_pictures;
    CTALQ50View m_view;
    std::unique_ptr<CInputNoise> m_dlg;
};

TEST_F(InputNoiseTest, OpensOnWhatTheProcessorIsSent) {
    // (byte 3, byte 7) -> text; while byte 7 is 0 the frame carries off.
    const std::tuple<int, int, const char*> cases[] = {
        {55, 0, "OFF"},  {55, 55, "-65.0dB"}, {0, 20, "OFF"},      {10, 10, "OFF"},
        {19, 19, "OFF"}, {21, 21, "-99.0dB"}, {80, 80, "-40.0dB"}, {200, 200, "-40.0dB"},
    };
    for (const auto& [byte3, byte7, text] : cases) {
        Open(byte3, byte7);
        EXPECT_EQ(m_dlg->m_edit.GetWindowText(), text) << byte3 << "/" << byte7;
        EXPECT_EQ(g_DeviceSettings.SystemData[3], byte3); // nothing stored by opening
        EXPECT_EQ(g_bSysBlock5Pending, 0);
    }
    EXPECT_TRUE(m_boxes.Entries().empty());
    EXPECT_EQ(m_dlg->GetWindowText(), "Input noise threshold set");
    g_bChinese = 1;
    Open(0, 0);
    EXPECT_EQ(m_dlg->m_edit.GetWindowText(), "关闭");
    EXPECT_EQ(m_dlg->GetWindowText(), "噪声门限设置");
}

TEST_F(InputNoiseTest, CommitsStoreBothBytesAndRequestTheSystemData) {
    struct Case {
        int byte3, byte7;
        const char* typed;
        int stored3, stored7;
        bool requested;
    } cases[] = {
        {55, 55, "OFF", 0, 20, true},    {55, 55, "-120", 0, 20, true}, {55, 55, "-99.5", 0, 20, true},
        {55, 55, "-60.5", 59, 59, true}, {55, 55, "-30", 80, 80, true}, {55, 55, "-65", 55, 55, false},
        {0, 20, "OFF", 0, 20, true},  // off again is applied again
        {55, 0, "-65", 55, 55, true}, // the processor was sent off: -65 now goes out
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Open(c.byte3, c.byte7);
        g_bSysBlock5Pending = 0;
        Type(m_dlg->m_edit, c.typed);
        Pump();
        EXPECT_EQ(g_DeviceSettings.SystemData[3], c.stored3);
        EXPECT_EQ(g_DeviceSettings.SystemData[7], c.stored7);
        EXPECT_EQ(g_bSysBlock5Pending, c.requested ? 1 : 0);
        EXPECT_TRUE(m_dlg->GetSafeHwnd()); // Enter keeps it open
    }
    // Escape commits too; without a connected device nothing is requested.
    m_view.m_bConnected = 0;
    Open(55, 55);
    Type(m_dlg->m_edit, "-50", VK_ESCAPE);
    EXPECT_EQ(g_DeviceSettings.SystemData[3], 70);
    EXPECT_EQ(g_bSysBlock5Pending, 0);
    EXPECT_TRUE(m_dlg->GetSafeHwnd());
}

TEST_F(InputNoiseTest, ArrowKeysStepOneDecibelAndApplyAtOnce) {
    // (byte 3, byte 7, key) -> bytes after the step and the text.
    const std::tuple<int, int, UINT, int, int, const char*> cases[] = {
        {55, 55, VK_UP, 56, 56, "-64.0dB"},
        {55, 55, VK_DOWN, 54, 54, "-66.0dB"},
        {55, 0, VK_UP, 21, 21, "-99.0dB"}, // shown off: the step starts there
        {21, 21, VK_DOWN, 0, 20, "OFF"},
    };
    for (const auto& [byte3, byte7, key, stored3, stored7, text] : cases) {
        SCOPED_TRACE(text);
        Open(byte3, byte7);
        g_bSysBlock5Pending = 0;
        m_dlg->m_edit.SetFocus();
        platform::win::KeyInput(key);
        Pump();
        EXPECT_EQ(g_DeviceSettings.SystemData[3], stored3);
        EXPECT_EQ(g_DeviceSettings.SystemData[7], stored7);
        EXPECT_EQ(m_dlg->m_edit.GetWindowText(), text);
        EXPECT_EQ(g_bSysBlock5Pending, 1);
    }
}

TEST_F(InputNoiseTest, PicturesInBothLanguages) {
    m_pictures.real = true;
    for (int chinese : {1, 0}) {
        g_bChinese = chinese;
        Open(55, 55);
        const QImage image = platform::win::RenderWindow(m_dlg->GetSafeHwnd());
        ASSERT_TRUE(image.save(PngPath(chinese ? "noise_gate_zh.png" : "noise_gate_en.png")));
    }
}

} // namespace
} // namespace pagestest
