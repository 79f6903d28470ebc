// Painting the preset grid (a header row, six presets, two columns) on the
// offscreen platform: the whole control through its off-screen buffer.

#include "tests/controls/GridFixture.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

// Windows need an application object; the offscreen platform needs no display.
void EnsureApplication() {
    static int argc = 1;
    static char name[] = "bench_controls_grid";
    static char* argv[] = {name, nullptr};
    static const auto* app = [] {
        if (qgetenv("QT_QPA_PLATFORM").isEmpty())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* a = new QApplication(argc, argv);
        platform::AttachQueueToEventLoop();
        return a;
    }();
    (void)app;
}

void BM_PaintPresetGrid(benchmark::State& state) {
    EnsureApplication();
    GridFixture f(0, {"Concert Hall", "Club", "俱乐部", "Karaoke Night", "Jazz", "Outdoor"});
    f.Click(f.Centre(3, 1));
    f.Render();
    CGridCtrl& grid = f.dlg.grid;
    for (auto _ : state) {
        grid.Invalidate();
        grid.UpdateWindow();
    }
}
BENCHMARK(BM_PaintPresetGrid)->Unit(benchmark::kMicrosecond);

} // namespace
