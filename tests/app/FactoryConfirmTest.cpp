// The factory restore as the system menu starts it, in the whole program:
// the confirmation, the message without a link and the restore one second
// later.

#include "app/INIT.h"
#include "link/NetLink.h"
#include "model/DataDefine.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ShellFixture.h"

#include <QTimer>

namespace {

class FactoryConfirm : public apptest::AppFixture {
protected:
    // Chooses the menu item and answers the confirmation with `button`.
    void Confirm(int button, CString* caption = nullptr) {
        QTimer::singleShot(0, [=] {
            CWnd* focus = CWnd::GetFocus();
            CWnd* top = focus ? focus->GetTopLevelParent() : nullptr;
            ASSERT_NE(dynamic_cast<CINIT*>(top), nullptr);
            if (caption)
                *caption = top->GetWindowText();
            top->PostMessage(WM_COMMAND, WPARAM(button), 0);
        });
        View()->SendMessage(WM_COMMAND, 32779, 0);
    }
    CString DataFile() const { return documents + "/Default_Data_K3Q7.bdfa"; }
    static CString LiveName() {
        CModelLock lock(true);
        return BytesToString(g_DeviceImage, kPresetNameSize);
    }
};

TEST_F(FactoryConfirm, OfflineTheBoxShowsAndTheFormIsRestoredASecondLater) {
    ASSERT_TRUE(Start());
    {
        CModelLock lock(true);
        StringToBytesZ(g_DeviceImage, kPresetNameSize, "Mine");
    }
    CString caption;
    Confirm(IDOK, &caption);
    EXPECT_EQ(caption, "Restore factory settings");
    ASSERT_EQ(boxes->Entries().size(), 1u);
    EXPECT_EQ(boxes->Entries()[0].text, "No connection can be opened");
    EXPECT_EQ(boxes->Entries()[0].helpId, 2000);
    EXPECT_EQ(LiveName(), "Mine") << "the restore waits a second";
    EXPECT_FALSE(QFile::exists(QString::fromStdString(DataFile())));
    clock->Advance(1000);
    Pump();
    EXPECT_TRUE(QFile::exists(QString::fromStdString(DataFile())));
    EXPECT_NE(LiveName(), "Mine");
    EXPECT_EQ(g_bNameCheckPending, 1);
}

TEST_F(FactoryConfirm, TwoConfirmationsWithinASecondGiveOneRestoreASecondAfterTheSecond) {
    ASSERT_TRUE(Start());
    // Each ping tick sleeps on the test's clock from its own thread; time
    // must move only where this test moves it.
    ASSERT_NE(View()->GetLink().GetNetLink(), nullptr);
    View()->GetLink().GetNetLink()->StopPing(1);
    const auto setLiveName = [](const char* name) {
        CModelLock lock(true);
        StringToBytesZ(g_DeviceImage, kPresetNameSize, name);
    };
    setLiveName("Mine");
    Confirm(IDOK);
    clock->Advance(600);
    Pump();
    Confirm(IDOK);
    clock->Advance(600);
    Pump();
    EXPECT_EQ(LiveName(), "Mine") << "the second confirmation starts the second anew";
    clock->Advance(400);
    Pump();
    ASSERT_NE(LiveName(), "Mine");
    setLiveName("Mine");
    clock->Advance(3000);
    Pump();
    EXPECT_EQ(LiveName(), "Mine") << "one restore only";
}

TEST_F(FactoryConfirm, CancelDoesNothing) {
    ASSERT_TRUE(Start());
    Confirm(IDCANCEL);
    clock->Advance(2000);
    Pump();
    EXPECT_TRUE(boxes->Entries().empty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(DataFile())));
}

TEST_F(FactoryConfirm, TheConfirmationInBothLanguages) {
    apptest::SolidPictures pictures(false);
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        CINIT dialog;
        ASSERT_TRUE(dialog.Create(CINIT::IDD));
        dialog.ShowWindow(SW_SHOW);
        EXPECT_EQ(dialog.GetDlgItem(2855)->GetWindowText(), chinese ? "警告!" : "Warning! ");
        EXPECT_EQ(dialog.GetDlgItem(IDCANCEL)->GetWindowText(), chinese ? "取消" : "Quit");
        EXPECT_TRUE(apptest::SavePicture(dialog.GetSafeHwnd(),
                                         chinese ? "restore_factory_zh.png" : "restore_factory_en.png"));
    }
    g_bChinese = 0;
}

} // namespace
