// The firmware-update dialog and the about box, on the offscreen platform:
// from opening up to the first paint (the update dialog's reconnect thread
// starting and ending included).

#include "app/UpgradeDlg.h"
#include "app/VersionDlg.h"
#include "bench/BenchApplication.h"
#include "controls/SharedGdiObjects.h"
#include "link/TALQ50View.h"
#include "platform/sys/MessageQueue.h"
#include "platform/win/Window.h"

#include <benchmark/benchmark.h>

namespace {

void EnsureApplication() {
    EnsureBenchApplication([] { CreateSharedFonts(); });
}

void BM_OpenUpdateDialog(benchmark::State& state) {
    EnsureApplication();
    CTALQ50View link;
    for (auto _ : state) {
        CUpgradeDlg dialog(link);
        dialog.Create(CUpgradeDlg::IDD);
        benchmark::DoNotOptimize(platform::win::RenderWindow(dialog.GetSafeHwnd()));
        dialog.DestroyWindow();
    }
}
BENCHMARK(BM_OpenUpdateDialog)->Unit(benchmark::kMillisecond);

void BM_OpenAboutBox(benchmark::State& state) {
    EnsureApplication();
    for (auto _ : state) {
        CVersionDlg dialog;
        dialog.Create(CVersionDlg::IDD);
        benchmark::DoNotOptimize(platform::win::RenderWindow(dialog.GetSafeHwnd()));
        dialog.DestroyWindow();
    }
}
BENCHMARK(BM_OpenAboutBox)->Unit(benchmark::kMillisecond);

} // namespace
