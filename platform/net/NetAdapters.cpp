#include "platform/net/NetAdapters.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <optional>

namespace platform {

namespace {

std::string DottedText(const sockaddr* address) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    return text;
}

std::optional<std::array<unsigned char, 4>> Octets(const std::string& text) {
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1)
        return std::nullopt;
    std::array<unsigned char, 4> octets;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&address.s_addr);
    for (int i = 0; i < 4; ++i)
        octets[i] = bytes[i];
    return octets;
}

} // namespace

std::vector<NetAdapter> LocalAdapters() {
    std::vector<NetAdapter> adapters;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return adapters;
    std::vector<std::string> seen;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !entry->ifa_netmask)
            continue;
        const std::string name = entry->ifa_name ? entry->ifa_name : "";
        if (std::find(seen.begin(), seen.end(), name) != seen.end())
            continue;
        seen.push_back(name);
        adapters.push_back({DottedText(entry->ifa_addr), DottedText(entry->ifa_netmask)});
    }
    freeifaddrs(list);
    return adapters;
}

bool IsOnAdapterSubnet(const NetAdapter& adapter, const std::string& deviceAddress) {
    const auto mask = Octets(adapter.mask);
    const auto own = Octets(adapter.address);
    const auto device = Octets(deviceAddress);
    if (!mask || !own || !device)
        return false;
    int compared = 0;
    for (int i = 0; i < 4; ++i) {
        if ((*mask)[i] != 255)
            continue;
        if ((*own)[i] != (*device)[i])
            return false;
        ++compared;
    }
    return compared > 0;
}

bool IsIpv4Address(const std::string& text) {
    in_addr address{};
    return inet_pton(AF_INET, text.c_str(), &address) == 1;
}

} // namespace platform
