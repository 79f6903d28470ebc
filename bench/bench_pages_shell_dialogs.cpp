// The shell's panels and dialogs on the offscreen platform, with the
// program's own templates and pictures: from opening up to the first paint.
// The preset dialog is measured with its grid filled with six names.

#include "app/DisplayDlg.h"
#include "app/GainDlg.h"
#include "app/INIT.h"
#include "app/ProgramDlg.h"
#include "app/SaveDlg.h"
#include "bench/BenchApplication.h"
#include "controls/SharedGdiObjects.h"
#include "model/DataDefine.h"
#include "model/Globals.h"
#include "pages/output/DelayDlg.h"
#include "platform/sys/MessageQueue.h"
#include "platform/win/Window.h"

#include <benchmark/benchmark.h>

namespace {

void EnsureApplication() {
    EnsureBenchApplication([] {
        CreateSharedFonts();
        CreateDialogBrush();
    });
}

template <typename Open> void OpenAndPaint(benchmark::State& state, Open open) {
    EnsureApplication();
    for (auto _ : state)
        open();
}

void BM_OpenGainPanel(benchmark::State& state) {
    OpenAndPaint(state, [] {
        CDisplayDlg host(nullptr); // any top-level dialog serves as the parent
        host.Create(CDisplayDlg::IDD);
        CGainDlg panel;
        panel.Create(CGainDlg::IDD, &host);
        panel.SetFaderBitmaps(357, 357, FALSE, 0xFF000000, 0, 0);
        panel.SetFaderThumb(358, 282, FALSE, 0xFF000000, 0, 0);
        panel.SetFaderRange(0, CGainDlg::kMaxValue, FALSE);
        panel.SetFaderPos(40);
        panel.ShowWindow(SW_SHOW);
        benchmark::DoNotOptimize(platform::win::RenderWindow(panel.GetSafeHwnd()));
    });
}
BENCHMARK(BM_OpenGainPanel)->Unit(benchmark::kMillisecond);

void BM_OpenDelayPanel(benchmark::State& state) {
    OpenAndPaint(state, [] {
        CDisplayDlg host(nullptr);
        host.Create(CDisplayDlg::IDD);
        CDelayDlg panel;
        panel.Create(CDelayDlg::IDD, &host);
        panel.SetUnitButton1(1);
        panel.ShowWindow(SW_SHOW);
        benchmark::DoNotOptimize(platform::win::RenderWindow(panel.GetSafeHwnd()));
    });
}
BENCHMARK(BM_OpenDelayPanel)->Unit(benchmark::kMillisecond);

void BM_ShowTransferPopup(benchmark::State& state) {
    OpenAndPaint(state, [] {
        CDisplayDlg popup(nullptr);
        popup.Create(CDisplayDlg::IDD);
        popup.Show(1);
        benchmark::DoNotOptimize(platform::win::RenderWindow(popup.GetSafeHwnd()));
        popup.Close();
    });
}
BENCHMARK(BM_ShowTransferPopup)->Unit(benchmark::kMillisecond);

void BM_OpenFactoryConfirmation(benchmark::State& state) {
    OpenAndPaint(state, [] {
        CINIT dialog;
        dialog.Create(CINIT::IDD);
        benchmark::DoNotOptimize(platform::win::RenderWindow(dialog.GetSafeHwnd()));
    });
}
BENCHMARK(BM_OpenFactoryConfirmation)->Unit(benchmark::kMillisecond);

void BM_OpenPresetDialogWithItsGridFilled(benchmark::State& state) {
    EnsureApplication();
    const char* names[] = {"Club", "Lounge", "Front stage AB", "Bass", "派对", "Night"};
    for (int p = 1; p <= kPresetCount; ++p)
        StringToBytesZ(g_PresetImages[p - 1], kPresetNameSize, names[p - 1]);
    for (auto _ : state) {
        CProgramDlg dialog;
        dialog.m_nMode = CProgramDlg::kLoad;
        dialog.Create(CProgramDlg::IDD);
        benchmark::DoNotOptimize(platform::win::RenderWindow(dialog.GetSafeHwnd()));
    }
    g_pProgramDlg = nullptr;
}
BENCHMARK(BM_OpenPresetDialogWithItsGridFilled)->Unit(benchmark::kMillisecond);

void BM_OpenNamePrompt(benchmark::State& state) {
    OpenAndPaint(state, [] {
        CSaveDlg prompt;
        prompt.m_nPreset = 2;
        prompt.Create(CSaveDlg::IDD);
        benchmark::DoNotOptimize(platform::win::RenderWindow(prompt.GetSafeHwnd()));
    });
}
BENCHMARK(BM_OpenNamePrompt)->Unit(benchmark::kMillisecond);

} // namespace
