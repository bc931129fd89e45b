#include "core/due_rule.h"
#include "core/monitoring_cycle.h"
#include "support/allocation_counter.h"
#include "support/fake_clock.h"
#include "support/recording_link_error_handler.h"
#include "support/stub_bridge.h"

#include <QtTest>
#include <string>
#include <vector>

namespace qmt::core {
namespace {

constexpr std::int32_t Chip = 0x4C;
constexpr auto Single = [](double seconds) -> double { return static_cast<float>(seconds); };

// A chip on a stub bridge, a clock that moves when told, and activities 2 to 5
// registered with the program's default intervals, counting their runs.
struct World {
    explicit World(double startSeconds = 36000.0) {
        clock.SetSecondsSinceMidnight(startSeconds);
        bridge.AddChip(Chip);
        usb.DeviceAddress = Chip;
        for (std::size_t i = 1; i < runs.size(); ++i) {
            cycle.SetActivity(
                static_cast<Activity>(i), [] { return true; }, [i] { return IntervalsMs[i]; },
                [this, i] { ++runs[i]; });
        }
    }
    int Reads() const { return bridge.Count(222) / 5; }
    void Ticks(int count) { // 10 ms apart, the first at once
        for (int i = 0; i < count; ++i, clock.AdvanceMs(10)) {
            cycle.Tick();
        }
    }
    void TickAt(double seconds) {
        clock.SetSecondsSinceMidnight(seconds);
        cycle.Tick();
    }

    static constexpr std::array IntervalsMs{0.0, 500.0, 200.0, 50.0, 100.0};
    test::StubBridge bridge;
    link::USBStuff usb;
    GeneralStuff state;
    test::RecordingLinkErrorHandler errors;
    link::RegisterAccess access{bridge, usb, state, errors};
    test::FakeClock clock;
    MonitoringCycle cycle{state, access, clock};
    std::array<int, 5> runs{};
};

} // namespace

class TestMonitoringCycle : public QObject {
    Q_OBJECT

private slots:
    void defaultsRunAtMostAsOftenAsDueAndTicksDoNotAllocate();
    void dueRulesAndLastRun();
    void midnightAndContinuousReadingOff();
    void readTemperaturesReadsInOrderAndKeepsOldValuesOnFailure();
    void activitiesMayClearAndReplaceActivitiesWhileRunning();
    void firstDueTickIsTheFirstTickTheRuleFindsDue();
    void armsTheNextDueTickAndNoneWhenNothingIsOn();
};

void TestMonitoringCycle::defaultsRunAtMostAsOftenAsDueAndTicksDoNotAllocate() {
    World world(50000.123); // one second of ticks 10 ms apart
    world.Ticks(100);
    QVERIFY(world.Reads() >= 9 && world.Reads() <= 10);
    QCOMPARE(world.runs[1], 2);
    // Interval 0 runs at every tick, and a steady tick allocates nothing.
    World zero;
    zero.state.ReadingInterval = 0;
    zero.bridge.log.reserve(2000); // the stub's own record
    zero.Ticks(10);
    const long before = test::AllocationCount();
    zero.Ticks(200);
    QCOMPARE(test::AllocationCount() - before, 0L);
    QCOMPARE(zero.Reads(), 210);
}

void TestMonitoringCycle::dueRulesAndLastRun() {
    // The first tick runs every activity that is on, in order 1 to 5.
    World world(36000.0);
    std::vector<int> order;
    for (int i = 4; i >= 0; --i) { // the log line's action takes 30 ms
        world.cycle.SetActivity(
            static_cast<Activity>(i), [] { return true; }, [] { return 100.0; },
            [&world, &order, i] {
                order.push_back(i + 1);
                world.clock.AdvanceMs(i == 4 ? 30 : 0);
            });
    }
    world.cycle.Tick();
    QCOMPARE(order, (std::vector<int>{1, 2, 3, 4, 5}));
    // The last run is the clock after the action.
    QCOMPARE(world.cycle.LastRun(Activity::LogLine), Single(36000.03));
    // At 36000 s a single-precision step is 1/256 s: 36000.1 and 36000.101
    // both round to the rounded due time, which is not yet due.
    world.TickAt(36000.1);
    world.TickAt(36000.101);
    QCOMPARE(order.size(), std::size_t{5});
    world.TickAt(36000.104);
    QCOMPARE(order.size(), std::size_t{9});
    // Due after 36000.03 + 0.1 in single precision: 36000.13 is not, .14 is.
    world.TickAt(36000.13);
    QCOMPARE(world.cycle.LastRun(Activity::LogLine), Single(36000.03));
    world.TickAt(36000.14);
    QCOMPARE(world.cycle.LastRun(Activity::LogLine), Single(36000.17));
}

void TestMonitoringCycle::midnightAndContinuousReadingOff() {
    World world(86399.0);
    world.Ticks(95);
    auto before = world.runs;
    const int reads = world.Reads();
    world.TickAt(0.0);
    QCOMPARE(world.Reads(), reads + 1);
    for (std::size_t i = 1; i < 5; ++i) {
        QCOMPARE(world.runs[i], before[i] + 1);
    }
    // The periods count from midnight now: the graph's 50 ms end after 0.05.
    world.TickAt(0.05);
    QCOMPARE(world.runs[3], before[3] + 1);
    world.TickAt(0.06);
    QCOMPARE(world.runs[3], before[3] + 2);

    // Continuous reading off stops only the reads.
    world.state.ContinuousReading = false;
    before = world.runs;
    world.Ticks(100);
    QCOMPARE(world.Reads(), reads + 1);
    QVERIFY(world.runs[3] > before[3] && world.runs[4] > before[4]);
    world.state.ContinuousReading = true;
    world.Ticks(1);
    QCOMPARE(world.Reads(), reads + 2);
}

void TestMonitoringCycle::readTemperaturesReadsInOrderAndKeepsOldValuesOnFailure() {
    World world;
    world.bridge.chips[Chip][0x00] = 0x19;
    world.bridge.chips[Chip][0x10] = 0x80;
    world.cycle.ReadTemperatures();
    std::vector<std::int32_t> order;
    for (const auto& call : world.bridge.Calls(222)) {
        order.push_back(call.index);
    }
    QCOMPARE(order, (std::vector<std::int32_t>{0x00, 0x10, 0x01, 0x33, 0x30}));
    QCOMPARE(world.state.Remote1Temp, 0.5f);

    // A lost link ends the cycle with the values read so far and no last run.
    World failing;
    failing.bridge.chips[Chip][0x00] = 0x19;
    failing.bridge.failAfterRequests = 2; // the Remote 1 high byte fails
    failing.state.Remote1Temp = 7.0f;
    QVERIFY_THROWS_EXCEPTION(link::LinkFailure, failing.cycle.Tick());
    QCOMPARE(failing.errors.codes, std::vector{link::LinkError::Communications});
    QCOMPARE(failing.state.LocalTemp, 25.0f);
    QCOMPARE(failing.state.Remote1Temp, 7.0f);
    QCOMPARE(failing.cycle.LastRun(Activity::ReadTemperatures), 0.0);
}

void TestMonitoringCycle::activitiesMayClearAndReplaceActivitiesWhileRunning() {
    // The captured texts live on the heap: were a running function destroyed
    // under it, the sanitizer would see the read after the clear.
    World world;
    std::vector<std::string> seen;
    const std::string mapName(64, 'm');
    world.cycle.SetActivity(
        Activity::RegMapContinuousRead, [] { return true; }, [] { return 0.0; },
        [&world, &seen, mapName] {
            world.cycle.ClearActivity(Activity::RegMapContinuousRead);
            world.cycle.ClearActivity(Activity::GraphFeed);
            seen.push_back(mapName);
        });
    const std::string first(64, 'a'), second(64, 'b');
    world.cycle.SetActivity(
        Activity::LimitsRefresh, [] { return true; }, [] { return 0.0; },
        [&world, &seen, first, second] {
            world.cycle.SetActivity(
                Activity::LimitsRefresh, [] { return true; }, [] { return 0.0; },
                [&seen, second] { seen.push_back(second); });
            seen.push_back(first);
        });
    const auto graphRuns = world.runs[3];
    world.Ticks(3);
    QCOMPARE(seen, (std::vector<std::string>{mapName, first, second, second}));
    // The graph feed, cleared earlier in the same tick, never ran again.
    QCOMPARE(world.runs[3], graphRuns);
    QCOMPARE(world.runs[4], 1);

    // A link failure inside an activity unloads the window that owns it,
    // whose unload clears the activity that is running.
    World failing;
    const std::string name(64, 'w');
    int afterFailure = 0;
    failing.cycle.SetActivity(
        Activity::LimitsRefresh, [] { return true; }, [] { return 0.0; },
        [&failing, &afterFailure, name] {
            failing.bridge.failAfterRequests = 0;
            try {
                failing.access.PollStatusRegister(0x02);
                failing.access.ReadRegister(Chip, 0x02);
            } catch (const link::LinkFailure&) {
                failing.cycle.ClearActivity(Activity::LimitsRefresh);
                afterFailure = static_cast<int>(name.size());
                throw;
            }
        });
    failing.state.ContinuousReading = false;
    QVERIFY_THROWS_EXCEPTION(link::LinkFailure, failing.cycle.Tick());
    QCOMPARE(afterFailure, 64);
    failing.bridge.failAfterRequests = -1;
    failing.Ticks(2);
    QCOMPARE(failing.bridge.Count(220), 1);
}

void TestMonitoringCycle::firstDueTickIsTheFirstTickTheRuleFindsDue() {
    // Against reading the rule at every tick: anchors on whole milliseconds
    // and between them, near midnight, last runs behind, ahead and never.
    constexpr std::int64_t TickUs = 10'000;
    constexpr std::int64_t Scan = 30'000;
    for (const std::int64_t anchorUs :
         {std::int64_t{36'000'000'000}, std::int64_t{50'000'123'457}, std::int64_t{86'399'000'000},
          std::int64_t{86'399'995'000}, std::int64_t{2'500}}) {
        const double anchor = static_cast<double>(anchorUs) / 1e6;
        for (const double lastRun : {anchor, anchor - 0.0371, anchor + 0.02, 0.0, Single(anchor)}) {
            for (const double intervalMs : {0.0, 30.0, 50.0, 100.0, 250.0, 500.0, 2.0e8}) {
                std::optional<std::int64_t> scanned;
                for (std::int64_t k = 1; k <= Scan && !scanned; ++k) {
                    const std::int64_t us = (anchorUs + k * TickUs) % MicrosecondsPerDay;
                    if (IsDue(static_cast<float>(static_cast<double>(us) / 1e6), lastRun,
                              intervalMs)) {
                        scanned = k;
                    }
                }
                const auto found = FirstDueTick(anchorUs, TickUs, 1, lastRun, intervalMs);
                QCOMPARE(std::min(found.value_or(Scan + 1), Scan + 1), scanned.value_or(Scan + 1));
            }
        }
    }
    // Never: an interval beyond a day after a run at midnight itself.
    QVERIFY(!FirstDueTick(36'000'000'000, TickUs, 1, 0.0, 2.0e8));
}

void TestMonitoringCycle::armsTheNextDueTickAndNoneWhenNothingIsOn() {
    World world(36000.0);
    std::vector<std::optional<int>> alarms;
    world.cycle.SetAlarm([&alarms](std::optional<int> delayMs) { alarms.push_back(delayMs); });
    world.cycle.SetActivity(
        Activity::ReadTemperatures, [] { return true; }, [] { return 0.0; }, [] {});
    QVERIFY(alarms.empty()); // not started
    world.cycle.Start();
    QCOMPARE(alarms.back(), std::optional<int>(10));
    // After a tick that ran everything, the graph's 50 ms come first: at
    // 36000.01 the single-precision clock steps by 1/256 s, so the first
    // tick past 36000.0625 (rounded) is at 36000.07.
    world.cycle.ClearActivity(Activity::ReadTemperatures);
    world.TickAt(36000.01);
    QCOMPARE(alarms.back(), std::optional<int>(60));
    // A shorter interval re-arms for sooner. The read at .02 is due after
    // 36000.04, which rounds to 36000.0390625, so at .05; a tick at which
    // nothing is due arms that tick again.
    world.state.ReadingInterval = 20;
    world.cycle.SetActivity(
        Activity::ReadTemperatures, [&world] { return world.state.ContinuousReading; },
        [&world] { return static_cast<double>(world.state.ReadingInterval); }, [] {});
    QCOMPARE(alarms.back(), std::optional<int>(10));
    const auto runs = world.runs;
    world.TickAt(36000.02);
    world.TickAt(36000.03);
    QCOMPARE(world.runs, runs);
    QCOMPARE(alarms.back(), std::optional<int>(20));
    // Nothing on: no timer; turning an activity on arms it again.
    world.state.ContinuousReading = false;
    for (int i = 1; i < ActivityCount; ++i) {
        world.cycle.ClearActivity(static_cast<Activity>(i));
    }
    QCOMPARE(alarms.back(), std::optional<int>());
    world.state.ContinuousReading = true;
    world.cycle.Reschedule();
    QCOMPARE(alarms.back(), std::optional<int>(20));
    // Stopped, it stays off whatever changes; started, the ticks count from then.
    world.cycle.Stop();
    QCOMPARE(alarms.back(), std::optional<int>());
    const std::size_t count = alarms.size();
    world.cycle.Reschedule();
    world.cycle.SetActivity(
        Activity::GraphFeed, [] { return true; }, [] { return 50.0; }, [] {});
    QCOMPARE(alarms.size(), count);
    world.clock.AdvanceMs(3);
    world.cycle.Start();
    QCOMPARE(alarms.back(), std::optional<int>(10));
}

} // namespace qmt::core

QTEST_GUILESS_MAIN(qmt::core::TestMonitoringCycle)
#include "test_monitoring_cycle.moc"
