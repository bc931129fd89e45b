#include "app/monitoring_cycle.h"
#include "support/fake_clock.h"
#include "support/recording_link_error_handler.h"
#include "support/stub_bridge.h"

#include <QtTest>
#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

// Counts the binary's allocations, to show that a steady tick makes none.
namespace {
std::atomic<long> allocations{0};
}
void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace qmt::app {
namespace {

constexpr std::int32_t Chip = 0x4C;

// A chip on a stub bridge, a clock that moves when told, and activities 2 to 5
// registered with their program intervals, counting their runs.
struct World {
    explicit World(double startSeconds = 36000.0) : clock(startSeconds) {
        bridge.AddChip(Chip);
        usb.DeviceAddress = Chip;
        const auto every = [](double ms) { return [ms] { return ms; }; };
        const auto on = [] { return true; };
        cycle.SetActivity(Activity::RegMapContinuousRead, on, every(500), [this] { ++runs[1]; });
        cycle.SetActivity(Activity::LimitsRefresh, on, every(200), [this] { ++runs[2]; });
        cycle.SetActivity(
            Activity::GraphFeed, on, [this] { return static_cast<double>(state.GraphingInterval); },
            [this] { ++runs[3]; });
        cycle.SetActivity(
            Activity::LogLine, on, [this] { return static_cast<double>(state.LoggingInterval); },
            [this] { ++runs[4]; });
    }
    int Reads() const { return bridge.Count(222) / 5; }
    void Ticks(int count) { // 10 ms apart, the first at once
        for (int i = 0; i < count; ++i) {
            cycle.Tick();
            clock.AdvanceMs(10);
        }
    }
    void TickAt(double seconds) {
        clock.SetSecondsSinceMidnight(seconds);
        cycle.Tick();
    }

    test::StubBridge bridge;
    link::USBStuff usb;
    GeneralStuff state;
    test::RecordingLinkErrorHandler errors;
    link::RegisterAccess access{bridge, usb, state, errors};
    test::FakeClock clock;
    MonitoringCycle cycle{state, access, clock};
    std::array<int, 5> runs{};
};

double Single(double seconds) {
    return static_cast<float>(seconds);
}

} // namespace

class TestMonitoringCycle : public QObject {
    Q_OBJECT

private slots:
    void defaultsInOneSecond_data();
    void defaultsInOneSecond();
    void dueRules();
    void midnightRunsEachActivityOnceThenResumes();
    void lastRunIsTheClockAfterTheAction();
    void continuousReadingOffStopsOnlyTheReads();
    void readTemperaturesReadsInOrderAndDecodes();
    void linkFailureDuringReadingPropagates();
    void steadyTickDoesNotAllocate();
};

void TestMonitoringCycle::defaultsInOneSecond_data() {
    QTest::addColumn<double>("start");
    QTest::newRow("morning") << 36000.0;
    QTest::newRow("just after midnight") << 0.5;
    QTest::newRow("odd millisecond") << 50000.123;
}

void TestMonitoringCycle::defaultsInOneSecond() {
    QFETCH(double, start);
    World world(start);
    world.Ticks(100);
    QVERIFY(world.Reads() >= 9 && world.Reads() <= 10);
    QCOMPARE(world.runs[1], 2);
    QVERIFY(world.runs[2] >= 4 && world.runs[2] <= 5);
    QVERIFY(world.runs[3] >= 16 && world.runs[3] <= 20);
}

void TestMonitoringCycle::dueRules() {
    // The first tick runs every activity that is on, in order 1 to 5.
    World world(36000.0);
    std::vector<int> order;
    for (int i = 4; i >= 0; --i) {
        world.cycle.SetActivity(
            static_cast<Activity>(i), [] { return true; }, [] { return 100.0; },
            [&order, i] { order.push_back(i + 1); });
    }
    world.cycle.Tick();
    QCOMPARE(order, (std::vector<int>{1, 2, 3, 4, 5}));

    // At 36000 s a single-precision step is 1/256 s: 36000.1 and 36000.101 both
    // round to the rounded due time, which is not yet due.
    world.TickAt(36000.1);
    world.TickAt(36000.101);
    QCOMPARE(order.size(), std::size_t{5});
    world.TickAt(36000.104);
    QCOMPARE(order.size(), std::size_t{10});

    // Interval 0 runs at every tick; a negative one even without time passing.
    World zero;
    zero.state.ReadingInterval = 0;
    zero.Ticks(7);
    QCOMPARE(zero.Reads(), 7);
    zero.state.ReadingInterval = -100;
    zero.cycle.Tick();
    zero.cycle.Tick();
    QCOMPARE(zero.Reads(), 9);

    // Cleared activities never run.
    zero.cycle.ClearActivity(Activity::ReadTemperatures);
    zero.cycle.ClearActivity(Activity::LogLine);
    const int logs = zero.runs[4];
    zero.Ticks(50);
    QCOMPARE(zero.Reads(), 9);
    QCOMPARE(zero.runs[4], logs);
}

void TestMonitoringCycle::midnightRunsEachActivityOnceThenResumes() {
    World world(86399.0);
    world.Ticks(95);
    const auto before = world.runs;
    const int reads = world.Reads();
    world.TickAt(0.0);
    QCOMPARE(world.Reads(), reads + 1);
    for (std::size_t i = 1; i < 5; ++i) {
        QCOMPARE(world.runs[i], before[i] + 1);
    }
    QCOMPARE(world.cycle.LastRun(Activity::GraphFeed), 0.0);
    // The periods count from midnight now: the graph's 50 ms end after 0.05.
    for (double t : {0.01, 0.02, 0.03, 0.04, 0.05}) {
        world.TickAt(t);
    }
    QCOMPARE(world.runs[3], before[3] + 1);
    world.TickAt(0.06);
    QCOMPARE(world.runs[3], before[3] + 2);
    QCOMPARE(world.runs[1], before[1] + 1);
}

void TestMonitoringCycle::lastRunIsTheClockAfterTheAction() {
    World world(36000.0);
    world.cycle.SetActivity(
        Activity::LogLine, [] { return true; }, [] { return 100.0; },
        [&world] { world.clock.AdvanceMs(30); });
    world.cycle.Tick();
    QCOMPARE(world.cycle.LastRun(Activity::ReadTemperatures), 36000.0);
    QCOMPARE(world.cycle.LastRun(Activity::LogLine), Single(36000.03));
    // Due after 36000.03 + 0.1 in single precision: 36000.13 is not, .14 is.
    world.TickAt(36000.13);
    QCOMPARE(world.cycle.LastRun(Activity::LogLine), Single(36000.03));
    world.TickAt(36000.14);
    QCOMPARE(world.cycle.LastRun(Activity::LogLine), Single(36000.17));
}

void TestMonitoringCycle::continuousReadingOffStopsOnlyTheReads() {
    World world;
    world.bridge.chips[Chip][0x00] = 0x19;
    world.Ticks(1);
    world.state.ContinuousReading = false;
    world.bridge.chips[Chip][0x00] = 0x20;
    const auto before = world.runs;
    world.Ticks(100);
    QCOMPARE(world.Reads(), 1);
    QCOMPARE(world.state.LocalTemp, 25.0f);
    QVERIFY(world.runs[3] > before[3] && world.runs[4] > before[4]);
    world.state.ContinuousReading = true;
    world.Ticks(1);
    QCOMPARE(world.state.LocalTemp, 32.0f);
}

void TestMonitoringCycle::readTemperaturesReadsInOrderAndDecodes() {
    World world;
    auto& chip = world.bridge.chips[Chip];
    chip[0x00] = 0x19;
    chip[0x01] = 0x19;
    chip[0x10] = 0x80;
    chip[0x30] = 0x59;
    chip[0x33] = 0x7F; // bits 5:0 are no quarters
    world.cycle.ReadTemperatures();
    std::vector<std::int32_t> order;
    for (const auto& call : world.bridge.Calls(222)) {
        QVERIFY(call.value == Chip && call.arg4 == 1);
        order.push_back(call.index);
    }
    QCOMPARE(order, (std::vector<std::int32_t>{0x00, 0x10, 0x01, 0x33, 0x30}));
    QCOMPARE(world.state.LocalTemp, 25.0f);
    QCOMPARE(world.state.Remote1Temp, 25.5f);
    QCOMPARE(world.state.Remote2Temp, 89.25f);

    world.state.ExtendedRange = true;
    chip[0x01] = 0x35;
    chip[0x10] = 0xC0;
    world.cycle.ReadTemperatures();
    QCOMPARE(world.state.LocalTemp, -39.0f);
    QCOMPARE(world.state.Remote1Temp, -10.25f);
}

void TestMonitoringCycle::linkFailureDuringReadingPropagates() {
    World world;
    world.bridge.chips[Chip][0x00] = 0x19;
    world.bridge.failAfterRequests = 2; // the Remote 1 high byte fails
    world.state.Remote1Temp = 7.0f;
    QVERIFY_THROWS_EXCEPTION(link::LinkFailure, world.cycle.Tick());
    QCOMPARE(world.errors.codes, std::vector{link::LinkError::Communications});
    QCOMPARE(world.state.LocalTemp, 25.0f);
    QCOMPARE(world.state.Remote1Temp, 7.0f);
    QCOMPARE(world.cycle.LastRun(Activity::ReadTemperatures), 0.0);
}

void TestMonitoringCycle::steadyTickDoesNotAllocate() {
    World world;
    world.state.ReadingInterval = 0;
    world.bridge.log.reserve(2000); // the stub's own record
    world.Ticks(10);
    const long before = allocations.load();
    world.Ticks(200);
    QCOMPARE(allocations.load() - before, 0L);
    QCOMPARE(world.Reads(), 210);
}

} // namespace qmt::app

QTEST_GUILESS_MAIN(qmt::app::TestMonitoringCycle)
#include "test_monitoring_cycle.moc"
