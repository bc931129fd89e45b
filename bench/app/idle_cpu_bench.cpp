// Idle CPU of the program: the application started as qmteval starts it, on
// the emulated board behind libTarnlink.so, with the defaults and the main
// window open, left alone while its master timer runs. Reports the CPU time
// of the process (all its threads) as a percentage of one core, and how often
// the main thread woke (its voluntary context switches) a second. --open
// triggers a menu item or toolbar button by its name first, so the cost of a
// child window's refresh is measured the same way.
//
// A plain main rather than Google Benchmark: the quantity is one long run of
// an event loop measured from outside, not the repeated timing of a function.
//
//   bench_idle_cpu                 # 60 s
//   bench_idle_cpu --seconds 10    # or QMT_IDLE_SECONDS=10
//   bench_idle_cpu --open Limits   # with the limits window open
#include "core/application.h"
#include "link/bridge_factory.h"
#include "link/executable_folder.h"
#include "shell/frm_main.h"
#include "shell/shell.h"
#include "shell/startup.h"
#include "support/allocation_counter.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace qmt;

constexpr double GoalPercent = 0.4;
constexpr double WindowsOpenGoalPercent = 0.8;
constexpr double GoalWakeUps = 30.0; // idle
constexpr int DefaultSeconds = 60;
constexpr int WarmUpMs = 2000;
constexpr int OverGoalStatus = 1;
constexpr int SetUpFailedStatus = 2;

// CPU time of the whole process, every thread, in seconds. The kernel
// counts it to the nanosecond; utime and stime in /proc/self/stat are
// sampled at the clock tick, which at this load is too coarse, and a timer
// that wakes in step with the tick can hide from it.
double ProcessCpuSeconds() {
    timespec spent{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &spent);
    return static_cast<double>(spent.tv_sec) + static_cast<double>(spent.tv_nsec) / 1e9;
}

// Times the calling thread gave up the processor to wait: each is one wake-up.
long MainThreadWaits() {
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

void RunEventLoop(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

int MeasuredSeconds(const QCommandLineParser& parser, const QCommandLineOption& option) {
    QString text = parser.value(option);
    if (!parser.isSet(option) && qEnvironmentVariableIsSet("QMT_IDLE_SECONDS")) {
        text = qEnvironmentVariable("QMT_IDLE_SECONDS");
    }
    bool ok = false;
    const int seconds = text.toInt(&ok);
    return ok && seconds > 0 ? seconds : DefaultSeconds;
}

core::ShellServices BenchServices() {
    core::ShellServices services;
    services.showCriticalMessage = [](const QString&, const QString& text) {
        std::cerr << "bench_idle_cpu: " << text.toStdString() << '\n';
    };
    services.exitProgram = [](int status) { std::exit(status); };
    services.openUrl = [](const QUrl&) {};
    return services;
}

QString OpenChildWindows(const shell::FrmMain& mainWindow) {
    QStringList titles;
    for (const QMdiSubWindow* child : mainWindow.mdiArea()->subWindowList()) {
        titles << child->windowTitle();
    }
    return titles.isEmpty() ? QStringLiteral("none") : titles.join(QStringLiteral(", "));
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption secondsOption(
        QStringLiteral("seconds"),
        QStringLiteral("Measured period (default 60, or QMT_IDLE_SECONDS)."), QStringLiteral("N"));
    parser.addOption(secondsOption);
    const QCommandLineOption openOption(
        QStringLiteral("open"),
        QStringLiteral("Trigger this menu item or toolbar button first (repeatable)."),
        QStringLiteral("NAME"));
    parser.addOption(openOption);
    parser.process(application);
    const int seconds = MeasuredSeconds(parser, secondsOption);

    link::BridgeChoice choice;
    choice.libraryPath = QMT_TARNLINK_PATH;
    std::string error;
    std::unique_ptr<link::Bridge> bridge = link::OpenBridge(choice, error);
    if (!bridge) {
        std::cerr << "bench_idle_cpu: " << error << '\n';
        return SetUpFailedStatus;
    }
    const QTemporaryDir folder;
    core::Application app(std::make_unique<link::SystemClock>(), std::move(bridge),
                          folder.filePath(QStringLiteral("settings.conf")), BenchServices());
    shell::Shell windows(app);
    shell::Main(windows, {link::ExecutableFolder(), true, {}});
    shell::FrmMain& mainWindow = *windows.mainWindow();
    long ticks = 0;
    QObject::connect(&mainWindow.tmrMaster(), &QTimer::timeout, [&ticks] { ++ticks; });
    for (const QString& name : parser.values(openOption)) {
        auto* action = mainWindow.findChild<QAction*>(name);
        if (action == nullptr) {
            std::cerr << "bench_idle_cpu: no menu item or button " << name.toStdString() << '\n';
            return SetUpFailedStatus;
        }
        action->trigger();
    }
    const double goal = parser.isSet(openOption) ? WindowsOpenGoalPercent : GoalPercent;

    // Let the first paints and the first round of activities pass.
    RunEventLoop(WarmUpMs);

    const long ticksBefore = ticks;
    const long allocationsBefore = qmt::test::AllocationCount();
    const double cpuBefore = ProcessCpuSeconds();
    const long waitsBefore = MainThreadWaits();
    QElapsedTimer wall;
    wall.start();
    RunEventLoop(seconds * 1000);
    const double wallSeconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    const double cpuSeconds = ProcessCpuSeconds() - cpuBefore;
    const double percent = 100.0 * cpuSeconds / wallSeconds;
    const double wakeUpsPerSecond =
        static_cast<double>(MainThreadWaits() - waitsBefore) / wallSeconds;
    const double ticksPerSecond = static_cast<double>(ticks - ticksBefore) / wallSeconds;
    const double allocationsPerSecond =
        static_cast<double>(qmt::test::AllocationCount() - allocationsBefore) / wallSeconds;

    std::printf("child windows open:  %s\n", qPrintable(OpenChildWindows(mainWindow)));
    std::printf("measured period:     %.1f s\n", wallSeconds);
    std::printf("CPU (process):       %.3f s = %.2f %% of one core (goal <= %.1f %%)\n", cpuSeconds,
                percent, goal);
    std::printf("master timer:        %.1f ticks/s\n", ticksPerSecond);
    if (parser.isSet(openOption)) {
        std::printf("wake-ups:            %.1f /s (main thread)\n", wakeUpsPerSecond);
    } else {
        std::printf("wake-ups:            %.1f /s (main thread; goal <= %.0f)\n", wakeUpsPerSecond,
                    GoalWakeUps);
    }
    // Whole process: the status bar's once-a-second clock text allocates; the
    // master timer's tick itself allocates nothing (its test checks that).
    std::printf("heap allocations:    %.0f /s (whole process)\n", allocationsPerSecond);
    windows.CloseAllWindows();
    const bool wakesMet = parser.isSet(openOption) || wakeUpsPerSecond <= GoalWakeUps;
    return percent <= goal && wakesMet ? 0 : OverGoalStatus;
}
