// The output page on the offscreen platform with the program's own
// resources: creating, setting up and first painting it, loading an output,
// a full repaint, and a band commit copied to three group partners.

#include "bench/BenchApplication.h"
#include "controls/SharedGdiObjects.h"
#include "model/DeviceDefaults.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "pages/output/OutputDlg.h"
#include "platform/sys/MessageQueue.h"
#include "platform/win/Window.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void EnsureApplication() {
    EnsureBenchApplication([] {
        InitDefaultDeviceData();
        CreateSharedFonts();
    });
}

// The tab frame the page lives in.
class Frame final : public CDialog {};

struct Application {
    Application() { EnsureApplication(); }
};

struct Page {
    Page() {
        frame.CreateEx(0, "#32770", "", WS_POPUP, CRect(0, 0, 1300, 700), nullptr, 0);
        page.Create(COutputDlg::kTemplate, &frame);
        page.SetChannelArray(&data);
        data.InitLinkTable();
        page.ShowPage(SW_SHOW);
        page.RefreshPage();
    }
    Application application; // first: the windows need it
    CKTV_Data data;
    Frame frame;
    COutputDlg page;
};

void BM_OutputPageCreateSetUpAndFirstPaint(benchmark::State& state) {
    EnsureApplication();
    for (auto _ : state) {
        Page p;
        benchmark::DoNotOptimize(platform::win::RenderWindow(p.page.GetSafeHwnd()));
    }
}
BENCHMARK(BM_OutputPageCreateSetUpAndFirstPaint)->Unit(benchmark::kMillisecond);

void BM_OutputPageShowChannel(benchmark::State& state) {
    Page p;
    int output = 0;
    for (auto _ : state) {
        g_nCurOutChannel = output;
        p.page.ShowChannel();
        output = (output + 1) % kOutputCount;
    }
    g_nCurOutChannel = 0;
}
BENCHMARK(BM_OutputPageShowChannel)->Unit(benchmark::kMillisecond);

void BM_OutputPageFullRepaint(benchmark::State& state) {
    Page p;
    for (auto _ : state) {
        p.page.Invalidate(FALSE);
        benchmark::DoNotOptimize(platform::win::RenderWindow(p.page.GetSafeHwnd()));
    }
}
BENCHMARK(BM_OutputPageFullRepaint)->Unit(benchmark::kMillisecond);

void BM_OutputPageBandCommitWithThreePartners(benchmark::State& state) {
    Page p;
    for (int k : {0, 2, 4, 6})
        g_OutLinkTable[1 + k] = 3;
    int gain = 120;
    for (auto _ : state) {
        p.page.m_spinBandGain[9].SetPos(gain);
        p.page.SendMessage(WM_COMMAND, MAKEWPARAM(5049, 0), 0);
        gain = gain == 120 ? 280 : 120;
    }
    for (int k : {0, 2, 4, 6})
        g_OutLinkTable[1 + k] = 0;
}
BENCHMARK(BM_OutputPageBandCommitWithThreePartners)->Unit(benchmark::kMillisecond);

} // namespace
