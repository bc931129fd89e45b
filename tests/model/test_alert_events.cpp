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

// A reading of the Local and Remote1 temperatures (Remote2 at 30).
AlertReading Read(float local, float remote1) {
    return {local, remote1, 30.0f};
}

TEST(AlertEvents, AHandMadeSequenceGivesItsEventsWithTheAnomalyHints) {
    AlertEventDetector detector;
    std::vector<AlertEvent> events;
    // The first read is the starting state, even with bits already set.
    detector.Reading(Read(25, 30), events);
    detector.Feed(0.0, States({D1Open}), Context(25, 30), events);
    detector.Reading(Read(25, 70.25f), events);
    detector.Feed(0.2, States({D1Open, Remote1High}), Context(25, 70.25f), events);
    EXPECT_TRUE(events.empty()); // waiting for the reading after the poll
    detector.Reading(Read(69, 70.5f), events);
    ASSERT_EQ(events.size(), 1u);
    // Local reads whole degrees: set with every reading a step below the
    // limit is on the wrong side.
    detector.Feed(0.4, States({D1Open, Remote1High, LocalHigh}), Context(69, 70.5f), events);
    detector.Reading(Read(69, 71), events);
    detector.Reading(Read(69, 71), events);
    // Cleared with every reading above the limit: wrong side again.
    detector.Feed(0.6, States({D1Open, LocalHigh}), Context(69, 71), events);
    detector.Reading(Read(69, 71), events);
    // A failed read of register 0x02 leaves its bits as they were: no events.
    auto unread = States({});
    for (const AlertBit& bit : AlertBits) {
        if (bit.reg == StatusRegister1) {
            unread[static_cast<std::size_t>(bit.indicator)] = std::nullopt;
        }
    }
    detector.Feed(0.8, unread, Context(70, 71), events);
    detector.Flush(events);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(AlertEventText(events[0]), "Remote1 High set at 70.25 \u00B0C, limit 70.00 \u00B0C");
    EXPECT_FALSE(events[0].anomaly);
    EXPECT_DOUBLE_EQ(events[0].time, 0.2);
    EXPECT_EQ(AlertEventDescription(events[1]),
              "Local High set at 69.00 \u00B0C, limit 70.00 \u00B0C (possible anomaly)");
    EXPECT_TRUE(!events[2].set && events[2].anomaly);
}

TEST(AlertEvents, EachKindAllowsOneReadingStepEitherWay) {
    // THERM 80, hysteresis 10: cleared with 70.25 the lowest remote reading
    // may have been 70 (inside the band), with 70 it may have been 69.75.
    EXPECT_TRUE(IsAnomaly(Remote1Therm, false, 70.25, 72.0, 80.0, 10.0));
    EXPECT_FALSE(IsAnomaly(Remote1Therm, false, 70.0, 72.0, 80.0, 10.0));
    EXPECT_FALSE(IsAnomaly(Remote1Therm, true, 79.0, 80.0, 80.0, 10.0));
    EXPECT_TRUE(IsAnomaly(Remote1Therm, true, 79.0, 79.75, 80.0, 10.0));
    EXPECT_TRUE(IsAnomaly(LocalTherm, true, 79.0, 79.0, 80.0, 10.0));
    EXPECT_FALSE(IsAnomaly(LocalTherm, false, 70.0, 75.0, 80.0, 10.0));
    EXPECT_TRUE(IsAnomaly(LocalTherm, false, 71.0, 75.0, 80.0, 10.0));
    // Local steps a whole degree, above and below, low bits as high ones.
    EXPECT_FALSE(IsAnomaly(LocalHigh, false, 71.0, 71.0, 70.0, 0.0));
    EXPECT_TRUE(IsAnomaly(LocalHigh, false, 72.0, 73.0, 70.0, 0.0));
    EXPECT_FALSE(IsAnomaly(LocalLow, true, 10.0, 10.0, 10.0, 0.0));
    EXPECT_TRUE(IsAnomaly(LocalLow, true, 11.0, 12.0, 10.0, 0.0));
    EXPECT_FALSE(IsAnomaly(LocalLow, false, 9.0, 9.0, 10.0, 0.0));
    EXPECT_TRUE(IsAnomaly(LocalLow, false, 8.0, 8.0, 10.0, 0.0));
    EXPECT_FALSE(IsAnomaly(D1Open, true, 500.0, 500.0, 0.0, 0.0)); // no limit: never
}

TEST(AlertEvents, ACorrectChipIsJudgedByTheReadingsAroundItsPoll) {
    AlertEventDetector detector;
    std::vector<AlertEvent> events;
    const auto poll = [&](double t, std::initializer_list<int> on, float local, float remote1) {
        detector.Feed(t, States(on), Context(local, remote1), events);
    };
    detector.Reading(Read(11, 69.5f), events);
    poll(0.0, {}, 11, 69.5f);
    // Local falls slowly through its low limit of 10: the conversion after
    // the last reading before the poll set the bit; the next reading shows it.
    detector.Reading(Read(10, 69.5f), events);
    poll(0.2, {LocalLow}, 10, 69.5f);
    detector.Reading(Read(10, 69.5f), events);
    // Remote1 rose fast through 70 after the last reading before the poll.
    poll(0.4, {LocalLow, Remote1High}, 10, 69.5f);
    detector.Reading(Read(9, 71.0f), events);
    // A transient over 70 latched between two polls; the reading at the poll
    // is back below the limit, one reading in between saw it.
    poll(0.6, {LocalLow}, 9, 71.0f);
    detector.Reading(Read(9, 69.0f), events);
    poll(0.8, {LocalLow}, 9, 69.0f);
    detector.Reading(Read(9, 70.25f), events);
    detector.Reading(Read(9, 69.0f), events);
    poll(1.0, {LocalLow, Remote1High}, 9, 69.0f);
    detector.Reading(Read(9, 68.0f), events);
    ASSERT_EQ(events.size(), 4u);
    for (const AlertEvent& event : events) {
        EXPECT_FALSE(event.anomaly) << AlertEventText(event);
    }

    // A THERM bit set with every reading around it a step below the limit.
    events.clear();
    poll(1.2, {LocalLow, Remote1High, Remote1Therm}, 9, 68.0f);
    detector.Reading(Read(9, 79.5f), events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].anomaly);

    // Continuous reading off: the readings are stale, so a change no
    // reading follows carries no hint, however wrong the last reading looks.
    events.clear();
    poll(1.4, {LocalLow, Remote1High}, 9, 79.5f);
    poll(1.6, {LocalLow}, 9, 79.5f);
    poll(1.8, {LocalLow, Remote1High, LocalHigh}, 9, 79.5f);
    detector.Flush(events);
    ASSERT_EQ(events.size(), 4u);
    for (const AlertEvent& event : events) {
        EXPECT_FALSE(event.anomaly) << AlertEventText(event);
    }
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
    detector.Reading({25.0f, std::nullopt, 30.0f}, events);
    ASSERT_EQ(events.size(), 4u);
    // In the limits window's order: Local THERM, Remote1 High, D1 Open, ALERT.
    EXPECT_EQ(AlertEventText(events[0]), "Local THERM set at 25.00 \u00B0C, limit 85.00 \u00B0C");
    EXPECT_FALSE(events[0].anomaly); // set below the limit, but no hysteresis known: no hint
    EXPECT_EQ(AlertEventText(events[1]), "Remote1 High set");
    EXPECT_EQ(AlertEventText(events[2]), "D1 Open set");

    // The alert check sets the limits past the readings itself: its changes
    // are marked as its own, never as anomalies.
    AlertEventDetector checked;
    events.clear();
    context = Context(25, 30);
    context.alertCheck = true;
    checked.Feed(0.0, States({}), context, events);
    checked.Feed(0.2, States({LocalHigh}), context, events);
    checked.Reading({25.0f, 30.0f, 30.0f}, events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].anomaly);
    EXPECT_EQ(AlertEventDescription(events[0]),
              "Local High set at 25.00 \u00B0C, limit 70.00 \u00B0C (alert check)");
}

TEST(AlertEvents, ALineIsTimeAndDescriptionWithSingleBlanks) {
    const AlertEvent low{12.0, LocalLow, true, 9.0f, 10.0, true};
    EXPECT_EQ(AlertEventLine("10:00:12.000", low),
              "10:00:12.000 Local Low set at 9.00 \u00B0C, limit 10.00 \u00B0C (possible anomaly)");
    const AlertEvent open{13.0, D1Open, false, std::nullopt, std::nullopt, false};
    EXPECT_EQ(AlertEventLine("10:00:13.000", open), "10:00:13.000 D1 Open cleared");
    // Every bit's name has single blanks, whatever its indicator's caption.
    for (const AlertBit& bit : AlertBits) {
        const AlertEvent event{0.0, bit.indicator, true, std::nullopt, std::nullopt, false};
        EXPECT_EQ(AlertEventCaption(event).find("  "), std::string::npos) << bit.caption;
    }
}

} // namespace
} // namespace qmt::model
