#include "app/support/app_world.h"
#include "core/status_reader.h"

#include <QtTest>

namespace qmt::core {

using test::AppWorld;

class TestStatusReader : public QObject {
    Q_OBJECT

private slots:
    void pollsAtMostEvery200MsAndTellsEachNewPollOnce();
    void readNowPollsAtOnceAndTellsEveryListener();
};

void TestStatusReader::pollsAtMostEvery200MsAndTellsEachNewPollOnce() {
    AppWorld world;
    world.app->usb().DeviceAddress = AppWorld::ChipAddress;
    auto& chip = world.stub->chips[AppWorld::ChipAddress];
    chip[0x02] = 0x10;
    StatusReader& reader = world.app->statusReader();
    std::vector<std::uint8_t> told;
    reader.SetListener([&](const StatusPoll& poll) { told.push_back(poll.status1.value_or(0)); });
    const auto polls = [&] { return world.stub->Calls(220).size(); };

    QCOMPARE(reader.Read().status1, std::optional<std::uint8_t>(0x10));
    QCOMPARE(polls(), std::size_t{2}); // 0x02, then 0x23
    chip[0x02] = 0x20;
    world.clock->AdvanceMs(199);
    // Not yet due: the last poll again, the chip left alone.
    QCOMPARE(reader.Read().status1, std::optional<std::uint8_t>(0x10));
    QCOMPARE(polls(), std::size_t{2});
    world.clock->AdvanceMs(1);
    QCOMPARE(reader.Read().status1, std::optional<std::uint8_t>(0x20));
    QCOMPARE(polls(), std::size_t{4});
    QCOMPARE(told, (std::vector<std::uint8_t>{0x10, 0x20}));

    // Past midnight the clock falls back: due at once, then every 200 ms again.
    world.clock->SetSecondsSinceMidnight(0.05);
    reader.Read();
    QCOMPARE(polls(), std::size_t{6});
    world.clock->AdvanceMs(100);
    reader.Read();
    QCOMPARE(polls(), std::size_t{6});
}

void TestStatusReader::readNowPollsAtOnceAndTellsEveryListener() {
    AppWorld world;
    world.app->usb().DeviceAddress = AppWorld::ChipAddress;
    auto& chip = world.stub->chips[AppWorld::ChipAddress];
    StatusReader& reader = world.app->statusReader();
    std::vector<std::uint8_t> lanes;
    std::vector<std::uint8_t> lamps;
    reader.SetListener([&](const StatusPoll& poll) { lanes.push_back(poll.status2.value_or(0)); });
    reader.SetLampsListener(
        [&](const StatusPoll& poll) { lamps.push_back(poll.status2.value_or(0)); });

    chip[0x23] = 0x01;
    reader.Read();
    chip[0x23] = 0x04;
    world.clock->AdvanceMs(50);
    // Within the interval, yet read afresh, and every listener gets the bits.
    QCOMPARE(reader.ReadNow().status2, std::optional<std::uint8_t>(0x04));
    QCOMPARE(world.stub->Calls(220).size(), std::size_t{4});
    QCOMPARE(lanes, (std::vector<std::uint8_t>{0x01, 0x04}));
    QCOMPARE(lamps, lanes);
    // The interval counts from that poll: the cycle's next read returns it again.
    world.clock->AdvanceMs(199);
    QCOMPARE(reader.Read().status2, std::optional<std::uint8_t>(0x04));
    QCOMPARE(world.stub->Calls(220).size(), std::size_t{4});
}

} // namespace qmt::core

QTEST_MAIN(qmt::core::TestStatusReader)
#include "test_status_reader.moc"
