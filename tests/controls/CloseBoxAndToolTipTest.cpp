#include "TestResources.h"
#include "platform/sys/MessageBox.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"
#include "platform/win/ToolTipCtrl.h"

#include <gtest/gtest.h>

namespace {

// Presses the close box (a posted system command) once it is up, and
// records how the dialog ended.
class ClosingDialog final : public CDialog {
public:
    explicit ClosingDialog(bool endAsOk) : CDialog(740, nullptr), m_bEndAsOk(endAsOk) {}

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        return TRUE;
    }
    LRESULT OnSysCommand(WPARAM command, LPARAM lParam) {
        if (m_bEndAsOk && (command & 0xFFF0) == SC_CLOSE) {
            CDialog::OnOK();
            return 0;
        }
        return DefWindowProc(WM_SYSCOMMAND, command, lParam);
    }
    DECLARE_MESSAGE_MAP()

private:
    bool m_bEndAsOk;
};

BEGIN_MESSAGE_MAP(ClosingDialog, CDialog)
ON_MESSAGE(WM_SYSCOMMAND, &ClosingDialog::OnSysCommand)
END_MESSAGE_MAP()

TEST(CloseBox, EndsADialogAsCancelUnlessTheDialogTakesTheCommand) {
    TestResources res;
    res.AddDialog(740, "DIALOG 740 0 0 120 60\nSTYLE WS_POPUP|WS_CAPTION|WS_SYSMENU\n");
    ClosingDialog plain(false);
    EXPECT_EQ(plain.DoModal(), IDCANCEL);
    ClosingDialog asOk(true);
    EXPECT_EQ(asOk.DoModal(), IDOK);
}

TEST(TemplateFont, SystemHasFixedBaseUnits) {
    TestResources res;
    res.AddDialog(741, "DIALOG 741 0 0 445 249\nFONT 10 \"System\"\n");
    CDialog dlg(741);
    ASSERT_TRUE(dlg.Create(741));
    // The template sizes the client area; the frame goes around it.
    CRect r;
    dlg.GetClientRect(&r);
    EXPECT_EQ(r.Width(), 890);
    EXPECT_EQ(r.Height(), 498);
}

TEST(ToolTip, ShowsTheTextOfTheToolUnderTheMouse) {
    TestResources res;
    res.AddDialog(742, "DIALOG 742 0 0 200 100\n"
                       "CONTROL 10 Static WS_VISIBLE 5 5 40 10 \"\"\n"
                       "CONTROL 11 Static WS_VISIBLE 5 25 40 10 \"\"\n"
                       "CONTROL 12 Static WS_VISIBLE 5 45 40 10 \"\"\n");
    CDialog dlg(742);
    ASSERT_TRUE(dlg.Create(742));
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&dlg));
    tip.AddTool(dlg.GetDlgItem(10), "RCA In1");
    tip.AddTool(dlg.GetDlgItem(11), "AUX2");
    tip.AddTool(dlg.GetDlgItem(11), "AUX3"); // the same tool again takes the new text
    EXPECT_EQ(tip.GetToolCount(), 2);
    CString text;
    tip.GetText(text, dlg.GetDlgItem(11));
    EXPECT_EQ(text, "AUX3");
    tip.GetText(text, dlg.GetDlgItem(12));
    EXPECT_EQ(text, "");

    MSG move{dlg.GetDlgItem(10)->GetSafeHwnd(), WM_MOUSEMOVE, 0, 0, 0};
    tip.RelayEvent(&move);
    EXPECT_EQ(tip.GetShownTool(), dlg.GetDlgItem(10)->GetSafeHwnd());
    MSG click{dlg.GetDlgItem(11)->GetSafeHwnd(), WM_LBUTTONDOWN, 0, 0, 0};
    tip.RelayEvent(&click); // only moves count
    EXPECT_EQ(tip.GetShownTool(), dlg.GetDlgItem(10)->GetSafeHwnd());
    MSG off{dlg.GetDlgItem(12)->GetSafeHwnd(), WM_MOUSEMOVE, 0, 0, 0};
    tip.RelayEvent(&off);
    EXPECT_EQ(tip.GetShownTool(), nullptr);

    tip.Create(&dlg); // made again: no tools
    EXPECT_EQ(tip.GetToolCount(), 0);
}

} // namespace
