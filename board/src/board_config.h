#pragma once

#include "temperature_source.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnlink {

// Everything a board description can say. Keys a description leaves out keep
// the values of the default board.
struct BoardConfig {
    std::vector<std::uint8_t> addresses{0x4C}; // one chip per 7-bit address
    bool firmwareOk = true;
    std::uint32_t connectAttempt = 1; // the first connect request that succeeds; 0: none
    std::uint64_t failAfter = 0;      // register requests served before unplugging; 0: never
    // Gentle drift, so that a graph of the default board looks alive.
    TemperatureSource local = TemperatureSource::Sine(25.0, 2.0, 120.0);
    TemperatureSource remote1 = TemperatureSource::Sine(30.0, 3.0, 90.0);
    TemperatureSource remote2 = TemperatureSource::Sine(28.0, 2.5, 150.0);
    // Power-on values (read pointer, value) in file order; a later one wins.
    std::vector<std::pair<std::uint8_t, std::uint8_t>> registerValues;
    // A faulty comparator: the high bits set only this many °C above the high
    // limits (0: a correct chip).
    double highTripsLate = 0.0;
    // More faults of one comparator or of the ALERT logic, each off by default.
    // A comparator that never trips: channel 0 local, 1 Remote 1, 2 Remote 2.
    struct DeadComparator {
        std::uint8_t channel = 0;
        enum class Limit : std::uint8_t { High, Low, Therm } limit = Limit::High;
    };
    std::optional<DeadComparator> deadComparator;
    // A channel whose mask bit (Msk for local) does not keep it from ALRT.
    std::optional<std::uint8_t> maskIgnored;
    // ALRT, once set, stays set until the next power-up.
    bool alertStuck = false;
    // File that keeps the chips' settings registers between power-ups; empty:
    // every power-up starts from the power-on values.
    std::string stateFile;
};

// Parses `key = value` lines over the default board. False with a one-line
// reason ("line 3: unknown key 'foo'") on the first error.
bool ParseBoardText(std::string_view text, BoardConfig& board, std::string& error);

} // namespace tarnlink
