#pragma once

namespace tarnlink {

// What one diode of the board measures over time.
struct TemperatureSource {
    enum class Kind { Constant, Ramp, Sine, Open };
    Kind kind = Kind::Constant;
    double a = 25.0; // constant value, ramp start or sine mean (°C)
    double b = 0.0;  // ramp end or sine amplitude (°C)
    double c = 0.0;  // ramp duration or sine period (s)

    static TemperatureSource Constant(double celsius) { return {Kind::Constant, celsius, 0, 0}; }
    static TemperatureSource Ramp(double from, double to, double seconds) {
        return {Kind::Ramp, from, to, seconds};
    }
    static TemperatureSource Sine(double mean, double amplitude, double periodSeconds) {
        return {Kind::Sine, mean, amplitude, periodSeconds};
    }
    static TemperatureSource Open() { return {Kind::Open, 0, 0, 0}; }
};

// Temperature in °C at `seconds` after power-on; an open diode has none (0).
double TemperatureAt(const TemperatureSource& source, double seconds);

} // namespace tarnlink
