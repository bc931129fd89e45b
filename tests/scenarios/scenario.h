#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Readable texts in the tests' failure reports.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// End-to-end scenarios: the built qmteval or qmtctl run as a separate
// process, offscreen, with a private home and settings folder, against the
// emulated board. A scenario writes what it needs (board file, settings
// file, a copy of the program beside its own firmware file), starts the
// program, waits for what it expects with a bounded wait, and looks at what
// the program left: exit status, output, the message boxes it showed (read
// back through QMT_TEST_MESSAGE_LOG), the board's request trace and the
// stored placement.
namespace qmt::scenario {

enum class Program { Qmteval, Qmtctl };

// One message box: its caption and text.
struct Message {
    std::string caption;
    std::string text;
    bool operator==(const Message&) const = default;
};

inline void PrintTo(const Message& message, std::ostream* out) {
    *out << '"' << message.caption << "\" / \"" << message.text << '"';
}

struct Outcome {
    // False if the program was still running at the time bound (it is killed).
    bool finished = false;
    // False if it ended by a signal or a crash.
    bool normalExit = false;
    int exitCode = -1;
    std::string out;
    std::string err;
    std::vector<Message> messages;
};

// "QMT6171/2/3 Evaluation Software": the caption of every message box.
std::string ProgramTitle();

// The numbers of one trace line: request, value, index, arguments, status,
// byte, milliseconds ("fw", status, milliseconds gives no numbers).
std::vector<long long> TraceFields(const std::string& line);

// A board file of tests/scenarios/boards.
QString BoardFile(const QString& name);

class Scenario {
public:
    // Far above any run's real length (the sanitizers slow it down a lot);
    // only there so that a hung program fails its test instead of blocking CI.
    static constexpr std::chrono::milliseconds TimeBound{60000};

    Scenario();
    ~Scenario();
    Scenario(const Scenario&) = delete;
    Scenario& operator=(const Scenario&) = delete;

    // A file in the scenario's private folder; returns its path.
    QString WriteFile(const QString& name, const QByteArray& content) const;
    QString Path(const QString& name) const;
    // The per-user settings file that holds the main window's placement.
    QString SettingsFile() const;
    // Copies the program into a folder of its own; the firmware file beside
    // it holds firmware, or is missing without it. Then started with
    // --bridge tarnlink:PATH, the program downloads that file to the board.
    // The folder is a path under the private folder.
    void UsePrivateCopy(Program program, const std::optional<QByteArray>& firmware,
                        const QString& folder = QStringLiteral("program"));
    // --bridge for the built emulated bridge library.
    static QStringList BridgeArguments();

    // What the user does once qmteval is up: menu items, toolbar actions and
    // buttons by object name, NAME=TEXT for a text box (QMT_TEST_ACTIONS).
    void SetUserActions(const QStringList& steps) { userActions_ = steps; }
    // Starts the program as from a console without a display or platform.
    void WithoutDisplay() { withoutDisplay_ = true; }

    // qmteval also gets --no-splash-pauses, so that a start costs no time
    // that only holds the splash window for reading.
    void Start(Program program, QStringList arguments);
    // Waits (bounded) until the board's trace has a line for which accept
    // holds; false if the program ended first or the bound passed.
    bool WaitForTrace(const std::function<bool(const std::string& line)>& accept);
    // Waits until the monitoring cycle reads the local temperature.
    bool WaitUntilMonitoring();
    // Waits (bounded) until done holds; false if the program ended first
    // (done is asked once more then) or the bound passed.
    bool WaitUntil(const std::function<bool()>& done);
    // Waits until the program's standard error holds text.
    bool WaitForError(const std::string& text);
    void Signal(int signalNumber);
    // Waits (bounded) for the end and collects what the program left.
    Outcome Finish();
    Outcome Run(Program program, const QStringList& arguments);

    // The board's request trace, one line per bridge call.
    std::vector<std::string> Trace() const;
    // MainLeft, MainTop, MainWidth, MainHeight as stored; empty where a key is missing.
    QStringList StoredPlacement() const;

private:
    QString ProgramPath(Program program) const;

    QTemporaryDir dir_;
    std::optional<Program> privateCopy_;
    QString privateFolder_;
    QStringList userActions_;
    bool withoutDisplay_ = false;
    std::unique_ptr<QProcess> process_;
    // Read as the program runs, so that a wait can look at it.
    std::string out_;
    std::string err_;
};

} // namespace qmt::scenario
