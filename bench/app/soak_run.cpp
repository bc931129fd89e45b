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
#include <algorithm>
#include <fstream>
#include <optional>
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
constexpr std::int64_t EventsEveryMs = 1000;
constexpr int SetUpBoundMs = 60'000;
constexpr long long BytesPerKb = 1024;

// The board in this process, on the simulated clock.
class EmulatedBoard final : public link::Bridge {
public:
    explicit EmulatedBoard(test::FakeClock& clock)
        : clock_(clock),
          board_([&clock] { return static_cast<std::uint64_t>(clock.ElapsedMs()); }) {
        std::string error;
        board_.LoadBoardText("# the default board\n", error);
    }
    std::int16_t LoadFirmWare(const char* path) override { return board_.LoadFirmWare(path); }
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override {
        if (listener_) {
            listener_({request, value, index, clock_.ElapsedMs()});
        }
        return board_.VendorIORequest(request, value, index, arg4, arg5, buffer);
    }
    void SetListener(std::function<void(const BoardRequest&)> listener) {
        listener_ = std::move(listener);
    }

private:
    test::FakeClock& clock_;
    tarnlink::Emulator board_;
    std::function<void(const BoardRequest&)> listener_;
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

struct SimulatedProgram::Parts {
    explicit Parts(std::unique_ptr<test::FakeClock> ownedClock)
        : clock(*ownedClock), board(new EmulatedBoard(clock)),
          app(std::move(ownedClock), std::unique_ptr<link::Bridge>(board),
              folder.filePath(QStringLiteral("settings.conf")), Services()),
          windows(app) {}
    core::ShellServices Services() {
        core::ShellServices services;
        services.showCriticalMessage = [this](const QString&, const QString& text) {
            error = text.toStdString();
        };
        services.exitProgram = [](int status) { throw ProgramEnded{status}; };
        services.openUrl = [](const QUrl&) {};
        return services;
    }
    // Runs the step, noting the program's end.
    template <typename Step> void Guarded(Step step) {
        try {
            step();
        } catch (const ProgramEnded& ended) {
            if (error.empty()) {
                error = "the program ended with status " + std::to_string(ended.status);
            }
        }
    }

    const QTemporaryDir folder;
    std::string error;
    test::FakeClock& clock;
    // When the master timer fires next (elapsed simulated ms); none: it is off.
    std::optional<std::int64_t> tickAt;
    EmulatedBoard* board; // owned by the application
    core::Application app;
    shell::Shell windows;
};

SimulatedProgram::SimulatedProgram(const QString& logFile)
    : parts_(std::make_unique<Parts>(std::make_unique<test::FakeClock>())) {
    Parts& parts = *parts_;
    parts.Guarded([&parts, &logFile] {
        shell::Main(parts.windows, {link::ExecutableFolder(), true, {}});
        shell::FrmMain& mainWindow = *parts.windows.mainWindow();
        // The cycle arms a timer on the simulated clock instead: the real one
        // would add ticks at no simulated time.
        mainWindow.tmrMaster().stop();
        parts.app.cycle().SetAlarm([&parts](std::optional<int> delayMs) {
            parts.tickAt.reset();
            if (delayMs) {
                parts.tickAt = parts.clock.ElapsedMs() + *delayMs;
            }
        });
        parts.app.cycle().Reschedule();
        shell::ScriptedActions::Play(mainWindow,
                                     {"mnuRegMap", "chkContRead", "mnuLimits", "mnuGeneralConfig",
                                      "mnuSoftware", "mnuSave", "mnuCompare", "mnuLog",
                                      "txtLogInt=10", "cmdLogData", "fileNameEdit=" + logFile});
        if (!RunEventsUntil([&parts] { return parts.app.state().LoggingOn; })) {
            parts.error = "the log did not start";
        }
    });
}

SimulatedProgram::~SimulatedProgram() {
    parts_->Guarded([this] { parts_->windows.CloseAllWindows(); });
}

const std::string& SimulatedProgram::Error() const {
    return parts_->error;
}

void SimulatedProgram::Run(std::int64_t spanMs) {
    if (!parts_->error.empty()) {
        return;
    }
    parts_->Guarded([this, spanMs] {
        test::FakeClock& clock = parts_->clock;
        const std::int64_t end = clock.ElapsedMs() + spanMs - spanMs % TickMs;
        std::int64_t eventsAt = clock.ElapsedMs() + EventsEveryMs;
        for (;;) {
            const std::int64_t to = std::min({parts_->tickAt.value_or(end + 1), eventsAt, end});
            clock.AdvanceMs(to - clock.ElapsedMs());
            if (to == parts_->tickAt) {
                parts_->tickAt.reset();
                MainWindow().tmrMaster_Timer();
            }
            if (to == eventsAt) {
                QCoreApplication::processEvents();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                eventsAt += EventsEveryMs;
            }
            if (to == end) {
                return;
            }
        }
    });
}

void SimulatedProgram::SetRequestListener(std::function<void(const BoardRequest&)> listener) {
    parts_->board->SetListener(std::move(listener));
}

core::Application& SimulatedProgram::App() {
    return parts_->app;
}

shell::FrmMain& SimulatedProgram::MainWindow() {
    return *parts_->windows.mainWindow();
}

test::FakeClock& SimulatedProgram::Clock() {
    return parts_->clock;
}

QString SimulatedProgram::OpenWindows() const {
    QStringList titles;
    for (const QMdiSubWindow* child : parts_->windows.mainWindow()->mdiArea()->subWindowList()) {
        titles << child->windowTitle();
    }
    return titles.join(QStringLiteral(", "));
}

SoakResult RunSoak(const SoakOptions& options) {
    SoakResult result;
    SimulatedProgram program(options.logFile);
    if (!program.Error().empty()) {
        result.error = program.Error();
        return result;
    }
    shell::FrmMain& mainWindow = program.MainWindow();
    result.openWindows = program.OpenWindows();
    // The CPU time of measuring the histories is not the program's.
    double measuringCpu = 0.0;
    const auto sample = [&] {
        SoakSample s;
        s.simulatedMs = program.Clock().ElapsedMs();
        const double cpu = CpuSeconds();
        s.cpuSeconds = cpu - measuringCpu;
        s.residentBytes = StatusKb("VmRSS") * BytesPerKb;
        s.peakResidentBytes = StatusKb("VmHWM") * BytesPerKb;
        s.heapBytes = HeapBytes();
        s.historyBytes = HistoryBytes(mainWindow);
        measuringCpu += CpuSeconds() - cpu;
        s.logLines = program.App().state().LogLineCount;
        result.samples.push_back(s);
        if (options.onSample) {
            options.onSample(s);
        }
    };
    program.Run(options.warmUpMs);
    const std::int64_t start = program.Clock().ElapsedMs();
    sample();
    for (std::int64_t done = 0; done < options.simulatedMs && program.Error().empty();) {
        const std::int64_t span = std::min(options.sampleEveryMs, options.simulatedMs - done);
        program.Run(span);
        done += span;
        sample();
    }
    result.error = program.Error();
    if (result.error.empty() &&
        program.Clock().ElapsedMs() - start != options.simulatedMs - options.simulatedMs % TickMs) {
        result.error = "the clock did not cover the span";
    }
    return result;
}

} // namespace qmt::bench
