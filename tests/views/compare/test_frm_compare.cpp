#include "model/number_text.h"
#include "views/compare/frm_compare.h"
#include "views/regmap/frm_reg_map.h"
#include "views/view_world.h"

#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>

namespace qmt::views {

namespace {

// A started program, its chip at the power-on values, and a Compare Registers
// window whose dialogs answer with the test's choices.
struct CompareWorld : test::ViewWorld {
    CompareWorld() {
        PowerOn();
        CompareDialogs dialogs{[this](QWidget*, const QString&) { return settingsAnswer; },
                               [this](QWidget*, const ScriptDefaults& defaults) {
                                   asked = defaults;
                                   return scriptAnswer;
                               }};
        window = std::make_unique<FrmCompare>(*world.app, std::move(dialogs));
        messages = std::make_unique<QSignalSpy>(window.get(), &FrmCompare::statusMessage);
    }
    // A save of the power-on chip with some lines changed.
    QString File(const QString& name, const std::map<std::string, std::string>& changes,
                 std::size_t cutAt = std::string::npos) {
        std::string text = "Kestrivo\r\n\r\nAddress\tData\tRegister\r\n{\r\n";
        auto& table = world.app->regMap();
        for (const int index : table.SaveWalk()) {
            const auto& entry = table.RegMap[static_cast<std::size_t>(index)];
            const auto change = changes.find(entry.Name);
            text +=
                "0x" + model::HexText(entry.WriteAddress) + "\t0x" +
                (change != changes.end() ? change->second : model::HexText(entry.DefaultValue)) +
                "\t // " + entry.Name + "\r\n";
        }
        text += "}\r\n";
        test::Put(Path(name), QByteArray::fromStdString(text.substr(0, cutAt)));
        return Path(name);
    }
    QString Cell(int row, int column) const {
        return window->grdRegisters()->item(row, column)->text();
    }
    bool Highlighted(int row) const {
        return window->grdRegisters()->item(row, FrmCompare::ColRegister)->background() != QBrush();
    }
    int VisibleRows() const {
        int visible = 0;
        for (int row = 0; row < window->grdRegisters()->rowCount(); ++row) {
            visible += window->grdRegisters()->isRowHidden(row) ? 0 : 1;
        }
        return visible;
    }
    void Select(std::initializer_list<int> rows) {
        auto* grid = window->grdRegisters();
        grid->clearSelection();
        for (const int row : rows) {
            grid->selectionModel()->select(grid->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    QString LastMessage() const {
        return messages->isEmpty() ? QString() : messages->last().at(0).toString();
    }

    std::unique_ptr<FrmCompare> window;
    std::unique_ptr<QSignalSpy> messages;
    QString settingsAnswer;
    std::optional<ScriptChoice> scriptAnswer;
    ScriptDefaults asked;
};

const std::string Remote1HighLimit = "Remote 1 High Limit,High Byte (bit 3 Config Reg =0)";

const std::map<std::string, std::string> ThreeChanges = {
    {"Configuration Reg 1", "C"}, {"Conversion Rate", "88"}, {"Local Temp High Limit", "50"}};

} // namespace

class TestFrmCompare : public QObject {
    Q_OBJECT

private slots:
    void opensFromMenuToolbarAndRegisterMap();
    void highlightsTheRowsThatDifferWithTheirBitsAndFiltersThem();
    void badFilesSayWhyAndKeepTheComparison();
    void writesExactlyTheSelectedFileValues();
    void exportsTheChipsOrTheFilesValuesAsAScript();
    void exportDialogWritesTheAddressAsEverywhereElse();
};

void TestFrmCompare::opensFromMenuToolbarAndRegisterMap() {
    test::ViewWorld w;
    QVERIFY(w.OpensBy("mnuCompare", shell::WindowId::Compare));
    QVERIFY(w.OpensBy("Compare", shell::WindowId::Compare));
    w.main().childWindows().CloseAll();
    test::Click(w.Open<FrmRegMap>(shell::WindowId::RegMap)->cmdCompare());
    QVERIFY(w.Loaded<FrmCompare>(shell::WindowId::Compare) != nullptr);
}

void TestFrmCompare::highlightsTheRowsThatDifferWithTheirBitsAndFiltersThem() {
    CompareWorld w;
    // Without a file the chip is held against its power-on values.
    QCOMPARE(w.window->lblSummary()->text(),
             QString("0 of 30 rows differ from the power-on values"));
    QVERIFY(!w.window->cmdWriteFile()->isEnabled());

    w.window->OpenSettingsFile(w.File("three.sav", ThreeChanges));
    QCOMPARE(w.window->lblSummary()->text(), QString("3 of 30 rows differ from three.sav"));
    for (int row = 0; row < 30; ++row) {
        QCOMPARE(w.Highlighted(row), row < 3);
    }
    QCOMPARE(w.Cell(0, FrmCompare::ColBits), QString("Rm1/2, TmpR"));
    QCOMPARE(w.Cell(2, FrmCompare::ColBits), QString("2, 0"));

    w.window->chkOnlyDiffering()->setChecked(true);
    QCOMPARE(w.VisibleRows(), 3);
    w.window->cmbReference()->setCurrentIndex(1);
    QCOMPARE(w.VisibleRows(), 0);

    // Refresh reads the chip again.
    w.chip()[0x05] = 0x50;
    w.chip()[0x03] = 0x0C;
    w.chip()[0x04] = 0x88;
    test::Click(w.window->cmdRefresh());
    QCOMPARE(w.VisibleRows(), 3);
    w.window->cmbReference()->setCurrentIndex(0);
    QCOMPARE(w.VisibleRows(), 0);
    // The Remote 2 rows of the shared pointers hold Remote 2's values now;
    // the Remote 1 rows say whose value they show.
    QCOMPARE(w.window->grdRegisters()->item(4, FrmCompare::ColChip)->toolTip(),
             QString("Read at 7h while the remote registers show Remote 2: that channel's value"));
    QVERIFY(w.window->grdRegisters()->item(5, FrmCompare::ColChip)->toolTip().isEmpty());

    // A hand-written line of no register is shown, but does not differ.
    test::Put(w.Path("extra.sav"), "{\r\n0x50\t0x1\r\n}\r\n");
    w.window->OpenSettingsFile(w.Path("extra.sav"));
    QCOMPARE(w.Cell(30, FrmCompare::ColBits), QString("not in the register table"));
    QVERIFY(!w.Highlighted(30));
}

void TestFrmCompare::badFilesSayWhyAndKeepTheComparison() {
    CompareWorld w;
    w.window->OpenSettingsFile(w.File("cut.sav", ThreeChanges, 200));
    QCOMPARE(w.LastMessage(),
             QString("cut.sav ends before \"}\": the registers after it show no file value"));

    test::Put(w.Path("none.sav"), "0xB\t0x20\r\n");
    w.window->OpenSettingsFile(w.Path("none.sav"));
    QCOMPARE(w.LastMessage(), QString("Not compared, none.sav has no \"{\": no register in it"));
    QCOMPARE(w.window->lblFile()->text(), QString("cut.sav"));
    w.settingsAnswer = w.Path("missing.sav");
    w.window->cmdOpenFile_Click();
    QVERIFY(w.LastMessage().startsWith("Not compared, cannot read missing.sav: "));
}

void TestFrmCompare::writesExactlyTheSelectedFileValues() {
    CompareWorld w;
    w.window->OpenSettingsFile(w.File("three.sav", ThreeChanges));
    w.Requests();
    // The Remote 2 row of a shared pointer while the chip shows Remote 1, and
    // Die Revision Code, which has no write pointer, are refused.
    w.Select({29, 5, 1});
    test::Click(w.window->cmdWriteFile());
    QCOMPARE(w.Writes(), QStringList{"W0A=88"});
    QVERIFY(w.LastMessage().endsWith("Die Revision Code: read-only"));
    // The write was read back: the stub keeps a write at 0x0A at 0x04.
    QCOMPARE(w.Cell(1, FrmCompare::ColChip), QString("88H"));
    QVERIFY(!w.Highlighted(1));

    // Hidden rows are not written.
    w.window->chkOnlyDiffering()->setChecked(true);
    w.Requests();
    w.Select({3, 0});
    test::Click(w.window->cmdWriteFile());
    QCOMPARE(w.Writes(), QStringList{"W09=0C"});

    // Another window selected Remote 2 since the rows were read: the Remote 1
    // row is refused, as the chip shows it now.
    w.window->chkOnlyDiffering()->setChecked(false);
    w.chip()[0x03] = 0x00;
    w.window->OpenSettingsFile(w.File("remote.sav", {{Remote1HighLimit, "40"}}));
    w.chip()[0x03] = 0x08;
    w.Requests();
    w.Select({4});
    test::Click(w.window->cmdWriteFile());
    QCOMPARE(w.Writes(), QStringList{});
    QVERIFY(w.LastMessage().endsWith("the remote registers show Remote 2 now"));

    // A locked chip ignores the limit: read back, it is not reported as written.
    w.chip()[0x24] = 0x80;
    w.window->OpenSettingsFile(w.File("three.sav", ThreeChanges));
    w.Select({2});
    test::Click(w.window->cmdWriteFile());
    QCOMPARE(w.LastMessage(), QString("0 of 1 register written from three.sav; 1 is locked"));
}

void TestFrmCompare::exportsTheChipsOrTheFilesValuesAsAScript() {
    CompareWorld w;
    w.chip()[0x05] = 0x4B;
    w.window->cmdExport_Click(); // cancelled: nothing asked beyond the dialog
    QCOMPARE(w.asked.bus, 1);
    QCOMPARE(w.asked.folder, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    QVERIFY(w.messages->isEmpty());

    w.scriptAnswer = ScriptChoice{3, 0x18, files::ScriptValues::Chip, w.Path("chip.sh")};
    w.window->cmdExport_Click();
    QCOMPARE(w.LastMessage(), QString("Exported the chip's settings to chip.sh"));
    QVERIFY(test::Contents(w.Path("chip.sh"))
                .contains("\ni2cset -y 3 0x18 0x0B 0x4B b # Local Temp High Limit\n"));

    w.window->OpenSettingsFile(w.File("three.sav", ThreeChanges));
    w.scriptAnswer = ScriptChoice{4, 0x4C, files::ScriptValues::File, w.Path("file.sh")};
    w.window->cmdExport_Click();
    QCOMPARE(w.asked.bus, 3); // the last export's
    QCOMPARE(w.asked.folder, w.world.folder.path());
    QVERIFY(test::Contents(w.Path("file.sh"))
                .contains("\ni2cset -y 4 0x4C 0x0B 0x50 b # Local Temp High Limit\n"));

    // The same writes as a C header for driver code.
    w.scriptAnswer =
        ScriptChoice{4, 0x4C, files::ScriptValues::File, w.Path("file.h"), files::ExportFormat::C};
    w.window->cmdExport_Click();
    QCOMPARE(w.LastMessage(), QString("Exported the file's settings to file.h"));
    QVERIFY(test::Contents(w.Path("file.h"))
                .contains("    {0x0B, 0x50}, /* Local Temp High Limit */\n"));
    QVERIFY(!(QFileInfo(w.Path("file.h")).permissions() & QFile::ExeOwner));

    w.scriptAnswer = ScriptChoice{1, 0x4C, files::ScriptValues::Chip, w.Path("no/such/x.sh")};
    w.window->cmdExport_Click();
    QVERIFY(w.LastMessage().startsWith("Export failed, nothing written to x.sh: "));
}

// The desktop's export form shows the found chip's address as "0x4C", and
// cancelling it asks for no script file.
void TestFrmCompare::exportDialogWritesTheAddressAsEverywhereElse() {
    test::ViewWorld w;
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        auto* address = dialog->findChild<QSpinBox*>("spnAddress");
        shown << address->text();
        auto* format = dialog->findChild<QComboBox*>("cmbFormat");
        QCOMPARE(format->count(), 3);
        address->setValue(0x08);
        shown << address->text();
        dialog->reject();
    });
    const ScriptDefaults defaults{1, 0x4C, false, w.Path("")};
    QVERIFY(!CompareDialogs::Desktop().askScript(&w.main(), defaults));
    QCOMPARE(shown, (QStringList{"0x4C", "0x08"}));
}

} // namespace qmt::views

QTEST_MAIN(qmt::views::TestFrmCompare)
#include "test_frm_compare.moc"
