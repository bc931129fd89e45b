#include "views/regmap/frm_reg_map.h"
#include "views/regmap/register_tree.h"
#include "views/view_world.h"

#include <QToolButton>
#include <QTreeWidget>

namespace qmt::views {

using test::Type;

namespace {

// A started program with the register map open.
struct RegMapWorld : test::ViewWorld {
    RegMapWorld() { Open(); }
    void Open() { window = ViewWorld::Open<FrmRegMap>(app::WindowId::RegMap); }
    void Close() { qobject_cast<QMdiSubWindow*>(window->parentWidget())->close(); }
    QString Description() const { return window->findChild<QLabel*>("lblRegDescription")->text(); }
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
    QCOMPARE(w.Requests(), (QStringList{"W00=20", "R02"}));
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

void TestRegMap::menuAndToolbarOpenBothWindows() {
    const RegMapWorld w;
    for (const char* action : {"mnuRegMap", "Tree"}) {
        QVERIFY2(w.OpensBy(action, app::WindowId::RegMap), action);
    }
    for (const char* action : {"Config", "mnuGeneralConfig"}) {
        QVERIFY2(w.OpensBy(action, app::WindowId::Config), action);
    }
}

} // namespace qmt::views

QTEST_MAIN(qmt::views::TestRegMap)
#include "test_reg_map.moc"
