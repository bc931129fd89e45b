#include "cli/cli_check_alerts.h"

#include "cli/cli_run.h"
#include "cli/cli_settings_files.h"
#include "files/register_keeper.h"
#include "link/alert_check.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <ostream>

namespace qmt::cli {

namespace {

// Waits in short slices, so that a stop request ends the wait soon.
constexpr int SliceMs = 20;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// Sleeps the wait away unless a stop is requested first; true when it was.
bool WaitOrStop(link::Clock& clock, int waitMs, const std::function<bool()>& stopRequested) {
    for (int left = waitMs; left > 0; left -= SliceMs) {
        if (stopRequested()) {
            return true;
        }
        clock.SleepMs(std::min(left, SliceMs));
    }
    return stopRequested();
}

} // namespace

std::string CheckReportJson(const model::CheckReport& report) {
    using model::CheckColumn;
    QJsonArray channels;
    for (int channel = 0; channel < model::CheckChannelCount; ++channel) {
        const auto cell = [&](CheckColumn column) {
            return QString(model::VerdictText(model::CellVerdict(report, channel, column)));
        };
        channels.append(QJsonObject{{"channel", model::CheckChannelName(channel)},
                                    {"high", cell(CheckColumn::High)},
                                    {"low", cell(CheckColumn::Low)},
                                    {"therm", cell(CheckColumn::Therm)},
                                    {"mask", cell(CheckColumn::Mask)}});
    }
    QJsonArray steps;
    for (const model::StepResult& result : report.steps) {
        steps.append(QJsonObject{{"step", Text(model::StepName(result.step))},
                                 {"verdict", model::VerdictText(result.verdict)},
                                 {"detail", Text(result.detail)}});
    }
    QJsonArray notRestored;
    for (const std::string& line : report.notRestored) {
        notRestored.append(Text(line));
    }
    const QJsonObject object{{"passed", model::CheckPassed(report)},
                             {"cancelled", report.cancelled},
                             {"linkLost", report.linkLost},
                             {"note", Text(report.note)},
                             {"notRestored", notRestored},
                             {"channels", channels},
                             {"steps", steps}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

int RunCheckAlerts(link::RegisterAccess& access, link::Clock& clock,
                   const std::function<bool()>& stopRequested, bool json, std::ostream& out,
                   std::ostream* progress) {
    model::RegMapStuff table;
    table.FillRegMap();
    link::PolledStatus status(access);
    files::SettingsKeeper keeper(table, access);
    link::AlertCheck check(access, status, keeper);
    while (const auto wait = check.Next()) {
        if (progress != nullptr) {
            *progress << check.StepsDone() << " of " << link::AlertCheck::StepCount()
                      << " steps done" << std::endl;
        }
        if (WaitOrStop(clock, *wait, stopRequested)) {
            check.Cancel();
        }
    }
    const model::CheckReport& report = check.Report();
    out << (json ? CheckReportJson(report) + "\n" : model::CheckReportText(report, '\t'));
    if (report.linkLost) {
        return ExitLinkFailure;
    }
    return model::CheckPassed(report) && !report.cancelled ? ExitDone : ExitCommandFailed;
}

} // namespace qmt::cli
