// Painting the preset grid (a header row, six presets, two columns) on the
// offscreen platform: the whole control through its off-screen buffer.

#include "bench/BenchApplication.h"
#include "tests/controls/GridFixture.h"

#include <benchmark/benchmark.h>

namespace {

void BM_PaintPresetGrid(benchmark::State& state) {
    EnsureBenchApplication();
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
