// The main window: start-up to its first paint (the link's connect is
// posted and not part of it), the language switch, the refresh from the
// model with a repaint, and closing until everything has stopped.

#include "app/TALQ50.h"
#include "app/TALQ50Form.h"
#include "bench/BenchApplication.h"
#include "model/Globals.h"
#include "platform/sys/MessageQueue.h"
#include "platform/sys/RecordingMessageBox.h"
#include "platform/sys/Registry.h"
#include "platform/sys/Shell.h"
#include "platform/sys/ShellFolders.h"
#include "platform/win/Window.h"
#include "sim/lib/SimHidBackend.h"
#include "sim/lib/SimProcessor.h"
#include "tests/link/FakePing.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A machine of its own: registry, documents folder, no processor on USB, a
// ping that finds nothing.
struct Machine {
    Machine() {
        EnsureBenchApplication();
        platform::SetRegistryFile(dir.filePath("registry.ini").toStdString());
        platform::SetDocumentsFolder(dir.path().toStdString());
        platform::SetSystemLocaleName("en_US");
        previous = platform::HidBackend::Install(&backend);
        backend.Bus().Unplug();
        ping.Answer(false);
    }
    ~Machine() {
        platform::HidBackend::Install(previous);
        platform::SetRegistryFile({});
        platform::SetDocumentsFolder({});
        platform::SetSystemLocaleName({});
    }
    void Start() {
        app = std::make_unique<CTALQ50App>();
        boxes = std::make_unique<platform::RecordingMessageBox>();
        app->InitInstance();
    }
    void Stop() {
        app->ExitInstance();
        boxes.reset();
        app.reset();
        platform::PumpMessages();
    }
    HWND Main() const { return app->m_pMainWnd->GetSafeHwnd(); }

    QTemporaryDir dir;
    sim::SimProcessor processor;
    sim::SimHidBackend backend{processor};
    linktest::FakePingRunner ping;
    platform::HidBackend* previous = nullptr;
    std::unique_ptr<CTALQ50App> app;
    std::unique_ptr<platform::RecordingMessageBox> boxes;
};

void BM_StartupToFirstPaint(benchmark::State& state) {
    Machine machine;
    for (auto _ : state) {
        machine.Start();
        benchmark::DoNotOptimize(platform::win::RenderWindow(machine.Main()));
        state.PauseTiming();
        machine.Stop();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_ApplyLanguage(benchmark::State& state) {
    Machine machine;
    machine.Start();
    for (auto _ : state) {
        g_bChinese = !g_bChinese;
        g_pView->ApplyLanguage();
    }
    machine.Stop();
}
BENCHMARK(BM_ApplyLanguage)->Unit(benchmark::kMillisecond);

void BM_RefreshFromTheModelWithRepaint(benchmark::State& state) {
    Machine machine;
    machine.Start();
    for (auto _ : state) {
        g_pView->UpdateOutputControls();
        g_pView->UpdateAllControls();
        benchmark::DoNotOptimize(platform::win::RenderWindow(machine.Main()));
    }
    machine.Stop();
}
BENCHMARK(BM_RefreshFromTheModelWithRepaint)->Unit(benchmark::kMillisecond);

// The close button until the last thread of the program has ended.
void BM_CloseToExit(benchmark::State& state) {
    Machine machine;
    for (auto _ : state) {
        state.PauseTiming();
        machine.Start();
        platform::PumpMessages();
        state.ResumeTiming();
        g_pView->OnCloseButton();
        while (machine.app->m_pMainWnd->GetSafeHwnd())
            platform::PumpMessages();
        machine.Stop();
    }
}
BENCHMARK(BM_CloseToExit)->Unit(benchmark::kMillisecond);

} // namespace
