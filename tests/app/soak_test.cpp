#include "bench/app/soak_run.h"

#include <QTemporaryDir>
#include <QtTest>

namespace qmt::bench {

// The soak run shortened to a few simulated minutes: every window open, the
// register map reading continuously, a log at 10 ms. The run must go
// through without a message, log a line every tick, and grow the heap only
// by what the graph's history takes.
class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void aFewMinutesGrowOnlyTheHistory();
};

void TestSoak::aFewMinutesGrowOnlyTheHistory() {
    constexpr std::int64_t SpanMs = 3 * 60'000;
    // A leak of a few bytes a tick shows; allocator block rounding does not.
    constexpr long long UnaccountedBound = 16 * 1024;
    const QTemporaryDir folder;
    SoakOptions options;
    options.simulatedMs = SpanMs;
    options.warmUpMs = 30'000;
    options.sampleEveryMs = SpanMs;
    options.logFile = folder.filePath(QStringLiteral("soak.csv"));
    const SoakResult result = RunSoak(options);
    QVERIFY2(result.error.empty(), result.error.c_str());
    QCOMPARE(result.samples.size(), std::size_t{2});
    const SoakSample& first = result.samples.front();
    const SoakSample& last = result.samples.back();
    QCOMPARE(last.simulatedMs - first.simulatedMs, SpanMs);
    // Logging at 10 ms on a 10 ms tick: a line each tick but for the
    // cycle's rounding (an activity runs once more than its interval passed).
    QVERIFY(last.logLines - first.logLines >= SpanMs / 20);
    QVERIFY(last.historyBytes > first.historyBytes);
    const long long unaccounted = UnaccountedHeapGrowth(first, last);
    QVERIFY2(
        unaccounted < UnaccountedBound,
        qPrintable(QStringLiteral("heap grew by %1 bytes besides the history").arg(unaccounted)));
}

} // namespace qmt::bench

QTEST_MAIN(qmt::bench::TestSoak)
#include "soak_test.moc"
