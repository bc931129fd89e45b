#pragma once

#include <array>
#include <csignal>

namespace qmt::cli {

// While an instance lives, SIGINT, SIGTERM and SIGHUP only raise a flag that
// a long command polls, so it can end between two lines instead of in the
// middle of one. They are installed without SA_RESTART, so a signal also ends
// a wait in a system call (a write to a pipe whose reader stalls). The
// previous handlers come back when it goes. One instance at a time.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    static bool Requested();

private:
    static constexpr std::array<int, 3> Signals{SIGINT, SIGTERM, SIGHUP};
    std::array<struct sigaction, Signals.size()> previous_{};
};

} // namespace qmt::cli
