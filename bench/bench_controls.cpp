// Painting the skinned controls and building dialogs from templates, on the
// offscreen platform.

#include "bench/BenchApplication.h"
#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "platform/sys/MessageQueue.h"
#include "platform/win/Dialog.h"
#include "platform/win/Window.h"
#include "tests/controls/TestResources.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

// Bitmaps: button 11..13 (80 x 26), channel 40 (24 x 160), thumb 41 (22 x 12).
struct Skin {
    Skin() {
        EnsureBenchApplication();
        res.AddBitmap(11, 80, 26, RGB(52, 80, 110));
        res.AddBitmap(12, 80, 26, RGB(90, 120, 160));
        res.AddBitmap(13, 80, 26, RGB(30, 50, 70));
        res.AddBitmap(40, 24, 160, RGB(40, 44, 60));
        res.AddBitmap(41, 22, 12, RGB(230, 230, 240));
        res.AddDialog(900, "DIALOG 900 0 0 200 140\n"
                           "CONTROL 1001 Button WS_VISIBLE 10 10 54 16 \"Mute\"\n"
                           "CONTROL 1100 Static WS_VISIBLE 80 10 16 100 \"\"\n");
    }
    TestResources res;
};

class SkinDialog final : public CDialog {
public:
    CBitButton button;
    CBitmapSlider slider;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 1001, button);
        DDX_Control(dx, 1100, slider);
    }
};

void BM_PaintBitButton(benchmark::State& state) {
    Skin skin;
    SkinDialog dlg;
    dlg.Create(900);
    dlg.button.SetBitmaps(11, 12, 13);
    platform::win::RenderWindow(dlg.GetSafeHwnd());
    for (auto _ : state) {
        dlg.button.SetSelected(FALSE); // repaints
        dlg.button.UpdateWindow();
    }
}
BENCHMARK(BM_PaintBitButton);

void BM_PaintSlider(benchmark::State& state) {
    Skin skin;
    SkinDialog dlg;
    dlg.Create(900);
    dlg.slider.SetBitmapChannel(40, 0, FALSE, 0, 0, 0);
    dlg.slider.SetBitmapThumb(41, 0, TRUE, CBitmapSlider::kMaskFromPixel, 0, 0);
    dlg.slider.SetRange(0, 100);
    platform::win::RenderWindow(dlg.GetSafeHwnd());
    int value = 0;
    for (auto _ : state) {
        dlg.slider.SetPos(value); // repaints at once
        value = (value + 7) % 101;
    }
}
BENCHMARK(BM_PaintSlider);

// A template of `count` controls in rows of 20: buttons, statics and edits.
CString GridTemplate(UINT id, int count) {
    CString source =
        "DIALOG " + std::to_string(id) + " 0 0 640 " + std::to_string((count / 20 + 1) * 14) + "\n";
    static const char* const kinds[] = {"Button WS_VISIBLE|WS_TABSTOP", "Static WS_VISIBLE",
                                        "Edit WS_VISIBLE|WS_BORDER|WS_TABSTOP"};
    for (int i = 0; i < count; ++i)
        source += "CONTROL " + std::to_string(2000 + i) + " " + kinds[i % 3] + " " +
                  std::to_string(i % 20 * 32) + " " + std::to_string(i / 20 * 14) + " 30 12 \"Item\"\n";
    return source;
}

void BM_BuildDialogFromTemplate(benchmark::State& state) {
    Skin skin;
    const int count = int(state.range(0));
    skin.res.AddDialog(901, GridTemplate(901, count));
    for (auto _ : state) {
        CDialog dlg;
        dlg.Create(901);
        benchmark::DoNotOptimize(dlg.GetSafeHwnd());
    }
    state.counters["controls"] = count;
}
BENCHMARK(BM_BuildDialogFromTemplate)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

// The same, with every button a skinned button, up to the first picture.
class SkinnedGrid final : public CDialog {
public:
    explicit SkinnedGrid(int count) : m_buttons(count) {}

protected:
    void DoDataExchange(CDataExchange* dx) override {
        for (std::size_t i = 0; i < m_buttons.size(); i += 3)
            DDX_Control(dx, int(2000 + i), m_buttons[i]);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        for (std::size_t i = 0; i < m_buttons.size(); i += 3)
            m_buttons[i].SetBitmaps(11, 12, 13);
        return TRUE;
    }

private:
    std::vector<CBitButton> m_buttons;
};

void BM_BuildAndPaintSkinnedDialog(benchmark::State& state) {
    Skin skin;
    const int count = int(state.range(0));
    skin.res.AddDialog(902, GridTemplate(902, count));
    for (auto _ : state) {
        SkinnedGrid dlg(count);
        dlg.Create(902);
        benchmark::DoNotOptimize(platform::win::RenderWindow(dlg.GetSafeHwnd()));
    }
    state.counters["controls"] = count;
}
BENCHMARK(BM_BuildAndPaintSkinnedDialog)->Arg(300)->Unit(benchmark::kMillisecond);

} // namespace
