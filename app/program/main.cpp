// kavro-tune: the tuning application.  Without a processor on USB it finds
// one over the network; KT_DEVICE_IP and KT_DEVICE_PORT point it at another
// address, such as the simulated processor on this machine.

#include "app/TALQ50.h"
#include "link/Net_Socket.h"
#include "model/Globals.h"
#include "platform/net/NetAdapters.h"
#include "platform/sys/StopSignals.h"
#include "platform/win/QtFileDialog.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr std::uint16_t kDefaultPort = 8899;
constexpr const char* kDefaultDeviceIp = "192.168.4.1";

void ReadDeviceAddress() {
    if (const char* ip = std::getenv("KT_DEVICE_IP"); ip && *ip && !platform::IsIpv4Address(ip)) {
        std::fprintf(stderr, "kavro-tune: KT_DEVICE_IP \"%s\" is not an IPv4 address; using %s\n", ip,
                     kDefaultDeviceIp);
        g_strDeviceIp = kDefaultDeviceIp;
    }
    const char* port = std::getenv("KT_DEVICE_PORT");
    if (!port || !*port)
        return;
    char* end = nullptr;
    const long value = std::strtol(port, &end, 10);
    if (*end != '\0' || value < 1 || value > 65535) {
        std::fprintf(stderr, "kavro-tune: KT_DEVICE_PORT \"%s\" is not a port 1..65535; using %u\n", port,
                     unsigned(kDefaultPort));
        g_nDevicePort = kDefaultPort;
        return;
    }
    g_nDevicePort = std::uint16_t(value);
}

} // namespace

int main(int argc, char** argv) {
    // Before anything slow: a stop signal that arrives while the program
    // starts is kept and closes it once the event loop runs, instead of
    // ending the process the default way.
    platform::StopSignalWatch stopSignals;
    ReadDeviceAddress();
    platform::win::QtFileDialog fileDialogs;
    CTALQ50App app(&stopSignals);
    return app.Run(argc, argv);
}
