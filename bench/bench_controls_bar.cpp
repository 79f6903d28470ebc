// Repainting the gradient progress bar and a page's worth of hover buttons
// skinned with SVG pictures, on the offscreen platform.

#include "bench/BenchApplication.h"
#include "controls/GradientProgressCtrl.h"
#include "controls/XPButton.h"
#include "platform/res/Resources.h"
#include "platform/sys/MessageQueue.h"
#include "platform/win/Dialog.h"
#include "platform/win/Window.h"
#include "tests/controls/TestResources.h"

#include <QPainter>
#include <benchmark/benchmark.h>

#include <array>
#include <memory>

namespace {

void BM_GradientBarRepaintWithPercentage(benchmark::State& state) {
    EnsureBenchApplication();
    TestResources res;
    res.AddDialog(900, "DIALOG 900 0 0 220 40\n");
    CDialog dlg;
    dlg.Create(900);
    CGradientProgressCtrl bar;
    bar.Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 300, 20}, &dlg, 2777);
    bar.SetRange(0, 1000);
    bar.SetShowPercent(1);
    platform::win::RenderWindow(dlg.GetSafeHwnd());
    int pos = 0;
    for (auto _ : state) {
        pos = pos % 999 + 1;
        bar.SetPos(pos);
        platform::PumpMessages();
        bar.UpdateWindow();
    }
}
BENCHMARK(BM_GradientBarRepaintWithPercentage)->Unit(benchmark::kMicrosecond);

// The program's bitmaps are SVG sources rendered when loaded; these six
// button looks are read the same way.
class SvgPictures final : public platform::res::ResourceProvider {
public:
    SvgPictures() { m_previous = platform::res::InstallProvider(this); }
    ~SvgPictures() override { platform::res::InstallProvider(m_previous); }

    std::optional<QImage> Bitmap(UINT id) override {
        static const char* const faces[] = {"#6d8fb3", "#8fb0d4", "#34506e", "#f0a040", "#f6c070", "#c07020"};
        if (id < 100 || id > 105)
            return std::nullopt;
        const QByteArray svg =
            QByteArray(R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="80" height="26">)svg"
                       R"svg(<defs><linearGradient id="f" x1="0" y1="0" x2="0" y2="1">)svg"
                       R"svg(<stop offset="0" stop-color=")svg") +
            faces[id - 100] +
            R"svg("/><stop offset="1" stop-color="#1f3247"/></linearGradient></defs>)svg"
            R"svg(<rect width="80" height="26" fill="#e3e4ee"/>)svg"
            R"svg(<rect x="0.5" y="0.5" width="79" height="25" rx="5" fill="url(#f)" stroke="#1f3247"/>)svg"
            R"svg(<rect x="2" y="2" width="76" height="10" rx="4" fill="#fff" fill-opacity="0.18"/>)svg"
            R"svg(</svg>)svg";
        const QImage picture = platform::res::RenderSvg(svg);
        QImage opaque(picture.size(), QImage::Format_RGB32);
        opaque.fill(Qt::black);
        QPainter(&opaque).drawImage(0, 0, picture);
        return opaque;
    }
    std::optional<QByteArray> Data(UINT, const CString&) override { return std::nullopt; }
    std::optional<platform::res::CursorImage> Cursor(UINT) override { return std::nullopt; }
    std::optional<CString> String(UINT) override { return std::nullopt; }
    std::optional<CString> Source(UINT id, const CString& kind) override {
        if (id != 901 || kind != "DIALOG")
            return std::nullopt;
        CString source = "DIALOG 901 0 0 600 300\n";
        for (int i = 0; i < 31; ++i)
            source += "CONTROL " + std::to_string(1500 + i) + " Button WS_VISIBLE|BS_OWNERDRAW " +
                      std::to_string(4 + (i % 8) * 60) + " " + std::to_string(4 + (i / 8) * 24) +
                      " 54 18 \"\"\n";
        return source;
    }

private:
    platform::res::ResourceProvider* m_previous = nullptr;
};

class BypassDialog final : public CDialog {
public:
    std::array<CXPButton, 31> buttons;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        for (int i = 0; i < 31; ++i)
            DDX_Control(dx, 1500 + i, buttons[size_t(i)]);
    }
};

// The output page's 31 band-bypass buttons all change their look at once.
void BM_ThirtyOneHoverButtonsRepaintSvg(benchmark::State& state) {
    EnsureBenchApplication();
    SvgPictures pictures;
    BypassDialog dlg;
    dlg.Create(901);
    for (CXPButton& b : dlg.buttons)
        b.SetBitmaps(103, 104, 105, 100, 101, 102);
    platform::win::RenderWindow(dlg.GetSafeHwnd());
    int check = 0;
    for (auto _ : state) {
        check ^= 1;
        for (CXPButton& b : dlg.buttons)
            b.SetCheck(check);
    }
}
BENCHMARK(BM_ThirtyOneHoverButtonsRepaintSvg)->Unit(benchmark::kMicrosecond);

} // namespace
