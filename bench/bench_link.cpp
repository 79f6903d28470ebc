// The link pipeline against the simulated processor.
//
//  - NetExchange / UsbExchange: one data exchange (build or take the head
//    frame, write it, read and parse the reply, handle the view's notices)
//    run on the benchmark thread, so the CPU column is the program's own CPU
//    time per exchange; the simulator runs on its own threads.  No sleep of
//    the exchange loop is in there: the 5 ms pause between exchanges belongs
//    to the communication thread's loop, not to the step.  Items per second
//    is the end-to-end exchange rate over loopback TCP or the in-process
//    USB device.
//  - AllPresetsOverTcp: the 122-frame batch of every preset, queued and
//    exchanged to its end, per iteration.
//  - CommThreadOverTcp: the real communication thread with its 5 ms pause,
//    polling the status for 500 ms; items per second is the rate the
//    program reaches when nothing else limits it.

#include "link/LinkGlobals.h"
#include "link/Net_Socket.h"
#include "link/TALQ50View.h"
#include "model/DeviceDefaults.h"
#include "model/FrameBuilders.h"
#include "model/Globals.h"
#include "platform/hid/HidBackend.h"
#include "platform/sys/VirtualClock.h"
#include "sim/lib/SimHidBackend.h"
#include "sim/lib/SimTcpServer.h"
#include "tests/link/FakePing.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// A view linked to the simulated processor over TCP on loopback.
struct TcpRig {
    explicit TcpRig(bool virtualClock) {
        if (virtualClock)
            clock = std::make_unique<platform::VirtualClock>();
        InitDefaultDeviceData();
        ping.Answer(true);
        g_strDeviceIp = "127.0.0.1";
        server.Start(0);
        g_nDevicePort = server.Port();
        std::atomic<bool> running = true;
        socket->OnPingTick(&running);
        view->SetNetLink(socket.get());
        view->GetKTVCommand().SetNotifyWnd(view->GetSafeHwnd());
        g_nLinkMode = 0;
        ok = view->ConnectNetwork() == 1;
    }
    ~TcpRig() {
        view->StopCommThread(1);
        view->DisconnectNetwork();
        socket->StopPing(0);
        view.reset();
        socket.reset();
        server.Stop();
        g_nDevicePort = 8899;
    }

    std::unique_ptr<platform::VirtualClock> clock;
    linktest::FakePingRunner ping;
    sim::SimProcessor processor;
    sim::SimTcpServer server{processor};
    std::unique_ptr<CNet_Socket> socket = std::make_unique<CNet_Socket>();
    std::unique_ptr<CTALQ50View> view = std::make_unique<CTALQ50View>();
    bool ok = false;
};

void QueueStatusPoll(CTALQ50View& view) {
    std::lock_guard lock(g_csSend);
    view.GetKTVCommand().AddCommand(BuildBandFrame(DATA_STATUS_POLL, 0, 0));
}

// Exchanges one step at a time: the link is open but its thread is stopped.
void StopThreadKeepLink(CTALQ50View& view, int linkMode) {
    view.StopCommThread(1);
    view.m_bConnected = 1;
    g_nLinkMode = linkMode;
    g_bHandshakeWait = 0; // the connect's handshake may not have been answered yet
    std::lock_guard lock(g_csSend);
    view.GetKTVCommand().ClearCommands();
}

// Every poll was answered and the link still stands: the figures are of
// exchanges, not of failures.
void CheckAllAnswered(benchmark::State& state, CTALQ50View& view) {
    std::lock_guard lock(g_csSend);
    if (view.GetKTVCommand().GetCommandCount() != 0 || !view.m_bConnected)
        state.SkipWithError("exchanges failed");
}

void NetExchange(benchmark::State& state) {
    TcpRig rig(true);
    if (!rig.ok) {
        state.SkipWithError("no connection to the simulated processor");
        return;
    }
    StopThreadKeepLink(*rig.view, 2);
    g_bNetLinkUp = 1;
    for (auto _ : state) {
        QueueStatusPoll(*rig.view);
        rig.view->NetDataStep();
        platform::PumpMessages();
    }
    state.SetItemsProcessed(state.iterations());
    CheckAllAnswered(state, *rig.view);
}
BENCHMARK(NetExchange)->UseRealTime();

void UsbExchange(benchmark::State& state) {
    platform::VirtualClock clock;
    InitDefaultDeviceData();
    sim::SimProcessor processor;
    sim::SimHidBackend backend(processor);
    platform::HidBackend* previous = platform::HidBackend::Install(&backend);
    {
        CTALQ50View view;
        view.GetKTVCommand().SetNotifyWnd(view.GetSafeHwnd());
        g_strUsbDevicePath = backend.Bus().ProcessorPath();
        if (view.OpenUsbDevice() == 1) {
            g_nLinkMode = 1;
            view.m_bConnected = 1;
            for (auto _ : state) {
                QueueStatusPoll(view);
                view.UsbDataStep();
                platform::PumpMessages();
            }
            state.SetItemsProcessed(state.iterations());
            CheckAllAnswered(state, view);
            view.DisconnectUsb();
        } else {
            state.SkipWithError("the simulated device did not open");
        }
    }
    platform::HidBackend::Install(previous);
}
BENCHMARK(UsbExchange)->UseRealTime();

void AllPresetsOverTcp(benchmark::State& state) {
    TcpRig rig(true);
    if (!rig.ok) {
        state.SkipWithError("no connection to the simulated processor");
        return;
    }
    StopThreadKeepLink(*rig.view, 2);
    g_bNetLinkUp = 1;
    std::int64_t frames = 0;
    for (auto _ : state) {
        rig.view->SendAllPresets();
        for (;;) {
            {
                std::lock_guard lock(g_csSend);
                if (rig.view->GetKTVCommand().GetCommandCount() == 0)
                    break;
            }
            rig.view->NetDataStep();
            ++frames;
        }
        platform::PumpMessages();
    }
    state.SetItemsProcessed(frames);
    state.counters["frames_per_batch"] = double(frames) / double(state.iterations());
}
BENCHMARK(AllPresetsOverTcp)->UseRealTime()->Unit(benchmark::kMillisecond);

void CommThreadOverTcp(benchmark::State& state) {
    TcpRig rig(false);
    if (!rig.ok) {
        state.SkipWithError("no connection to the simulated processor");
        return;
    }
    std::int64_t exchanges = 0;
    for (auto _ : state) {
        const std::size_t before = rig.processor.Requests().size();
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        while (std::chrono::steady_clock::now() < end) {
            platform::PumpMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        exchanges += std::int64_t(rig.processor.Requests().size() - before);
    }
    state.SetItemsProcessed(exchanges);
}
BENCHMARK(CommThreadOverTcp)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(4);

} // namespace
