#include "output/log_format.h"
#include "views/graph/frm_graph.h"
#include "views/replay/frm_replay.h"
#include "views/replay/replay_opener.h"
#include "views/replay/replay_texts.h"
#include "views/view_world.h"
#include "widgets/strip_chart.h"

#include <QMenu>
#include <QProgressBar>

namespace qmt::views {

using test::ViewWorld;
using widgets::StripChart;

namespace {

constexpr output::LogChannels All{true, true, true};

std::string Run(const output::LogChannels& channels, int lines, std::int32_t intervalMs,
                float local = 25.0f) {
    std::string text = output::LogRunHead(channels);
    for (int i = 0; i < lines; ++i) {
        const float f = static_cast<float>(i % 100);
        text += output::LogDataLine(i, intervalMs, channels, {local + f, 30.0f - f, -1.5f, false});
        text += output::LogLineEnd;
    }
    return text;
}

// Answers the replay's dialogs and records what they were asked.
struct Answers {
    QString file;
    int run = 1;
    QStringList offered;
    QStringList warnings;

    ReplayDialogs Dialogs() {
        return {[this](QWidget*, const QString&) { return file; },
                [this](QWidget*, const QStringList& choices) {
                    offered = choices;
                    return run;
                },
                [this](QWidget*, const QString& text) { warnings << text; }};
    }
};

struct ReplayWorld : ViewWorld {
    ReplayWorld() {
        main().findChild<ReplayOpener*>("replayOpener")->SetDialogs(answers.Dialogs());
    }

    QString Write(const QString& name, const std::string& bytes) {
        test::Put(Path(name), QByteArray::fromStdString(bytes));
        return Path(name);
    }

    QList<FrmReplay*> Replays() const {
        QList<FrmReplay*> replays;
        for (QMdiSubWindow* frame : main().mdiArea()->subWindowList()) {
            if (auto* replay = qobject_cast<FrmReplay*>(frame->widget());
                replay != nullptr && !frame->isHidden()) {
                replays << replay;
            }
        }
        return replays;
    }

    // Opens from the File menu and reads the file to its end.
    FrmReplay* OpenFromMenu(const QString& path) {
        answers.file = path;
        auto* replay = Trigger<FrmReplay>("mnuOpenLog", shell::WindowId::Replay);
        if (replay != nullptr) {
            while (replay->LoadStep()) {
            }
        }
        return replay;
    }

    Answers answers;
};

// Chart times are kept as single-precision offsets within a chunk.
bool Near(double actual, double expected) {
    return std::abs(actual - expected) < 1e-5;
}

QAction* MenuAction(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

} // namespace

class TestReplay : public QObject {
    Q_OBJECT

private slots:
    void bothMenusOpenAReplayBesideTheUndisturbedLiveGraph();
    void chosenRunOrAllRunsWithDamagedLinesCounted();
    void cancelAndUnreadableFilesOpenNothing();
    void runTexts();
};

void TestReplay::bothMenusOpenAReplayBesideTheUndisturbedLiveGraph() {
    ReplayWorld r;
    test::AppWorld& world = r.world;
    FrmGraph* graph = r.Loaded<FrmGraph>(shell::WindowId::Graph);
    QVERIFY(graph != nullptr);
    QCOMPARE(world.Tick(), std::nullopt);
    const std::size_t liveBefore = graph->stpGraph()->History(0).Size();

    const QString path = r.Write("day.csv", Run(All, 600, 100));
    FrmReplay* first = r.OpenFromMenu(path);
    QVERIFY(first != nullptr);
    QCOMPARE(world.main().mdiArea()->activeSubWindow()->windowTitle(), QString("day.csv"));
    QVERIFY(r.answers.offered.isEmpty()); // one run: nothing to choose
    StripChart& chart = *first->stpReplay();
    QCOMPARE(chart.History(2).Size(), std::size_t{600});
    // The whole run is in view, however long.
    QVERIFY(Near(chart.VisibleTimeRange().end - chart.VisibleTimeRange().start, 59.9));
    QVERIFY(Near(chart.History(0).TimeAt(599), 59.9));
    QCOMPARE(first->SummaryText(), QString("Run 1: line 2, 600 lines, 0:00:59.9, "
                                           "Local Remote1 Remote2"));

    // The graph's right-click menu opens a second window beside the first.
    std::unique_ptr<QMenu> menu(graph->stpGraph()->CreateContextMenu());
    QAction* openLog = MenuAction(*menu, "Open Log…");
    QVERIFY(openLog != nullptr);
    r.answers.file = r.Write("other.csv", Run({false, false, true}, 5, 1000));
    openLog->trigger();
    auto* second = r.Loaded<FrmReplay>(shell::WindowId::Replay);
    QVERIFY(second != nullptr && second != first);
    while (second->LoadStep()) {
    }
    QCOMPARE(r.Replays().size(), 2);
    QCOMPARE(second->stpReplay()->History(2).Size(), std::size_t{5});
    QVERIFY(!second->stpReplay()->TraceVisible(0));

    // The live graph is still fed, and its own chart holds no replayed sample.
    for (int tick = 0; tick < 10; ++tick) {
        QCOMPARE(world.Tick(), std::nullopt);
    }
    QVERIFY(graph->stpGraph()->History(0).Size() > liveBefore);
    QVERIFY(graph->stpGraph()->History(0).Size() < 100);
}

void TestReplay::chosenRunOrAllRunsWithDamagedLinesCounted() {
    ReplayWorld r;
    std::string text = Run(All, 50, 100) + "5, 25, 3O, 28,\r\n" + Run({true, false, true}, 20, 500);
    text += ".1, 25,\r\n12"; // the last line cut short twice
    const QString path = r.Write("runs.csv", text);

    r.answers.run = 2;
    FrmReplay* second = r.OpenFromMenu(path);
    QVERIFY(second != nullptr);
    QCOMPARE(r.answers.offered[2], QString("Run 2: line 57, 20 lines, 0:00:09.5, Local Remote2"));
    QCOMPARE(r.main().mdiArea()->activeSubWindow()->windowTitle(), QString("runs.csv (run 2)"));
    QCOMPARE(second->SummaryText(), QString("Run 2: line 57, 20 lines, 0:00:09.5, Local Remote2; "
                                            "2 lines could not be read"));
    QCOMPARE(second->stpReplay()->History(0).Size(), std::size_t{20});

    r.answers.run = 0;
    FrmReplay* all = r.OpenFromMenu(path);
    QVERIFY(all != nullptr && all != second);
    QCOMPARE(all->SummaryText(), QString("All 2 runs; 3 lines could not be read"));
    const StripChart& chart = *all->stpReplay();
    QCOMPARE(chart.History(0).Size(), std::size_t{70});
    // The second run follows the first one interval after its last line.
    QVERIFY(Near(chart.History(0).TimeAt(50), 5.0));
    QVERIFY(Near(chart.History(2).TimeAt(69), 5.0 + 9.5));
    QCOMPARE(const_cast<StripChart&>(chart).VisibleTimeRange().end, 14.5);

    // A line whose time jumped ahead: it and the lines after it are runs of
    // their own, each on its own times, not held at the jumped time.
    std::string jumped = Run(All, 30, 100) + "99999, 25, 30, 28,\r\n";
    for (int i = 30; i < 50; ++i) {
        jumped += output::LogDataLine(i, 100, All, {25.0f, 30.0f, 28.0f, false}) + "\r\n";
    }
    FrmReplay* breaks = r.OpenFromMenu(r.Write("jumped.csv", jumped));
    QVERIFY(breaks != nullptr);
    QCOMPARE(breaks->SummaryText(),
             QString("All 3 runs; 2 runs start where the time went back or jumped"));
    const StripChart& broken = *breaks->stpReplay();
    QCOMPARE(broken.History(0).Size(), std::size_t{51});
    // Run 2 one interval after run 1, run 3 a second after run 2's single line.
    QVERIFY(Near(broken.History(0).TimeAt(30), 3.0));
    QVERIFY(Near(broken.History(0).TimeAt(31), 4.0));
    QVERIFY(Near(broken.History(0).TimeAt(50), 5.9));
}

void TestReplay::cancelAndUnreadableFilesOpenNothing() {
    ReplayWorld r;
    QMdiArea& area = *r.main().mdiArea();
    const auto frames = [&area] { return area.subWindowList().size(); };
    const qsizetype before = frames();

    r.answers.file.clear(); // the file dialog cancelled
    QCOMPARE(r.OpenFromMenu(QString()), nullptr);
    QCOMPARE(frames(), before);
    QVERIFY(r.answers.warnings.isEmpty());

    QVERIFY(r.OpenFromMenu(r.Path("gone.csv")) == nullptr);
    QVERIFY(r.answers.warnings[0].startsWith("gone.csv could not be opened: "));

    // Not a log: the window that read it closes again after saying so.
    QPointer<FrmReplay> notALog = r.OpenFromMenu(r.Write("notes.csv", "just, some, text\r\n"));
    QCOMPARE(r.answers.warnings.value(1), QString("notes.csv holds no data log."));
    const FrmReplay* unread = notALog.data();
    QVERIFY(unread == nullptr || unread->window()->isHidden() || !unread->isVisible());
    QVERIFY(r.Replays().isEmpty());

    // Choosing no run closes the window too.
    r.answers.run = -1;
    r.OpenFromMenu(r.Write("two.csv", Run(All, 2, 100) + Run(All, 2, 100)));
    QVERIFY(r.Replays().isEmpty());

    // Cancel while a large file is being read: no question, no window.
    r.answers.offered.clear();
    r.answers.file = r.Write("big.csv", Run(All, 80000, 100) + Run(All, 2, 100));
    QPointer<FrmReplay> big = r.Trigger<FrmReplay>("mnuOpenLog", shell::WindowId::Replay);
    QVERIFY(big != nullptr);
    QVERIFY(big->Loading());
    QVERIFY(big->LoadStep());
    QVERIFY(big->findChild<QProgressBar*>("prgLoad")->value() > 0);
    big->findChild<QPushButton*>("cmdCancel")->click();
    QVERIFY(!big->Loading());
    QVERIFY(r.answers.offered.isEmpty());
    QVERIFY(r.Replays().isEmpty());
    test::DeleteClosed();
    QVERIFY(big.isNull());
    QCOMPARE(frames(), before);
}

void TestReplay::runTexts() {
    QCOMPARE(DurationText(86399.9), QString("23:59:59.9"));
    QCOMPARE(DurationText(90061.25), QString("25:01:01.25"));
    QCOMPARE(DamagedText(1), QString("1 line could not be read"));
    QCOMPARE(TimeBreakText(2), QString("2 runs start where the time went back or jumped"));
    output::LogRun run;
    run.firstLine = 350;
    run.channels = {true, false, false};
    run.startsAtTimeBreak = true;
    run.start = 3.1;
    run.times = {3.1, 3.2, 30.1};
    QCOMPARE(RunText(run, 3), QString("Run 3: line 350 (time break), 3 lines, 0:00:27, Local"));
}

} // namespace qmt::views

QTEST_MAIN(qmt::views::TestReplay)
#include "test_replay.moc"
