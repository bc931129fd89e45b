#pragma once

#include "link/register_access.h"

namespace qmt::link {

// The low, high and THERM limits of one channel in degrees Celsius.
struct ChannelLimits {
    double low = 0.0;
    double high = 0.0;
    double therm = 0.0;
};

enum class LimitKind { Low, High, Therm };

// Channels as the limits window numbers them: 0 Local, 1 the shared remote
// registers (Remote 1, or Remote 2 while it is selected), 2 Remote 2's own.
inline constexpr int LimitChannelCount = 3;

// The THERM hysteresis (whole degrees, no range offset), shared by the
// three THERM limits.
inline constexpr std::int32_t ThermHysteresisRegister = 0x21;

// Whether a write at this pointer changes a limit or the THERM hysteresis.
bool IsLimitWritePointer(std::int32_t reg);

// Reads the channel's low, high and THERM limits in that order, the high byte
// of a quarter-degree limit before its low byte, decoded in the current range.
ChannelLimits ReadChannelLimits(RegisterAccess& access, int channel);

// Writes the channel's low, high and THERM limits in that order. The remote
// low and high limits go as quarter-degree pairs (both bytes or neither), the
// Local ones from their single-precision value and every THERM limit from the
// full value as whole degrees; a code above 255 is written as 255.
void WriteChannelLimits(RegisterAccess& access, int channel, const ChannelLimits& limits);

// A limit as the chip compares it: its code in quarter degrees (a whole-degree
// code times 4), read or written at the limits window's pointers. A
// quarter-degree limit is written high byte first; a whole-degree one takes
// quarters / 4.
int ReadLimitQuarters(RegisterAccess& access, int channel, LimitKind kind);
void WriteLimitQuarters(RegisterAccess& access, int channel, LimitKind kind, int quarters);

// The temperature the chip holds after WriteChannelLimits wrote t as this
// limit, in the current range (a quarter-degree 67.73 is held as 67.75).
double StoredLimit(const GeneralStuff& state, int channel, LimitKind kind, double t);
// Degrees between two neighbouring codes of the limit: 0.25 or 1.
double LimitResolution(int channel, LimitKind kind);

} // namespace qmt::link
