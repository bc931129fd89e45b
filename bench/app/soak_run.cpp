#include "bench/app/soak_run.h"

#include "core/application.h"
#include "link/bridge.h"
#include "link/executable_folder.h"
#include "shell/frm_main.h"
#include "shell/scripted_actions.h"
#include "shell/shell.h"
#include "shell/startup.h"
#include "support/fake_clock.h"
#include "tarnlink_emulator.h"
#include "widgets/strip_chart.h"
#include "widgets/trace_history.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#define QMT_SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QMT_SOAK_ASAN 1
#endif
#endif
#ifdef QMT_SOAK_ASAN
// The sanitizer's own count of live heap bytes (its allocator keeps freed
// blocks in quarantine, so neither malloc's figures nor the resident size
// tell live bytes there). Declared here: GCC installs no header for it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace qmt::bench {

namespace {

constexpr std::int64_t TickMs = 10;
constexpr std::int64_t TicksBetweenEvents = 100; // one simulated second
constexpr int SetUpBoundMs = 60'000;
constexpr long long BytesPerKb = 1024;

// The board in this process, on the simulated clock.
class EmulatedBoard final : public link::Bridge {
public:
    explicit EmulatedBoard(test::FakeClock& clock)
        : board_([&clock] { return static_cast<std::uint64_t>(clock.ElapsedMs()); }) {
        std::string error;
        board_.LoadBoardText("# the default board\n", error);
    }
    std::int16_t LoadFirmWare(const char* path) override { return board_.LoadFirmWare(path); }
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override {
        return board_.VendorIORequest(request, value, index, arg4, arg5, buffer);
    }

private:
    tarnlink::Emulator board_;
};

long long StatusKb(const char* key) {
    std::ifstream file("/proc/self/status");
    const std::string wanted = std::string(key) + ":";
    for (std::string word; file >> word;) {
        if (word == wanted) {
            long long kb = 0;
            file >> kb;
            return kb;
        }
    }
    return 0;
}

long long HeapBytes() {
#ifdef QMT_SOAK_ASAN
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
#endif
}

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// What the charts' histories take of the heap, container and allocator
// overhead included: the heap that a fresh history of the same length takes
// (the values do not change its size).
long long HistoryBytes(const shell::FrmMain& mainWindow) {
    long long bytes = 0;
    for (const auto* chart : mainWindow.findChildren<widgets::StripChart*>()) {
        for (int trace = 0; trace < widgets::StripChart::TraceCount; ++trace) {
            const std::size_t samples = chart->History(trace).Size();
            const long long before = HeapBytes();
            widgets::TraceHistory copy;
            for (std::size_t i = 0; i < samples; ++i) {
                copy.Append(static_cast<double>(i), 0.0f);
            }
            bytes += HeapBytes() - before;
        }
    }
    return bytes;
}

QString OpenWindows(const shell::FrmMain& mainWindow) {
    QStringList titles;
    for (const QMdiSubWindow* child : mainWindow.mdiArea()->subWindowList()) {
        titles << child->windowTitle();
    }
    return titles.join(QStringLiteral(", "));
}

// Runs the event loop until done holds or the bound passes.
bool RunEventsUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(SetUpBoundMs);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return done();
}

struct ProgramEnded {
    int status;
};

} // namespace

SoakResult RunSoak(const SoakOptions& options) {
    SoakResult result;
    const QTemporaryDir folder;
    auto ownedClock = std::make_unique<test::FakeClock>();
    test::FakeClock& clock = *ownedClock;
    core::ShellServices services;
    services.showCriticalMessage = [&result](const QString&, const QString& text) {
        result.error = text.toStdString();
    };
    services.exitProgram = [](int status) { throw ProgramEnded{status}; };
    services.openUrl = [](const QUrl&) {};
    core::Application app(std::move(ownedClock), std::make_unique<EmulatedBoard>(clock),
                          folder.filePath(QStringLiteral("settings.conf")), std::move(services));
    shell::Shell windows(app);
    try {
        shell::Main(windows, {link::ExecutableFolder(), true, {}});
        shell::FrmMain& mainWindow = *windows.mainWindow();
        // The simulated clock drives every tick; the real timer would add
        // ticks at no simulated time.
        mainWindow.tmrMaster().stop();
        shell::ScriptedActions::Play(mainWindow, {"mnuRegMap", "chkContRead", "mnuLimits",
                                                  "mnuGeneralConfig", "mnuSoftware", "mnuSave",
                                                  "mnuCompare", "mnuLog", "txtLogInt=10",
                                                  "cmdLogData", "fileNameEdit=" + options.logFile});
        if (!RunEventsUntil([&app] { return app.state().LoggingOn; })) {
            result.error = "the log did not start";
            return result;
        }
        result.openWindows = OpenWindows(mainWindow);
        // The CPU time of measuring the histories is not the program's.
        double measuringCpu = 0.0;
        const auto sample = [&] {
            SoakSample s;
            s.simulatedMs = clock.ElapsedMs();
            const double cpu = CpuSeconds();
            s.cpuSeconds = cpu - measuringCpu;
            s.residentBytes = StatusKb("VmRSS") * BytesPerKb;
            s.peakResidentBytes = StatusKb("VmHWM") * BytesPerKb;
            s.heapBytes = HeapBytes();
            s.historyBytes = HistoryBytes(mainWindow);
            measuringCpu += CpuSeconds() - cpu;
            s.logLines = app.state().LogLineCount;
            result.samples.push_back(s);
            if (options.onSample) {
                options.onSample(s);
            }
        };
        const auto run = [&](std::int64_t spanMs) {
            for (std::int64_t tick = 1; tick <= spanMs / TickMs; ++tick) {
                clock.AdvanceMs(TickMs);
                mainWindow.tmrMaster_Timer();
                if (tick % TicksBetweenEvents == 0) {
                    QCoreApplication::processEvents();
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                }
            }
        };
        run(options.warmUpMs);
        const std::int64_t start = clock.ElapsedMs();
        sample();
        for (std::int64_t done = 0; done < options.simulatedMs;) {
            const std::int64_t span = std::min(options.sampleEveryMs, options.simulatedMs - done);
            run(span);
            done += span;
            sample();
        }
        if (clock.ElapsedMs() - start != options.simulatedMs - options.simulatedMs % TickMs) {
            result.error = "the clock did not cover the span";
        }
        windows.CloseAllWindows();
    } catch (const ProgramEnded& ended) {
        if (result.error.empty()) {
            result.error = "the program ended with status " + std::to_string(ended.status);
        }
    }
    return result;
}

} // namespace qmt::bench
