#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qmt::core {
class Application;
}
namespace qmt::shell {
class FrmMain;
}
namespace qmt::test {
class FakeClock;
}

// A soak run of the whole program on a simulated clock: the application as
// qmteval builds it, on the emulated board in this process (its time is the
// simulated time too), with every child window open, the register map
// reading continuously and a log written every 10 ms. The clock moves from
// one master-timer tick to the next and runs it; once a simulated second the
// event loop runs, so posted work and repaints happen as well.
// Shared by bench_soak (a day) and the CI tests (a few minutes).
namespace qmt::bench {

// One request the board answered, at the simulated time it came.
struct BoardRequest {
    std::uint16_t request = 0;
    std::int32_t value = 0;
    std::int32_t index = 0;
    std::int64_t simulatedMs = 0;
};

// The program as the soak runs it, started and set up. Needs a QApplication.
class SimulatedProgram {
public:
    explicit SimulatedProgram(const QString& logFile);
    ~SimulatedProgram();
    SimulatedProgram(const SimulatedProgram&) = delete;
    SimulatedProgram& operator=(const SimulatedProgram&) = delete;

    // Empty while the program runs; what went wrong or ended it otherwise.
    const std::string& Error() const;
    // Moves the clock on by a span of whole ticks, running the master
    // timer's ticks in it. Does nothing once the program has ended.
    void Run(std::int64_t spanMs);
    // Told every request the board answers from now on; empty to stop.
    void SetRequestListener(std::function<void(const BoardRequest&)> listener);

    core::Application& App();
    shell::FrmMain& MainWindow();
    test::FakeClock& Clock();
    QString OpenWindows() const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// The process's figures at one moment of the run.
struct SoakSample {
    std::int64_t simulatedMs = 0;
    double cpuSeconds = 0.0;         // utime + stime of the process
    long long residentBytes = 0;     // VmRSS
    long long peakResidentBytes = 0; // VmHWM
    long long heapBytes = 0;         // live heap
    long long historyBytes = 0;      // the strip charts' histories
    long long logLines = 0;          // data lines written to the log
};

struct SoakOptions {
    std::int64_t simulatedMs = 0;   // measured span, after the warm-up
    std::int64_t warmUpMs = 60'000; // windows settle, caches fill
    std::int64_t sampleEveryMs = 3'600'000;
    QString logFile; // the log the run writes
    // Called with every sample (the first at the end of the warm-up).
    std::function<void(const SoakSample&)> onSample;
};

struct SoakResult {
    std::vector<SoakSample> samples;
    std::string error; // empty when the run went through
    QString openWindows;
};

// Needs a QApplication.
SoakResult RunSoak(const SoakOptions& options);

// Growth between two samples that the histories do not account for.
inline long long UnaccountedHeapGrowth(const SoakSample& from, const SoakSample& to) {
    return (to.heapBytes - from.heapBytes) - (to.historyBytes - from.historyBytes);
}

} // namespace qmt::bench
