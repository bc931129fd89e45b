#include "cli/stop_signals.h"

#include <atomic>

namespace qmt::cli {

namespace {

// A signal handler receives no context, so the flag is the one thing it finds here.
std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void RequestStop(int) {
    stopRequested.store(true, std::memory_order_relaxed);
}

void Install(int signalNumber, struct sigaction& previous) {
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(signalNumber, &action, &previous);
}

} // namespace

StopSignals::StopSignals() {
    stopRequested.store(false);
    for (std::size_t i = 0; i < Signals.size(); ++i) {
        Install(Signals[i], previous_[i]);
    }
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < Signals.size(); ++i) {
        sigaction(Signals[i], &previous_[i], nullptr);
    }
}

bool StopSignals::Requested() {
    return stopRequested.load(std::memory_order_relaxed);
}

} // namespace qmt::cli
