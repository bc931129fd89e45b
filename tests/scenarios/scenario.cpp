#include "scenarios/scenario.h"

#include "support/test_paths.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <algorithm>
#include <csignal>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace qmt::scenario {

namespace {

constexpr int PollMs = 20;

QString BuiltProgram(Program program) {
    return program == Program::Qmteval ? QString::fromUtf8(qmt::test::paths::Qmteval)
                                       : QString::fromUtf8(qmt::test::paths::Qmtctl);
}

QString ProgramName(Program program) {
    return program == Program::Qmteval ? QStringLiteral("qmteval") : QStringLiteral("qmtctl");
}

std::vector<Message> ReadMessages(const QString& path) {
    std::vector<Message> messages;
    std::ifstream file(path.toStdString());
    for (std::string line; std::getline(file, line);) {
        const auto tab = line.find('\t');
        messages.push_back(tab == std::string::npos
                               ? Message{{}, line}
                               : Message{line.substr(0, tab), line.substr(tab + 1)});
    }
    return messages;
}

} // namespace

std::string ProgramTitle() {
    return "QMT6171/2/3 Evaluation Software";
}

QString BoardFile(const QString& name) {
    return QString::fromUtf8(qmt::test::paths::SourceDir) + "/tests/scenarios/boards/" + name;
}

Scenario::Scenario() {
    QDir(dir_.path()).mkpath(QStringLiteral("config"));
    QDir(dir_.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(Path(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

Scenario::~Scenario() {
    if (process_ && process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished();
    }
}

QString Scenario::Path(const QString& name) const {
    return dir_.filePath(name);
}

QString Scenario::WriteFile(const QString& name, const QByteArray& content) const {
    const QString path = Path(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) < 0) {
        return {};
    }
    return path;
}

QString Scenario::SettingsFile() const {
    return Path(QStringLiteral("config/QMT6171_2_3 Evaluation Software.conf"));
}

void Scenario::UsePrivateCopy(Program program, const std::optional<QByteArray>& firmware,
                              const QString& folder) {
    QDir(dir_.path()).mkpath(folder);
    privateFolder_ = Path(folder);
    const QString copy = privateFolder_ + QLatin1Char('/') + ProgramName(program);
    const QString built = BuiltProgram(program);
    // A hard link costs nothing; /proc/self/exe still names the copy's folder.
    if (::link(built.toLocal8Bit().constData(), copy.toLocal8Bit().constData()) != 0) {
        QFile::copy(built, copy);
    }
    if (firmware) {
        WriteFile(folder + QStringLiteral("/HLX3300FW.Hex"), *firmware);
    }
    privateCopy_ = program;
}

QStringList Scenario::BridgeArguments() {
    return {QStringLiteral("--bridge"), QStringLiteral("tarnlink:") +
                                            QString::fromUtf8(qmt::test::paths::BinDir) +
                                            "/libTarnlink.so"};
}

QString Scenario::ProgramPath(Program program) const {
    return privateCopy_ == program ? privateFolder_ + QLatin1Char('/') + ProgramName(program)
                                   : BuiltProgram(program);
}

void Scenario::Start(Program program, QStringList arguments) {
    if (privateCopy_ == program) {
        arguments = BridgeArguments() + arguments;
    }
    if (program == Program::Qmteval) {
        arguments.prepend(QStringLiteral("--no-splash-pauses"));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TARNLINK_BOARD"));
    if (withoutDisplay_) {
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
            environment.remove(QString::fromLatin1(name));
        }
    } else {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    environment.insert(QStringLiteral("HOME"), dir_.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), Path(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), Path(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("TARNLINK_TRACE"), Path(QStringLiteral("trace.txt")));
    environment.insert(QStringLiteral("QMT_TEST_MESSAGE_LOG"),
                       Path(QStringLiteral("messages.txt")));
    if (!userActions_.isEmpty()) {
        environment.insert(QStringLiteral("QMT_TEST_ACTIONS"), userActions_.join(';'));
    }
    out_.clear();
    err_.clear();
    process_ = std::make_unique<QProcess>();
    process_->setProcessEnvironment(environment);
    process_->setWorkingDirectory(dir_.path());
    process_->start(ProgramPath(program), arguments);
    process_->waitForStarted();
}

std::vector<long long> TraceFields(const std::string& line) {
    std::vector<long long> fields;
    std::istringstream stream(line);
    for (long long field = 0; stream >> field;) {
        fields.push_back(field);
    }
    return fields;
}

bool Scenario::WaitUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(TimeBound);
    while (process_ && !deadline.hasExpired()) {
        if (done()) {
            return true;
        }
        // Returns at once when the program ends: nothing more will come.
        const bool ended =
            process_->state() == QProcess::NotRunning || process_->waitForFinished(PollMs);
        out_ += process_->readAllStandardOutput().toStdString();
        err_ += process_->readAllStandardError().toStdString();
        if (ended) {
            return done();
        }
    }
    return false;
}

bool Scenario::WaitForTrace(const std::function<bool(const std::string& line)>& accept) {
    return WaitUntil([&] {
        const auto lines = Trace();
        return std::ranges::any_of(lines, accept);
    });
}

bool Scenario::WaitForError(const std::string& text) {
    return WaitUntil([&] { return err_.find(text) != std::string::npos; });
}

bool Scenario::WaitUntilMonitoring() {
    // Start-up reads the identity and the configuration register; only the
    // monitoring cycle reads the local temperature (pointer 0).
    return WaitForTrace([](const std::string& line) {
        const auto fields = TraceFields(line);
        return fields.size() >= 4 && fields[0] == 222 && fields[2] == 0 && fields[3] == 1;
    });
}

void Scenario::Signal(int signalNumber) {
    if (process_ && process_->state() == QProcess::Running) {
        ::kill(static_cast<pid_t>(process_->processId()), signalNumber);
    }
}

Outcome Scenario::Finish() {
    Outcome outcome;
    outcome.finished = process_->state() == QProcess::NotRunning ||
                       process_->waitForFinished(static_cast<int>(TimeBound.count()));
    if (!outcome.finished) {
        process_->kill();
        process_->waitForFinished();
    }
    outcome.normalExit = outcome.finished && process_->exitStatus() == QProcess::NormalExit;
    outcome.exitCode = process_->exitCode();
    outcome.out = out_ + process_->readAllStandardOutput().toStdString();
    outcome.err = err_ + process_->readAllStandardError().toStdString();
    outcome.messages = ReadMessages(Path(QStringLiteral("messages.txt")));
    return outcome;
}

Outcome Scenario::Run(Program program, const QStringList& arguments) {
    Start(program, arguments);
    return Finish();
}

std::vector<std::string> Scenario::Trace() const {
    std::vector<std::string> lines;
    std::ifstream file(Path(QStringLiteral("trace.txt")).toStdString());
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

QStringList Scenario::StoredPlacement() const {
    QSettings settings(SettingsFile(), QSettings::IniFormat);
    QStringList values;
    for (const char* key : {"MainLeft", "MainTop", "MainWidth", "MainHeight"}) {
        values.append(settings.value(QStringLiteral("Settings/") + QLatin1String(key)).toString());
    }
    return values;
}

} // namespace qmt::scenario
