#include "views/emulated_board.h"
#include "views/graph/alert_timeline.h"
#include "views/graph/frm_graph.h"
#include "views/limits/frm_limits.h"
#include "views/limits/limits_board.h"
#include "views/regmap/frm_reg_map.h"
#include "views/regmap/register_tree.h"
#include "views/view_world.h"

#include <QToolButton>
#include <QTreeWidget>

namespace qmt::views {

using test::Type;

namespace {

// The stub chip behind an adapter with one-byte pointers, as an I2C adapter
// is: a read beyond 0xFF fails in the bridge.
class ByteAdapter final : public link::Bridge {
public:
    std::int16_t LoadFirmWare(const char* path) override { return stub.LoadFirmWare(path); }
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override {
        constexpr std::int16_t BadArguments = 4;
        return ReachesPointer(index) || arg4 == 0
                   ? stub.VendorIORequest(request, value, index, arg4, arg5, buffer)
                   : BadArguments;
    }
    bool ReachesPointer(std::int32_t pointer) const override {
        return pointer >= 0 && pointer <= 0xFF;
    }
    test::StubBridge stub;
};

// A started program with the register map open.
struct RegMapWorld : test::ViewWorld {
    RegMapWorld() { Open(); }
    template <class Board> explicit RegMapWorld(Board* board) : ViewWorld(board) { Open(); }
    void Open() { window = ViewWorld::Open<FrmRegMap>(shell::WindowId::RegMap); }
    void Close() { qobject_cast<QMdiSubWindow*>(window->parentWidget())->close(); }
    QString Description() const { return window->findChild<QLabel*>("lblRegDescription")->text(); }
    QString Label(const char* name) const { return window->findChild<QLabel*>(name)->text(); }
    void Read(const QString& address) {
        window->txtReadAddr()->setText(address);
        window->cmdRead_Click();
    }
    QString Bits() const { // bit 7 first
        QString bits;
        for (int i = BitCount - 1; i >= 0; --i) {
            bits += window->lblBit(i)->text();
        }
        return bits;
    }
    QTreeWidgetItem* Node(const QStringList& path) const {
        QTreeWidget* tree = window->TreeView1();
        QTreeWidgetItem* node = tree->invisibleRootItem();
        for (const QString& text : path) {
            QTreeWidgetItem* found = nullptr;
            for (int i = 0; i < node->childCount() && !found; ++i) {
                found = node->child(i)->text(0) == text ? node->child(i) : nullptr;
            }
            if (!(node = found)) {
                return nullptr;
            }
        }
        return node;
    }
    // A mouse click on the node, its parents expanded first as a user would.
    void Click(const QStringList& path) {
        QTreeWidgetItem* node = Node(path);
        QVERIFY2(node, qPrintable(path.join('\\')));
        for (QTreeWidgetItem* parent = node->parent(); parent; parent = parent->parent()) {
            parent->setExpanded(true);
        }
        QTreeWidget* tree = window->TreeView1();
        tree->scrollToItem(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(node).center());
    }
    FrmRegMap* window = nullptr;
};

} // namespace

class TestRegMap : public QObject {
    Q_OBJECT

private slots:
    void treeListsRemote1OnlyAndSurvivesReopening();
    void nodeClicksShowRegistersAndGroupsChangeNothing();
    void readAddressEdgeCases();
    void valueBoxesFollowEachOtherAndWritesAreChecked();
    void bitClicksWriteTheWriteAddressAndReadBack();
    void continuousReadRunsTwiceASecondOnlyWhileCheckedAndLoaded();
    void statusRegistersAreReadByTheOneStatusReader();
    void everyTransientIsAnEventWhileTheMapReadsTheStatus();
    void pointerBeyondTheAdaptersByteReadsNothingAndGoesOn();
    void menuAndToolbarOpenBothWindows();
};

void TestRegMap::treeListsRemote1OnlyAndSurvivesReopening() {
    model::RegMapStuff regMap;
    regMap.FillRegMap();
    for (const TreeNode& node : RegisterTreeNodes(regMap)) {
        // Only the Remote 1 records of the shared pointers are listed.
        QVERIFY2(node.key.find("Config Reg =1") == std::string::npos, node.key.c_str());
    }

    // Reopened before the closed window is deleted: the new one stays loaded
    // when the old one finally goes, and starts with the same tree.
    RegMapWorld w;
    w.Node({"Local Registers"})->setExpanded(true);
    w.Close();
    QVERIFY(!w.state().RegMapOpen);
    w.Open();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(w.state().RegMapOpen);
    QVERIFY(w.Node({"General"})->isExpanded());
    QVERIFY(!w.Node({"Local Registers"})->isExpanded());
}

void TestRegMap::nodeClicksShowRegistersAndGroupsChangeNothing() {
    RegMapWorld w;
    w.chip()[0x00] = 0x19;
    w.Click({"Local Registers", "Temperature", "Value"});
    QCOMPARE(w.Description(), QString("Local Temp Value"));
    QCOMPARE(w.window->findChild<QLabel*>("lblDecVal")->text(), QString("25"));
    QCOMPARE(w.Bits(), QString("00011001"));

    // Groups and roots show nothing and read nothing.
    w.Requests();
    w.Click({"Remote2 Registers", "Limits"});
    w.Click({"Remote2 Registers"});
    QCOMPARE(w.Requests(), QStringList());
    QCOMPARE(w.Description(), QString("Local Temp Value"));

    // The shared pointers keep their Remote 1 names whatever the selection;
    // clicking the current node again reads it again; the keyboard moves on.
    w.state().Remote2Selected = true;
    w.Click({"Remote1 Registers", "Temperature", "Value(High Byte)"});
    QCOMPARE(w.Description(), QString("Remote 1 Temp High Byte (bit 3 Config Reg =0)"));
    QCOMPARE(w.window->lblInfo(0)->text(), QString("10"));
    w.Click({"Remote1 Registers", "Temperature", "Value(High Byte)"});
    QTest::keyClick(w.window->TreeView1(), Qt::Key_Down);
    QCOMPARE(w.Requests(), (QStringList{"R01", "R01", "R10"}));
}

void TestRegMap::readAddressEdgeCases() {
    RegMapWorld w;
    QLineEdit* box = w.window->txtReadAddr();
    w.chip()[0x15] = 0xA7;
    Type(box, "15");
    w.Requests();
    test::Click(w.window->findChild<QPushButton*>("cmdRead"));
    QCOMPARE(w.Requests(), QStringList{"R15"});
    QCOMPARE(w.Description(), QString("Unknown"));
    QCOMPARE(w.Bits(), QString("10100111"));
    QCOMPARE(box->text(), QString("15H"));

    // Beyond 0xFF the USB bridge sends the pointer as it is.
    w.Read("3E8");
    QCOMPARE(w.Requests(), QStringList{"RE8"});
    QCOMPARE(w.Description(), QString("Unknown"));
    QCOMPARE(w.Label("lblCurrentAddr"), QString("3E8h"));

    // An address beyond 32 bits reads nothing.
    Type(box, "123456789");
    w.Requests();
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(w.Requests(), QStringList());
    QCOMPARE(w.Status(), QString("Not read: the read address does not fit in 32 bits"));
}

void TestRegMap::valueBoxesFollowEachOtherAndWritesAreChecked() {
    RegMapWorld w;
    QLineEdit* dec = w.window->txtDec();
    QLineEdit* hex = w.window->txtHex();
    Type(dec, "255");
    QCOMPARE(hex->text(), QString("FF"));
    Type(hex, "1a");
    QCOMPARE(dec->text(), QString("26"));

    // Enter in the hexadecimal box writes the decimal box's value to the write
    // address, then reads the read address; values above a byte are clipped.
    w.window->txtWriteAddr()->setText("B");
    w.window->txtReadAddr()->setText("5");
    w.Requests();
    QTest::keyClick(hex, Qt::Key_Return);
    Type(dec, "300");
    QTest::keyClick(dec, Qt::Key_Enter);
    QCOMPARE(w.Requests(), (QStringList{"W0B=1A", "R05", "W0B=FF", "R05"}));
    QCOMPARE(w.Status(), QString("Written as 255: a register holds 0 to 255"));

    // Nothing the user did not mean reaches the chip.
    const struct {
        QString dec, writeAddress, message;
    } refused[] = {
        {"-5", "B", "Not written: the value is negative"},
        {"3000000000", "B", "Not written: the value does not fit in 32 bits"},
        {"7", "1FFFFFFFF", "Not written: the write address does not fit in 32 bits"},
        // The pointer is one byte: 5 at 121h would go as 6 to 21h.
        {"5", "121", "Not written: 121h is not a register pointer (0 to FFh)"},
        {"5", "3E8", "Not written: 3E8h is not a register pointer (0 to FFh)"},
        {"5", "FFFFFFFF", "Not written: FFFFFFFFh is not a register pointer (0 to FFh)"},
    };
    for (const auto& entry : refused) {
        Type(dec, entry.dec);
        w.window->txtWriteAddr()->setText(entry.writeAddress);
        test::Click(w.window->findChild<QPushButton*>("cmdWrite"));
        QCOMPARE(w.Requests(), QStringList());
        QCOMPARE(w.Status(), entry.message);
    }
}

void TestRegMap::bitClicksWriteTheWriteAddressAndReadBack() {
    RegMapWorld w;
    w.chip()[0x03] = 0x04;
    w.Click({"General", "Configuration", "Configuration Reg 1"});
    w.Requests();
    test::Click(w.window->lblBit(3));
    // The write at 0x09 refreshes the remote selection, then the panel reads back.
    QCOMPARE(w.Requests(), (QStringList{"W09=0C", "R03", "R03"}));
    QVERIFY(w.state().Remote2Selected);
    QCOMPARE(w.Bits(), QString("00001100"));

    w.Click({"General", "Status", "Status Reg 1"});
    w.Requests();
    test::Click(w.window->lblBit(5));
    QCOMPARE(w.Requests(), (QStringList{"W00=20", "P02", "P23"}));

    // A click does not write beyond a byte's pointers either; the bits go back.
    w.Click({"General", "Configuration", "Configuration Reg 1"});
    w.window->txtWriteAddr()->setText("109");
    w.Requests();
    test::Click(w.window->lblBit(0));
    QCOMPARE(w.Requests(), QStringList{"R03"});
    QCOMPARE(w.Status(), QString("Not written: 109h is not a register pointer (0 to FFh)"));
    QCOMPARE(w.Bits(), QString("00001100"));
}

void TestRegMap::continuousReadRunsTwiceASecondOnlyWhileCheckedAndLoaded() {
    RegMapWorld w;
    w.window->txtReadAddr()->setText("22");
    const auto second = [&] {
        w.Requests();
        for (int i = 0; i < 100; ++i) {
            w.world.Tick(10);
        }
        return w.Requests().count(QStringLiteral("R22"));
    };
    QCOMPARE(second(), 0);
    w.window->chkContRead()->setChecked(true);
    QCOMPARE(second(), 2);
    w.window->chkContRead()->setChecked(false);
    QCOMPARE(second(), 0);
    w.window->chkContRead()->setChecked(true);
    w.Close();
    QCOMPARE(second(), 0);
}

void TestRegMap::statusRegistersAreReadByTheOneStatusReader() {
    RegMapWorld w;
    auto* limits = w.ViewWorld::Open<FrmLimits>(shell::WindowId::Limits);
    w.chip()[0x02] = 0x41;
    w.chip()[0x23] = 0x01;
    w.Requests();
    // A poll of both registers, never a register read that would clear bits
    // unseen; the lamps get the same poll.
    w.Click({"General", "Status", "Status Reg 1"});
    const QStringList requests = w.Requests(); // the graph reads its limits on its first poll
    QCOMPARE(requests.filter("P"), (QStringList{"P02", "P23"}));
    QVERIFY(!requests.contains("R02"));
    QCOMPARE(w.Bits(), QString("01000001"));
    QCOMPARE(w.Label("lblDecVal"), QString("65"));
    QCOMPARE(limits->tglAlert(0)->state(), widgets::Indicator::State::On);
    QCOMPARE(limits->tglAlert(11)->state(), widgets::Indicator::State::On);

    // Read again at once: a fresh value, however soon after the last poll.
    w.chip()[0x23] = 0x04;
    w.Read("23");
    QCOMPARE(w.Requests(), (QStringList{"P02", "P23"}));
    QCOMPARE(w.Bits(), QString("00000100"));
    QCOMPARE(limits->tglAlert(7)->state(), widgets::Indicator::State::On);
    QCOMPARE(limits->tglAlert(11)->state(), widgets::Indicator::State::Off);
    w.window->chkContRead()->setChecked(true);
    w.Run(100);
    QVERIFY(!w.Requests().contains("R23"));

    // A failed poll reads nothing and says so; the bits cannot be clicked.
    auto* board = new test::LimitsBoard;
    RegMapWorld failing(board);
    failing.Read("22");
    board->failStatusPolls = true;
    failing.Read("2");
    QCOMPARE(failing.Status(), QString("Not read: the status poll failed"));
    QCOMPARE(failing.Label("lblDecVal"), QString());
    QVERIFY(!failing.window->lblBit(0)->isEnabled());
    QVERIFY(failing.world.messages.empty());
    board->failStatusPolls = false;
    failing.Read("2");
    QVERIFY(failing.window->lblBit(0)->isEnabled());
}

void TestRegMap::everyTransientIsAnEventWhileTheMapReadsTheStatus() {
    // Remote 1 peaks above its high limit of 70 degC for about 60 ms every
    // 0.77 s, with the chip converting continuously: many transients fall
    // between two polls, where the map's read used to clear them unseen.
    auto* board = new test::EmulatedBoard(
        "local = 25\nremote1 = sine 60 10.6 0.77\nremote2 = 28\nreg.0x07 = 70\nreg.0x19 = 100\n"
        "reg.0x04 = 0x0A\n");
    QVERIFY(board->loaded);
    test::AppWorld world{std::unique_ptr<link::Bridge>(board)};
    board->clock = world.clock;
    QCOMPARE(world.RunMain(), std::nullopt);
    world.main().OpenWindow(shell::WindowId::RegMap);
    auto* regMap =
        qobject_cast<FrmRegMap*>(world.main().childWindows().Loaded(shell::WindowId::RegMap));
    auto* graph =
        qobject_cast<FrmGraph*>(world.main().childWindows().Loaded(shell::WindowId::Graph));
    QVERIFY(regMap != nullptr && graph != nullptr);
    regMap->txtReadAddr()->setText("2");
    regMap->chkContRead()->setChecked(true);

    constexpr int Seconds = 60;
    constexpr int PeriodMs = 770;
    const std::size_t mark = board->requests.size();
    for (int tick = 0; tick < Seconds * 100; ++tick) {
        world.Tick();
    }
    QCOMPARE(board->Count(0x02, mark), 0L);
    constexpr int Remote1High = 2;
    long sets = 0;
    for (const model::AlertEvent& event : graph->timeline().Events()) {
        sets += event.indicator == Remote1High && event.set ? 1 : 0;
    }
    // 77 or 78 peaks, depending on where the run starts in the period.
    constexpr long Peaks = Seconds * 1000 / PeriodMs;
    QVERIFY2(sets == Peaks || sets == Peaks + 1, qPrintable(QString::number(sets)));
}

void TestRegMap::pointerBeyondTheAdaptersByteReadsNothingAndGoesOn() {
    RegMapWorld w(new ByteAdapter);
    w.Read("5");
    w.Requests();
    w.Read("3E8");
    QCOMPARE(w.Requests(), QStringList());
    QVERIFY(w.world.messages.empty()); // the program goes on
    QCOMPARE(w.Description(), QString("Unknown"));
    QCOMPARE(w.Label("lblCurrentAddr"), QString("3E8h"));
    QCOMPARE(w.window->lblInfo(0)->text(), QString("7"));
    QCOMPARE(w.Label("lblDecVal"), QString());
    QCOMPARE(w.Status(), QString("Not read: 3E8h is beyond the adapter's pointers 0 to FFh"));
    QVERIFY(!w.window->lblBit(0)->isEnabled());
}

void TestRegMap::menuAndToolbarOpenBothWindows() {
    const RegMapWorld w;
    for (const char* action : {"mnuRegMap", "Tree"}) {
        QVERIFY2(w.OpensBy(action, shell::WindowId::RegMap), action);
    }
    for (const char* action : {"Config", "mnuGeneralConfig"}) {
        QVERIFY2(w.OpensBy(action, shell::WindowId::Config), action);
    }
}

} // namespace qmt::views

QTEST_MAIN(qmt::views::TestRegMap)
#include "test_reg_map.moc"
