#include "core/dialog_folders.h"

#include <QTemporaryDir>
#include <QtTest>

namespace qmt::core {

class TestDialogFolders : public QObject {
    Q_OBJECT

private slots:
    void startsWhereTheKindWasLastUsedElseInDocuments();
};

// Each kind of file remembers its own folder; a folder that is gone, a
// cancelled dialog or a kind not used yet starts in the documents folder.
void TestDialogFolders::startsWhereTheKindWasLastUsedElseInDocuments() {
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath("docs") && QDir(root.path()).mkpath("logs"));
    const QString documents = root.filePath("docs");
    const QString logs = root.filePath("logs");
    QCOMPARE(StartFolder(QString(), documents), documents);
    QCOMPARE(StartFolder(logs, documents), logs);
    QCOMPARE(StartFolder(root.filePath("gone"), documents), documents);
    QCOMPARE(StartFolder(root.filePath("logs/run.csv"), documents), documents); // a file

    DialogFolders folders(documents);
    QStringList asked;
    const auto choose = [&asked](const QString& answer) {
        return [&asked, answer](const QString& folder) {
            asked << folder;
            return answer;
        };
    };
    QCOMPARE(folders.Pick(FileKind::Log, choose(logs + "/run.csv")), logs + "/run.csv");
    QCOMPARE(folders.Pick(FileKind::Log, choose(QString())), QString()); // cancelled
    folders.Pick(FileKind::Settings, choose(QString()));
    folders.Pick(FileKind::Replay, choose(root.filePath("gone/old.csv")));
    folders.Pick(FileKind::Replay, choose(QString()));
    QCOMPARE(asked, (QStringList{documents, logs, documents, documents, documents}));
    QCOMPARE(folders.Start(FileKind::Log), logs);
    QCOMPARE(folders.Start(FileKind::Script), documents);

    QVERIFY(QDir(logs).removeRecursively());
    QCOMPARE(folders.Start(FileKind::Log), documents);
}

} // namespace qmt::core

QTEST_MAIN(qmt::core::TestDialogFolders)
#include "test_dialog_folders.moc"
