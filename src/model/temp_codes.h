#pragma once

#include "model/general_stuff.h"

#include <string>

// Temperatures in register bytes, in the normal and the extended range. The
// range comes from the program state at the moment of each call.
namespace qmt::model {

struct QuarterCode {
    int high = 0;
    int low = 0;
};

float DecodeWholeTemp(const GeneralStuff& state, int code);
float DecodeQuarterTemp(const GeneralStuff& state, int high, int low);
// May return a negative code or one above 255; the register write limits it.
int EncodeWholeTemp(const GeneralStuff& state, double t);
QuarterCode EncodeQuarterTemp(const GeneralStuff& state, double t);

// Two-decimal text of a temperature, e.g. "25.50", "-.25". Rounds the
// caller's variable to 3 decimals in place, as the legend relies on.
std::string FormatTemp(float& t);

} // namespace qmt::model
