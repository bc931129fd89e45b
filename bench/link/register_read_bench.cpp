// Single-register reads through RegisterAccess and the dlopen'ed bridge
// library: the cost every temperature reading and register view pays.
#include "link/connection_sequence.h"
#include "link/executable_folder.h"
#include "link/register_access.h"
#include "link/tarnlink_library.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace {

using namespace qmt;

// Lets the connection sequence's pauses pass at once.
class InstantClock final : public link::Clock {
public:
    double SecondsSinceMidnight() override { return static_cast<double>(ms_) / 1000.0; }
    void SleepMs(int milliseconds) override { ms_ += milliseconds; }

private:
    std::int64_t ms_ = 0;
};

// Returns, so a failed read ends in link::LinkFailure.
class ReturningErrorHandler final : public link::LinkErrorHandler {
public:
    void ReportLinkError(link::LinkError) override {}
};

class SilentProgress final : public link::ConnectionProgress {
public:
    void ShowProgressControls() override {}
    void ShowStage(const std::string&) override {}
    int BarDesignWidth() const override { return 100; }
    int BarFullWidth() const override { return 100; }
    void SetBarWidth(double) override {}
    void ShowStatus(const std::string&) override {}
    void ProcessPendingEvents() override {}
};

// A connected link to the default emulated board's chip.
struct ConnectedLink {
    ConnectedLink() {
        ::unsetenv("TARNLINK_BOARD");
        std::string error;
        library = link::TarnlinkLibrary::Load(QMT_TARNLINK_PATH, error);
        if (!library) {
            throw std::runtime_error(error);
        }
        access = std::make_unique<link::RegisterAccess>(*library, usb, state, errors);
        link::ConnectionSequence(*access, clock, progress, {link::ExecutableFolder(), true, {}})
            .Run();
    }

    std::unique_ptr<link::TarnlinkLibrary> library;
    link::USBStuff usb;
    GeneralStuff state;
    ReturningErrorHandler errors;
    InstantClock clock;
    SilentProgress progress;
    std::unique_ptr<link::RegisterAccess> access;
};

void ReadRegister(benchmark::State& state, std::int32_t pointer) {
    ConnectedLink link;
    const auto address = link.usb.DeviceAddress;
    for (auto _ : state) {
        benchmark::DoNotOptimize(link.access->ReadRegister(address, pointer));
    }
    state.SetItemsProcessed(state.iterations());
}

// A fixed register, and the local temperature, which brings the chip's
// conversions up to date on each read.
BENCHMARK_CAPTURE(ReadRegister, ManufacturerId, 0xFE);
BENCHMARK_CAPTURE(ReadRegister, LocalTemp, 0x00);

} // namespace

BENCHMARK_MAIN();
