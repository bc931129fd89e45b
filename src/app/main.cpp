#include "app/app_identity.h"
#include "app/application.h"
#include "app/artwork.h"
#include "app/frm_main.h"
#include "app/placement_settings.h"
#include "app/scripted_actions.h"
#include "app/startup.h"
#include "app/termination_signals.h"
#include "app/unavailable_bridge.h"
#include "link/bridge_factory.h"
#include "link/executable_folder.h"

#include <QApplication>
#include <QCommandLineParser>
#include <iostream>

namespace {

constexpr int UsageErrorStatus = 2;

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qmteval"));
    QApplication::setApplicationDisplayName(qmt::app::ApplicationTitle());
    QApplication::setApplicationVersion(qmt::app::VersionText());
    QApplication::setWindowIcon(qmt::app::ProductIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(qmt::app::ApplicationTitle());
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption bridgeOption(
        QStringLiteral("bridge"),
        QStringLiteral("The bridge: tarnlink (libTarnlink.so beside the program or on the "
                       "library path), tarnlink:PATH, or i2c:/dev/i2c-N for a chip on a Linux "
                       "I2C adapter."),
        QStringLiteral("BRIDGE"), QStringLiteral("tarnlink"));
    const QCommandLineOption boardOption(
        QStringLiteral("board"), QStringLiteral("Board description for the emulated board."),
        QStringLiteral("FILE"));
    const QCommandLineOption forceOption(
        QStringLiteral("force"),
        QStringLiteral("i2c: also use addresses that a kernel driver owns (as i2cget -f)."));
    const QCommandLineOption quickOption(
        QStringLiteral("no-splash-pauses"),
        QStringLiteral("Leave out the 3 s that only hold the splash window for reading "
                       "(unattended starts)."));
    const QCommandLineOption addressOption(
        QStringLiteral("address"),
        QStringLiteral("The chip's SMBus address (0x4D, 4Dh or decimal) instead of the search, "
                       "for a board that carries several."),
        QStringLiteral("ADDR"));
    parser.addOption(bridgeOption);
    parser.addOption(boardOption);
    parser.addOption(addressOption);
    parser.addOption(forceOption);
    parser.addOption(quickOption);
    if (!parser.parse(QApplication::arguments())) {
        std::cerr << "qmteval: " << parser.errorText().toStdString() << '\n';
        return UsageErrorStatus;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp();
    }
    if (parser.isSet(QStringLiteral("version"))) {
        parser.showVersion();
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::cerr << "qmteval: unexpected argument '"
                  << parser.positionalArguments().constFirst().toStdString() << "'\n";
        return UsageErrorStatus;
    }

    qmt::link::BridgeChoice choice;
    std::string error;
    if (!qmt::link::ParseBridgeChoice(parser.value(bridgeOption).toStdString(), choice, error)) {
        std::cerr << "qmteval: " << error << '\n';
        return UsageErrorStatus;
    }
    std::optional<std::int32_t> address;
    if (parser.isSet(addressOption)) {
        address = qmt::link::ParseChipAddress(parser.value(addressOption).toStdString(), error);
        if (!address) {
            std::cerr << "qmteval: " << error << '\n';
            return UsageErrorStatus;
        }
    }
    choice.boardFile = parser.value(boardOption).toStdString();
    choice.force = parser.isSet(forceOption);
    std::unique_ptr<qmt::link::Bridge> bridge = qmt::link::OpenBridge(choice, error);
    if (!bridge) {
        std::cerr << "qmteval: " << error << '\n';
        bridge = std::make_unique<qmt::app::UnavailableBridge>(choice.i2cDevice.empty());
    }

    qmt::app::Application app(std::make_unique<qmt::link::SystemClock>(), std::move(bridge),
                              qmt::app::DefaultSettingsFile(), qmt::app::ShellServices::Desktop());
    qmt::app::Main(app, {qmt::link::ExecutableFolder(), parser.isSet(quickOption), address});
    qmt::app::ScriptedActions::Play(*app.mainWindow(),
                                    qmt::app::ScriptedActions::Steps(
                                        qEnvironmentVariable(qmt::app::ScriptedActions::Variable)));

    const qmt::app::TerminationSignals terminationSignals([&app](int) {
        app.CloseAllWindows();
        QApplication::quit();
    });
    return QApplication::exec();
}
