#include "widgets/chart_scale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

namespace qmt::widgets {

namespace {

struct ClockParts {
    long long hours;
    long long minutes;
    long long seconds;
    long long millis;
};

ClockParts PartsOf(double chartTime) {
    const double ofDay = std::fmod(std::max(chartTime, 0.0), SecondsPerDay);
    const long long ms = std::llround(std::floor(ofDay * 1000.0));
    return {ms / 3'600'000 % 24, ms / 60'000 % 60, ms / 1000 % 60, ms % 1000};
}

} // namespace

double DayClock::Unwrap(double secondsSinceMidnight) {
    constexpr double HalfDay = SecondsPerDay / 2.0;
    double t = dayBase_ + secondsSinceMidnight;
    if (started_ && t < last_ - HalfDay) {
        dayBase_ += SecondsPerDay;
        t += SecondsPerDay;
    }
    if (started_ && t < last_) {
        t = last_;
    }
    started_ = true;
    last_ = t;
    return t;
}

std::string TimeLabel(double chartTime) {
    const ClockParts parts = PartsOf(chartTime);
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%02lld %02lld %02lld", parts.hours, parts.minutes,
                  parts.seconds);
    return text.data();
}

std::string ElapsedLabel(double seconds) {
    const auto days = static_cast<long long>(std::floor(std::max(seconds, 0.0) / SecondsPerDay));
    return days == 0 ? TimeLabel(seconds) : std::to_string(days) + "d " + TimeLabel(seconds);
}

std::string TimeStampText(double chartTime) {
    const ClockParts parts = PartsOf(chartTime);
    std::array<char, 20> text{};
    std::snprintf(text.data(), text.size(), "%02lld:%02lld:%02lld.%03lld", parts.hours,
                  parts.minutes, parts.seconds, parts.millis);
    return text.data();
}

double TimeTickStep(double span, double pixels, double minPixels) {
    static constexpr std::array<double, 19> Steps = {1,
                                                     2,
                                                     5,
                                                     10,
                                                     15,
                                                     30,
                                                     60,
                                                     120,
                                                     300,
                                                     600,
                                                     900,
                                                     1800,
                                                     3600,
                                                     7200,
                                                     10800,
                                                     21600,
                                                     43200,
                                                     SecondsPerDay,
                                                     7 * SecondsPerDay};
    if (!(span > 0.0) || !(pixels > 0.0)) {
        return Steps.back();
    }
    for (const double step : Steps) {
        if (step / span * pixels >= minPixels) {
            return step;
        }
    }
    return Steps.back();
}

double ValueTickStep(double span, double pixels, double minPixels) {
    if (!(span > 0.0) || !(pixels > 0.0)) {
        return 1.0;
    }
    const double raw = span * std::max(minPixels, 1.0) / pixels;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double mantissa : {1.0, 2.0, 5.0, 10.0}) {
        if (mantissa * power >= raw) {
            return mantissa * power;
        }
    }
    return 10.0 * power;
}

} // namespace qmt::widgets
