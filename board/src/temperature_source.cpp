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
        // A ramp holds its end value once it has run its course.
        const double progress = source.c > 0.0 ? std::clamp(seconds / source.c, 0.0, 1.0) : 1.0;
        return source.a + (source.b - source.a) * progress;
    }
    case TemperatureSource::Kind::Sine:
        return source.a + source.b * std::sin(2.0 * std::numbers::pi * seconds / source.c);
    case TemperatureSource::Kind::Open:
        break;
    }
    return 0.0;
}

} // namespace tarnlink
