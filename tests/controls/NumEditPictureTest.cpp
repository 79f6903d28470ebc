// Numeric edits and spins as a page shows them, rendered in both languages
// into numedit_en.png and numedit_zh.png in the build folder, for a person
// to look at.

#include "TestResources.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/SharedGdiObjects.h"
#include "model/Globals.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Dialog.h"
#include "platform/win/Window.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kPanel = RGB(38, 44, 62);

class PanelDialog final : public CDialog {
public:
    CNumEdit gain, strip, delay, freq, phase;
    CNumSpin gainSpin, delaySpin, freqSpin;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 1000, gain);
        DDX_Control(dx, 1001, gainSpin);
        DDX_Control(dx, 1002, strip);
        DDX_Control(dx, 1003, delay);
        DDX_Control(dx, 1004, delaySpin);
        DDX_Control(dx, 1005, freq);
        DDX_Control(dx, 1006, freqSpin);
        DDX_Control(dx, 1007, phase);
    }
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT kind) {
        HBRUSH answer = CDialog::OnCtlColor(dc, wnd, kind);
        return kind == CTLCOLOR_DLG ? m_background.GetHandle() : answer;
    }
    DECLARE_MESSAGE_MAP()

private:
    CBrush m_background{kPanel};
};

BEGIN_MESSAGE_MAP(PanelDialog, CDialog)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

QImage RenderPanel(bool chinese) {
    platform::VirtualClock clock;
    TestResources res;
    res.AddBitmap(804, 93, 18, RGB(70, 80, 110));
    res.AddBitmap(805, 93, 18, RGB(200, 60, 60));
    res.AddBitmap(806, 93, 18, RGB(60, 120, 200));
    res.AddBitmap(807, 93, 18, RGB(60, 170, 90));
    res.AddDialog(733, "DIALOG 733 0 0 150 76\n"
                       "CONTROL 1000 Edit WS_VISIBLE 8 6 48 12 \"\"\n"
                       "CONTROL 1001 msctls_updown32 WS_VISIBLE|UDS_ARROWKEYS 58 6 9 12 \"\"\n"
                       "CONTROL 1002 Edit WS_VISIBLE 80 6 48 12 \"\"\n"
                       "CONTROL 1003 Edit WS_VISIBLE 8 24 62 12 \"\"\n"
                       "CONTROL 1004 msctls_updown32 UDS_ARROWKEYS 72 24 9 12 \"\"\n"
                       "CONTROL 1005 Edit WS_VISIBLE 8 42 48 12 \"\"\n"
                       "CONTROL 1006 msctls_updown32 WS_VISIBLE|UDS_ARROWKEYS 58 42 9 12 \"\"\n"
                       "CONTROL 1007 Edit WS_VISIBLE 80 42 48 12 \"\"\n");
    if (!g_fontNumEdit.GetSafeHandle())
        CreateSharedFonts();
    g_bChinese = chinese ? 1 : 0;
    PanelDialog dlg;
    EXPECT_TRUE(dlg.Create(733));
    for (CNumEdit* e : {&dlg.gain, &dlg.strip, &dlg.delay, &dlg.freq, &dlg.phase})
        e->SetFont(&g_fontNumEdit);
    dlg.gainSpin.SetBuddy(&dlg.gain);
    dlg.gainSpin.SetRange(0, 600);
    dlg.gain.SetStep(0.1);
    dlg.gain.SetOffset(60);
    dlg.gain.SetType(23, "");
    dlg.gainSpin.SetPos(20); // the off text
    dlg.strip.SetRange(0, 600);
    dlg.strip.SetStep(0.1);
    dlg.strip.SetOffset(60);
    dlg.strip.SetType(24, "");
    dlg.strip.SetValue(477);
    dlg.delaySpin.SetBuddy(&dlg.delay);
    dlg.delaySpin.SetRange(0, 384);
    dlg.delay.SetType(1, "CM");
    dlg.delaySpin.SetMode(2);
    dlg.delay.CreateSpin(2000);
    dlg.delay.GetSpinButton().SetBitmaps(804, 805, 806, 807);
    dlg.delay.AttachSpin(1004, &dlg.delaySpin);
    dlg.delay.SetReadOnly(TRUE);
    dlg.delaySpin.SetPos(48);
    dlg.freq.SetType(8, "");
    dlg.freqSpin.SetBuddy(&dlg.freq);
    dlg.freqSpin.SetRange(20, 20000);
    dlg.freqSpin.SetPos(1000);
    dlg.phase.SetRange(20, 200);
    dlg.phase.SetType(34, "");
    dlg.phase.SetValue(65);
    dlg.freq.SetFocus(); // highlighted
    QImage image = platform::win::RenderWindow(dlg.GetSafeHwnd());
    g_bChinese = 0;
    return image;
}

TEST(NumEditPicture, RendersEditsAndSpinsInBothLanguages) {
    const QString folder = QDir(QCoreApplication::applicationDirPath() + "/..").absolutePath();
    const QImage english = RenderPanel(false);
    const QImage chinese = RenderPanel(true);
    ASSERT_TRUE(english.save(folder + "/numedit_en.png"));
    ASSERT_TRUE(chinese.save(folder + "/numedit_zh.png"));
    // Only the off text differs between the languages.
    EXPECT_NE(english, chinese);
    EXPECT_EQ(english.copy(0, 40, english.width(), english.height() - 40),
              chinese.copy(0, 40, chinese.width(), chinese.height() - 40));
}

} // namespace
