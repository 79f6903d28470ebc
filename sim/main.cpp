// kt_simulator: the simulated processor on TCP, for running the program
// without hardware.  Runs until interrupted.

#include "sim/lib/SimOptions.h"
#include "sim/lib/SimProcessor.h"
#include "sim/lib/SimTcpServer.h"

#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
    const sim::SimOptions options = sim::ParseSimOptions({argv + 1, argv + argc});
    if (!options.error.empty()) {
        std::fprintf(stderr, "kt_simulator: %s\n%s", options.error.c_str(), sim::kSimUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(sim::kSimUsage, stdout);
        return 0;
    }

    // Block the stop signals before any thread starts, so only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    sim::SimProcessor processor;
    sim::SimTcpServer server(processor);
    if (!server.Start(options.port)) {
        std::fprintf(stderr, "kt_simulator: cannot listen on 127.0.0.1:%u\n", options.port);
        return 1;
    }
    std::printf("kt_simulator: listening on 127.0.0.1:%u\n", server.Port());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    return 0;
}
