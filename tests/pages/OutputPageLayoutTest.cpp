// The output page's set-up, painting, key routing and loading of an output.

#include "OutputPageFixture.h"

#include "model/SpkType.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/Edit.h"

#include <gtest/gtest.h>

#include <QColor>

#include <algorithm>
#include <utility>

namespace pagetest {
namespace {

using apptest::SolidPictures;

TEST_F(OutputPage, PaintsTheBackgroundOfTheLanguage) {
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        page->SetLanguage();
        const QImage image = platform::win::RenderWindow(page->GetSafeHwnd());
        EXPECT_EQ(apptest::PixelAt(image, 2, 2), SolidPictures::ColorOf(chinese ? 287 : 286));
    }
}

TEST_F(OutputPage, TheCurveStripShowsEightOutputsInItsWindow) {
    CRect strip;
    page->m_curveStrip.GetWindowRect(&strip);
    page->ScreenToClient(&strip);
    EXPECT_EQ(strip, CRect(1050, 21, 1091, 231));
    for (int k = 0; k < kOutputCount; ++k) {
        CRect r;
        page->m_curveStrip.Button(k).GetWindowRect(&r);
        page->m_curveStrip.ScreenToClient(&r);
        const bool inside = r.right <= 41 && r.bottom <= 210;
        EXPECT_EQ(inside, k < 8) << "output " << k + 1;
    }
}

TEST_F(OutputPage, KeysPostTheRingMessagesAndNeverEndThePage) {
    enum Focus { OnEdit, OnButton, OnNothing };
    const struct {
        Focus focus;
        int graphic;
        UINT key;
        UINT posted; // 0: nothing
        WPARAM wParam;
    } cases[] = {
        {OnEdit, 0, VK_RETURN, UM_EDIT_NEXT_ROW, 5203},
        {OnEdit, 1, VK_RETURN, UM_EDIT_MOVE_FOCUS, 5003},
        {OnEdit, 0, VK_TAB, UM_EDIT_MOVE_FOCUS, 5203},
        {OnEdit, 1, VK_TAB, UM_EDIT_MOVE_FOCUS, 5003},
        {OnEdit, 0, VK_ESCAPE, 0, 0},
        {OnButton, 0, VK_RETURN, 0, 0},
        {OnButton, 1, VK_TAB, 0, 0},
        {OnButton, 0, VK_ESCAPE, 0, 0},
        {OnNothing, 0, VK_RETURN, 0, 0},
        {OnNothing, 1, VK_TAB, 0, 0},
    };
    for (const auto& c : cases) {
        page->m_btnEqMode.SetCheck(c.graphic);
        page->ApplyEqMode(0);
        CWnd* focus = c.focus == OnEdit     ? page->GetDlgItem(c.graphic ? 5003 : 5203)
                      : c.focus == OnButton ? page->GetDlgItem(1976)
                                            : static_cast<CWnd*>(page.get());
        focus->SetFocus();
        page->Take();
        MSG msg{focus->GetSafeHwnd(), WM_KEYDOWN, c.key, 0, 0};
        EXPECT_FALSE(page->PreTranslateMessage(&msg));
        std::vector<TestOutputDlg::Message> ring;
        for (const auto& m : page->Take())
            if (m.message == UM_EDIT_NEXT_ROW || m.message == UM_EDIT_MOVE_FOCUS)
                ring.push_back(m);
        if (c.posted) {
            ASSERT_EQ(ring.size(), 1u) << "key " << c.key;
            EXPECT_EQ(ring[0].message, c.posted);
            EXPECT_EQ(ring[0].wParam, c.wParam);
        } else {
            EXPECT_TRUE(ring.empty()) << "key " << c.key;
        }
        if (c.key == VK_ESCAPE) {
            EXPECT_EQ(CWnd::GetFocus(), page.get());
        }
        EXPECT_TRUE(page->IsWindowVisible());
    }
}

} // namespace
} // namespace pagetest

namespace pagetest {
namespace {

class OutputPagePicture : public OutputPage {
protected:
    void SetUp() override {
        solidPictures = false;
        OutputPage::SetUp();
    }
};

// The page as a person sees it, in both languages, for looking at.
TEST_F(OutputPagePicture, IsPicturedInBothLanguages) {
    Band(0, 4).SetGainIndex(260);
    Band(0, 9).SetGainIndex(150);
    Band(0, 20).SetFreq(2200, 0);
    Out(0).GetHighPass()->SetFreq(60, 0);
    g_bOutCurveShown[3] = 1;
    page->m_curveStrip.Button(3).SetSelected(TRUE);
    for (int k = 0; k < kOutputCount; ++k)
        g_SpkTypeState[kSpkTypeOutputBase + k] = g_DefaultOutputMap[k];
    page->RefreshPage();
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        page->SetLanguage();
        page->ShowChannel();
        page->FocusBandLabel(4);
        page->HighlightBandEdit(4, 2, 1);
        EXPECT_TRUE(
            apptest::SavePicture(page->GetSafeHwnd(), chinese ? "output_page_zh.png" : "output_page_en.png"));
    }
}

// A crossover caption keeps clear of its face's frame: the frame and the row
// inside it look the same with and without it, descenders included.
TEST_F(OutputPagePicture, CrossoverCaptionsLeaveTheFaceFrameAlone) {
    auto frameRows = [this](CComBoxBtn& button) {
        CRect box;
        button.GetWindowRect(&box);
        page->ScreenToClient(&box);
        const QImage image = platform::win::RenderWindow(page->GetSafeHwnd());
        return std::pair{image.copy(box.left, box.top, box.Width(), 2),
                         image.copy(box.left, box.bottom - 2, box.Width(), 2)};
    };
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        page->SetLanguage();
        for (CComBoxBtn* button : {&page->m_cbHighFamily, &page->m_cbHighSlope}) {
            for (int entry : {0, 1, 2}) {
                button->SetWindowText("");
                button->Invalidate(FALSE);
                const auto bare = frameRows(*button);
                button->SetCurSel(entry);
                EXPECT_EQ(frameRows(*button), bare) << button->GetWindowText() << " touches the frame";
            }
        }
    }
    g_bChinese = 0;
}

} // namespace
} // namespace pagetest

namespace pagetest {
namespace {

TEST_F(OutputPage, CurveStripPaintsItsToggles) {
    const QImage image = platform::win::RenderWindow(page->GetSafeHwnd());
    CRect r;
    page->m_curveStrip.Button(0).GetWindowRect(&r);
    page->ScreenToClient(&r);
    EXPECT_EQ(apptest::PixelAt(image, r.CenterPoint().x, r.CenterPoint().y),
              apptest::SolidPictures::ColorOf(969))
        << r.left << "," << r.top << " " << r.Width() << "x" << r.Height();
}

} // namespace
} // namespace pagetest

namespace pagetest {
namespace {

TEST_F(OutputPage, AnUnknownInputModeKeepsThePictureShown) {
    const struct {
        int mode;
        int chinese;
        int shown;
    } cases[] = {{3, 0, 3}, {7, 0, 3}, {-1, 1, 3}, {6, 1, 6}, {100, 0, 6}, {0, 0, 0}};
    for (const auto& c : cases) {
        g_nInputMode = c.mode;
        g_bChinese = c.chinese;
        page->ShowInputModePicture();
        EXPECT_EQ(page->m_nShownInputMode, c.shown) << "mode " << c.mode;
    }
    g_nInputMode = 0;
    g_bChinese = 0;
}

// The first and last column of a window's box on the page that holds ink,
// or {-1, -1}.
std::pair<int, int> InkColumns(const QImage& page, CWnd& parent, CWnd& window) {
    CRect box;
    window.GetWindowRect(&box);
    parent.ScreenToClient(&box);
    const QRgb background = page.pixel(box.left, box.top);
    int first = -1, last = -1;
    for (int x = 0; x < box.Width(); ++x)
        for (int y = 0; y < box.Height(); ++y)
            if (page.pixel(box.left + x, box.top + y) != background) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {first, last};
}

TEST_F(OutputPage, BandEditsShowEveryValueThatFitsTheirBoxWhole) {
    Band(0, 3).SetGainIndex(80);
    page->ShowChannel();
    const struct {
        int id;
        const char* text;
    } cases[] = {{5217, "1000"}, {4500, "2.515"}, {5003, "-12.0"}, {5210, "200"}};
    for (const auto& c : cases) {
        CWnd* edit = page->GetDlgItem(c.id);
        ASSERT_NE(edit, nullptr);
        ASSERT_EQ(edit->GetWindowText(), CString(c.text)) << c.id;
        // The same text in a box wide enough for anything.
        CEdit wide;
        ASSERT_TRUE(
            wide.Create(WS_CHILD | WS_VISIBLE | ES_CENTER, CRect(0, 520, 200, 540), page.get(), 9999));
        wide.SetFont(&g_fontSmallEdit);
        wide.SetWindowText(c.text);
        const QImage image = platform::win::RenderWindow(page->GetSafeHwnd());
        const auto [wideFirst, wideLast] = InkColumns(image, *page, wide);
        const auto [first, last] = InkColumns(image, *page, *edit);
        ASSERT_GE(first, 0) << c.text;
        EXPECT_EQ(last - first, wideLast - wideFirst) << c.text << " is cut";
        wide.DestroyWindow();
    }
}

// In graphic mode the frequency and Q edits are disabled and read grey, not
// in the white of the edits that take input.
TEST_F(OutputPage, GraphicModeShowsTheFrequencyAndQEditsGrey) {
    for (int graphic : {0, 1}) {
        page->m_btnEqMode.SetCheck(graphic);
        page->ApplyEqMode(graphic);
        const QImage image = platform::win::RenderWindow(page->GetSafeHwnd());
        for (CWnd* edit : {static_cast<CWnd*>(&page->m_editFreq[5]), static_cast<CWnd*>(&page->m_editQ[5])}) {
            CRect box;
            edit->GetWindowRect(&box);
            page->ScreenToClient(&box);
            int white = 0, grey = 0;
            for (int y = box.top; y < box.bottom; ++y)
                for (int x = box.left; x < box.right; ++x) {
                    const QColor c = image.pixelColor(x, y);
                    const int low = std::min({c.red(), c.green(), c.blue()});
                    const int high = std::max({c.red(), c.green(), c.blue()});
                    white += low >= 200;
                    grey += low >= 112 && high <= 144 && high - low <= 8;
                }
            SCOPED_TRACE(edit->GetDlgCtrlID());
            if (graphic) {
                EXPECT_EQ(white, 0) << "graphic mode";
                EXPECT_GT(grey, 0) << "graphic mode";
            } else {
                EXPECT_GT(white, 0) << "parametric mode";
            }
        }
    }
    page->m_btnEqMode.SetCheck(0);
    page->ApplyEqMode(0);
}

} // namespace
} // namespace pagetest
