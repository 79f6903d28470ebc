#include "platform/win/Clipboard.h"
#include "platform/win/KeyState.h"
#include "platform/win/OleDataSource.h"
#include "platform/win/Window.h"
#include "platform/win/Wnd.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <cstring>
#include <gtest/gtest.h>

namespace {

COLORREF At(CDC& dc, int x, int y) {
    return dc.GetPixel(x, y);
}

struct MemoryDc {
    MemoryDc() {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateBitmap(40, 40, 1, 32, nullptr);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 40, 40, RGB(1, 2, 3));
    }
    CDC dc;
    CBitmap bitmap;
};

TEST(DcState, RestoreDcBringsBackObjectsColoursOriginAndClip) {
    MemoryDc m;
    CDC& dc = m.dc;
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    dc.SelectObject(&red);
    dc.SetTextColor(RGB(9, 9, 9));
    const int outer = dc.SaveDC();
    EXPECT_EQ(outer, 1);
    {
        CPen green(PS_SOLID, 1, RGB(0, 255, 0));
        dc.SelectObject(&green);
        dc.SetTextColor(RGB(7, 7, 7));
        dc.SetBkMode(TRANSPARENT);
        dc.SetWindowOrg(5, 5);
        dc.IntersectClipRect(0, 0, 10, 10);
        EXPECT_EQ(dc.SaveDC(), 2);
        dc.SetTextColor(RGB(8, 8, 8));
    } // the green pen's object goes; the saved state still holds it
    EXPECT_TRUE(dc.RestoreDC(-1));
    EXPECT_EQ(dc.GetTextColor(), RGB(7, 7, 7));
    EXPECT_TRUE(dc.RestoreDC(outer));
    EXPECT_EQ(dc.GetTextColor(), RGB(9, 9, 9));
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(dc.GetWindowOrg(), CPoint(0, 0));
    dc.MoveTo(0, 30);
    dc.LineTo(30, 30); // the red pen again, and no clip
    EXPECT_EQ(At(dc, 20, 30), RGB(255, 0, 0));
    EXPECT_FALSE(dc.RestoreDC(1)); // nothing left to restore
    EXPECT_FALSE(dc.RestoreDC(0));
}

TEST(DcState, SunkenInnerEdgeIsDarkAboveAndLightBelow) {
    MemoryDc m;
    RECT r{5, 5, 25, 20};
    const COLORREF bk = m.dc.SetBkColor(RGB(4, 4, 4));
    (void)bk;
    EXPECT_TRUE(m.dc.DrawEdge(&r, BDR_SUNKENINNER, BF_RECT));
    EXPECT_EQ(At(m.dc, 10, 5), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(At(m.dc, 5, 10), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(At(m.dc, 10, 19), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(At(m.dc, 24, 10), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(At(m.dc, 10, 10), RGB(1, 2, 3)); // inside untouched
    EXPECT_EQ(At(m.dc, 25, 10), RGB(1, 2, 3)); // right edge excluded
    EXPECT_EQ(m.dc.GetBkColor(), RGB(4, 4, 4));
}

TEST(DcState, SystemFontIsABoldCellOfSixteen) {
    LOGFONT lf;
    ASSERT_TRUE(CFont::FromHandle(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)))->GetLogFont(&lf));
    EXPECT_EQ(lf.lfHeight, 16);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    MemoryDc m;
    m.dc.SelectObject(GetStockObject(SYSTEM_FONT));
    TEXTMETRIC tm;
    m.dc.GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmHeight, 16);
}

TEST(Clipboard, CopiedTextArrivesAsUtf8) {
    const CString text = "1\t加载\n2\tClub";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    auto* source = new COleDataSource;
    source->CacheGlobalData(CF_TEXT, block);
    source->SetClipboard(); // the clipboard owns the source now
    EXPECT_EQ(platform::win::CurrentClipboard().Text(), text);
}

TEST(KeyState, ModifiersFollowTheKeyboardEvents) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, "AfxWnd", "", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
    QWidget* widget = platform::win::Window::From(wnd.GetSafeHwnd())->widget;
    ASSERT_NE(widget, nullptr);
    // A modifier key's own event carries the state before it.
    QKeyEvent shiftDown(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &shiftDown);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier | Qt::ControlModifier);
    QCoreApplication::sendEvent(widget, &press);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
    {
        platform::win::HeldKey shift(VK_SHIFT);
        EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    }
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
}

} // namespace
