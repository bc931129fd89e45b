#pragma once

#include "core/monitoring_cycle.h"
#include "model/general_stuff.h"
#include "output/data_log.h"

#include <QObject>
#include <QString>

namespace qmt::views {

// The program's running log. It belongs to the main window, not to the
// logging window: logging goes on after that window is closed, with the
// log line as the monitoring cycle's fifth activity from start to stop.
// The status bar learns of every change through statusChanged.
class LogSession final : public QObject {
    Q_OBJECT

public:
    static constexpr const char* EnabledText = "Logging Enabled";
    static constexpr const char* ReadyText = "Ready";
    static constexpr const char* FailedText = "Log write failed";

    // The parent is the main window: when it closes, the program is ending
    // (also after a link failure, which ends it without unwinding), so the
    // lines written so far are flushed to disk then.
    LogSession(GeneralStuff& state, core::MonitoringCycle& cycle, QObject* parent = nullptr);
    // A log still running when the session goes is stopped and flushed.
    ~LogSession() override;
    LogSession(const LogSession&) = delete;
    LogSession& operator=(const LogSession&) = delete;

    // Writes the run's head to LogFilePath for LogChannel and starts
    // logging at the interval; returns the reason when the head could not
    // be written, in which case nothing has started.
    output::WriteOutcome Start(std::int32_t intervalMs);
    // Stops logging and flushes the file to disk.
    void Stop();
    // Activity 5: one data line from the current readings.
    void AppendLogLine();

    bool Running() const { return log_.Running(); }
    const output::DataLog& log() const { return log_; }

signals:
    // Text for the status bar's first panel, with a tool tip (the reason of
    // a failure, else empty).
    void statusChanged(const QString& text, const QString& toolTip);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowOutcome(const output::WriteOutcome& outcome, const char* text);

    GeneralStuff& state_;
    core::MonitoringCycle& cycle_;
    output::DataLog log_;
};

} // namespace qmt::views
