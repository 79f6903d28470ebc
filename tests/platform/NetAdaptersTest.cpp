#include "platform/net/NetAdapters.h"

#include <gtest/gtest.h>

using platform::NetAdapter;

TEST(NetAdapters, SubnetComparesTheOctetsOfFullMaskOctets) {
    struct Case {
        NetAdapter adapter;
        const char* device;
        bool onSubnet;
    };
    const Case cases[] = {
        {{"10.1.2.7", "255.255.255.0"}, "10.1.2.254", true},
        {{"10.1.2.7", "255.255.255.0"}, "10.1.3.254", false},
        {{"10.1.2.7", "255.255.0.0"}, "10.1.3.254", true},
        {{"10.1.2.7", "0.0.0.0"}, "10.1.2.7", false},
        // Partial mask octets are passed over: 255.255.254.0 compares two octets.
        {{"10.1.2.7", "255.255.254.0"}, "10.1.9.1", true},
        {{"10.1.2.7", "255.255.254.0"}, "10.2.2.7", false},
        {{"127.0.0.1", "255.0.0.0"}, "127.0.0.1", true},
        {{"127.0.0.1", "255.0.0.0"}, "127.44.0.9", true},
        {{"10.1.2.7", "255.255.255.0"}, "", false},
        {{"10.1.2.7", "255.255.255.0"}, "10.1.2", false},
        {{"", ""}, "10.1.2.7", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::IsOnAdapterSubnet(c.adapter, c.device), c.onSubnet)
            << c.adapter.address << "/" << c.adapter.mask << " " << c.device;
    }
}

TEST(NetAdapters, LoopbackIsListedSoALocalProcessorIsOnASubnet) {
    const auto adapters = platform::LocalAdapters();
    bool loopback = false;
    bool local = false;
    for (const auto& adapter : adapters) {
        loopback = loopback || (adapter.address == "127.0.0.1" && adapter.mask == "255.0.0.0");
        local = local || platform::IsOnAdapterSubnet(adapter, "127.0.0.1");
    }
    EXPECT_TRUE(loopback);
    EXPECT_TRUE(local);
}
