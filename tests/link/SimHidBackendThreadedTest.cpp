#include "platform/sys/VirtualClock.h"
#include "sim/lib/SimHidBackend.h"
#include "tests/link/SimTestFrames.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

using namespace sim;
using simtest::Read9;
using simtest::Request;
using simtest::Write9;

namespace {

using Report = std::array<BYTE, 65>;

Report AsReport(const std::vector<BYTE>& bytes) {
    Report r{};
    std::copy(bytes.begin(), bytes.end(), r.begin() + 1);
    return r;
}

// Notices arrive on the backend's thread; the test waits for them.
class RecordingSink final : public platform::HidChangeSink {
public:
    void OnHidArrival(const std::string& path) override { Add("+" + path); }
    void OnHidRemoval(const std::string& path) override { Add("-" + path); }

    // The notices so far, once there are at least `count` (or after 5 s).
    std::vector<std::string> WaitFor(std::size_t count) {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::seconds(5), [&] { return m_notices.size() >= count; });
        return m_notices;
    }

private:
    void Add(std::string notice) {
        std::lock_guard lock(m_mutex);
        m_notices.push_back(std::move(notice));
        m_changed.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_notices;
};

class SimHidBackendThreaded : public ::testing::Test {
protected:
    void SetUp() override { backend.Subscribe(&sink); }
    void TearDown() override { backend.Unsubscribe(&sink); }

    std::shared_ptr<platform::HidDevice> OpenProcessor() {
        return backend.Open(backend.Bus().ProcessorPath());
    }

    // Reads the reports that are waiting, without waiting.
    static std::vector<Report> Drain(platform::HidDevice& device) {
        std::vector<Report> reports;
        Report r{};
        while (device.Read(r.data(), r.size(), 0) == 65)
            reports.push_back(r);
        return reports;
    }

    // Declared first, so it outlives the backend's notice thread.
    std::unique_ptr<platform::VirtualClock> clock = std::make_unique<platform::VirtualClock>();
    SimProcessor processor;
    SimHidBackend backend{processor};
    RecordingSink sink;
};

} // namespace

TEST_F(SimHidBackendThreaded, ListedWithTheProcessorsIds) {
    const auto devices = backend.Enumerate();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(platform::MatchingHidPaths(devices, 0x0483, 0x5750, 0x0200), CStringArray{"/dev/sim-hidraw0"});
    EXPECT_EQ(backend.Open("/dev/hidraw9"), nullptr);
}

// Every reply starts in a fresh report: report id 0, the frame from byte 1,
// zeros after its end.
TEST_F(SimHidBackendThreaded, RepliesAreCutIntoReports) {
    auto device = OpenProcessor();
    ASSERT_TRUE(device);

    // An output record: 312 bytes in five reports, the last one 56 bytes and 8 zeros.
    const auto recordRequest = Request(frame::kCmdRead, 0, 4, 11, 0x77);
    const Report request = AsReport(recordRequest);
    ASSERT_EQ(device->Write(request.data(), request.size(), 20), 65);
    const auto reports = Drain(*device);
    ASSERT_EQ(reports.size(), 5u);
    std::vector<BYTE> joined;
    for (const auto& r : reports) {
        EXPECT_EQ(r[0], 0);
        joined.insert(joined.end(), r.begin() + 1, r.end());
    }
    const auto expected = simtest::Exchange(processor, recordRequest).bytes;
    ASSERT_EQ(expected.size(), 312u);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), joined.begin()));
    EXPECT_TRUE(std::all_of(joined.begin() + 312, joined.end(), [](BYTE b) { return b == 0; }));

    // Two requests in one report get two replies, each in its own report.
    auto both = Read9(204);
    const auto second = Read9(52);
    both.insert(both.end(), second.begin(), second.end());
    const Report twoRequests = AsReport(both);
    device->Write(twoRequests.data(), twoRequests.size(), 20);
    const auto two = Drain(*device);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(simtest::Parse({two[0].begin() + 1, two[0].begin() + 18})->channel, 204);
    EXPECT_EQ(simtest::Parse({two[1].begin() + 1, two[1].begin() + 18})->channel, 52);
    EXPECT_EQ(two[0][18], 0);

    // A merged reply shares the report of the next one.
    processor.InjectFault(SimFault(SimFaultKind::Merge));
    const Report handshake = AsReport(Read9(204));
    device->Write(handshake.data(), handshake.size(), 20);
    EXPECT_TRUE(Drain(*device).empty());
    device->Write(handshake.data(), handshake.size(), 20);
    const auto merged = Drain(*device);
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(merged[0][18], 0x5C) << "the second reply follows at once";
}

// Waiting happens on the clock in use: a test's virtual clock moves instead.
TEST_F(SimHidBackendThreaded, SilenceAndDelayRunOnTheClock) {
    auto device = OpenProcessor();
    Report r = AsReport(Read9(3));
    processor.InjectFault(SimFault(SimFaultKind::Silence));
    device->Write(r.data(), r.size(), 20);
    const auto start = clock->NowMs();
    EXPECT_EQ(device->Read(r.data(), r.size(), 2000), 0);
    EXPECT_EQ(clock->NowMs() - start, 2000);

    r = AsReport(Read9(3));
    processor.InjectFault(SimFault(SimFaultKind::Delay, 700));
    device->Write(r.data(), r.size(), 20);
    EXPECT_EQ(device->Read(r.data(), r.size(), 500), 0) << "not yet due";
    EXPECT_EQ(device->Read(r.data(), r.size(), 2000), 65);
    EXPECT_EQ(clock->NowMs() - start, 2700);
}

TEST_F(SimHidBackendThreaded, UnplugAndCloseEndAPendingRead) {
    clock.reset(); // reads must really wait here
    auto device = OpenProcessor();
    int result = 1;
    std::thread reader([&] {
        Report r{};
        result = device->Read(r.data(), r.size(), 600000);
    });
    backend.Bus().Unplug();
    reader.join();
    EXPECT_EQ(result, -1);
    EXPECT_EQ(sink.WaitFor(1), std::vector<std::string>{"-/dev/sim-hidraw0"});
    EXPECT_TRUE(backend.Enumerate().empty());
    EXPECT_EQ(backend.Open("/dev/sim-hidraw0"), nullptr);

    backend.Bus().Plug("/dev/sim-hidraw7");
    EXPECT_EQ(sink.WaitFor(2).back(), "+/dev/sim-hidraw7");
    const Report r = AsReport(Read9(204));
    EXPECT_EQ(device->Write(r.data(), r.size(), 20), -1) << "a handle does not survive its device";
    auto again = backend.Open("/dev/sim-hidraw7");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Write(r.data(), r.size(), 20), 65);

    std::thread closer([&] { again->Close(); });
    Report in{};
    int closedRead = 0;
    do {
        closedRead = again->Read(in.data(), in.size(), 600000);
    } while (closedRead > 0);
    closer.join();
    EXPECT_EQ(closedRead, -1);
}

// After the firmware start frame and after the end frame the processor
// restarts: it goes away once its reply was read and comes back later.
TEST_F(SimHidBackendThreaded, RestartsAfterTheFirmwareStartAndEndFrames) {
    auto device = OpenProcessor();
    Report r = AsReport(Write9(HEXApply, std::vector<BYTE>(16, 0)));
    device->Write(r.data(), r.size(), 20);
    ASSERT_EQ(device->Read(r.data(), r.size(), 0), 65);
    EXPECT_EQ(r[1 + frame::kOffChannel], HEXApply);
    EXPECT_EQ(device->Read(r.data(), r.size(), 0), -1);
    EXPECT_EQ(sink.WaitFor(1), std::vector<std::string>{"-/dev/sim-hidraw0"});

    clock->Advance(SimHidBus::kDefaultRestartAwayMs - 1);
    EXPECT_TRUE(backend.Enumerate().empty());
    clock->Advance(1);
    EXPECT_EQ(sink.WaitFor(2).back(), "+/dev/sim-hidraw1") << "back at a new path";
    EXPECT_EQ(backend.Bus().ProcessorPath(), "/dev/sim-hidraw1");
    EXPECT_TRUE(processor.Firmware().inLoader);

    backend.Bus().SetRestart(3000, false);
    device = OpenProcessor();
    r = AsReport(Write9(HEXEnd, {0x12}));
    device->Write(r.data(), r.size(), 20);
    EXPECT_EQ(device->Read(r.data(), r.size(), 0), 65);
    EXPECT_EQ(device->Read(r.data(), r.size(), 0), -1);
    clock->Advance(3000);
    EXPECT_EQ(sink.WaitFor(4).back(), "+/dev/sim-hidraw1") << "back at the same path";
    EXPECT_TRUE(processor.Firmware().complete);
}

// A link that slept through a whole restart learns of it from its next call;
// the notices must be out by then, or the view would hear of the restart only
// after whatever the link did next.
TEST_F(SimHidBackendThreaded, ACallThatFindsARestartOverReturnsAfterItsNotices) {
    const std::pair<const char*, std::function<void(platform::HidDevice&)>> calls[] = {
        {"enumerate", [&](platform::HidDevice&) { backend.Enumerate(); }},
        {"read",
         [](platform::HidDevice& old) {
             Report r{};
             EXPECT_EQ(old.Read(r.data(), r.size(), 0), -1);
         }},
    };
    int restarts = 0;
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        auto device = OpenProcessor();
        ASSERT_TRUE(device);
        const std::string before = backend.Bus().ProcessorPath();
        backend.Bus().SetRestart(1500, true, 50);
        Report r = AsReport(Write9(HEXApply, std::vector<BYTE>(16, 0)));
        device->Write(r.data(), r.size(), 20);
        ASSERT_EQ(device->Read(r.data(), r.size(), 0), 65);
        clock->Advance(5000);
        call(*device);
        ++restarts;
        const auto notices = sink.WaitFor(0);
        ASSERT_EQ(notices.size(), 2u * restarts);
        EXPECT_EQ(notices[notices.size() - 2], "-" + before);
        EXPECT_EQ(notices.back(), "+" + backend.Bus().ProcessorPath());
    }
}

TEST_F(SimHidBackendThreaded, ForeignDevicesOpenButNeverAnswer) {
    backend.Bus().AddForeignDevice({"/dev/hidraw3", 0x046d, 0xc52b, 0x1211});
    EXPECT_EQ(backend.Enumerate().size(), 2u);
    auto foreign = backend.Open("/dev/hidraw3");
    ASSERT_TRUE(foreign);
    Report r = AsReport(Read9(204));
    EXPECT_EQ(foreign->Write(r.data(), r.size(), 20), 65);
    EXPECT_EQ(foreign->Read(r.data(), r.size(), 2000), 0);
    backend.Bus().RemoveForeignDevice("/dev/hidraw3");
    EXPECT_EQ(sink.WaitFor(2), (std::vector<std::string>{"+/dev/hidraw3", "-/dev/hidraw3"}));
    EXPECT_TRUE(backend.Bus().IsProcessorPresent());
}

TEST_F(SimHidBackendThreaded, ResetFaultUnplugsTheProcessor) {
    auto device = OpenProcessor();
    processor.InjectFault(SimFault(SimFaultKind::Reset));
    Report r = AsReport(Read9(3));
    device->Write(r.data(), r.size(), 20);
    EXPECT_EQ(device->Read(r.data(), r.size(), 2000), -1);
    EXPECT_FALSE(backend.Bus().IsProcessorPresent());
}
