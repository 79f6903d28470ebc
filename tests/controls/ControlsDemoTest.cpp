// Renders a dialog of every control of the kit, skinned with the pictures of
// tests/data/controls, into controls_demo_en.png and controls_demo_zh.png in
// the build folder, for a person to look at.

#include "controls/BaseTabCtrl.h"
#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/BtnPng.h"
#include "controls/ButtonRadio.h"
#include "controls/ChEnEdit.h"
#include "controls/ComBoxBtn.h"
#include "controls/ComboGridCtrl.h"
#include "controls/EnTabCtrl.h"
#include "controls/FontStatic.h"
#include "controls/GradientProgressCtrl.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/SharedGdiObjects.h"
#include "controls/TransparentStatic.h"
#include "controls/XPButton.h"
#include "model/Globals.h"
#include "platform/res/Resources.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"
#include "platform/win/PaintDC.h"
#include "platform/win/Window.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPainter>

#include <gtest/gtest.h>

#include <map>

namespace {

// Bitmaps 100.., PNG pictures 200.. and the dialog 800, from the SVG
// sources of tests/data/controls; everything else is the program's own.
class DemoResources final : public platform::res::ResourceProvider {
public:
    explicit DemoResources(QString folder) : m_folder(std::move(folder)) {
        m_previous = platform::res::InstallProvider(this);
    }
    ~DemoResources() override { platform::res::InstallProvider(m_previous); }

    std::optional<QImage> Bitmap(UINT id) override {
        static const std::map<UINT, const char*> files = {
            {100, "button_normal"},   {101, "button_hover"},          {102, "button_pressed"},
            {103, "button_selected"}, {104, "button_selected_hover"}, {105, "button_selected_pressed"},
            {106, "button_disabled"}, {110, "slider_channel"},        {111, "slider_channel_active"},
            {112, "slider_thumb"},    {113, "slider_thumb_active"},   {120, "car_plan"},
            {130, "dropdown_normal"}, {131, "dropdown_hover"},        {140, "spin_normal"},
            {141, "spin_left"},       {142, "spin_active"},           {143, "spin_right"},
        };
        auto it = files.find(id);
        if (it == files.end())
            return m_program.Bitmap(id);
        const QImage picture = Picture(it->second);
        QImage opaque(picture.size(), QImage::Format_RGB32);
        opaque.fill(Qt::black);
        QPainter(&opaque).drawImage(0, 0, picture);
        return opaque;
    }
    std::optional<QByteArray> Data(UINT id, const CString& type) override {
        static const char* const files[] = {"speaker_normal",        "speaker_hover",
                                            "speaker_pressed",       "speaker_checked",
                                            "speaker_checked_hover", "speaker_checked_pressed"};
        if (type != "PNG" || id < 200 || id >= 206)
            return m_program.Data(id, type);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        Picture(files[id - 200]).save(&buffer, "PNG");
        return png;
    }
    std::optional<platform::res::CursorImage> Cursor(UINT id) override { return m_program.Cursor(id); }
    std::optional<CString> String(UINT id) override { return m_program.String(id); }
    std::optional<CString> Source(UINT id, const CString& kind) override {
        if (kind != "DIALOG" || id != 800)
            return m_program.Source(id, kind);
        // Dialog units; the hidden static 1700 marks where the plan is painted.
        return CString("DIALOG 800 0 0 330 462\n"
                       "CAPTION \"KAVRO-TUNE controls\"\n"
                       "CONTROL 1101 Button WS_VISIBLE|WS_TABSTOP 10 34 54 16 \"Mute\"\n"
                       "CONTROL 1102 Button WS_VISIBLE|WS_TABSTOP 10 56 54 16 \"Phase\"\n"
                       "CONTROL 1103 Button WS_VISIBLE|WS_TABSTOP 10 78 54 16 \"Bypass\"\n"
                       "CONTROL 1104 Button WS_VISIBLE|WS_TABSTOP|WS_DISABLED 10 100 54 16 \"Link\"\n"
                       "CONTROL 1201 Static WS_VISIBLE|SS_CENTER 80 30 30 10 \"Gain\"\n"
                       "CONTROL 1202 Static WS_VISIBLE|SS_CENTER 118 30 30 10 \"Level\"\n"
                       "CONTROL 1301 Static WS_VISIBLE 88 42 16 98 \"\"\n"
                       "CONTROL 1302 Static WS_VISIBLE 126 42 16 98 \"\"\n"
                       "CONTROL 1401 Edit WS_VISIBLE|WS_BORDER|ES_CENTER 80 146 30 12 \"-6.0\"\n"
                       "CONTROL 1402 Edit WS_VISIBLE|WS_BORDER|ES_CENTER 118 146 30 12 \"100\"\n"
                       "CONTROL 1500 Static WS_VISIBLE|SS_CENTER 182 30 120 10 \"Speaker positions\"\n"
                       "CONTROL 1501 Button WS_VISIBLE 211 50 24 24 \"\"\n"
                       "CONTROL 1502 Button WS_VISIBLE 253 50 24 24 \"\"\n"
                       "CONTROL 1503 Button WS_VISIBLE 211 132 24 24 \"\"\n"
                       "CONTROL 1504 Button WS_VISIBLE 253 132 24 24 \"\"\n"
                       "CONTROL 1505 Button WS_VISIBLE 232 92 24 24 \"\"\n"
                       "CONTROL 1700 Static SS_LEFT 182 42 120 124 \"\"\n"
                       "CONTROL 1601 Button WS_VISIBLE|BS_AUTORADIOBUTTON 10 172 40 12 \"Left\"\n"
                       "CONTROL 1602 Button WS_VISIBLE|BS_AUTORADIOBUTTON 54 172 40 12 \"Right\"\n"
                       "CONTROL 1603 Button WS_VISIBLE|BS_AUTOCHECKBOX 10 188 80 12 \"Link outputs\"\n"
                       "CONTROL 1801 Static WS_VISIBLE 182 174 60 10 \"Preset name\"\n"
                       "CONTROL 1802 Edit WS_VISIBLE|WS_BORDER|WS_TABSTOP 182 186 120 13 \"\"\n"
                       "CONTROL 1900 SysTabControl32 WS_VISIBLE 6 4 318 22 \"\"\n"
                       // The second half of the kit.
                       "CONTROL 2001 Button WS_VISIBLE|BS_OWNERDRAW 10 220 54 18 \"\"\n"
                       "CONTROL 2002 Button WS_VISIBLE|BS_OWNERDRAW 66 220 54 18 \"\"\n"
                       "CONTROL 2003 Button WS_VISIBLE|BS_OWNERDRAW 122 220 54 18 \"\"\n"
                       "CONTROL 2010 Button WS_VISIBLE 250 222 66 14 \"\"\n"
                       "CONTROL 2101 Edit WS_VISIBLE 10 248 48 12 \"\"\n"
                       "CONTROL 2102 msctls_updown32 WS_VISIBLE|UDS_ARROWKEYS 60 248 9 12 \"\"\n"
                       "CONTROL 2103 Edit WS_VISIBLE 80 248 62 12 \"\"\n"
                       "CONTROL 2104 msctls_updown32 UDS_ARROWKEYS 144 248 9 12 \"\"\n"
                       "CONTROL 2105 Edit WS_VISIBLE 160 248 48 12 \"\"\n"
                       "CONTROL 2106 msctls_updown32 WS_VISIBLE|UDS_ARROWKEYS 210 248 9 12 \"\"\n"
                       "CONTROL 2201 msctls_progress32 WS_VISIBLE 10 272 230 8 \"\"\n"
                       "CONTROL 2202 msctls_progress32 WS_VISIBLE 10 284 230 8 \"\"\n"
                       "CONTROL 2203 msctls_progress32 WS_VISIBLE 10 296 230 10 \"\"\n"
                       "CONTROL 2301 Static WS_VISIBLE 10 309 100 10 \"\"\n"
                       "CONTROL 2302 Static WS_VISIBLE|SS_CENTERIMAGE 110 309 130 10 \"\"\n"
                       // The preset grid.
                       "CONTROL 2724 MFCGridCtrl WS_VISIBLE 10 338 310 118 \"\"\n"
                       // The page frame around the grid, as the main view frames its page.
                       "CONTROL 1368 SysTabControl32 WS_VISIBLE 4 322 322 138 \"\"\n");
    }

private:
    QImage Picture(const char* name) {
        QFile file(m_folder + "/" + name + ".svg");
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return platform::res::RenderSvg(file.readAll());
    }

    QString m_folder;
    platform::res::ProgramResources m_program;
    platform::res::ResourceProvider* m_previous = nullptr;
};

// The tab strip of the demo, drawn by the tab base in mode 2.
class DemoTab final : public CBaseTabCtrl {
public:
    DemoTab() : CBaseTabCtrl(2) {}
    static constexpr const char* kNames[] = {"Outputs", "Inputs", "Mixer", "Lock"};

    void DrawItem(LPDRAWITEMSTRUCT dis) override {
        CDC* dc = CDC::FromHandle(dis->hDC);
        const BOOL selected = (dis->itemState & ODS_SELECTED) != 0;
        dc->FillSolidRect(&dis->rcItem, GetTabColor(selected));
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(GetTabTextColor(selected));
        CRect text = dis->rcItem;
        dc->DrawText(kNames[dis->itemID], &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    void DrawItemBorder(LPDRAWITEMSTRUCT dis) override {
        CBrush frame(RGB(122, 127, 153));
        CDC::FromHandle(dis->hDC)->FrameRect(&dis->rcItem, &frame);
    }
    void DrawMainBorder(LPDRAWITEMSTRUCT dis) override {
        CDC* dc = CDC::FromHandle(dis->hDC);
        dc->FillSolidRect(&dis->rcItem, RGB(250, 250, 252));
        CBrush frame(RGB(122, 127, 153));
        dc->FrameRect(&dis->rcItem, &frame);
    }
    COLORREF GetTabColor(BOOL selected) override {
        return selected ? RGB(250, 250, 252) : RGB(201, 204, 220);
    }
    COLORREF GetTabTextColor(BOOL selected) override { return selected ? RGB(196, 96, 12) : RGB(60, 66, 87); }
};

class DemoDialog final : public CDialog {
public:
    DemoDialog() : CDialog(800) {}

    DemoTab tab;
    CBitButton buttons[4];
    CBitmapSlider sliders[2];
    CNumEdit values[2];
    CBtnPng speakers[5];
    CButtonRadio radios[3];
    CChEnEdit name;
    CXPButton xp[3];
    CComBoxBtn dropDown;
    CNumEdit gain, delay, freq;
    CNumSpin gainSpin, delaySpin, freqSpin;
    CGradientProgressCtrl bars[3];
    CFontStatic bandLabel;
    CTransparentStatic statusLabel;
    CEnTabCtrl frame;
    CComboGridCtrl presets;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 1900, tab);
        for (int i = 0; i < 4; ++i)
            DDX_Control(dx, 1101 + i, buttons[i]);
        for (int i = 0; i < 2; ++i) {
            DDX_Control(dx, 1301 + i, sliders[i]);
            DDX_Control(dx, 1401 + i, values[i]);
        }
        for (int i = 0; i < 5; ++i)
            DDX_Control(dx, 1501 + i, speakers[i]);
        for (int i = 0; i < 3; ++i)
            DDX_Control(dx, 1601 + i, radios[i]);
        DDX_Control(dx, 1802, name);
        for (int i = 0; i < 3; ++i) {
            DDX_Control(dx, 2001 + i, xp[i]);
            DDX_Control(dx, 2201 + i, bars[i]);
        }
        DDX_Control(dx, 2010, dropDown);
        DDX_Control(dx, 2101, gain);
        DDX_Control(dx, 2102, gainSpin);
        DDX_Control(dx, 2103, delay);
        DDX_Control(dx, 2104, delaySpin);
        DDX_Control(dx, 2105, freq);
        DDX_Control(dx, 2106, freqSpin);
        DDX_Control(dx, 2301, bandLabel);
        DDX_Control(dx, 2302, statusLabel);
        DDX_Control(dx, 1368, frame);
        DDX_GridCtrl(dx, 2724, presets);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        for (int i = 0; i < 4; ++i)
            tab.InsertItem(i, DemoTab::kNames[i]);
        tab.SetItemSize(CSize(84, 24));
        tab.SetBkgndColor(RGB(227, 228, 238));
        for (CBitButton& b : buttons) {
            b.SetBitmaps(100, 101, 102, 103, 104, 105);
            b.SetDisabledBitmaps(106, 106);
            b.SetTextColors(RGB(255, 255, 255), RGB(255, 255, 255), RGB(220, 220, 220), RGB(60, 30, 0),
                            RGB(60, 30, 0), RGB(255, 255, 255));
            b.SetDisabledTextColor(RGB(110, 112, 124));
        }
        buttons[0].SetSelected(TRUE);
        for (int i = 0; i < 2; ++i) {
            sliders[i].SetBitmapChannel(110, 111, FALSE, 0, 0, 0);
            sliders[i].SetBitmapThumb(112, 113, TRUE, CBitmapSlider::kMaskFromPixel, 0, 0);
            sliders[i].SetRange(0, 100);
            sliders[i].SetMargin(0, 4, 0, 4);
            sliders[i].SetBuddy(&values[i]);
        }
        sliders[0].SetPos(70);
        sliders[1].SetValueKind(33);
        sliders[1].SetPos(35);
        sliders[1].SetFocusMark(TRUE);
        for (CBtnPng& s : speakers) {
            s.SetImages(200, 201, 202);
            s.SetCheckedImages(203, 204, 205);
        }
        speakers[0].SetChecked(TRUE);
        speakers[4].SetChecked(TRUE);
        radios[0].SetCheck(BST_CHECKED);
        radios[2].SetCheck(BST_CHECKED);
        name.SetWindowText("Club 低音");
        InitSecondHalf();
        InitPresetGrid();
        return TRUE;
    }
    // The device preset dialog's table, preset 3 focused.
    void InitPresetGrid() {
        const bool zh = g_bChinese != 0;
        presets.SetRowCount(7);
        presets.SetColumnCount(2);
        presets.SetFixedRowCount(1);
        presets.SetFixedColumnCount(1);
        presets.SetColumnWidth(1, 380);
        presets.SetSingleRowSelection(TRUE);
        presets.SetEditable(FALSE);
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 2; ++col) {
                GRID_ITEM item;
                item.mask = GIF_TEXT | GIF_FORMAT;
                item.row = row;
                item.col = col;
                item.nFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
                presets.SetItemValidated(&item);
            }
        presets.SetGridColor(RGB(51, 153, 255));
        presets.SetFont(&g_fontNumEdit);
        presets.SetItemText(0, 0, zh ? "序号" : "No.");
        presets.SetItemText(0, 1, zh ? "场景名" : "Preset");
        const char* names[] = {"Concert Hall", "俱乐部 Club", "Karaoke", "", "Jazz", "Outdoor"};
        for (int row = 1; row <= 6; ++row) {
            presets.SetItemText(row, 0, std::to_string(row));
            presets.SetItemText(row, 1, names[row - 1]);
        }
        presets.SetSelectedRange(3, 1, 3, 1);
        presets.SetFocusCell(3, 1);
    }
    void InitSecondHalf() {
        const bool zh = g_bChinese != 0;
        // Menu-like hover buttons: checked, checked under the mouse, unchecked.
        for (CXPButton& b : xp)
            b.SetBitmaps(103, 104, 105, 100, 101, 102);
        xp[2].SetCheck(0);

        dropDown.SetBitmap(130, 131);
        dropDown.CreateDropList(this, 1015);
        dropDown.ResetContent();
        for (const char* entry :
             zh ? std::vector<const char*>{"林克维茨", "巴特沃斯", "贝塞尔", "关闭", "旁路"}
                : std::vector<const char*>{"Linkwitz-Riley", "Butterworth", "Bessel", "Off", "Bypass"})
            dropDown.AddString(entry);
        dropDown.SetUserFlag(1);
        dropDown.SetCurSel(1);

        for (CNumEdit* e : {&gain, &delay, &freq})
            e->SetFont(&g_fontNumEdit);
        gainSpin.SetBuddy(&gain);
        gainSpin.SetRange(0, 600);
        gain.SetStep(0.1);
        gain.SetOffset(60);
        gain.SetType(23, "");
        gainSpin.SetPos(20); // the off text
        delaySpin.SetBuddy(&delay);
        delaySpin.SetRange(0, 384);
        delay.SetType(1, "CM");
        delaySpin.SetMode(2);
        delay.CreateSpin(2000);
        delay.GetSpinButton().SetBitmaps(140, 141, 142, 143);
        delay.AttachSpin(2104, &delaySpin);
        delay.SetReadOnly(TRUE);
        delaySpin.SetPos(48);
        freq.SetType(8, "");
        freqSpin.SetBuddy(&freq);
        freqSpin.SetRange(20, 20000);
        freqSpin.SetPos(1000);

        const int percent[] = {0, 50, 100};
        for (int i = 0; i < 3; ++i) {
            bars[i].SetRange(0, 200);
            bars[i].SetPos(percent[i] * 2);
        }
        bars[2].SetShowPercent(1);
        bars[1].SetShowPercent(1);

        // The output page marks its current band in red.
        bandLabel.SetFontStyle("Arial", 14, RGB(255, 0, 0), 0x01);
        bandLabel.SetText(zh ? "频段 5" : "Band 5");
        statusLabel.SetText(zh ? "正在写入第 12 块" : "Writing block 12");

        // The main view's page frame, here around the grid.
        frame.SetBkgndColor(RGB(227, 228, 238));
        frame.EnableDraw(2);
        CEnTabCtrl::EnableDraw(0x1F, 0x1F);
        frame.Invalidate();
    }
    BOOL OnEraseBkgnd(CDC* dc) {
        CRect client;
        GetClientRect(&client);
        dc->FillRect(&client, &g_brDlgBk);
        // The plan the speaker positions stand on, as a page paints its skin.
        CRect plan;
        GetDlgItem(1700)->GetWindowRect(&plan);
        ScreenToClient(&plan);
        // Dark strips under the numeric edits, as the pages show them.
        for (UINT first : {1401u, 2101u}) {
            CRect strip;
            GetDlgItem(int(first))->GetWindowRect(&strip);
            ScreenToClient(&strip);
            strip.InflateRect(6, 5);
            strip.right = first == 1401 ? strip.left + 118 : strip.left + 336;
            dc->FillSolidRect(&strip, RGB(38, 44, 62));
        }
        CBitmap picture;
        if (picture.LoadBitmap(120)) {
            CDC memory;
            memory.CreateCompatibleDC(dc);
            CBitmap* old = memory.SelectObject(&picture);
            dc->StretchBlt(plan.left, plan.top, plan.Width(), plan.Height(), &memory, 0, 0, 180, 200,
                           SRCCOPY);
            memory.SelectObject(old);
        }
        return TRUE;
    }
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT kind) {
        HBRUSH answer = CDialog::OnCtlColor(dc, wnd, kind);
        if (kind == CTLCOLOR_STATIC) {
            dc->SetBkMode(TRANSPARENT);
            dc->SetTextColor(RGB(40, 44, 60));
        }
        return kind == CTLCOLOR_DLG || kind == CTLCOLOR_STATIC ? g_brDlgBk.GetHandle() : answer;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DemoDialog, CDialog)
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

QString DataFolder() {
    return QStringLiteral(KT_TEST_DATA_DIR "/controls");
}

// The dialog as a user sees it, with the drop-down open and the mouse on
// its second entry: the popup is a window of its own, drawn over the dialog.
QImage RenderDemo(DemoDialog& dlg, platform::VirtualClock& clock) {
    platform::win::RenderWindow(dlg.GetSafeHwnd()); // first paint: the speakers capture the plan
    // The mouse rests on the rear-left speaker.
    platform::win::MouseInput(dlg.speakers[2].GetSafeHwnd(), WM_MOUSEMOVE, {18, 18});
    clock.Advance(1);
    platform::PumpMessages();
    dlg.name.SetFocus();
    dlg.sliders[0].SetFocus();
    dlg.sliders[0].SetFocusMark(FALSE); // the level fader keeps the focused look
    platform::win::MouseInput(dlg.dropDown.GetSafeHwnd(), WM_LBUTTONDOWN, {5, 5});
    platform::win::MouseInput(dlg.dropDown.GetSafeHwnd(), WM_LBUTTONUP, {5, 5});
    CWnd* list = dlg.dropDown.GetDropWnd()->GetList();
    platform::win::MouseInput(list->GetSafeHwnd(), WM_MOUSEMOVE, {30, 14 + 6});
    platform::PumpMessages();
    QImage image = platform::win::RenderWindow(dlg.GetSafeHwnd());
    CRect popup;
    dlg.dropDown.GetDropWnd()->GetWindowRect(&popup);
    dlg.ScreenToClient(&popup);
    QPainter(&image).drawImage(popup.left, popup.top,
                               platform::win::RenderWindow(dlg.dropDown.GetDropWnd()->GetSafeHwnd()));
    return image;
}

TEST(ControlsDemo, RendersEveryControlOfTheKitIntoAPicture) {
    ASSERT_TRUE(QFile::exists(DataFolder() + "/car_plan.svg")) << DataFolder().toStdString();
    const QString folder = QDir(QCoreApplication::applicationDirPath() + "/..").absolutePath();
    const int savedChinese = g_bChinese;
    for (const bool chinese : {false, true}) {
        platform::VirtualClock clock;
        DemoResources res(DataFolder());
        if (!g_brDlgBk.GetSafeHandle())
            CreateDialogBrush();
        if (!g_fontNumEdit.GetSafeHandle())
            CreateSharedFonts();
        g_bChinese = chinese ? 1 : 0;
        DemoDialog dlg;
        ASSERT_TRUE(dlg.Create(800));
        const QImage image = RenderDemo(dlg, clock);
        const QString out = folder + (chinese ? "/controls_demo_zh.png" : "/controls_demo_en.png");
        ASSERT_TRUE(image.save(out)) << out.toStdString();

        // A speaker's transparent corner shows the plan under it, not the dialog colour.
        CRect speaker;
        dlg.speakers[1].GetWindowRect(&speaker);
        dlg.ScreenToClient(&speaker);
        EXPECT_NE(image.pixel(speaker.left, speaker.top) & 0xFFFFFF, qRgb(227, 228, 238) & 0xFFFFFF);
        // "Club " is five bytes: the name edit put a space before the double-byte
        // characters when it lost the focus.
        EXPECT_EQ(dlg.name.GetWindowText(), "Club  低音");
        EXPECT_TRUE(dlg.dropDown.GetDropWnd()->IsWindowVisible());
        CEnTabCtrl::EnableDraw(0, 0);
    }
    g_bChinese = savedChinese;
}

} // namespace
