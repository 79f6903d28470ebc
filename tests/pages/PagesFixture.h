#pragma once

// Windows of the output strips and the input mixing as a user meets them:
// the program's templates, menus and strings, pictures of the program's sizes
// in one solid colour each (so a pixel tells which picture was drawn), the
// shared fonts, a virtual clock and recorded message boxes.  PNGs of the
// real pictures go to the build folder.

#include "controls/SharedGdiObjects.h"
#include "model/DeviceDefaults.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "platform/res/Resources.h"
#include "platform/sys/MessageQueue.h"
#include "platform/sys/RecordingMessageBox.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

namespace pagestest {

// The colour of picture `id` under SolidPictures.
inline COLORREF ColourOf(UINT id) {
    return RGB((id * 37 + 11) & 0xFF, (id * 91 + 7) & 0xFF, (id * 53 + 3) & 0xFF);
}
inline constexpr COLORREF kKeyColour = RGB(255, 0, 255);

class SolidPictures final : public platform::res::ResourceProvider {
public:
    explicit SolidPictures(bool realPictures = false) : real(realPictures) {
        m_previous = platform::res::InstallProvider(this);
    }
    ~SolidPictures() override { platform::res::InstallProvider(m_previous); }

    // The program's own pictures instead (for the PNGs).
    bool real = false;

    std::optional<QImage> Bitmap(UINT id) override {
        auto real = m_program.Bitmap(id);
        if (!real || this->real)
            return real;
        QImage image(real->size(), QImage::Format_RGB32);
        const COLORREF c = ColourOf(id);
        image.fill(QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
        // A transparent picture keys out the colour of its top-left pixel.
        image.setPixel(0, 0, qRgb(255, 0, 255));
        return image;
    }
    std::optional<QByteArray> Data(UINT id, const CString& type) override { return m_program.Data(id, type); }
    std::optional<platform::res::CursorImage> Cursor(UINT id) override { return m_program.Cursor(id); }
    std::optional<CString> String(UINT id) override { return m_program.String(id); }
    std::optional<CString> Source(UINT id, const CString& kind) override {
        if (auto it = m_dialogs.find(id); kind == "DIALOG" && it != m_dialogs.end())
            return it->second;
        return m_program.Source(id, kind);
    }
    void AddDialog(UINT id, const CString& source) { m_dialogs[id] = source; }

private:
    platform::res::ProgramResources m_program;
    std::map<UINT, CString> m_dialogs;
    platform::res::ResourceProvider* m_previous = nullptr;
};

inline COLORREF PixelAt(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

// Where the PNGs of the windows go: the build folder, wherever the tests were started from.
inline QString PngPath(const QString& name) {
    QDir dir(QCoreApplication::applicationDirPath() + "/..");
    dir.mkpath("pngs");
    return dir.filePath("pngs/" + name);
}

// The model over factory defaults, offline, language and current output at
// their start.
class PagesFixture : public ::testing::Test {
protected:
    void SetUp() override {
        g_bOnline = 0;
        g_bChinese = 0;
        g_nCurOutChannel = 0;
        InitDefaultDeviceData();
        std::fill(std::begin(g_OutLinkTable), std::end(g_OutLinkTable), 0);
        std::fill(std::begin(g_LastLinkGroup), std::end(g_LastLinkGroup), LastLinkGroup{});
        g_bLinkGroupForming = 0;
        g_nLinkGroupFounder = -1;
        m_model = std::make_unique<CKTV_Data>();
        m_model->PackToImage();
        static bool fontsMade = false;
        if (!fontsMade) {
            CreateSharedFonts();
            fontsMade = true;
        }
        g_menuSpkType.DestroyMenu();
        g_menuSpkType.LoadMenu(107);
    }
    void TearDown() override {
        platform::PumpMessages();
        g_bOnline = 0;
        g_bChinese = 0;
        g_nCurOutChannel = 0;
    }

    static void Pump() { platform::PumpMessages(); }
    static void Click(CWnd& w, int x = 3, int y = 3) {
        platform::win::MouseInput(w.GetSafeHwnd(), WM_LBUTTONDOWN, {x, y});
        platform::win::MouseInput(w.GetSafeHwnd(), WM_LBUTTONUP, {x, y});
    }
    // Focus on the edit, its text replaced by `text`, then `key`.
    static void Type(CWnd& edit, const CString& text, UINT key = VK_RETURN) {
        edit.SetFocus();
        edit.SendMessage(EM_SETSEL, 0, -1);
        for (char c : text)
            platform::win::CharInput(UINT(static_cast<unsigned char>(c)));
        platform::win::KeyInput(key);
    }

    platform::VirtualClock m_clock;
    platform::RecordingMessageBox m_boxes;
    std::unique_ptr<CKTV_Data> m_model;
};

} // namespace pagestest
