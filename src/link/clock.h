#pragma once

namespace qmt::link {

// Time of day as the program sees it. Injected so that tests walk through
// pauses and midnight in no time.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since midnight, with fractions; falls back to near 0 at midnight.
    virtual double SecondsSinceMidnight() = 0;
    // Lets a few milliseconds go by without spinning a core.
    virtual void SleepMs(int milliseconds) = 0;
};

// The system clock (local time of day).
class SystemClock final : public Clock {
public:
    double SecondsSinceMidnight() override;
    void SleepMs(int milliseconds) override;
};

// Waits until the clock has passed start + milliseconds / 1000; the user
// interface stays frozen meanwhile. Ends also when the wait spans midnight.
void Pause(Clock& clock, float milliseconds);

} // namespace qmt::link
