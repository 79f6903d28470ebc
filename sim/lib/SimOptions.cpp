#include "sim/lib/SimOptions.h"

#include <charconv>

namespace sim {

const char* const kSimUsage = "usage: kt_simulator [--port N]\n"
                              "  Simulated processor: answers the link's frames on TCP 127.0.0.1:N "
                              "(default 8899; 0 picks a free port).\n";

SimOptions ParseSimOptions(const std::vector<std::string>& args) {
    SimOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--port" || arg.rfind("--port=", 0) == 0) {
            std::string value;
            if (arg == "--port") {
                if (i + 1 == args.size()) {
                    options.error = "--port needs a number";
                    return options;
                }
                value = args[++i];
            } else {
                value = arg.substr(7);
            }
            unsigned port = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), port);
            if (ec != std::errc() || end != value.data() + value.size() || port > 65535) {
                options.error = "not a port number: " + value;
                return options;
            }
            options.port = static_cast<std::uint16_t>(port);
        } else {
            options.error = "unknown argument: " + arg;
            return options;
        }
    }
    return options;
}

} // namespace sim
