#include "app/status_reader.h"

#include "model/alert_bits.h"

namespace qmt::app {

namespace {

constexpr double MsPerSecond = 1000.0;

} // namespace

bool StatusReader::Due(double now) const {
    if (!lastPoll_ || now < *lastPoll_) {
        return true;
    }
    return (now - *lastPoll_) * MsPerSecond >= IntervalMs;
}

const StatusPoll& StatusReader::Read() {
    const double now = clock_.SecondsSinceMidnight();
    if (!Due(now)) {
        return last_;
    }
    lastPoll_ = now;
    last_.status1 = access_.PollStatusRegister(model::StatusRegister1);
    last_.status2 = access_.PollStatusRegister(model::StatusRegister2);
    if (listener_) {
        listener_(last_);
    }
    return last_;
}

} // namespace qmt::app
