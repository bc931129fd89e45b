#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The alert check's plan: the steps, the limit each step sets, the bits it
// must then see and the wait for the chip's conversions. Pure; the link's
// AlertCheck does the bus work. Temperatures here are register codes in
// quarter degrees (a whole-degree code times 4), so one rule serves both
// ranges; only the texts turn them into degrees.
namespace qmt::model {

inline constexpr int CheckChannelCount = 3; // 0 Local, 1 Remote 1, 2 Remote 2
enum class CheckColumn { High, Low, Therm, Mask };
inline constexpr int CheckColumnCount = 4;
// Trip: the limit is set so that the condition must hold. Clear: the limit
// (and, for the mask, Configuration Reg 1) is set back.
enum class CheckPhase { Trip, Clear };

struct CheckStep {
    int channel = 0;
    CheckColumn column = CheckColumn::High;
    CheckPhase phase = CheckPhase::Trip;
};

// Per channel: high, low, THERM, then high again with the channel's mask
// bit set; each tripped, then set back.
std::vector<CheckStep> CheckSteps();

const char* CheckChannelName(int channel);       // "Local", "Remote 1", "Remote 2"
const char* CheckColumnName(CheckColumn column); // "High", "Low", "THERM", "Mask"
// "Remote 1 THERM", "Remote 1 THERM (set back)"
std::string StepName(const CheckStep& step);

// The registers the check reads before its first write.
struct ChipView {
    std::uint8_t config1 = 0;
    std::uint8_t config2 = 0;
    std::uint8_t rate = 0;
    std::uint8_t consecutive = 0;
    std::uint8_t hysteresis = 0; // whole degrees
    // The second of two status reads: the conditions of the last conversion.
    std::uint8_t status1 = 0;
    std::uint8_t status2 = 0;
};

bool Locked(const ChipView& view);
bool InStandby(const ChipView& view);
bool ExtendedRange(const ChipView& view);
bool Remote2Selected(const ChipView& view);
// Configuration Reg 1 with the channel's mask bit set: Msk for Local (it has
// no mask of its own), MkR1, MkR2.
std::uint8_t WithChannelMasked(std::uint8_t config1, int channel);

// Why a channel cannot be checked at all (its diode is open), if it cannot.
std::optional<std::string> ChannelSkipped(const ChipView& view, int channel);
// Why nothing can be checked by writing limits (standby, conversions too
// slow), if so; a locked chip is checked read-only instead.
std::optional<std::string> CheckImpossible(const ChipView& view);

// Milliseconds after a step's writes until enough conversions have run for
// ALRT to follow (the consecutive-alert count, one more for the conversion
// already under way, and a little slack); none when that is beyond the bound.
std::optional<int> StepWaitMs(std::uint8_t rate, std::uint8_t consecutive);
inline constexpr int LongestStepWaitMs = 8000;

// The limit code that makes the condition hold at the reading: 2 degrees on
// the far side, rounded outward to the limit's resolution (whole degrees for
// Local and for every THERM limit). None when it would leave the range.
std::optional<int> TripLimit(int channel, CheckColumn column, int reading);

// What a step must see; an empty bit means not checked, an empty alert that
// ALRT is not compared. `reason` says why.
struct Expectation {
    std::optional<bool> bit;
    std::optional<bool> alert;
    std::string reason;
};

// The bits of a tripped limit: the condition's bit, and ALRT where the chip
// raises it (pin 8 as ALERT, the channel unmasked by `config1`, not THERM).
Expectation ExpectTripped(const ChipView& view, int channel, CheckColumn column,
                          std::uint8_t config1);
// The bits at the limit as the chip held it before the check: set or clear
// only with 2 degrees to spare; THERM in its hysteresis band keeps `thermBefore`
// (unknown on a read-only check).
Expectation ExpectAtLimit(const ChipView& view, int channel, CheckColumn column, int reading,
                          int limit, std::optional<bool> thermBefore);

// The condition's bit and ALRT in the two status bytes.
bool ConditionBit(int channel, CheckColumn column, std::uint8_t status1, std::uint8_t status2);
bool AlertRaised(std::uint8_t status2);

} // namespace qmt::model
