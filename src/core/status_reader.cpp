#include "core/status_reader.h"

#include "model/alert_bits.h"

namespace qmt::core {

namespace {

constexpr double MsPerSecond = 1000.0;
// Seconds since midnight carry rounding of a few picoseconds: 200 ms measured
// on them may come out a hair short.
constexpr double RoundingMs = 1e-3;

} // namespace

bool StatusReader::Due(double now) const {
    if (!lastPoll_ || now < *lastPoll_) {
        return true;
    }
    return (now - *lastPoll_) * MsPerSecond + RoundingMs >= IntervalMs;
}

const StatusPoll& StatusReader::Read() {
    const double now = clock_.SecondsSinceMidnight();
    return Due(now) ? Poll(now) : last_;
}

const StatusPoll& StatusReader::ReadNow() {
    return Poll(clock_.SecondsSinceMidnight());
}

const StatusPoll& StatusReader::Poll(double now) {
    lastPoll_ = now;
    last_.status1 = access_.PollStatusRegister(model::StatusRegister1);
    last_.status2 = access_.PollStatusRegister(model::StatusRegister2);
    if (listener_) {
        listener_(last_);
    }
    if (lamps_) {
        lamps_(last_);
    }
    return last_;
}

} // namespace qmt::core
