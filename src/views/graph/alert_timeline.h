#pragma once

#include "core/status_reader.h"
#include "fsio/replace_file.h"
#include "model/alert_events.h"
#include "widgets/chart_scale.h"
#include "widgets/level_lines.h"
#include "widgets/status_lanes.h"

#include <QObject>
#include <array>
#include <optional>
#include <vector>

namespace qmt::core {
class Application;
}
namespace qmt::widgets {
class StripChart;
}

namespace qmt::views {

// The graph's alert timeline: the channels' limits as dashed lines, the
// twelve status bits as lanes under the traces, and every change of a bit
// as an event with the temperature and limit of that moment. The status
// comes from the program's one status reader (shared with the limits
// window); the limits are read when the graph opens and again after any
// write of a limit or of the configuration, never polled. Each reading of the
// temperatures goes to the event detector, which judges a poll's events by
// the readings around it and hands them over at the reading after the poll.
class AlertTimeline : public QObject {
    Q_OBJECT

public:
    AlertTimeline(core::Application& app, widgets::StripChart& chart);
    ~AlertTimeline() override;

    // One graph feed: re-reads stale limits, then asks for the status (a
    // new poll arrives through OnPoll at most every 200 ms).
    void Feed();
    // The limits changed on the chip (or the range they decode in).
    void MarkLimitsStale() { limitsStale_ = true; }
    // A poll of the status registers, at chart time t.
    void OnPoll(double t, const core::StatusPoll& poll);
    // A fresh reading of the temperatures.
    void OnReading();
    // Stops listening to the program (the graph unloads).
    void Detach();

    const std::vector<model::AlertEvent>& Events() const { return events_; }
    const widgets::StatusLanes& Lanes() const { return lanes_; }
    const widgets::LevelLines& LimitLines() const { return limitLines_; }
    // The limits as last read, by channel (Local, shared remote, Remote2).
    const std::array<model::AlertLimits, model::AlertChannelCount>& Limits() const {
        return limits_;
    }
    // Replaces the file with the events as comma-separated text.
    fsio::Outcome ExportEvents(const QString& path) const;
    // The list's and the tool tip's text of an event, with its time.
    static QString EventLine(const model::AlertEvent& event);

signals:
    // Events [first, Events().size()) are new.
    void eventsAdded(int first);

private:
    void ReadLimits();
    model::AlertContext Context() const;
    // Takes the detector's events from released_ into the list and the lanes.
    void Publish();

    core::Application& app_;
    widgets::StripChart& chart_;
    widgets::DayClock dayClock_;
    widgets::StatusLanes lanes_;
    widgets::LevelLines limitLines_;
    model::AlertEventDetector detector_;
    std::vector<model::AlertEvent> events_;
    std::vector<model::AlertEvent> released_; // reused
    std::array<model::AlertLimits, model::AlertChannelCount> limits_{};
    std::optional<double> hysteresis_;
    bool limitsRead_ = false;
    bool limitsStale_ = true;
    bool attached_ = false;
};

} // namespace qmt::views
