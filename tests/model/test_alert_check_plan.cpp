#include "model/alert_check_plan.h"

#include <gtest/gtest.h>

namespace qmt::model {
namespace {

constexpr int Degrees = 4; // quarters per degree

TEST(AlertCheckPlan, WaitsLimitsAndTheHysteresisBand) {
    // 16 Hz: one conversion under way plus the consecutive count, and slack.
    EXPECT_EQ(StepWaitMs(0x08, 0x00), 125 + 20);
    EXPECT_EQ(StepWaitMs(0x88, 0x0E), 312 + 20) << "four in a row; averaging off";
    EXPECT_EQ(StepWaitMs(0x0F, 0x00), 31 + 20) << "continuous";
    EXPECT_EQ(StepWaitMs(0x02, 0x00), std::nullopt) << "1/4 Hz is beyond the bound";

    // 2 degrees past the reading, outward to the limit's resolution.
    EXPECT_EQ(TripLimit(0, CheckColumn::High, 25 * Degrees), 23 * Degrees);
    EXPECT_EQ(TripLimit(1, CheckColumn::Low, 30 * Degrees + 1), 32 * Degrees + 1);
    EXPECT_EQ(TripLimit(1, CheckColumn::Therm, 30 * Degrees + 1), 28 * Degrees);
    EXPECT_EQ(TripLimit(2, CheckColumn::Mask, 30 * Degrees + 3), 28 * Degrees + 3);
    EXPECT_EQ(TripLimit(0, CheckColumn::High, 1 * Degrees), std::nullopt);
    EXPECT_EQ(TripLimit(0, CheckColumn::Low, 254 * Degrees), std::nullopt);
    EXPECT_EQ(TripLimit(2, CheckColumn::Low, 253 * Degrees + 3), 255 * Degrees + 3);

    ChipView view;
    view.hysteresis = 10;
    const int limit = 85 * Degrees;
    const auto at = [&](int reading, std::optional<bool> before) {
        return ExpectAtLimit(view, 0, CheckColumn::Therm, reading * Degrees, limit, before);
    };
    EXPECT_EQ(at(80, true).bit, true) << "inside the band THERM stays as it was";
    EXPECT_EQ(at(80, false).bit, false);
    EXPECT_EQ(at(80, std::nullopt).bit, std::nullopt);
    EXPECT_EQ(at(74, true).bit, std::nullopt) << "too near limit - hysteresis";
    EXPECT_EQ(at(72, true).bit, false);
    EXPECT_EQ(at(87, false).bit, true);
    EXPECT_EQ(at(72, true).alert, false) << "THERM raises no ALRT";

    const Expectation high = ExpectAtLimit(view, 1, CheckColumn::High, 90 * Degrees, limit, {});
    EXPECT_EQ(high.bit, true);
    EXPECT_EQ(high.alert, true);
    view.config1 = 0x02; // MkR1
    EXPECT_EQ(ExpectTripped(view, 1, CheckColumn::High, view.config1).alert, false);
    EXPECT_EQ(ExpectTripped(view, 2, CheckColumn::High, view.config1).alert, true);
    EXPECT_EQ(WithChannelMasked(0x02, 0), 0x82) << "Local has only Msk";
    view.config1 = 0x20; // pin 8 as THERM2
    const Expectation therm2 = ExpectTripped(view, 2, CheckColumn::Mask, view.config1);
    EXPECT_EQ(therm2.bit, std::nullopt);
    EXPECT_EQ(therm2.reason, "not checked: ALRT not compared: pin 8 is THERM2");
}

} // namespace
} // namespace qmt::model
