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
#include <variant>

namespace {

constexpr int UsageErrorStatus = 2;

// What the command line asks for, read before the window system is opened.
struct StartOptions {
    qmt::link::BridgeChoice bridge;
    std::optional<std::int32_t> address;
    bool quick = false;
};

void SetIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("qmteval"));
    QCoreApplication::setApplicationVersion(qmt::core::VersionText());
}

// The options, or the exit status of a usage error; --help and --version
// print and end here.
std::variant<StartOptions, int> ParseOptions(const QStringList& arguments) {
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
    if (!parser.parse(arguments)) {
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

    StartOptions options;
    std::string error;
    if (!qmt::link::ParseBridgeChoice(parser.value(bridgeOption).toStdString(), options.bridge,
                                      error)) {
        std::cerr << "qmteval: " << error << '\n';
        return UsageErrorStatus;
    }
    if (parser.isSet(addressOption)) {
        options.address =
            qmt::link::ParseChipAddress(parser.value(addressOption).toStdString(), error);
        if (!options.address) {
            std::cerr << "qmteval: " << error << '\n';
            return UsageErrorStatus;
        }
    }
    options.bridge.boardFile = parser.value(boardOption).toStdString();
    options.bridge.force = parser.isSet(forceOption);
    options.quick = parser.isSet(quickOption);
    return options;
}

} // namespace

int main(int argc, char* argv[]) {
    std::variant<StartOptions, int> parsed = UsageErrorStatus;
    {
        // Help, version and usage errors need no display: they are answered
        // before the window system is opened.
        const QCoreApplication commandLine(argc, argv);
        SetIdentity();
        parsed = ParseOptions(QCoreApplication::arguments());
    }
    if (const int* status = std::get_if<int>(&parsed)) {
        return *status;
    }
    StartOptions& options = std::get<StartOptions>(parsed);

    QApplication application(argc, argv);
    SetIdentity();
    QApplication::setApplicationDisplayName(qmt::core::ApplicationTitle());
    QApplication::setWindowIcon(qmt::shell::ProductIcon());

    std::string error;
    std::unique_ptr<qmt::link::Bridge> bridge = qmt::link::OpenBridge(options.bridge, error);
    if (!bridge) {
        std::cerr << "qmteval: " << error << '\n';
        // The message box names an I2C device file that failed; the bridge
        // library's failures keep their message alone.
        const bool i2c = !options.bridge.i2cDevice.empty();
        bridge = std::make_unique<qmt::link::UnavailableBridge>(!i2c, i2c ? error : std::string());
    }

    qmt::core::Application app(std::make_unique<qmt::link::SystemClock>(), std::move(bridge),
                               qmt::shell::DefaultSettingsFile(), qmt::shell::DesktopServices());
    qmt::shell::Shell shell(app);
    qmt::shell::Main(shell, {qmt::link::ExecutableFolder(), options.quick, options.address});
    qmt::shell::ScriptedActions::Play(
        *shell.mainWindow(), qmt::shell::ScriptedActions::Steps(
                                 qEnvironmentVariable(qmt::shell::ScriptedActions::Variable)));

    const qmt::shell::TerminationSignals terminationSignals([&shell](int) {
        shell.CloseAllWindows();
        QApplication::quit();
    });
    return QApplication::exec();
}
