#include "views/save/frm_save.h"
#include "views/view_world.h"

#include <QRegularExpression>
#include <QStandardPaths>

namespace qmt::views {

using test::Contents;
using test::Put;

namespace {

// The stub chip behind a bridge that notes, for every register write,
// whether the master timer was running.
class TimerWatchingBridge final : public link::Bridge {
public:
    std::int16_t LoadFirmWare(const char* path) override { return stub.LoadFirmWare(path); }
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override {
        if (request == 222) {
            (arg4 == 0 ? timerAtWrite : timerAtRead).push_back(timerActive && timerActive());
        }
        return stub.VendorIORequest(request, value, index, arg4, arg5, buffer);
    }
    test::StubBridge stub;
    std::function<bool()> timerActive;
    std::vector<bool> timerAtRead;
    std::vector<bool> timerAtWrite;
};

// A started program, its chip at the register defaults, and a Save/Recall
// window whose dialogs answer with the test's paths.
struct SaveWorld : test::ViewWorld {
    SaveWorld() : SaveWorld(new TimerWatchingBridge) {}
    explicit SaveWorld(TimerWatchingBridge* watching) : ViewWorld(watching), bridge(watching) {
        bridge->timerActive = [this] { return TimerActive(); };
        PowerOn();
        SettingsFileDialogs dialogs{
            [this](QWidget*, const QString& folder) { return Answer(folder); },
            [this](QWidget*, const QString& folder) { return Answer(folder); }};
        window = std::make_unique<FrmSave>(*world.app, std::move(dialogs));
        messages = std::make_unique<QSignalSpy>(window.get(), &FrmSave::statusMessage);
    }
    QString Answer(const QString& folder) {
        asked.append(folder);
        timerAtDialog.push_back(world.main().tmrMaster().isActive());
        return answer;
    }
    bool TimerActive() const { return world.main().tmrMaster().isActive(); }
    QString LastMessage() const {
        return messages->isEmpty() ? QString() : messages->last().at(0).toString();
    }
    void Save(const QString& path) {
        answer = path;
        bridge->timerAtRead.clear();
        test::Click(window->cmdsave());
    }
    void Recall(const QString& path) {
        answer = path;
        Requests();
        bridge->timerAtWrite.clear();
        test::Click(window->cmdRecall());
    }

    TimerWatchingBridge* bridge = nullptr;
    std::unique_ptr<FrmSave> window;
    std::unique_ptr<QSignalSpy> messages;
    QString answer;
    QStringList asked;
    std::vector<bool> timerAtDialog;
};

} // namespace

class TestFrmSave : public QObject {
    Q_OBJECT

private slots:
    void opensFromMenuAndToolbarAndForgetsTheCommentOnClose();
    void savesTheHeaderAndTheChangedRegistersWithTheTimerStopped();
    void recallWritesTheFileInOrderWithTheTimerStopped();
    void theSaveDialogReplacesAFileWithoutAQuestion();
    void cancelsAndFailuresSayWhatHappenedInTheStatusBar();
};

void TestFrmSave::opensFromMenuAndToolbarAndForgetsTheCommentOnClose() {
    const test::ViewWorld w;
    auto* window = w.Trigger<FrmSave>("mnuSave", shell::WindowId::Save);
    QVERIFY(window != nullptr);
    window->txtComment()->setText("kept while loaded");
    QCOMPARE(w.Trigger<FrmSave>("Save", shell::WindowId::Save), window);
    QCOMPARE(window->txtComment()->text(), QString("kept while loaded"));

    test::Click(window->cmdClose());
    QVERIFY(w.Loaded<FrmSave>(shell::WindowId::Save) == nullptr);
    window = w.Trigger<FrmSave>("Save", shell::WindowId::Save);
    QVERIFY(window != nullptr && window->txtComment()->text().isEmpty());
}

void TestFrmSave::savesTheHeaderAndTheChangedRegistersWithTheTimerStopped() {
    SaveWorld w;
    QVERIFY(w.TimerActive());
    w.window->chkNotDefaults()->setChecked(true);
    w.window->txtComment()->setText(QString::fromUtf8("  bench 3, 25 \u00B0C, 5 \u20AC "));
    const QString path = w.Path("defaults.sav");
    w.Save(path);
    const QByteArray text = Contents(path);
    const QRegularExpression header("^Kestrivo\r\nQMT6171/3 Evaluation Software\r\n\r\n"
                                    "Saved: [^\r\n]+ at [^\r\n]+\r\n\r\n"
                                    "Comment : bench 3, 25 \u00B0C, 5 \\?\r\n\r\n"
                                    "Address\tData\tRegister\r\n\\{\r\n\\}\r\n$");
    // One byte per character: the degree sign as 0xB0, the euro sign as "?".
    QVERIFY2(header.match(QString::fromLatin1(text)).hasMatch(), text.constData());
    QVERIFY(text.contains("25 \xB0"
                          "C, 5 ?"));
    // The first dialog starts in the documents folder, the next where the file went.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QCOMPARE(w.asked, QStringList{documents});
    QCOMPARE(w.timerAtDialog, std::vector<bool>{false});
    QCOMPARE(w.bridge->timerAtRead, std::vector<bool>(30, false));
    QVERIFY(w.TimerActive());
    QCOMPARE(w.LastMessage(), QString("Saved 0 registers to defaults.sav"));

    // Only the registers off their defaults, read when the button was pressed.
    w.chip()[0x03] = 0x04;
    w.chip()[0x21] = 0x0A + 1;
    w.chip()[0xFF] = 0x53;
    w.Save(path);
    QVERIFY(Contents(path).endsWith("{\r\n0x9\t0x4\t // Configuration Reg 1\r\n"
                                    "0x21\t0xB\t // Therm Hysteresis\r\n"
                                    "0x0\t0x53\t // Die Revision Code\r\n}\r\n"));
    QCOMPARE(w.asked, (QStringList{documents, w.world.folder.path()}));
}

void TestFrmSave::recallWritesTheFileInOrderWithTheTimerStopped() {
    SaveWorld w;
    const QString path = w.Path("hand.sav");
    Put(path, "Kestrivo\r\n\r\nComment : by hand\r\n{\r\n"
              "0x9\t0x8\t // Configuration Reg 1\r\n"
              "0xd\t0x46\n"
              "0x24\t0x80\r\n"
              "  0x0  0x53   // Die Revision Code\r\n"
              "}\r\n");
    w.Recall(path);
    // Configuration Reg 2 last: its bit 7 locks the registers written before it.
    QCOMPARE(w.Writes(), (QStringList{"W09=08", "W0D=46", "W00=53", "W24=80"}));
    QCOMPARE(w.bridge->timerAtWrite, std::vector<bool>(4, false));
    QVERIFY(w.TimerActive());
    QCOMPARE(w.LastMessage(), QString("Recalled 4 registers from hand.sav"));
    // Configuration Reg 1 came first and switched the shared pointers to Remote 2.
    QVERIFY(w.state().Remote2Selected);

    // A saved file with every row comes back register for register.
    const QString saved = w.Path("saved.sav");
    w.Save(saved);
    QCOMPARE(w.LastMessage(), QString("Saved 30 registers to saved.sav"));
    QVERIFY(Contents(saved).contains("{\r\n0x9\t0x8\t // Configuration Reg 1\r\n"));
    w.Recall(saved);
    const QStringList written = w.Writes();
    QCOMPARE(written.size(), 30);
    QCOMPARE(written.front(), QString("W09=08"));
    QCOMPARE(written.mid(26), (QStringList{"W37=00", "W39=55", "W00=52", "W24=80"}));
}

void TestFrmSave::theSaveDialogReplacesAFileWithoutAQuestion() {
    QFileDialog save;
    PrepareSettingsFileDialog(save, QFileDialog::AcceptSave);
    QVERIFY(save.testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(save.fileMode(), QFileDialog::AnyFile);
    QCOMPARE(save.nameFilters(), QStringList{"Text Files (*.sav)"});
    QCOMPARE(save.defaultSuffix(), QString("sav"));
    QFileDialog open;
    PrepareSettingsFileDialog(open, QFileDialog::AcceptOpen);
    QCOMPARE(open.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(open.fileMode(), QFileDialog::ExistingFile);
}

void TestFrmSave::cancelsAndFailuresSayWhatHappenedInTheStatusBar() {
    SaveWorld w;
    // Cancelled dialogs: nothing written, nothing said, the timer runs again.
    w.Save(QString());
    QCOMPARE(w.timerAtDialog, std::vector<bool>{false});
    QVERIFY(w.TimerActive());
    QVERIFY(QDir(w.world.folder.path()).entryList({"*.sav"}).isEmpty());
    w.Recall(QString());
    QVERIFY(w.Writes().empty());
    QVERIFY(w.TimerActive());
    QVERIFY(w.messages->isEmpty());

    // No "{": nothing written, the timer never stopped.
    const QString noBlock = w.Path("noblock.sav");
    Put(noBlock, "Kestrivo\r\n0x24\t0x80\r\n}\r\n");
    w.Recall(noBlock);
    QVERIFY(w.Writes().empty());
    QVERIFY(w.TimerActive());
    QCOMPARE(w.LastMessage(),
             QString("Recall failed, noblock.sav has no \"{\": no register written"));

    // No "}", or a bad line: nothing written, the timer never stopped, the
    // line named.
    const QString open = w.Path("open.sav");
    Put(open, "{\r\n0x24\t0x80\r\n0xB\t0x46\r\n");
    w.Recall(open);
    QVERIFY(w.Writes().empty());
    QVERIFY(w.bridge->timerAtWrite.empty());
    QVERIFY(w.TimerActive());
    QCOMPARE(w.LastMessage(),
             QString("Recall failed, open.sav ends before \"}\" (line 3): no register written"));
    const QString wide = w.Path("wide.sav");
    Put(wide, "Kestrivo\r\n{\r\n0x9\t0x8\r\n0x24\t0x050\r\n}\r\n");
    w.Recall(wide);
    QVERIFY(w.Writes().empty());
    QCOMPARE(w.LastMessage(), QString("Recall failed, wide.sav line 4 holds 0x050, more than two "
                                      "hexadecimal digits: no register written"));

    w.Recall(w.Path("missing.sav"));
    QVERIFY(w.LastMessage().startsWith("Recall failed, cannot read missing.sav: "));
    QVERIFY(w.TimerActive());

    // A target that cannot be written: the timer runs again and the failure shows.
    w.Save(w.world.folder.path());
    QVERIFY(w.TimerActive());
    QVERIFY(w.LastMessage().startsWith("Save failed, nothing written to "));
}

} // namespace qmt::views

QTEST_MAIN(qmt::views::TestFrmSave)
#include "test_frm_save.moc"
