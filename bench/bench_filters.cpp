// Response recomputation: every setter and every drag step recomputes one
// filter; loading a preset recomputes every filter of the twelve outputs.

#include "model/Filter.h"
#include "model/KTVEQ.h"

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

namespace {

const CRect kPlot(40, 10, 640, 250);

struct Kind {
    const char* name;
    int type;
    int family;
    int slope;
};

const Kind kKinds[] = {
    {"peaking", CFilter::Peaking, 0, 0},
    {"low shelf 12 dB/oct", CFilter::LowShelf, 0, 1},
    {"high shelf 6 dB/oct", CFilter::HighShelf, 0, 0},
    {"high-pass Linkwitz-Riley 48 dB/oct", CFilter::HighPass, CFilter::LinkwitzRiley, 7},
    {"high-pass Bessel 42 dB/oct", CFilter::HighPass, CFilter::Bessel, 6},
    {"low-pass Butterworth 48 dB/oct", CFilter::LowPass, CFilter::Butterworth, 7},
    {"low-pass Bessel 48 dB/oct", CFilter::LowPass, CFilter::Bessel, 7},
};

void BM_FilterResponse(benchmark::State& state) {
    const Kind& kind = kKinds[state.range(0)];
    CFilter f;
    const bool crossover = kind.type == CFilter::HighPass || kind.type == CFilter::LowPass;
    f.SetHandlesMode(crossover ? 0 : 1);
    f.SetType(kind.type);
    f.SetFamily(kind.family, 0);
    f.SetSlope(kind.slope, 0);
    f.SetFreq(crossover ? 1000 : 250, 0);
    f.SetGainIndex(260);
    f.SetGraphRect(kPlot);
    state.SetLabel(kind.name);
    for (auto _ : state) {
        f.ComputeResponse();
        benchmark::DoNotOptimize(f.GetResponse());
    }
}
BENCHMARK(BM_FilterResponse)->DenseRange(0, static_cast<int>(std::size(kKinds)) - 1);

// Twelve outputs of 31 bands and two crossovers, every filter shaping.
void BM_RecomputeAllOutputs(benchmark::State& state) {
    std::array<std::unique_ptr<CKTVEQ>, 12> outputs;
    for (int o = 0; o < 12; ++o) {
        outputs[o] = std::make_unique<CKTVEQ>();
        CKTVEQ& eq = *outputs[o];
        eq.InitOutputLayout(30, 32, 9, 20, 20000);
        eq.SetCurveRect(kPlot);
        for (int b = 0; b < 31; ++b)
            eq[b]->SetGainIndex(150 + 3 * b);
        eq[31]->SetSlope(7, 0);
        eq[31]->SetFreq(80, 0);
        eq[32]->SetFamily(CFilter::Bessel, 0);
        eq[32]->SetSlope(7, 0);
        eq[32]->SetFreq(12000, 0);
    }
    for (auto _ : state) {
        for (auto& eq : outputs) {
            for (int i = 0; i < eq->GetSize(); ++i)
                eq->GetAt(i)->ComputeResponse();
            eq->ComputeSumCurve();
        }
        benchmark::DoNotOptimize(outputs[11]->GetSumCurve());
    }
    state.SetItemsProcessed(state.iterations() * 12 * 33);
}
BENCHMARK(BM_RecomputeAllOutputs)->Unit(benchmark::kMicrosecond);

} // namespace
