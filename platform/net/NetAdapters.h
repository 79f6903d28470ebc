#pragma once

// The machine's network adapters as the network link sees them: the first
// IPv4 address and mask of each, loopback included, so a processor at
// 127.0.0.1 counts as on a local subnet.

#include <string>
#include <vector>

namespace platform {

struct NetAdapter {
    std::string address;
    std::string mask;
};

// Empty when the system cannot list its adapters.
std::vector<NetAdapter> LocalAdapters();

// True when `deviceAddress` lies on the adapter's subnet: every octet whose
// mask octet is 255 matches, and there is at least one such octet.  Mask
// octets other than 255 are passed over.
bool IsOnAdapterSubnet(const NetAdapter& adapter, const std::string& deviceAddress);

// True for a dotted IPv4 address ("127.0.0.1").
bool IsIpv4Address(const std::string& text);

} // namespace platform
