#pragma once

// What the shell's window tests share: the program's own templates, menus
// and data, with every bitmap replaced by one solid colour of its id at the
// program picture's size (so a pixel tells which picture was drawn); a
// parent window that records what its children post; a picture of a window
// saved into the build folder for a person to look at.

#include "platform/res/Resources.h"
#include "platform/sys/Color.h"
#include "platform/sys/MessageQueue.h"
#include "platform/win/Dialog.h"
#include "platform/win/Window.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>

#include <map>
#include <tuple>
#include <vector>

namespace apptest {

class SolidPictures final : public platform::res::ResourceProvider {
public:
    // With `solid` false the program's own pictures are shown (for the PNGs).
    explicit SolidPictures(bool solid = true) : m_bSolid(solid) {
        m_previous = platform::res::InstallProvider(this);
    }
    ~SolidPictures() override { platform::res::InstallProvider(m_previous); }
    SolidPictures(const SolidPictures&) = delete;
    SolidPictures& operator=(const SolidPictures&) = delete;

    // Distinct for the ids one window uses side by side.
    static COLORREF ColorOf(UINT id) {
        return RGB((id * 53 + 17) & 0xFF, (id * 101 + 91) & 0xFF, (id * 197 + 3) & 0xFF);
    }

    void AddDialog(UINT id, const CString& source) { m_dialogs[id] = source; }

    std::optional<QImage> Bitmap(UINT id) override {
        auto image = m_program.Bitmap(id);
        if (image && m_bSolid) {
            const COLORREF c = ColorOf(id);
            image->fill(QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
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

private:
    bool m_bSolid;
    std::map<UINT, CString> m_dialogs;
    platform::res::ProgramResources m_program;
    platform::res::ResourceProvider* m_previous = nullptr;
};

// A plain top-level window that keeps every program message (WM_USER and
// above) posted or sent to it.
class RecordingParent final : public CDialog {
public:
    static constexpr UINT IDD = 9901;
    static constexpr const char* kTemplate = "DIALOG 9901 0 0 400 300\nSTYLE WS_POPUP\n";

    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool operator==(const Message&) const = default;
    };

    std::vector<Message> Take(UINT message) {
        // A child's notice may post on to its parent: pump until quiet.
        for (int i = 0; i < 4; ++i)
            platform::PumpMessages();
        std::vector<Message> taken, kept;
        for (const Message& m : m_messages)
            (m.message == message ? taken : kept).push_back(m);
        m_messages = kept;
        return taken;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_USER)
            m_messages.push_back({message, wParam, lParam});
        return CDialog::WindowProc(message, wParam, lParam);
    }

private:
    std::vector<Message> m_messages;
};

// The colour at a point of a rendered window.
inline COLORREF PixelAt(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

// The colour at the centre of `control`, as its top-level window shows it.
inline COLORREF CentreOf(CWnd& top, CWnd& control) {
    const QImage image = platform::win::RenderWindow(top.GetSafeHwnd());
    CRect r;
    control.GetWindowRect(&r);
    top.ScreenToClient(&r);
    return PixelAt(image, r.left + r.Width() / 2, r.top + r.Height() / 2);
}

// Saves the picture of a window as `name` in the build folder.
inline bool SavePicture(HWND hwnd, const QString& name) {
    const QImage image = platform::win::RenderWindow(hwnd);
    return image.save(QDir(QCoreApplication::applicationDirPath() + "/..").absoluteFilePath(name));
}

} // namespace apptest
