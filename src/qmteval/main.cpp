#include "core/app_identity.h"
#include "core/application.h"
#include "link/bridge_factory.h"
#include "link/executable_folder.h"
#include "link/unavailable_bridge.h"
#include "shell/artwork.h"
#include "shell/desktop_services.h"
#include "shell/frm_main.h"
#include "shell/placement_settings.h"
#include "shell/scripted_actions.h"
#include "shell/shell.h"
#include "shell/startup.h"
#include "shell/termination_signals.h"

#include <QApplication>
#include <QCommandLineParser>
#include <iostream>

namespace {

constexpr int UsageErrorStatus = 2;

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qmteval"));
    QApplication::setApplicationDisplayName(qmt::core::ApplicationTitle());
    QApplication::setApplicationVersion(qmt::core::VersionText());
    QApplication::setWindowIcon(qmt::shell::ProductIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(qmt::core::ApplicationTitle());
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
        bridge = std::make_unique<qmt::link::UnavailableBridge>(choice.i2cDevice.empty());
    }

    qmt::core::Application app(std::make_unique<qmt::link::SystemClock>(), std::move(bridge),
                               qmt::shell::DefaultSettingsFile(), qmt::shell::DesktopServices());
    qmt::shell::Shell shell(app);
    qmt::shell::Main(shell, {qmt::link::ExecutableFolder(), parser.isSet(quickOption), address});
    qmt::shell::ScriptedActions::Play(
        *shell.mainWindow(), qmt::shell::ScriptedActions::Steps(
                                 qEnvironmentVariable(qmt::shell::ScriptedActions::Variable)));

    const qmt::shell::TerminationSignals terminationSignals([&shell](int) {
        shell.CloseAllWindows();
        QApplication::quit();
    });
    return QApplication::exec();
}
