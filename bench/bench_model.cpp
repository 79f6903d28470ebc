// The whole model: loading it from an image, an idle pick of the change
// tracker (the status poll), and an all-presets file written and read.

#include "model/DeviceDefaults.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "model/PresetJson.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// A live image with every band shaped, so no response is trivially flat.
void FillShapedImage(CKTV_Data& model) {
    InitDefaultDeviceData();
    for (int j = 0; j < kOutputCount; ++j) {
        CKTV_OutData& out = *model.GetOutput(j);
        for (int k = 0; k < 31; ++k) {
            out.GetBand(k)->SetGainIndex(120 + 3 * k);
            out.GetBand(k)->SetBandwidthIndex(40 + k);
        }
    }
    model.PackToImage();
}

void BM_LoadFromImage(benchmark::State& state) {
    CKTV_Data model;
    FillShapedImage(model);
    for (auto _ : state)
        model.LoadFromImage(g_DeviceImage, 0);
}
BENCHMARK(BM_LoadFromImage)->Unit(benchmark::kMicrosecond);

void BM_IdlePick(benchmark::State& state) {
    InitDefaultDeviceData();
    CKTV_Data model;
    g_bOnline = 0;
    g_bNameCheckPending = 0;
    for (auto _ : state) {
        auto frame = model.SendNextDirtyBlock();
        benchmark::DoNotOptimize(frame.get());
    }
}
BENCHMARK(BM_IdlePick);

void BM_WriteAndReadAllPresetsFile(benchmark::State& state) {
    CKTV_Data model;
    FillShapedImage(model);
    CPresetJson json;
    const std::string path =
        (std::filesystem::temp_directory_path() / ("kt_bench_" + std::to_string(::getpid()) + ".rdda"))
            .string();
    for (auto _ : state) {
        if (!json.WriteAllPresetsFile(path) || !json.ReadAllPresetsFile(path))
            state.SkipWithError("all-presets file refused");
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_WriteAndReadAllPresetsFile)->Unit(benchmark::kMicrosecond);

} // namespace
