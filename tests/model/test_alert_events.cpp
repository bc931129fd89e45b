#include "model/alert_events.h"

#include <gtest/gtest.h>
#include <set>

namespace qmt::model {
namespace {

constexpr int LocalHigh = 0;
constexpr int LocalLow = 1;
constexpr int Remote1High = 2;
constexpr int D1Open = 6;
constexpr int LocalTherm = 8;
constexpr int Remote1Therm = 9;
constexpr int AlertBitIndex = 11;

std::array<AlertState, AlertBitCount> States(std::initializer_list<int> on) {
    std::array<AlertState, AlertBitCount> states;
    states.fill(false);
    for (const int i : on) {
        states[static_cast<std::size_t>(i)] = true;
    }
    return states;
}

AlertContext Context(float local, float remote1) {
    AlertContext context;
    context.channels[0] = {local, AlertLimits{10.0, 70.0, 85.0}};
    context.channels[1] = {remote1, AlertLimits{5.0, 70.0, 80.0}};
    context.channels[2] = {30.0f, AlertLimits{0.0, 85.0, 85.0}};
    context.thermHysteresis = 10.0;
    return context;
}

std::set<std::size_t> On(const std::array<AlertState, AlertBitCount>& states) {
    std::set<std::size_t> on;
    for (std::size_t i = 0; i < states.size(); ++i) {
        if (states[i].value_or(false)) {
            on.insert(i);
        }
    }
    return on;
}

TEST(AlertBitsTest, EachIndicatorFollowsItsBitAndAFailedReadLeavesItsOwnUnknown) {
    EXPECT_EQ(On(AlertStates(0x41, 0x01)), (std::set<std::size_t>{0, 8, 11}));
    // The unshown bits light nothing; every shown bit lights exactly one.
    EXPECT_TRUE(On(AlertStates(0x80, 0xE0)).empty());
    EXPECT_EQ(On(AlertStates(0x7F, 0x1F)).size(), 12u);
    EXPECT_EQ(On(AlertStates(0x04, 0x04)), (std::set<std::size_t>{6, 7}));
    const auto states = AlertStates(std::nullopt, 0x1F);
    for (const AlertBit& alert : AlertBits) {
        EXPECT_EQ(states[static_cast<std::size_t>(alert.indicator)].has_value(),
                  alert.reg == StatusRegister2)
            << alert.caption;
    }
}

TEST(AlertEvents, AHandMadeSequenceGivesItsEventsWithTheAnomalyHints) {
    AlertEventDetector detector;
    std::vector<AlertEvent> events;
    // The first read is the starting state, even with bits already set.
    detector.Feed(0.0, States({D1Open}), Context(25, 30), events);
    detector.Feed(0.2, States({D1Open, Remote1High}), Context(25, 70.25f), events);
    // Local reads whole degrees: set one degree below the limit is on the wrong side.
    detector.Feed(0.4, States({D1Open, Remote1High, LocalHigh}), Context(69, 70.5f), events);
    // Cleared while still above the limit: wrong side again.
    detector.Feed(0.6, States({D1Open, LocalHigh}), Context(70, 71), events);
    // A failed read of register 0x02 leaves its bits as they were: no events.
    auto unread = States({});
    for (const AlertBit& bit : AlertBits) {
        if (bit.reg == StatusRegister1) {
            unread[static_cast<std::size_t>(bit.indicator)] = std::nullopt;
        }
    }
    detector.Feed(0.8, unread, Context(70, 71), events);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(AlertEventText(events[0]), "Remote1 High set at 70.25 \u00B0C, limit 70.00 \u00B0C");
    EXPECT_FALSE(events[0].anomaly);
    EXPECT_DOUBLE_EQ(events[0].time, 0.2);
    EXPECT_EQ(AlertEventDescription(events[1]),
              "Local High set at 69.00 \u00B0C, limit 70.00 \u00B0C (possible anomaly)");
    EXPECT_TRUE(!events[2].set && events[2].anomaly);
}

TEST(AlertEvents, ThermClearsOnlyBelowTheHysteresisBandAndLowBitsMirrorHighOnes) {
    // THERM 80, hysteresis 10: cleared at 70 is inside the band, at 69.75 below it.
    EXPECT_TRUE(IsAnomaly(Remote1Therm, false, 70.0, 80.0, 10.0));
    EXPECT_FALSE(IsAnomaly(Remote1Therm, false, 69.75, 80.0, 10.0));
    // A remote reading of 80 may stand for 80.1, above the limit; one of
    // 79.75 for 79.99 at most, so a set then is on the wrong side.
    EXPECT_FALSE(IsAnomaly(Remote1Therm, true, 80.0, 80.0, 10.0));
    EXPECT_TRUE(IsAnomaly(Remote1Therm, true, 79.75, 80.0, 10.0));
    EXPECT_TRUE(IsAnomaly(LocalTherm, true, 79.0, 80.0, 10.0));
    EXPECT_FALSE(IsAnomaly(LocalLow, true, 9.0, 10.0, 0.0));
    EXPECT_TRUE(IsAnomaly(LocalLow, true, 10.0, 10.0, 0.0));
    EXPECT_TRUE(IsAnomaly(LocalLow, false, 9.0, 10.0, 0.0));
    EXPECT_FALSE(IsAnomaly(LocalLow, false, 10.0, 10.0, 0.0));
    EXPECT_FALSE(IsAnomaly(D1Open, true, 500.0, 0.0, 0.0)); // no limit: never
}

TEST(AlertEvents, WhatIsNotKnownIsNotClaimed) {
    AlertEventDetector detector;
    std::vector<AlertEvent> events;
    AlertContext context = Context(25, 30);
    // Remote 2 selected: no Remote 1 reading or limits; no hysteresis read yet.
    context.channels[1] = {};
    context.thermHysteresis.reset();
    detector.Feed(0.0, States({}), context, events);
    detector.Feed(0.2, States({Remote1High, LocalTherm, D1Open, AlertBitIndex}), context, events);
    ASSERT_EQ(events.size(), 4u);
    // In the limits window's order: Local THERM, Remote1 High, D1 Open, ALERT.
    EXPECT_EQ(AlertEventText(events[0]), "Local THERM set at 25.00 \u00B0C, limit 85.00 \u00B0C");
    EXPECT_FALSE(events[0].anomaly); // set below the limit, but no hysteresis known: no hint
    EXPECT_EQ(AlertEventText(events[1]), "Remote1 High set");
    EXPECT_EQ(AlertEventText(events[2]), "D1  Open set");
}

} // namespace
} // namespace qmt::model
