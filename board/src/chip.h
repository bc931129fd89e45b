#pragma once

#include "board_config.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tarnlink {

// One QMT6171/2/3: its register file, the conversions it would have run by a
// given time (worked out on access, from elapsed time), and its status bits.
class Chip {
public:
    // Powers the chip on at `nowMs`, with the first conversion already done.
    Chip(const BoardConfig& board, std::uint64_t nowMs);

    std::uint8_t Read(std::uint8_t pointer, std::uint64_t nowMs);
    // Writes to read-only or unknown pointers, and to locked registers, are
    // accepted and ignored, as the bus gives no way to refuse them. Returns the
    // read pointer of the register that took the value, if one did.
    std::optional<std::uint8_t> Write(std::uint8_t pointer, std::uint8_t value,
                                      std::uint64_t nowMs);
    // The register file by read pointer, for keeping the settings between runs.
    const std::array<std::uint8_t, 256>& Registers() const { return regs_; }

private:
    enum Channel : std::size_t { Local, Remote1, Remote2, ChannelCount };

    void CatchUp(std::uint64_t nowMs);
    void ConvertNow(std::uint64_t nowMs);
    void RestartSchedule(std::uint64_t nowMs);
    void Convert(std::uint64_t atMicros);
    void Measure(Channel channel, double seconds);
    void EncodeReadings();
    void CompareLimits();
    bool Dead(std::size_t channel, BoardConfig::DeadComparator::Limit limit) const;
    bool Masked(std::size_t channel, std::uint8_t config) const;
    void OnConfig1Changed(std::uint8_t before, std::uint64_t nowMs);

    std::uint8_t Pointed(std::uint8_t pointer) const;
    std::uint8_t ReadStatus1(std::uint64_t nowMs);
    std::uint8_t ReadStatus2();
    std::uint64_t PeriodMicros() const;
    bool Busy(std::uint64_t nowMs) const;
    bool InStandby() const;
    double RemoteOffset(Channel channel) const;
    int HighLimit(Channel channel) const;
    int LowLimit(Channel channel) const;
    int ThermLimit(Channel channel) const;
    unsigned AlertsNeeded() const;

    std::array<std::uint8_t, 256> regs_{};
    std::array<TemperatureSource, ChannelCount> sources_;
    int highTripsLateQuarters_ = 0; // a faulty comparator's error on the high limits
    std::optional<BoardConfig::DeadComparator> deadComparator_;
    std::optional<std::uint8_t> maskIgnored_;
    bool alertStuck_ = false;
    bool alertSeen_ = false;                           // since power-on, for a stuck ALRT
    std::array<int, ChannelCount> measuredQuarters_{}; // °C × 4, offset applied
    std::array<int, ChannelCount> codeQuarters_{};     // register code × 4 + quarters
    std::array<bool, ChannelCount> therm_{};           // THERM state, with hysteresis
    std::array<bool, ChannelCount> overHigh_{};        // high-limit state for THERM2 mode
    std::uint8_t current1_ = 0;                        // conditions of the last conversion
    std::uint8_t current2_ = 0;
    std::uint8_t latched1_ = 0; // conditions seen since the last read
    std::uint8_t latched2_ = 0;
    bool therm2Alert_ = false;
    unsigned alertRun_ = 0; // consecutive conversions with an unmasked alert
    std::uint64_t powerOnMs_ = 0;
    std::uint64_t epochMs_ = 0;         // start of the current conversion schedule
    std::uint64_t conversionsDone_ = 0; // in the current schedule
    std::uint64_t conversionCount_ = 0; // since power-on, seeds the noise
};

} // namespace tarnlink
