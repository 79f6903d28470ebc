// The output strips, the mixer and the phase dialog with the program's own
// pictures, on the offscreen platform: refreshing all twelve strips from the
// model, opening the mixer and the phase dialog up to their first paint, and
// a group join with its redraw.

#include "bench/BenchApplication.h"
#include "controls/SharedGdiObjects.h"
#include "model/DeviceDefaults.h"
#include "model/KTV_OutData.h"
#include "pages/input/MixInPutCom.h"
#include "pages/output/PhaseSettingDlg.h"
#include "platform/sys/MessageQueue.h"
#include "tests/pages/StripHost.h"

#include <benchmark/benchmark.h>

namespace {

void EnsureApplication() {
    EnsureBenchApplication([] {
        CreateSharedFonts();
        g_menuSpkType.LoadMenu(107);
    });
}

struct Application {
    Application() { EnsureApplication(); }
};

// The model over factory defaults and the strips as the view sets them up.
struct Strips : Application {
    Strips() {
        InitDefaultDeviceData();
        model.PackToImage();
        pictures.AddDialog(pagestest::StripHost::kTemplate, pagestest::StripHostTemplate());
        host.Build(model);
        platform::win::RenderWindow(host.GetSafeHwnd());
    }
    pagestest::SolidPictures pictures{true};
    CKTV_Data model;
    pagestest::StripHost host;
};

void BM_RefreshTwelveStrips(benchmark::State& state) {
    Strips s;
    int gain = 0;
    for (auto _ : state) {
        for (int k = 0; k < kOutputCount; ++k)
            s.model.GetOutput(k)->SetGain(WORD((gain + 37 * k) % 601));
        gain += 50;
        s.host.Refresh();
        benchmark::DoNotOptimize(platform::win::RenderWindow(s.host.GetSafeHwnd()));
    }
}
BENCHMARK(BM_RefreshTwelveStrips)->Unit(benchmark::kMillisecond);

void BM_GroupJoinWithRedraw(benchmark::State& state) {
    Strips s;
    CLinkGroups::OnGroupClick(s.host, 3, s.model.GetOutput(3), CLinkGroups::kSingleClick); // creates group 1
    for (auto _ : state) {
        CLinkGroups::OnGroupClick(s.host, 5, s.model.GetOutput(5), CLinkGroups::kSingleClick); // joins it
        benchmark::DoNotOptimize(platform::win::RenderWindow(s.host.GetSafeHwnd()));
        state.PauseTiming();
        CLinkGroups::OnGroupClick(s.host, 5, s.model.GetOutput(5), CLinkGroups::kRightClick);
        g_bLinkGroupForming = 1;
        platform::win::RenderWindow(s.host.GetSafeHwnd());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GroupJoinWithRedraw)->Unit(benchmark::kMillisecond);

void BM_OpenMixerWithFirstPaint(benchmark::State& state) {
    Strips s;
    CMixInPutCom mixer;
    mixer.m_pModel = &s.model;
    for (auto _ : state) {
        mixer.Create(CMixInPutCom::IDD);
        benchmark::DoNotOptimize(platform::win::RenderWindow(mixer.GetSafeHwnd()));
        state.PauseTiming();
        mixer.DestroyWindow();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenMixerWithFirstPaint)->Unit(benchmark::kMillisecond);

void BM_OpenPhaseDialog(benchmark::State& state) {
    Strips s;
    CPhaseSettingDlg dlg;
    dlg.m_nOutput = 2;
    dlg.m_pOutData = s.model.GetOutput(2);
    dlg.m_strName = "FL-Woofer";
    for (auto _ : state) {
        dlg.Create(CPhaseSettingDlg::IDD);
        benchmark::DoNotOptimize(platform::win::RenderWindow(dlg.GetSafeHwnd()));
        state.PauseTiming();
        dlg.DestroyWindow();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenPhaseDialog)->Unit(benchmark::kMillisecond);

} // namespace
