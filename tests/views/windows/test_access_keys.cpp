#include "output/log_format.h"
#include "views/logging/frm_logging.h"
#include "views/replay/replay_opener.h"
#include "views/view_world.h"

#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>

namespace qmt::views {

using shell::WindowId;

namespace {

// What is wrong with the buttons' captions: one without an access key, or
// one whose key another button of the window, or the menu bar above it
// (`taken`), has already. A key the menu bar has opens its menu instead.
QStringList AccessKeyFaults(const QStringList& captions, QList<QKeySequence> taken = {}) {
    QStringList faults;
    for (const QString& caption : captions) {
        const QKeySequence key = QKeySequence::mnemonic(caption);
        if (key.isEmpty()) {
            faults << QStringLiteral("no key: ") + caption;
        } else if (taken.contains(key)) {
            faults << QStringLiteral("key taken: ") + caption;
        }
        taken << key;
    }
    return faults;
}

QList<QKeySequence> MenuBarKeys(const QMainWindow& main) {
    QList<QKeySequence> keys;
    for (const QAction* menu : main.menuBar()->actions()) {
        keys << QKeySequence::mnemonic(menu->text());
    }
    return keys;
}

QStringList Captions(const QWidget& window) {
    QStringList captions;
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        captions << button->text();
    }
    return captions;
}

} // namespace

class TestAccessKeys : public QObject {
    Q_OBJECT

private slots:
    void everyButtonHasAKeyOfItsOwn();
};

// Every window's buttons can be pressed from the keyboard, each by a key no
// other button of that window uses; the logging button keeps its key while
// it offers to stop.
void TestAccessKeys::everyButtonHasAKeyOfItsOwn() {
    QCOMPARE(AccessKeyFaults({"&OK", "Cancel", "&Open", "&Apply", "&apply", "Ap&ply", "&Files"},
                             {QKeySequence::mnemonic("&File")}),
             (QStringList{"no key: Cancel", "key taken: &Open", "key taken: &apply",
                          "key taken: &Files"}));

    test::ViewWorld w;
    const QString log = w.Path("run.csv");
    const output::LogChannels all{true, true, true};
    test::Put(log, QByteArray::fromStdString(output::LogRunHead(all) +
                                             output::LogDataLine(0, 100, all, {25, 30, 20, false}) +
                                             std::string(output::LogLineEnd)));
    w.main()
        .findChild<ReplayOpener*>("replayOpener")
        ->SetDialogs({[&log](QWidget*, const QString&) { return log; },
                      [](QWidget*, const QStringList&) { return 0; },
                      [](QWidget*, const QString&) {}});

    const WindowId windows[] = {WindowId::Save,      WindowId::Log,    WindowId::RegMap,
                                WindowId::Graph,     WindowId::Limits, WindowId::Config,
                                WindowId::SWOptions, WindowId::About,  WindowId::Compare,
                                WindowId::Replay};
    int withButtons = 0;
    for (const WindowId id : windows) {
        const QWidget* window = w.Open<QWidget>(id);
        QVERIFY(window != nullptr);
        const QStringList captions = Captions(*window);
        withButtons += captions.isEmpty() ? 0 : 1;
        const QStringList faults = AccessKeyFaults(captions, MenuBarKeys(w.main()));
        QVERIFY2(faults.isEmpty(), qPrintable(window->windowTitle() + QLatin1String(": ") +
                                              faults.join(QLatin1String(", "))));
    }
    QCOMPARE(withButtons, 9);

    const QString start = QString::fromLatin1(FrmLogging::StartCaption);
    const QString stop = QString::fromLatin1(FrmLogging::StopCaption);
    QCOMPARE(QKeySequence::mnemonic(stop), QKeySequence::mnemonic(start));
    QVERIFY(Captions(*w.Loaded<QWidget>(WindowId::Log)).contains(start));
}

} // namespace qmt::views

QTEST_MAIN(qmt::views::TestAccessKeys)
#include "test_access_keys.moc"
