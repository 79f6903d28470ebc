// A page's worth of numeric edits given new values and painted again, as
// when the output page loads another output: 100 edits of the level and
// delay types over a dialog background.

#include "bench/BenchApplication.h"
#include "controls/NumEdit.h"
#include "controls/SharedGdiObjects.h"
#include "platform/sys/MessageQueue.h"
#include "platform/win/Dialog.h"
#include "platform/win/Window.h"
#include "tests/controls/TestResources.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string>

namespace {

constexpr int kEdits = 100;

class EditPage final : public CDialog {
public:
    std::array<CNumEdit, kEdits> edits;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        for (int i = 0; i < kEdits; ++i)
            DDX_Control(dx, 2000 + i, edits[i]);
    }
};

void BM_SetAndRepaint100NumEdits(benchmark::State& state) {
    EnsureBenchApplication();
    TestResources res;
    // Ten columns of ten edits, 40 by 12 dialog units each.
    std::string source = "DIALOG 901 0 0 480 160\n";
    for (int i = 0; i < kEdits; ++i)
        source += "CONTROL " + std::to_string(2000 + i) + " Edit WS_VISIBLE " +
                  std::to_string(4 + (i % 10) * 47) + " " + std::to_string(4 + (i / 10) * 15) +
                  " 40 12 \"\"\n";
    res.AddDialog(901, source);
    if (!g_fontNumEdit.GetSafeHandle())
        CreateSharedFonts();
    EditPage page;
    page.Create(901);
    for (int i = 0; i < kEdits; ++i) {
        CNumEdit& e = page.edits[i];
        e.SetFont(&g_fontNumEdit);
        e.SetRange(0, i % 2 ? 600 : 384);
        e.SetStep(0.1);
        e.SetOffset(60);
        e.SetType(i % 2 ? 24 : 0, "");
    }
    platform::win::RenderWindow(page.GetSafeHwnd());
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (int i = 0; i < kEdits; ++i)
            page.edits[i].SetValue((round * 7 + i) % 384);
        benchmark::DoNotOptimize(platform::win::RenderWindow(page.GetSafeHwnd()));
    }
}
BENCHMARK(BM_SetAndRepaint100NumEdits)->Unit(benchmark::kMillisecond);

} // namespace
