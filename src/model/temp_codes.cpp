#include "model/temp_codes.h"

#include "model/number_text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qmt::model {

namespace {

// The extended range shifts every code by 64 degrees so that -64 degC is code 0.
constexpr int kExtendedOffset = 64;
constexpr int kQuarterBits = 0xC0;
constexpr float kQuartersPerByte = 256.0f;

int RangeOffset(const GeneralStuff& state) {
    return state.ExtendedRange ? kExtendedOffset : 0;
}

// Codes outside the byte range are fine (the register write limits them), but a
// value beyond int must not reach the conversion.
int ToCode(double whole) {
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    if (std::isnan(whole)) {
        return 0;
    }
    return static_cast<int>(std::clamp(whole, lowest, highest));
}

double RoundToThousandths(double value) {
    return RoundHalfEven(value * 1000.0) / 1000.0;
}

} // namespace

float DecodeWholeTemp(const GeneralStuff& state, int code) {
    return static_cast<float>(code - RangeOffset(state));
}

float DecodeQuarterTemp(const GeneralStuff& state, int high, int low) {
    const float quarters = static_cast<float>(low & kQuarterBits) / kQuartersPerByte;
    return static_cast<float>(high) + quarters - static_cast<float>(RangeOffset(state));
}

int EncodeWholeTemp(const GeneralStuff& state, double t) {
    return ToCode(RoundHalfEven(t + RangeOffset(state)));
}

QuarterCode EncodeQuarterTemp(const GeneralStuff& state, double t) {
    // The whole degrees are truncated while the quarters round on their own, so
    // 50.9 is stored as 50.00 rather than 51.00.
    const int high = ToCode(std::floor(t) + RangeOffset(state));
    const int quarters = ToCode(RoundHalfEven(4.0 * t));
    return QuarterCode{high, (quarters & 3) * 64};
}

std::string FormatTemp(float& t) {
    t = static_cast<float>(RoundToThousandths(t));
    std::string text = PlainNumberTextTrimmed(t);
    const float fraction = t - std::floor(t);
    const std::string fractionText = PlainNumberTextTrimmed(RoundToThousandths(fraction));
    if (fractionText == "0") {
        text += ".00";
    } else if (fractionText.size() == 2) {
        text += "0";
    }
    return text;
}

} // namespace qmt::model
