#include "views/logging/frm_logging.h"
#include "views/logging/log_session.h"
#include "views/view_world.h"

#include <QDir>

namespace qmt::views {

using test::Click;

namespace {

const QByteArray Head = "\r\nQMT6171/3 Log File\r\n\r\n"
                        "Time ,Local(\xB0"
                        "C) ,Remote1(\xB0"
                        "C) ,Remote2(\xB0"
                        "C) ,\r\n";

// A started program with the logging window's boxes answered by the test.
struct LoggingWorld : test::ViewWorld {
    LoggingWorld()
        : ViewWorld(test::Registers{{0x03, 0x04}}) {} // extended range, so readings go below 0

    FrmLogging& Open() {
        auto* window = ViewWorld::Open<FrmLogging>(shell::WindowId::Log);
        window->SetDialogs({[this](QWidget*, const QString&) { return chosenFile; },
                            [this](QWidget*, const QString& text) { warnings.append(text); }});
        return *window;
    }
    void Close(FrmLogging& window) {
        test::Click(window.cmdClose());
        test::DeleteClosed();
        QVERIFY(Loaded<FrmLogging>(shell::WindowId::Log) == nullptr);
    }
    // Readings as extended-range register bytes: whole degrees plus 64, quarters in the low byte.
    void SetReadings(int local, double remote1, double remote2) {
        auto& chip = this->chip();
        chip[0x00] = static_cast<std::uint8_t>(local + 64);
        const auto setQuarter = [&chip](std::int32_t high, std::int32_t low, double value) {
            const double code = value + 64.0;
            chip[high] = static_cast<std::uint8_t>(std::floor(code));
            chip[low] = static_cast<std::uint8_t>((code - std::floor(code)) * 256.0);
        };
        setQuarter(0x01, 0x10, remote1);
        setQuarter(0x30, 0x33, remote2);
    }
    // Ticks until the log has the given number of lines.
    void TickUntilLines(std::int64_t lines) {
        for (int tick = 0; tick < 10000 && state().LogLineCount < lines; ++tick) {
            QVERIFY(!world.Tick(10));
        }
        QCOMPARE(state().LogLineCount, lines);
    }
    QString StatusTip() const { return world.main().StatusPanel(1)->toolTip(); }
    QByteArray LogBytes() const { return test::Contents(chosenFile); }

    QString chosenFile = world.folder.filePath(QStringLiteral("run.csv"));
    QStringList warnings;
};

} // namespace

class TestFrmLogging : public QObject {
    Q_OBJECT

private slots:
    void opensFromMenuAndToolbarWithTheProgramsState();
    void exampleRunGoesOnAfterTheWindowClosesUntilStopped();
    void refusedStartsChangeNothingAndWriteNothing();
    void intervalTextsGiveTheTimeColumn();
    void writeFailuresShowInTheStatusBarAndWritingResumes();
};

void TestFrmLogging::opensFromMenuAndToolbarWithTheProgramsState() {
    LoggingWorld w;
    w.state().LoggingInterval = 250;
    w.state().LogChannel = {false, true, false};
    for (const char* action : {"mnuLog", "Log"}) {
        QVERIFY2(w.OpensBy(action, shell::WindowId::Log), action);
        auto* window = w.Loaded<FrmLogging>(shell::WindowId::Log);
        QCOMPARE(window->txtLogInt()->text(), QString("250"));
        QVERIFY(!window->chkLog(0)->isChecked());
        QVERIFY(window->chkLog(1)->isChecked());
    }
}

void TestFrmLogging::exampleRunGoesOnAfterTheWindowClosesUntilStopped() {
    LoggingWorld w;
    w.SetReadings(25, 30.25, 28.5);
    FrmLogging& window = w.Open();
    Click(window.cmdLogData());
    QCOMPARE(w.Status(), QString("Logging Enabled"));
    QCOMPARE(w.LogBytes(), Head); // the first line waits for the cycle
    w.Close(window);

    w.TickUntilLines(2);
    w.SetReadings(25, 30.5, -1.75);
    w.TickUntilLines(3);
    QCOMPARE(w.LogBytes(), Head + "0, 25, 30.25, 28.5,\r\n"
                                  ".1, 25, 30.25, 28.5,\r\n"
                                  ".2, 25, 30.5,-1.75,\r\n");

    // Reopened during the run it offers the stop; a stop writes nothing more.
    FrmLogging& again = w.Open();
    QCOMPARE(again.cmdLogData()->text(), QString("Click to &stop logging..."));
    Click(again.cmdLogData());
    QVERIFY(!w.state().LoggingOn);
    const QByteArray stopped = w.LogBytes();
    for (int tick = 0; tick < 50; ++tick) {
        QVERIFY(!w.world.Tick(10));
    }
    QCOMPARE(w.LogBytes(), stopped);

    // A second start appends a new run with its time back at 0.
    Click(again.cmdLogData());
    w.TickUntilLines(1);
    QCOMPARE(w.LogBytes(), stopped + Head + "0, 25, 30.5,-1.75,\r\n");
}

void TestFrmLogging::refusedStartsChangeNothingAndWriteNothing() {
    LoggingWorld w;
    FrmLogging& window = w.Open();
    // No channel: the warning, nothing started, no file.
    for (int i = 0; i < 3; ++i) {
        window.chkLog(i)->setChecked(false);
    }
    Click(window.cmdLogData());
    QCOMPARE(w.warnings, QStringList{"At least one item must be selected for logging"});
    QVERIFY(!w.state().LoggingOn);
    QVERIFY(!QFile::exists(w.chosenFile));

    // An interval that does not fit 32 bits is refused before the file is touched.
    window.chkLog(2)->setChecked(true);
    window.txtLogInt()->setText("2147483648");
    Click(window.cmdLogData());
    QCOMPARE(w.warnings.last(), QString("Logging interval must be 0 to 2147483647 ms"));
    QVERIFY(!QFile::exists(w.chosenFile));
    QVERIFY(!w.state().LoggingOn);
    QCOMPARE(w.state().LoggingInterval, 100);

    // A file that takes no bytes: the reason, and nothing has started.
    window.txtLogInt()->setText("100");
    w.chosenFile = "/dev/full";
    const QString statusBefore = w.Status();
    Click(window.cmdLogData());
    QCOMPARE(w.warnings.last(),
             QString("The log file /dev/full cannot be written: No space left on device"));
    QVERIFY(!w.state().LoggingOn);
    QCOMPARE(w.Status(), statusBefore);
}

void TestFrmLogging::intervalTextsGiveTheTimeColumn() {
    LoggingWorld w;
    w.SetReadings(-64, 0.5, -0.25);
    FrmLogging& window = w.Open();
    window.chkLog(0)->setChecked(false);
    window.txtLogInt()->setText("250");
    Click(window.cmdLogData());
    QCOMPARE(w.state().LoggingInterval, 250);
    w.TickUntilLines(3);
    Click(window.cmdLogData());
    const QByteArray quarterHead = "\r\nQMT6171/3 Log File\r\n\r\nTime ,Remote1(\xB0"
                                   "C) ,Remote2(\xB0"
                                   "C) ,\r\n";
    QCOMPARE(w.LogBytes(), quarterHead + "0, .5,-.25,\r\n.25, .5,-.25,\r\n.5, .5,-.25,\r\n");
}

void TestFrmLogging::writeFailuresShowInTheStatusBarAndWritingResumes() {
    LoggingWorld w;
    w.SetReadings(25, 30.25, 28.5);
    QDir folder(w.world.folder.path());
    QVERIFY(folder.mkdir("logs"));
    w.chosenFile = folder.filePath("logs/run.csv");
    FrmLogging& window = w.Open();
    window.chkLog(1)->setChecked(false);
    window.chkLog(2)->setChecked(false);
    Click(window.cmdLogData());
    w.Close(window);
    w.TickUntilLines(1);

    // The folder is deleted mid-run: the panel says so, the program goes on.
    QVERIFY(QDir(folder.filePath("logs")).removeRecursively());
    w.TickUntilLines(3);
    QCOMPARE(w.Status(), QString("Log write failed"));
    QCOMPARE(w.StatusTip(), w.chosenFile + ": No such file or directory");
    QVERIFY(w.state().LoggingOn);

    QVERIFY(folder.mkdir("logs"));
    w.TickUntilLines(4);
    QCOMPARE(w.Status(), QString("Logging Enabled"));
    QCOMPARE(w.StatusTip(), QString());
    // Lines 1 and 2 are the gap; the file made again starts with the run's head.
    QCOMPARE(w.LogBytes(), QByteArray("\r\nQMT6171/3 Log File\r\n\r\nTime ,Local(\xB0"
                                      "C) ,\r\n.3, 25,\r\n"));

    // Closing the main window (the program ending) flushes the running log.
    QVERIFY(QFile::remove(w.chosenFile));
    w.main().close();
    QCOMPARE(w.Status(), QString("Log write failed"));
    QCOMPARE(w.StatusTip(), w.chosenFile + ": No such file or directory");
}

} // namespace qmt::views

QTEST_MAIN(qmt::views::TestFrmLogging)
#include "test_frm_logging.moc"
