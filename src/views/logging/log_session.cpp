#include "views/logging/log_session.h"

#include <QEvent>
#include <QFile>

namespace qmt::views {

LogSession::LogSession(GeneralStuff& state, core::MonitoringCycle& cycle, QObject* parent)
    : QObject(parent), state_(state), cycle_(cycle), log_(state) {
    if (parent != nullptr) {
        parent->installEventFilter(this);
    }
}

LogSession::~LogSession() {
    if (Running()) {
        cycle_.ClearActivity(core::Activity::LogLine);
        log_.Stop();
    }
}

output::WriteOutcome LogSession::Start(std::int32_t intervalMs) {
    output::WriteOutcome outcome = log_.Start(intervalMs);
    if (!outcome.ok) {
        return outcome;
    }
    cycle_.SetActivity(
        core::Activity::LogLine, [this] { return state_.LoggingOn; },
        [this] { return static_cast<double>(state_.LoggingInterval); },
        [this] { AppendLogLine(); });
    emit statusChanged(QString::fromLatin1(EnabledText), QString());
    return outcome;
}

void LogSession::Stop() {
    cycle_.ClearActivity(core::Activity::LogLine);
    // A flush that fails may have cost lines already counted as written.
    ShowOutcome(log_.Stop(), ReadyText);
}

void LogSession::AppendLogLine() {
    const bool wasFailing = log_.Failing();
    const std::string previousError = log_.LastError();
    log_.AppendLogLine();
    if (log_.Failing() != wasFailing || log_.LastError() != previousError) {
        ShowOutcome({!log_.Failing(), log_.LastError()}, EnabledText);
    }
}

bool LogSession::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Close && Running()) {
        ShowOutcome(log_.Flush(), EnabledText);
    }
    return QObject::eventFilter(watched, event);
}

void LogSession::ShowOutcome(const output::WriteOutcome& outcome, const char* text) {
    if (outcome.ok) {
        emit statusChanged(QString::fromLatin1(text), QString());
    } else {
        const QString path = QFile::decodeName(state_.LogFilePath.c_str());
        emit statusChanged(QString::fromLatin1(FailedText),
                           path + QStringLiteral(": ") + QString::fromLocal8Bit(outcome.error));
    }
}

} // namespace qmt::views
