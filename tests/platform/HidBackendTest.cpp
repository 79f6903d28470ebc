#include "platform/hid/HidBackend.h"
#include "platform/hid/HidapiBackend.h"

#include <gtest/gtest.h>

using platform::HidBackend;
using platform::HidDeviceInfo;

TEST(HidBackend, MatchingPathsNeedAllThreeIdsAndKeepTheListedOrder) {
    const std::vector<HidDeviceInfo> devices = {
        {"/dev/hidraw0", 0x0483, 0x5750, 0x0200}, {"/dev/hidraw1", 0x0483, 0x5750, 0x0201},
        {"/dev/hidraw2", 0x0483, 0x5751, 0x0200}, {"/dev/hidraw3", 0x0484, 0x5750, 0x0200},
        {"/dev/hidraw4", 0x046d, 0xc52b, 0x1211}, {"/dev/hidraw5", 0x0483, 0x5750, 0x0200},
    };
    EXPECT_EQ(platform::MatchingHidPaths(devices, 0x0483, 0x5750, 0x0200),
              (CStringArray{"/dev/hidraw0", "/dev/hidraw5"}));
    EXPECT_TRUE(platform::MatchingHidPaths({}, 0x0483, 0x5750, 0x0200).empty());
}

namespace {
class EmptyBackend final : public HidBackend {
public:
    std::vector<HidDeviceInfo> Enumerate() override { return {{"fake", 1, 2, 3}}; }
    std::shared_ptr<platform::HidDevice> Open(const std::string&) override { return nullptr; }
    void Subscribe(platform::HidChangeSink*) override {}
    void Unsubscribe(platform::HidChangeSink*) override {}
};
} // namespace

TEST(HidBackend, InstalledBackendServesUntilRemoved) {
    EmptyBackend fake;
    HidBackend* previous = HidBackend::Install(&fake);
    EXPECT_EQ(&HidBackend::Current(), &fake);
    EXPECT_EQ(HidBackend::Install(previous), &fake);
    EXPECT_NE(&HidBackend::Current(), &fake);
}

// The system backend without a processor: what can be checked is that it
// refuses what does not exist and that its notice thread ends cleanly.
TEST(HidapiBackendThreaded, MissingPathDoesNotOpenAndNoticesStopWithTheBackend) {
    struct Sink final : platform::HidChangeSink {
        void OnHidArrival(const std::string&) override {}
        void OnHidRemoval(const std::string&) override {}
    } sink;
    platform::HidapiBackend backend;
    EXPECT_EQ(backend.Open("/dev/hidraw-none"), nullptr);
    for (const auto& device : backend.Enumerate())
        EXPECT_FALSE(device.path.empty());
    backend.Subscribe(&sink);
    backend.Unsubscribe(&sink);
}
