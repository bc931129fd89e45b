#pragma once

#include "link/register_access.h"

#include <optional>

namespace qmt::link {

// The channels as the program's graph names them: while the remote pointers
// show Remote 2 there is no Remote 1 reading, and Remote 2's comes from them.
struct ChannelTemperatures {
    float local = 0.0f;
    std::optional<float> remote1;
    float remote2 = 0.0f;
    // The channel's diode is open: its reading is the chip's open-diode code.
    bool remote1Open = false;
    bool remote2Open = false;
};

// The temperatures in the range and channel mode the chip is set to now
// (Configuration Reg 1 read first), as the monitoring cycle reads them.
ChannelTemperatures ReadChannelTemperatures(RegisterAccess& access);

// A reading as the program writes it, as a number: 0.1f gives 0.1, not the
// double nearest to the float.
double ShownTemperature(float reading);

} // namespace qmt::link
