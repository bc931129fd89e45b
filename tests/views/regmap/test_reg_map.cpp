#include "app/frm_main.h"
#include "app/support/app_world.h"
#include "views/bridge_requests.h"
#include "views/regmap/bit_display.h"
#include "views/regmap/frm_reg_map.h"
#include "views/regmap/register_tree.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace qmt::views {

using test::AppWorld;
using test::RegisterRequests;

namespace {

// A started program with the register map open; the chip's registers are
// the stub's map at the chip's address.
struct RegMapWorld {
    RegMapWorld() {
        if (world.RunMain().has_value()) {
            qFatal("start-up failed");
        }
        Open();
    }
    FrmRegMap& Open() {
        world.main().OpenWindow(app::WindowId::RegMap);
        window =
            qobject_cast<FrmRegMap*>(world.main().childWindows().Loaded(app::WindowId::RegMap));
        return *window;
    }
    void Close() { qobject_cast<QMdiSubWindow*>(window->parentWidget())->close(); }
    std::map<std::int32_t, std::uint8_t>& chip() {
        return world.stub->chips[AppWorld::ChipAddress];
    }
    QString Label(const char* name) const { return window->findChild<QLabel*>(name)->text(); }
    std::size_t Mark() const { return world.stub->log.size(); }
    QStringList RequestsSince(std::size_t mark) const {
        return RegisterRequests(*world.stub, mark);
    }
    QStringList BitNames() const {
        QStringList names;
        for (int k = 0; k < BitCount; ++k) {
            names.append(window->lblInfo(k)->text());
        }
        return names;
    }
    QString Bits() const { // bit 7 first
        QString bits;
        for (int i = BitCount - 1; i >= 0; --i) {
            bits += window->lblBit(i)->text();
        }
        return bits;
    }
    QTreeWidgetItem* Node(const QStringList& path) const {
        QTreeWidgetItem* node = nullptr;
        for (const QString& text : path) {
            const int count = node ? node->childCount() : window->TreeView1()->topLevelItemCount();
            QTreeWidgetItem* found = nullptr;
            for (int i = 0; i < count && !found; ++i) {
                QTreeWidgetItem* child =
                    node ? node->child(i) : window->TreeView1()->topLevelItem(i);
                found = child->text(0) == text ? child : nullptr;
            }
            node = found;
            if (!node) {
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
    void Type(QLineEdit* box, const QString& text) {
        box->clear();
        QTest::keyClicks(box, text);
    }

    AppWorld world;
    FrmRegMap* window = nullptr;
};

const QStringList BitNumbers = {"7", "6", "5", "4", "3", "2", "1", "0"};

} // namespace

class TestRegMap : public QObject {
    Q_OBJECT

private slots:
    void treeShapeColoursAndExpansionSurviveReopening();
    void nodeClicksShowRegistersAndGroupsChangeNothing();
    void readAddressEdgeCases();
    void valueBoxesFollowEachOtherAndWritesAreChecked();
    void bitClicksWriteTheWriteAddressAndReadBack();
    void continuousReadRunsTwiceASecondOnlyWhileCheckedAndLoaded();
    void bitPlacesAndHexToDecimal();
    void menuAndToolbarOpenBothWindows();
};

void TestRegMap::treeShapeColoursAndExpansionSurviveReopening() {
    model::RegMapStuff regMap;
    regMap.FillRegMap();
    const std::vector<TreeNode> nodes = RegisterTreeNodes(regMap);
    QCOMPARE(nodes.size(), std::size_t{46});
    int registers = 0;
    for (const TreeNode& node : nodes) {
        if (node.level == NodeLevel::Register) {
            ++registers;
            QVERIFY(regMap.FindByName(node.key).has_value());
            // Only the Remote 1 records of the shared pointers are listed.
            QVERIFY2(node.key.find("Config Reg =1") == std::string::npos, node.key.c_str());
        }
    }
    QCOMPARE(registers, 31);

    // Reopened before the closed window is deleted: the new one stays loaded
    // when the old one finally goes, and starts with the same tree.
    RegMapWorld w;
    w.Node({"Local Registers"})->setExpanded(true);
    w.Close();
    QVERIFY(!w.world.app->state().RegMapOpen);
    w.Open();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(w.world.app->state().RegMapOpen);
    QVERIFY(w.Node({"General"})->isExpanded());
    QVERIFY(!w.Node({"Local Registers"})->isExpanded());
    QCOMPARE(w.window->txtHex()->text(), QString("0H"));
}

void TestRegMap::nodeClicksShowRegistersAndGroupsChangeNothing() {
    RegMapWorld w;
    w.chip()[0x00] = 0x19;
    w.Click({"Local Registers", "Temperature", "Value"});
    QCOMPARE(w.Label("lblRegDescription"), QString("Local Temp Value"));
    QCOMPARE(w.Label("lblHexVal"), QString("19H"));
    QCOMPARE(w.Label("lblDecVal"), QString("25"));
    QCOMPARE(w.window->txtWriteAddr()->text(), QString("0h"));
    QCOMPARE(w.Bits(), QString("00011001"));

    // Groups and roots show nothing and read nothing.
    std::size_t mark = w.Mark();
    w.Click({"Remote2 Registers", "Limits"});
    w.Click({"Remote2 Registers"});
    QCOMPARE(w.RequestsSince(mark), QStringList());
    QCOMPARE(w.Label("lblRegDescription"), QString("Local Temp Value"));

    w.Click({"Remote2 Registers", "Limits", "THERM Limit"});
    QCOMPARE(w.window->txtWriteAddr()->text(), QString("39h"));

    // The shared pointers keep their Remote 1 names whatever the selection.
    w.world.app->state().Remote2Selected = true;
    w.Click({"Remote1 Registers", "Temperature", "Value(High Byte)"});
    QCOMPARE(w.Label("lblRegDescription"),
             QString("Remote 1 Temp High Byte (bit 3 Config Reg =0)"));
    QCOMPARE(w.BitNames(), (QStringList{"10", "9", "8", "7", "6", "5", "4", "3"}));

    // Clicking the current node again reads it again; the keyboard moves on.
    mark = w.Mark();
    w.Click({"Remote1 Registers", "Temperature", "Value(High Byte)"});
    QTest::keyClick(w.window->TreeView1(), Qt::Key_Down);
    QCOMPARE(w.RequestsSince(mark), (QStringList{"R01", "R10"}));
}

void TestRegMap::readAddressEdgeCases() {
    RegMapWorld w;
    QLineEdit* box = w.window->txtReadAddr();
    w.chip()[0x15] = 0xA7;
    w.Type(box, "fe");
    QTest::mouseClick(w.window->findChild<QPushButton*>("cmdRead"), Qt::LeftButton);
    QCOMPARE(w.Label("lblRegDescription"), QString("Manufacturer ID"));
    QCOMPARE(w.Label("lblHex"), QString("41H"));
    QCOMPARE(box->text(), QString("FEH"));

    // An address without a register: its value, the last register's panel kept.
    w.Type(box, "15");
    std::size_t mark = w.Mark();
    w.window->cmdRead_Click();
    QCOMPARE(w.RequestsSince(mark), QStringList{"R15"});
    QCOMPARE(w.Label("lblRegDescription"), QString("Unknown"));
    QCOMPARE(w.Label("lblHexVal"), QString("A7"));
    QCOMPARE(w.Bits(), QString("10100111"));
    QCOMPARE(w.Label("lblHex"), QString("41H"));

    // The table's sentinel address is just an address without a register.
    w.Type(box, "3e8");
    mark = w.Mark();
    w.window->cmdRead_Click();
    QCOMPARE(w.RequestsSince(mark), QStringList{"R3E8"});
    QCOMPARE(w.Label("lblRegDescription"), QString("Unknown"));
    QCOMPARE(w.BitNames(), BitNumbers);

    // Empty and non-hexadecimal boxes count as address 0.
    for (const QString& text : {QString(), QString("zz")}) {
        w.Type(box, text);
        w.window->cmdRead_Click();
        QCOMPARE(w.Label("lblRegDescription"), QString("Local Temp Value"));
        QCOMPARE(box->text(), QString("0H"));
    }

    // An address beyond 32 bits reads nothing.
    w.Type(box, "123456789");
    mark = w.Mark();
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(w.RequestsSince(mark), QStringList());
    QCOMPARE(w.world.main().StatusPanel(1)->text(),
             QString("Not read: the read address does not fit in 32 bits"));
}

void TestRegMap::valueBoxesFollowEachOtherAndWritesAreChecked() {
    RegMapWorld w;
    QLineEdit* dec = w.window->txtDec();
    QLineEdit* hex = w.window->txtHex();
    w.Type(dec, "255");
    QCOMPARE(hex->text(), QString("FF"));
    w.Type(hex, "1a");
    QCOMPARE(dec->text(), QString("26"));

    // Enter in the hexadecimal box writes the decimal box's value to the write
    // address, then reads the read address.
    w.window->txtWriteAddr()->setText("B");
    w.window->txtReadAddr()->setText("5");
    std::size_t mark = w.Mark();
    QTest::keyClick(hex, Qt::Key_Return);
    QCOMPARE(w.RequestsSince(mark), (QStringList{"W0B=1A", "R05"}));

    QSignalSpy status(w.window, &FrmRegMap::statusMessage);
    w.Type(dec, "300");
    mark = w.Mark();
    QTest::keyClick(dec, Qt::Key_Enter);
    QCOMPARE(w.RequestsSince(mark), (QStringList{"W0B=FF", "R05"}));
    QCOMPARE(status.takeFirst().at(0).toString(),
             QString("Written as 255: a register holds 0 to 255"));

    // Nothing the user did not mean reaches the chip.
    const struct {
        QString dec, writeAddress, message;
    } refused[] = {
        {"-5", "B", "Not written: the value is negative"},
        {"3000000000", "B", "Not written: the value does not fit in 32 bits"},
        {"7", "1FFFFFFFF", "Not written: the write address does not fit in 32 bits"},
    };
    for (const auto& entry : refused) {
        w.Type(dec, entry.dec);
        w.window->txtWriteAddr()->setText(entry.writeAddress);
        mark = w.Mark();
        QTest::mouseClick(w.window->findChild<QPushButton*>("cmdWrite"), Qt::LeftButton);
        QCOMPARE(w.RequestsSince(mark), QStringList());
        QCOMPARE(status.takeFirst().at(0).toString(), entry.message);
    }
    w.window->txtWriteAddr()->setText("B");
    w.Type(hex, "123456789");
    QCOMPARE(dec->text(), QString("4886718345"));
    w.window->cmdWrite_Click();
    QCOMPARE(w.RequestsSince(mark), QStringList());
}

void TestRegMap::bitClicksWriteTheWriteAddressAndReadBack() {
    RegMapWorld w;
    w.chip()[0x03] = 0x04;
    w.Click({"General", "Configuration", "Configuration Reg 1"});
    std::size_t mark = w.Mark();
    QTest::mouseClick(w.window->lblBit(3), Qt::LeftButton);
    // The write at 0x09 refreshes the remote selection, then the panel reads back.
    QCOMPARE(w.RequestsSince(mark), (QStringList{"W09=0C", "R03", "R03"}));
    QVERIFY(w.world.app->state().Remote2Selected);
    QVERIFY(w.world.app->state().ExtendedRange);
    QCOMPARE(w.Bits(), QString("00001100"));

    w.Click({"General", "Status", "Status Reg 1"});
    mark = w.Mark();
    QTest::mouseClick(w.window->lblBit(5), Qt::LeftButton);
    QCOMPARE(w.RequestsSince(mark), (QStringList{"W00=20", "R02"}));
    QCOMPARE(w.Bits(), QString("00000000"));
}

void TestRegMap::continuousReadRunsTwiceASecondOnlyWhileCheckedAndLoaded() {
    RegMapWorld w;
    w.window->txtReadAddr()->setText("22");
    const auto second = [&] {
        const std::size_t mark = w.Mark();
        for (int i = 0; i < 100; ++i) {
            w.world.Tick(10);
        }
        return w.RequestsSince(mark).count(QStringLiteral("R22"));
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

void TestRegMap::bitPlacesAndHexToDecimal() {
    // Bit 7 leftmost, bit 0 rightmost, the margin kept at both ends.
    const BitPlace seven = PlaceOfBit(4575, 100, 7);
    const BitPlace zero = PlaceOfBit(4575, 100, 0);
    QCOMPARE(seven.left, 107);
    QCOMPARE(zero.left + zero.width, 4475);
    QCOMPARE(ValueOfBitTexts(BitTexts(0xA5)), 0xA5);
    QCOMPARE(DecimalTextOfHexEntry("FFFFFFFF"), std::string("-1"));
    QCOMPARE(DecimalTextOfHexEntry("1FFFFFFFFFFFFFFFFFFF"), std::string("18446744073709551615"));
}

void TestRegMap::menuAndToolbarOpenBothWindows() {
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    app::FrmMain& main = world.main();
    const std::pair<const char*, app::WindowId> openings[] = {
        {"mnuRegMap", app::WindowId::RegMap},
        {"Config", app::WindowId::Config},
        {"Tree", app::WindowId::RegMap},
        {"mnuGeneralConfig", app::WindowId::Config}};
    for (const auto& [action, id] : openings) {
        main.childWindows().CloseAll();
        main.findChild<QAction*>(action)->trigger();
        QVERIFY2(main.childWindows().Loaded(id) != nullptr, action);
    }
}

} // namespace qmt::views

QTEST_MAIN(qmt::views::TestRegMap)
#include "test_reg_map.moc"
