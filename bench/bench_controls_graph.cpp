// The response graph redrawn as on every pointer step of a drag: the
// current output's curve and the eleven others overlaid, each with shaped
// bands, at the size of the output page's graph.

#include "controls/FStatic.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <iterator>

namespace {

// Windows and cursors need the application object before they exist.
struct Application {
    Application() {
        static int argc = 1;
        static char name[] = "bench_controls_graph";
        static char* argv[] = {name, nullptr};
        if (qgetenv("QT_QPA_PLATFORM").isEmpty())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static QApplication app(argc, argv);
    }
};

class GraphBench : Application {
public:
    GraphBench() {
        for (int j = 0; j < kOutputCount; ++j) {
            CKTV_OutData& out = *model.GetOutput(j);
            for (int k = 0; k < 31; k += 3) {
                out.GetBand(k)->SetGainIndex(120 + 5 * ((j + k) % 16));
                out.GetBand(k)->SetBandwidthIndex(40 + k);
            }
        }
        parent.CreateEx(0, "KtBenchHost", "", WS_POPUP, CRect(0, 0, 1100, 260), nullptr, 0);
        // 714 by 144 dialog units of the page's template.
        graph.Create("", WS_VISIBLE | SS_NOTIFY, CRect(0, 0, 1071, 234), &parent, 4000);
        graph.AttachKTVData(&model, 4);
        graph.SelectOutput(0);
        graph.SetMode(4);
    }

    CKTV_Data model;
    CWnd parent;
    CFStatic graph;
};

void BM_GraphRedraw(benchmark::State& state) {
    const int curves = int(state.range(0));
    GraphBench bench;
    int saved[kOutputCount];
    std::copy(std::begin(g_bOutCurveShown), std::end(g_bOutCurveShown), std::begin(saved));
    for (int i = 0; i < kOutputCount; ++i)
        g_bOutCurveShown[i] = i < curves;
    bench.graph.Redraw(10);
    for (auto _ : state)
        bench.graph.Redraw(-1);
    std::copy(std::begin(saved), std::end(saved), std::begin(g_bOutCurveShown));
}
BENCHMARK(BM_GraphRedraw)->Arg(1)->Arg(12)->Unit(benchmark::kMicrosecond);

} // namespace
