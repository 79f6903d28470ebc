// The receiver and reply parser fed a byte stream in pieces, as the
// communication thread feeds it, with requests queued and a model that
// reloads itself from the images when the parser says data arrived.  Several
// replies may come in one piece.

#include "FuzzCheck.h"
#include "link/KTVCommand.h"
#include "link/LinkGlobals.h"
#include "model/DeviceDefaults.h"
#include "model/FrameBuilders.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "platform/sys/MessageWindow.h"
#include "platform/sys/UserMessages.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

struct World {
    World() {
        InitDefaultDeviceData();
        model = std::make_unique<CKTV_Data>();
        command.SetNotifyWnd(view.GetSafeHwnd());
    }
    platform::MessageWindow view;
    CKTVCommand command;
    std::unique_ptr<CKTV_Data> model;
};

World& TheWorld() {
    static World world;
    return world;
}

// The requests a reply may answer, picked by the input's first byte.
void QueueRequests(CKTVCommand& command, std::uint8_t pick) {
    g_bHandshakeWait = pick & 0x80 ? 1 : 0;
    switch (pick & 3) {
    case 0:
        command.AddCommand(BuildBandFrame(DATA_STATUS_POLL, 0, 0));
        break;
    case 1:
        command.AddCommand(BuildRequestFrame(pick >> 2 & 7, DATA_OUTPUT, pick >> 4 & 0xF, 1, 1));
        break;
    case 2:
        command.AddCommand(BuildRequestFrame9(pick >> 2 & 0x3F, pick >> 5 & 7));
        break;
    default:
        command.AddCommand(BuildBandFrame(DATA_OUTPUT, pick >> 2 & 0xF, pick >> 4 & 0x1F));
        break;
    }
    command.AddCommand(BuildBandFrame(DATA_STATUS_POLL, 0, 0));
    // Replies kept from one read for the next have frames left to answer.
    command.AddCommand(BuildBandFrame(DATA_OUTPUT, 0, 31));
    command.AddCommand(BuildBandFrame(DATA_STATUS_POLL, 0, 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    World& w = TheWorld();
    w.command.ClearCommands();
    g_bDataStepHalted = 0;
    QueueRequests(w.command, data[0]);
    const int queued = w.command.GetCommandCount();
    // USB hands the receiver 64-byte reports; TCP whatever a receive brought.
    const std::size_t piece = data[1] & 0x80 ? frame::kHidChunkSize : std::size_t(data[1] & 0x7F) + 1;
    data += 2;
    size -= 2;
    while (size > 0) {
        const std::size_t n = std::min({piece, size, std::size_t(kNetRecvBufSize)});
        std::memcpy(g_NetRecvBuf, data, n);
        const int before = w.command.GetCommandCount();
        const int result = w.command.OnNetworkData(int(n));
        FUZZ_REQUIRE(result == 0 || result == 1);
        // One reply ends an exchange: what follows it waits for the next read.
        FUZZ_REQUIRE(before - w.command.GetCommandCount() <= result);
        data += n;
        size -= n;
        for (const auto& m : w.view.TakeMessages()) {
            if (m.message == UM_LIVE_DATA_RECEIVED || m.message == UM_ALL_PRESETS_RECEIVED)
                w.model->LoadFromImage(g_DeviceImage, 0);
        }
    }
    // Replies only ever take frames off the queue.
    FUZZ_REQUIRE(w.command.GetCommandCount() <= queued);
    for (int status : g_DeviceStatus)
        FUZZ_REQUIRE(status >= 0 && status <= 255);
    return 0;
}
