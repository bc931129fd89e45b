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

private:
    // The time zone is looked up once a quarter hour of UTC: zones change
    // their offsets only at whole quarter hours, and the lookup costs more
    // than the rest of a monitoring tick's clock readings together.
    long long quarter_ = -1;
    long long quarterStart_ = 0;      // seconds since the epoch
    long long quarterStartOfDay_ = 0; // local seconds since midnight then
};

// Waits until the clock has passed start + milliseconds / 1000; the user
// interface stays frozen meanwhile. Ends also when the wait spans midnight.
void Pause(Clock& clock, float milliseconds);

} // namespace qmt::link
