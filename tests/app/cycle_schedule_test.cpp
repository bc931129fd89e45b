#include "bench/app/soak_run.h"
#include "core/application.h"
#include "shell/frm_main.h"
#include "shell/scripted_actions.h"
#include "support/fake_clock.h"

#include <QTemporaryDir>
#include <QtTest>

namespace qmt::bench {

namespace {

constexpr double ElevenOClock = 11 * 3600.0;
constexpr std::int64_t Hour = 3'600'000;

// Every request the board answers from now on, with its simulated time
// counted from now, folded into a count and a 64-bit FNV-1a hash.
class RequestTrace {
public:
    explicit RequestTrace(SimulatedProgram& program)
        : program_(program), startMs_(program.Clock().ElapsedMs()) {
        program.SetRequestListener([this](const BoardRequest& request) {
            ++count_;
            Fold(request.request);
            Fold(request.value);
            Fold(request.index);
            Fold(request.simulatedMs - startMs_);
        });
    }
    ~RequestTrace() { program_.SetRequestListener({}); }
    RequestTrace(const RequestTrace&) = delete;
    RequestTrace& operator=(const RequestTrace&) = delete;

    QString Summary() const {
        return QStringLiteral("%1 requests, hash %2")
            .arg(count_)
            .arg(hash_, 16, 16, QLatin1Char('0'));
    }

private:
    void Fold(std::int64_t value) {
        for (int byte = 0; byte < 8; ++byte) {
            hash_ = (hash_ ^ ((static_cast<std::uint64_t>(value) >> (8 * byte)) & 0xFFU)) *
                    0x100000001B3ULL;
        }
    }

    SimulatedProgram& program_;
    std::int64_t startMs_;
    std::uint64_t count_ = 0;
    std::uint64_t hash_ = 0xCBF29CE484222325ULL;
};

// A user's step inside one child window (several have a cmdApply).
void Step(SimulatedProgram& program, const char* window, const char* step) {
    auto* child = program.MainWindow().findChild<QWidget*>(QLatin1String(window));
    QVERIFY2(child && shell::ScriptedActions::RunStep(*child, QLatin1String(step)), step);
}

// Saving and recalling stop the master timer while they work on the chip.
void PauseMasterTimer(SimulatedProgram& program, std::int64_t pauseMs) {
    program.App().StopMasterTimer();
    program.Clock().AdvanceMs(pauseMs);
    program.App().StartMasterTimer();
}

// The clock jumps to 11:00 and the master timer starts from there, so the
// time start-up takes does not shift the ticks.
void StartAtEleven(SimulatedProgram& program) {
    program.Clock().SetSecondsSinceMidnight(ElevenOClock);
    PauseMasterTimer(program, 0);
}

} // namespace

// The master timer's schedule seen from the chip: with every window open and
// a log at 10 ms, each request of a simulated hour comes at the same simulated
// time as the program has always made it, also across changed intervals,
// switched activities and a stopped and restarted timer. The references were
// recorded from the cycle that ran every 10 ms tick.
class TestCycleSchedule : public QObject {
    Q_OBJECT

private slots:
    void everyWindowOpenKeepsItsRequestTimes();
    void changesAndPausesKeepTheirRequestTimes();
};

void TestCycleSchedule::everyWindowOpenKeepsItsRequestTimes() {
    const QTemporaryDir folder;
    SimulatedProgram program(folder.filePath(QStringLiteral("log.csv")));
    QVERIFY2(program.Error().empty(), program.Error().c_str());
    StartAtEleven(program);
    const RequestTrace trace(program);
    program.Run(Hour);
    QVERIFY2(program.Error().empty(), program.Error().c_str());
    QCOMPARE(trace.Summary(), QStringLiteral("205273 requests, hash d8c5e9454d9cc44a"));
}

void TestCycleSchedule::changesAndPausesKeepTheirRequestTimes() {
    constexpr std::int64_t Span = 10'000;
    const QTemporaryDir folder;
    SimulatedProgram program(folder.filePath(QStringLiteral("log.csv")));
    QVERIFY2(program.Error().empty(), program.Error().c_str());
    StartAtEleven(program);
    const RequestTrace trace(program);
    program.Run(Span);
    for (const char* step : {"txtReadInt=250", "txtGraphing=30", "txtLogging=70", "cmdApply"}) {
        Step(program, "frmSWOptions", step);
    }
    program.Run(Span);
    PauseMasterTimer(program, 1234);
    program.Run(Span);
    // Continuous reading and the register map's continuous read off, then on.
    for (int turn = 0; turn < 2; ++turn) {
        Step(program, "frmSWOptions", "chkMonitoring");
        Step(program, "frmSWOptions", "cmdApply");
        Step(program, "frmRegMap", "chkContRead");
        program.Run(Span);
    }
    PauseMasterTimer(program, 5);
    program.Run(Span);
    QVERIFY2(program.Error().empty(), program.Error().c_str());
    QCOMPARE(trace.Summary(), QStringLiteral("1935 requests, hash 31c988f1a343832b"));
}

} // namespace qmt::bench

QTEST_MAIN(qmt::bench::TestCycleSchedule)
#include "cycle_schedule_test.moc"
