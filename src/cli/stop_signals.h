#pragma once

#include <csignal>

namespace qmt::cli {

// While an instance lives, SIGINT and SIGTERM only raise a flag that a long
// command polls, so it can end between two lines instead of in the middle of
// one. The previous handlers come back when it goes. One instance at a time.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    static bool Requested();

private:
    struct sigaction previousInterrupt_ {};
    struct sigaction previousTerminate_ {};
};

} // namespace qmt::cli
