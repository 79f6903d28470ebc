// Every text the windows show reads whole, in both languages, for the widest
// value each control can show: its ink stays inside the control's box and
// clear of what the control draws beside it (a frame, an arrow), is as tall
// as the same text drawn where nothing limits it, and as wide, unless the
// text needs more than the box and is drawn narrower to fit.

#include "app/GainDlg.h"
#include "app/INIT.h"
#include "controls/ComBoxBtn.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "pages/input/MixInPutCom.h"
#include "pages/input/RouteMixCom.h"
#include "pages/output/OutRoute_Dlg.h"
#include "pages/output/OutputDlg.h"
#include "pages/output/PhaseSettingDlg.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/Input.h"
#include "tests/app/AppFixture.h"

#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace {

// A channel difference that is ink, not a faint anti-aliased edge.
constexpr int kInk = 64;
// A text too wide for its box may be drawn this narrow (percent), no narrower.
constexpr int kNarrowest = 80;

bool Differs(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) > kInk || std::abs(qGreen(a) - qGreen(b)) > kInk ||
           std::abs(qBlue(a) - qBlue(b)) > kInk;
}

// One text as its window shows it: the window's picture with and without
// the text, and the text's box, in the picture's coordinates.
struct Sight {
    QImage with, without;
    QRect box;
    int around = 24; // how far around the box ink is looked for

    // Where the text's ink is.
    QRect Ink() const {
        const QRect region = box.adjusted(-around, -around, around, around).intersected(with.rect());
        QRect ink;
        for (int y = region.top(); y <= region.bottom(); ++y)
            for (int x = region.left(); x <= region.right(); ++x)
                if (Differs(with.pixel(x, y), without.pixel(x, y)))
                    ink |= QRect(x, y, 1, 1);
        return ink;
    }
    // The separate marks of the ink (8-connected): a text's glyphs and
    // their parts.
    int Marks() const {
        const QRect ink = Ink();
        std::vector<char> seen(std::size_t(std::max(0, ink.width() * ink.height())), 0);
        auto isInk = [&](int x, int y) {
            return ink.contains(x, y) && Differs(with.pixel(x, y), without.pixel(x, y));
        };
        int marks = 0;
        for (int y = ink.top(); y <= ink.bottom(); ++y)
            for (int x = ink.left(); x <= ink.right(); ++x) {
                auto at = [&](int px, int py) -> char& {
                    return seen[std::size_t((py - ink.top()) * ink.width() + (px - ink.left()))];
                };
                if (!isInk(x, y) || at(x, y))
                    continue;
                ++marks;
                std::vector<QPoint> todo{{x, y}};
                at(x, y) = 1;
                while (!todo.empty()) {
                    const QPoint p = todo.back();
                    todo.pop_back();
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            if (isInk(p.x() + dx, p.y() + dy) && !at(p.x() + dx, p.y() + dy)) {
                                at(p.x() + dx, p.y() + dy) = 1;
                                todo.push_back({p.x() + dx, p.y() + dy});
                            }
                }
            }
        return marks;
    }
    // Whether ink lies beside a pixel the control draws in its box without
    // the text other than its plain fill: a text keeps a visible gap from a
    // frame or an arrow, three pixels at its sides, one above and below.
    bool TouchesMarks() const {
        constexpr int kGapX = 3, kGapY = 1;
        const QRgb fill = without.pixel(box.center());
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                if (!Differs(with.pixel(x, y), without.pixel(x, y)))
                    continue;
                for (int dy = -kGapY; dy <= kGapY; ++dy)
                    for (int dx = -kGapX; dx <= kGapX; ++dx)
                        if (box.contains(x + dx, y + dy) && Differs(without.pixel(x + dx, y + dy), fill))
                            return true;
            }
        return false;
    }
};

// `real`: the text in its control; `free`: the same text in the same control
// grown around its centre, where nothing limits it.
void ExpectReadsWhole(const std::string& what, const Sight& real, const Sight& free) {
    const QRect ink = real.Ink(), whole = free.Ink();
    ASSERT_FALSE(whole.isEmpty()) << what << " shows no text";
    EXPECT_TRUE(real.box.contains(ink)) << what << " leaves its box";
    EXPECT_FALSE(real.TouchesMarks()) << what << " runs into what its control draws";
    EXPECT_EQ(ink.height(), whole.height()) << what << " is cut at its top or bottom";
    if (whole.width() <= real.box.width()) {
        EXPECT_EQ(ink.width(), whole.width()) << what << " is cut at a side";
    } else {
        // Drawn narrower: no narrower than allowed, and a glyph cut away at
        // a side would take its mark with it.
        EXPECT_GE(ink.width() * 100, whole.width() * kNarrowest) << what << " is cut at a side";
        EXPECT_LE(ink.width(), whole.width()) << what;
        EXPECT_EQ(real.Marks(), free.Marks()) << what << " lost a glyph";
    }
}

CRect BoxIn(CWnd& top, CWnd& control) {
    CRect r;
    control.GetWindowRect(&r);
    top.ScreenToClient(&r);
    return r;
}

QRect ToQRect(const CRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// A control that shows one text as its window text (an edit, a label, a
// button's caption), seen in `top`, with and without it.
Sight Look(CWnd& top, CWnd& control) {
    const CString text = control.GetWindowText();
    Sight s;
    s.box = ToQRect(BoxIn(top, control));
    s.with = platform::win::RenderWindow(top.GetSafeHwnd());
    control.SetWindowText("");
    s.without = platform::win::RenderWindow(top.GetSafeHwnd());
    control.SetWindowText(text);
    return s;
}

// The same control grown around its centre while it is looked at.
Sight LookGrown(CWnd& top, CWnd& control) {
    CRect r;
    control.GetWindowRect(&r);
    control.GetParent()->ScreenToClient(&r);
    const CRect kept = r;
    r.InflateRect(24, 10);
    control.MoveWindow(&r, TRUE);
    const Sight s = Look(top, control);
    control.MoveWindow(&kept, TRUE);
    return s;
}

class TextFit : public apptest::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
    }
    COutputDlg& Page() { return View()->GetOutputPage(); }
    COutRoute_Dlg& Strip(int i) { return View()->GetStrip(i); }
    CWnd& Top() { return *app->m_pMainWnd; }
    void SwitchLanguage() {
        View()->SendMessage(WM_COMMAND, MAKEWPARAM(729, 0), 0);
        Pump();
    }
    // A click on a button; a modal dialog it opens runs until it closes.
    void Click(CWnd& button) {
        clock->Advance(1000); // no double click
        CRect face;
        button.GetClientRect(&face);
        platform::win::MouseInput(button.GetSafeHwnd(), WM_LBUTTONDOWN, face.CenterPoint(), MK_LBUTTON);
        platform::win::MouseInput(button.GetSafeHwnd(), WM_LBUTTONUP, face.CenterPoint());
        Pump();
    }
};

TEST_F(TextFit, TheMainWindowsNumbersUnitsAndNamesReadWhole) {
    struct Case {
        const char* what;
        std::function<CWnd&()> control;
        std::function<void()> show; // puts the widest value through the program
        const char* en;
        const char* zh;
    };
    const auto none = [] {};
    const auto type = [this](int output, int t) {
        return [=, this] { View()->SendMessage(UM_SPEAKER_TYPE_SELECTED, WPARAM(output), t); };
    };
    const auto delay = [this](int unit) {
        return [=, this] {
            Strip(1).SetDelayUnit(unit);
            Strip(1).SetDelay(384);
        };
    };
    const Case cases[] = {
        {"band 28 frequency", [this]() -> CWnd& { return Page().m_editFreq[27]; }, none, "10000", "10000"},
        {"band 31 frequency", [this]() -> CWnd& { return Page().m_editFreq[30]; }, none, "20000", "20000"},
        {"band Q", [this]() -> CWnd& { return Page().m_editQ[0]; }, none, "2.515", "2.515"},
        {"low-pass frequency", [this]() -> CWnd& { return Page().m_editLowFreq; }, none, "20000Hz",
         "20000Hz"},
        {"strip gain", [this]() -> CWnd& { return Strip(0).m_editGain; }, [this] { Strip(0).SetGain(300); },
         "-30.0dB", "-30.0dB"},
        {"strip gain off", [this]() -> CWnd& { return Strip(0).m_editGain; }, [this] { Strip(0).SetGain(0); },
         "OFF", "关闭"},
        {"strip delay ms", [this]() -> CWnd& { return Strip(1).m_editDelay; }, delay(1), "8.000", "8.000"},
        {"strip delay cm", [this]() -> CWnd& { return Strip(1).m_editDelay; }, delay(2), "272.00", "272.00"},
        {"strip delay inch", [this]() -> CWnd& { return Strip(1).m_editDelay; }, delay(3), "107.20",
         "107.20"},
        {"speaker type", [this]() -> CWnd& { return Strip(2).m_btnType; }, type(2, 8), "FR-Midrange",
         "前置右中频"},
        {"speaker type", [this]() -> CWnd& { return Strip(3).m_btnType; }, type(3, 10), "FR-M && T",
         "前置右中高频"},
        {"speaker type", [this]() -> CWnd& { return Strip(4).m_btnType; }, type(4, 5), "FL-M && WF",
         "前置左中低频"},
        {"master volume", [this]() -> CWnd& { return View()->GetGainPanel().m_edit; },
         [this] { View()->GetGainPanel().SetFaderPos(1); }, "-59dB", "-59dB"},
        {"master volume off", [this]() -> CWnd& { return View()->GetGainPanel().m_edit; },
         [this] { View()->GetGainPanel().SetFaderPos(0); }, "OFF", "关闭"},
    };
    for (int chinese : {0, 1}) {
        if (g_bChinese != chinese)
            SwitchLanguage();
        ASSERT_EQ(g_bChinese, chinese);
        for (const Case& c : cases) {
            c.show();
            Pump();
            CWnd& control = c.control();
            const std::string what = std::string(c.what) + (chinese ? " (zh) " : " (en) ");
            ASSERT_EQ(control.GetWindowText(), chinese ? c.zh : c.en) << what;
            ExpectReadsWhole(what + (chinese ? c.zh : c.en), Look(Top(), control), LookGrown(Top(), control));
        }
        SavePng(Render(), chinese ? "text_fit_main_zh" : "text_fit_main_en");
    }
}

// The phase dialog as a strip's phase button opens it, at the widest values
// of its two edits.
TEST_F(TextFit, ThePhaseDialogsValuesReadWhole) {
    constexpr int kOutput = 5;
    CKTV_OutData& out = *View()->m_pData->GetOutput(kOutput);
    out.SetLimiterAttack(CPhaseSettingDlg::kMaxShift);
    out.SetLimiterRelease(CPhaseSettingDlg::kMaxFreq);
    for (int chinese : {0, 1}) {
        if (g_bChinese != chinese)
            SwitchLanguage();
        CPhaseSettingDlg& dlg = Strip(kOutput).m_dlgPhase;
        bool seen = false;
        QTimer::singleShot(0, [&] {
            ASSERT_TRUE(dlg.GetSafeHwnd() && dlg.IsWindowVisible());
            // No edit holds the focus, so none shows its text selected.
            dlg.SetFocus();
            const struct {
                CWnd& edit;
                const char* text;
            } cases[] = {{dlg.m_editShift, "360°"}, {dlg.m_editFreq, "20000Hz"}};
            for (const auto& c : cases) {
                const std::string what = std::string(chinese ? "(zh) " : "(en) ") + c.text;
                EXPECT_EQ(c.edit.GetWindowText(), c.text) << what;
                ExpectReadsWhole(what, Look(dlg, c.edit), LookGrown(dlg, c.edit));
            }
            SavePng(platform::win::RenderWindow(dlg.GetSafeHwnd()),
                    chinese ? "text_fit_phase_zh" : "text_fit_phase_en");
            seen = true;
            dlg.PostMessage(WM_COMMAND, IDCANCEL, 0);
        });
        Click(Strip(kOutput).m_btnPhase);
        EXPECT_TRUE(seen);
    }
}

// The mixer as its button opens it, every row of a panel at its widest
// level.
TEST_F(TextFit, TheMixersLevelsReadWhole) {
    constexpr int kOutput = 2;
    CKTV_OutData& out = *View()->m_pData->GetOutput(kOutput);
    for (int n = 1; n <= CKTV_OutData::kMixLevelCount; ++n)
        out.SetMixLevel(n, 100);
    for (int chinese : {0, 1}) {
        if (g_bChinese != chinese)
            SwitchLanguage();
        bool seen = false;
        QTimer::singleShot(0, [&] {
            CWnd* focus = CWnd::GetFocus();
            CWnd* mixer = focus ? focus->GetTopLevelParent() : nullptr;
            ASSERT_NE(dynamic_cast<CMixInPutCom*>(mixer), nullptr);
            CRouteMixCom& panel = static_cast<CMixInPutCom*>(mixer)->m_Panels[kOutput];
            mixer->SetFocus();
            for (int row = 0; row < CRouteMixCom::kShownRows; ++row) {
                CWnd& edit = panel.m_edit[row];
                const std::string what =
                    std::string(chinese ? "(zh) row " : "(en) row ") + std::to_string(row + 1);
                EXPECT_EQ(edit.GetWindowText(), "100") << what;
                ExpectReadsWhole(what, Look(*mixer, edit), LookGrown(*mixer, edit));
            }
            SavePng(platform::win::RenderWindow(mixer->GetSafeHwnd()),
                    chinese ? "text_fit_mixer_zh" : "text_fit_mixer_en");
            seen = true;
            mixer->PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        Click(*View()->GetDlgItem(2823));
        EXPECT_TRUE(seen);
    }
}

// Each entry of the crossover family list, in the open list, against the same
// entry in a row three times as tall.
TEST_F(TextFit, TheCrossoverFamilyListsEntriesReadWhole) {
    for (int chinese : {0, 1}) {
        if (g_bChinese != chinese)
            SwitchLanguage();
        clock->Advance(1000); // no double click
        CComBoxBtn& button = Page().m_cbHighFamily;
        CRect face;
        button.GetClientRect(&face);
        platform::win::MouseInput(button.GetSafeHwnd(), WM_LBUTTONDOWN, face.CenterPoint());
        platform::win::MouseInput(button.GetSafeHwnd(), WM_LBUTTONUP, face.CenterPoint());
        Pump();
        CDropWnd& popup = *button.GetDropWnd();
        CDropListBox& list = *popup.GetList();
        ASSERT_TRUE(popup.GetStyle() & WS_VISIBLE);
        SavePng(platform::win::RenderWindow(popup.GetSafeHwnd()),
                chinese ? "crossover_list_zh" : "crossover_list_en");
        std::vector<CString> entries(std::size_t(list.GetCount()));
        for (int i = 0; i < list.GetCount(); ++i)
            list.GetText(i, entries[std::size_t(i)]);
        ASSERT_EQ(entries.size(), 3u);
        if (!chinese) {
            EXPECT_EQ(entries[0], "Link_Ril");
        }
        const auto look = [&](int row) {
            // Entries above and below hold ink of their own.
            Sight s;
            s.around = 0;
            CRect r;
            list.GetItemRect(row, &r);
            list.ClientToScreen(&r);
            popup.ScreenToClient(&r);
            s.box = ToQRect(r);
            s.with = platform::win::RenderWindow(popup.GetSafeHwnd());
            list.ResetContent();
            for (std::size_t i = 0; i < entries.size(); ++i)
                list.AddItem("");
            list.SetCurSel(-1);
            s.without = platform::win::RenderWindow(popup.GetSafeHwnd());
            list.ResetContent();
            for (const CString& e : entries)
                list.AddItem(e);
            list.SetCurSel(-1);
            return s;
        };
        const int height = list.GetItemHeight(0);
        list.SetCurSel(-1);
        for (int row = 0; row < int(entries.size()); ++row) {
            const Sight real = look(row);
            list.SetItemHeight(0, UINT(3 * height));
            list.SetTopIndex(row);
            const Sight free = look(row);
            list.SetItemHeight(0, UINT(height));
            list.SetTopIndex(0);
            ExpectReadsWhole(std::string(chinese ? "(zh) " : "(en) ") + entries[std::size_t(row)], real,
                             free);
        }
        popup.ShowWindow(SW_HIDE);
    }
}

// The factory confirmation as the system menu opens it.
TEST_F(TextFit, TheFactoryConfirmationsTitleReadsWhole) {
    for (int chinese : {0, 1}) {
        if (g_bChinese != chinese)
            SwitchLanguage();
        bool seen = false;
        QTimer::singleShot(0, [&] {
            CWnd* focus = CWnd::GetFocus();
            CWnd* top = focus ? focus->GetTopLevelParent() : nullptr;
            ASSERT_NE(dynamic_cast<CINIT*>(top), nullptr);
            for (UINT id : {2855u, 2856u, UINT(IDOK), UINT(IDCANCEL)}) {
                CWnd& label = *top->GetDlgItem(int(id));
                ExpectReadsWhole((chinese ? "(zh) " : "(en) ") + label.GetWindowText(), Look(*top, label),
                                 LookGrown(*top, label));
            }
            seen = true;
            top->PostMessage(WM_COMMAND, IDCANCEL, 0);
        });
        View()->SendMessage(WM_COMMAND, 32779, 0);
        EXPECT_TRUE(seen);
    }
}

} // namespace
