#include "scenarios/scenario.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qmt::scenario {

namespace {

// The default placement (1000, 1000, 6500, 6500 twips) as the 96 dpi
// offscreen screen shows it, in whole pixels, and stores it back.
const QStringList DefaultPlacement{"1005", "1005", "6495", "6495"};
// The offscreen screen, 800 × 800 pixels.
const QStringList WholeScreen{"0", "0", "12000", "12000"};

QByteArray PlacementText(const QByteArray& left, const QByteArray& top, const QByteArray& width,
                         const QByteArray& height) {
    return "[Settings]\nMainLeft=" + left + "\nMainTop=" + top + "\nMainWidth=" + width +
           "\nMainHeight=" + height + "\n";
}

// Binary bytes, a NUL, broken section and key lines.
constexpr char GarbageHead[] = "\x00\xff[Settings\n=\nMainLeft\n\xfe\xfdMainTop==7\n[]\n";

struct Damage {
    const char* name;
    std::function<void(Scenario&)> make;
    // What the program stores on exit; empty: it leaves what is there (no
    // regular file) or cannot store, and says so.
    QStringList stored;
};

std::ostream& operator<<(std::ostream& out, const Damage& damage) {
    return out << damage.name;
}

void Write(Scenario& scenario, const QByteArray& content) {
    QFile file(scenario.SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

const Damage Damages[] = {
    {"None", [](Scenario&) {}, DefaultPlacement},
    {"Garbage",
     [](Scenario& s) {
         Write(s, QByteArray(GarbageHead, sizeof GarbageHead - 1) + QByteArray(5000, '\xa5'));
     },
     DefaultPlacement},
    {"NotNumbers",
     [](Scenario& s) {
         Write(s, PlacementText("left", "0x10", "\"\"", "@Variant(\\0\\0\\0\\x7f)"));
     },
     DefaultPlacement},
    // Edited on another system: CR LF line ends, a byte-order mark, blanks.
    {"EditedElsewhere",
     [](Scenario& s) {
         Write(s, "\xEF\xBB\xBF[Settings]\r\nMainLeft = 3000\r\nMainTop=\t1500 \r\n"
                  "MainWidth=9000\r\nMainHeight=7500\r\n");
     },
     {"3000", "1500", "9000", "7500"}},
    {"OffEveryScreen",
     [](Scenario& s) { Write(s, PlacementText("-500000", "300000", "6500", "6500")); },
     DefaultPlacement},
    {"HugeNumbers",
     [](Scenario& s) { Write(s, PlacementText("1e300", "inf", "nan", "99999999999999999999999")); },
     DefaultPlacement},
    {"LargerThanTheScreen",
     [](Scenario& s) { Write(s, PlacementText("0", "0", "999999", "999999")); }, WholeScreen},
    // Made unreadable by its owner: read as absent, and not overwritten.
    {"Unreadable",
     [](Scenario& s) {
         Write(s, PlacementText("3000", "1500", "9000", "7500"));
         QFile::setPermissions(s.SettingsFile(), {});
     },
     {}},
    // Unreadable even for root: a link that leads back to itself. It names
    // no regular file, so it is not replaced either.
    {"LinkLoop",
     [](Scenario& s) {
         ASSERT_EQ(::symlink(s.SettingsFile().toLocal8Bit().constData(),
                             s.SettingsFile().toLocal8Bit().constData()),
                   0);
     },
     {}},
    {"HugeFile",
     [](Scenario& s) {
         Write(s, PlacementText("3000", "1500", "9000", "7500") + QByteArray(2 << 20, 'x'));
     },
     DefaultPlacement},
    // Reading or writing a FIFO would block. (No device here: as root, a
    // faulty program would replace /dev/zero.)
    {"LinkToFifo",
     [](Scenario& s) {
         ASSERT_EQ(::mkfifo(s.Path("fifo").toLocal8Bit().constData(), 0600), 0);
         ASSERT_EQ(::symlink("../fifo", s.SettingsFile().toLocal8Bit().constData()), 0);
     },
     {}},
    {"FolderInPlaceOfTheFile",
     [](Scenario& s) { ASSERT_TRUE(QDir().mkpath(s.SettingsFile())); },
     {}},
    {"NoSettingsFolder",
     [](Scenario& s) { ASSERT_TRUE(QDir(s.Path("config")).removeRecursively()); },
     DefaultPlacement},
    {"FileInPlaceOfTheFolder",
     [](Scenario& s) {
         ASSERT_TRUE(QDir(s.Path("config")).removeRecursively());
         s.WriteFile("config", "not a folder");
     },
     {}},
};

class DamagedPlacement : public ::testing::TestWithParam<Damage> {};

// The program starts at a usable placement whatever the file holds, runs,
// and on SIGTERM closes in order: it stores a good placement and ends with 0.
TEST_P(DamagedPlacement, StartsAndStoresAGoodPlacement) {
    const Damage& damage = GetParam();
    if (QStringLiteral("Unreadable") == QLatin1String(damage.name) && ::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    Scenario scenario;
    damage.make(scenario);
    scenario.Start(Program::Qmteval, {});
    ASSERT_TRUE(scenario.WaitUntilMonitoring());
    scenario.Signal(SIGTERM);
    const Outcome outcome = scenario.Finish();
    ASSERT_TRUE(outcome.finished);
    EXPECT_TRUE(outcome.normalExit) << outcome.err;
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_TRUE(outcome.messages.empty());
    if (damage.stored.isEmpty()) {
        EXPECT_NE(outcome.err.find("The window placement could not be stored in " +
                                   scenario.SettingsFile().toStdString()),
                  std::string::npos)
            << outcome.err;
    } else {
        EXPECT_TRUE(QFileInfo(scenario.SettingsFile()).isFile());
        EXPECT_EQ(scenario.StoredPlacement(), damage.stored);
    }
}

INSTANTIATE_TEST_SUITE_P(Scenario, DamagedPlacement, ::testing::ValuesIn(Damages),
                         [](const auto& test) { return std::string(test.param.name); });

// Ctrl+C in the terminal that started the program, or the terminal going
// (SIGHUP), closes it as SIGTERM does, child windows and all; the placement
// is stored and the rest of the file kept.
TEST(Interrupt, ClosesInOrder) {
    for (const int signalNumber : {SIGINT, SIGHUP}) {
        Scenario scenario;
        scenario.SetUserActions({"mnuSoftware", "mnuAbout"});
        scenario.WriteFile("config/QMT6171_2_3 Evaluation Software.conf",
                           "[Other]\nKept=yes\n\n" + PlacementText("3000", "1500", "9000", "7500"));
        scenario.Start(Program::Qmteval, {});
        ASSERT_TRUE(scenario.WaitUntilMonitoring());
        scenario.Signal(signalNumber);
        const Outcome outcome = scenario.Finish();
        EXPECT_EQ(outcome.err.find("QMT_TEST_ACTIONS"), std::string::npos) << outcome.err;
        EXPECT_TRUE(outcome.normalExit) << signalNumber << outcome.err;
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        EXPECT_EQ(scenario.StoredPlacement(), (QStringList{"3000", "1500", "9000", "7500"}));
        QFile file(scenario.SettingsFile());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().startsWith("[Other]\nKept=yes\n")) << signalNumber;
    }
}

} // namespace

} // namespace qmt::scenario
