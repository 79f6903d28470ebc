// The about box: the processor's version line before and after it answered,
// the software's version by language, and the one button that closes it.

#include "app/VersionDlg.h"
#include "model/Globals.h"
#include "platform/sys/MessageBox.h"
#include "platform/win/Input.h"
#include "tests/app/ShellFixture.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QTimer>

#include <cstring>
#include <functional>

namespace {

class VersionDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_bChinese = 0;
        std::memset(g_DeviceSettings.VersionLabel, 0, sizeof g_DeviceSettings.VersionLabel);
    }
    void TearDown() override {
        g_bChinese = 0;
        std::memset(g_DeviceSettings.VersionLabel, 0, sizeof g_DeviceSettings.VersionLabel);
    }
    void SetLabel(const char* bytes, std::size_t n) {
        std::memset(g_DeviceSettings.VersionLabel, 0, sizeof g_DeviceSettings.VersionLabel);
        std::memcpy(g_DeviceSettings.VersionLabel, bytes, n);
    }
    void Open() {
        dialog = std::make_unique<CVersionDlg>();
        ASSERT_TRUE(dialog->Create(CVersionDlg::IDD));
        dialog->ShowWindow(SW_SHOW);
        platform::PumpMessages();
    }
    CString Text(UINT id) { return dialog->GetDlgItem(int(id))->GetWindowText(); }

    std::unique_ptr<CVersionDlg> dialog;
};

TEST_F(VersionDlgTest, TheDeviceLineIsThePrefixUntilTheProcessorAnswersThenItsTrimmedLabel) {
    struct Case {
        const char* bytes;
        std::size_t size;
        const char* line;
    };
    const Case cases[] = {
        {"", 0, "Device version "},
        {"KWEX-DV1.00", 11, "Device version KWEX-DV1.00"},
        {"  KWEX-DV1 ", 11, "Device version KWEX-DV1"},
        {"KWEX\0DV1.00", 11, "Device version KWEX"},
        // All twelve bytes set: only the first eleven belong to the label.
        {"KWEX-DV1.00X", 12, "Device version KWEX-DV1.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        SetLabel(c.bytes, c.size);
        Open();
        EXPECT_EQ(Text(CVersionDlg::kDeviceLabel), c.line);
        EXPECT_EQ(Text(CVersionDlg::kSoftwareLabel), "Software version KWEN-DV1.03");
        EXPECT_EQ(Text(CVersionDlg::kBlankLabel), "");
    }
}

TEST_F(VersionDlgTest, TextsFollowTheLanguage) {
    struct Case {
        int chinese;
        const char *caption, *button, *device, *software, *notice;
    };
    const Case cases[] = {
        {1, "关于", "退出", "设备版本 KWEX-DV1.00", "软件版本 KWEN-DV1.03", "版权所有 © KAVRO-TUNE"},
        {0, "About", "Quit", "Device version KWEX-DV1.00", "Software version KWEN-DV1.03",
         "Copyright © KAVRO-TUNE"},
    };
    SetLabel("KWEX-DV1.00", 11);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        g_bChinese = c.chinese;
        Open();
        EXPECT_EQ(dialog->GetWindowText(), c.caption);
        EXPECT_EQ(Text(CVersionDlg::kQuitButton), c.button);
        EXPECT_EQ(Text(CVersionDlg::kDeviceLabel), c.device);
        EXPECT_EQ(Text(CVersionDlg::kSoftwareLabel), c.software);
        EXPECT_EQ(Text(CVersionDlg::kNoticeLabel), c.notice);
    }
}

TEST_F(VersionDlgTest, TheButtonEnterAndEscapeEndTheModalRun) {
    struct Case {
        const char* name;
        std::function<void()> act;
        INT_PTR result;
    };
    const auto click = [] {
        const HWND button =
            CWnd::GetFocus()->GetTopLevelParent()->GetDlgItem(CVersionDlg::kQuitButton)->GetSafeHwnd();
        platform::win::MouseInput(button, WM_LBUTTONDOWN, {4, 4});
        platform::win::MouseInput(button, WM_LBUTTONUP, {4, 4});
        platform::win::MouseLeftWindows();
    };
    const Case cases[] = {
        {"button", click, IDOK},
        {"Enter", [] { platform::win::KeyInput(VK_RETURN); }, IDOK},
        {"Escape", [] { platform::win::KeyInput(VK_ESCAPE); }, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVersionDlg modal;
        QTimer::singleShot(0, c.act);
        // A key that does nothing fails the case instead of hanging it.
        QObject guard;
        QTimer::singleShot(2000, &guard, [&modal] { modal.EndDialog(-1); });
        EXPECT_EQ(modal.DoModal(), c.result);
    }
}

TEST_F(VersionDlgTest, ThePictureIsDrawnInItsFrame) {
    apptest::SolidPictures pictures;
    Open();
    EXPECT_EQ(apptest::CentreOf(*dialog, *dialog->GetDlgItem(CVersionDlg::kPicture)),
              apptest::SolidPictures::ColorOf(CVersionDlg::kPictureBitmap));
}

TEST_F(VersionDlgTest, PicturesInBothLanguages) {
    SetLabel("KWEX-DV1.00", 11);
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        Open();
        EXPECT_TRUE(apptest::SavePicture(dialog->GetSafeHwnd(),
                                         chinese ? "version_dialog_zh.png" : "version_dialog_en.png"));
    }
}

} // namespace
