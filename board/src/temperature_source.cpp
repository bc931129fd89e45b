#include "temperature_source.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarnlink {

double TemperatureAt(const TemperatureSource& source, double seconds) {
    switch (source.kind) {
    case TemperatureSource::Kind::Constant:
        return source.a;
    case TemperatureSource::Kind::Ramp: {
        // A ramp holds its end value once it has run its course. lerp, because
        // TO - FROM overflows for far-apart ends and inf * 0 would be NaN.
        const double progress = source.c > 0.0 ? std::clamp(seconds / source.c, 0.0, 1.0) : 1.0;
        return std::lerp(source.a, source.b, progress);
    }
    case TemperatureSource::Kind::Sine: {
        // The phase stays finite even for a tiny period, where seconds / period overflows.
        const double phase = std::fmod(seconds, source.c) / source.c;
        return source.a + source.b * std::sin(2.0 * std::numbers::pi * phase);
    }
    case TemperatureSource::Kind::Open:
        break;
    }
    return 0.0;
}

} // namespace tarnlink
