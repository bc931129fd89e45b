#include "views/graph/alert_timeline.h"

#include "core/application.h"
#include "link/channel_limits.h"
#include "output/event_log.h"
#include "widgets/strip_chart.h"

#include <QFile>

namespace qmt::views {

namespace {

QStringList LaneNames() {
    QStringList names;
    for (const model::AlertBit& bit : model::AlertBits) {
        names << QString::fromLatin1(bit.caption);
    }
    return names;
}

// Lanes are in the limits window's order.
int LaneOf(int indicator) {
    int lane = 0;
    for (const model::AlertBit& bit : model::AlertBits) {
        if (bit.indicator == indicator) {
            return lane;
        }
        ++lane;
    }
    return lane;
}

std::string TimeText(double t) {
    return widgets::TimeStampText(t);
}

} // namespace

AlertTimeline::AlertTimeline(core::Application& app, widgets::StripChart& chart)
    : app_(app), chart_(chart), lanes_(LaneNames()), limitLines_(QStringLiteral("Show limits")) {
    chart_.AddDecoration(&limitLines_);
    chart_.AddDecoration(&lanes_);
    app_.statusReader().SetListener([this](const core::StatusPoll& poll) {
        OnPoll(dayClock_.Unwrap(app_.clock().SecondsSinceMidnight()), poll);
    });
    app_.limitWrites().SetGraphReread([this] { MarkLimitsStale(); });
    app_.cycle().SetReadingListener([this] { OnReading(); });
    attached_ = true;
}

AlertTimeline::~AlertTimeline() {
    Detach();
    chart_.RemoveDecoration(&lanes_);
    chart_.RemoveDecoration(&limitLines_);
}

void AlertTimeline::Detach() {
    if (!attached_) {
        return;
    }
    attached_ = false;
    app_.statusReader().SetListener({});
    app_.limitWrites().SetGraphReread({});
    app_.cycle().SetReadingListener({});
}

void AlertTimeline::Feed() {
    if (limitsStale_) {
        ReadLimits();
    }
    app_.statusReader().Read();
}

void AlertTimeline::ReadLimits() {
    limitsStale_ = false;
    link::RegisterAccess& access = app_.access();
    for (int channel = 0; channel < model::AlertChannelCount; ++channel) {
        const link::ChannelLimits limits = link::ReadChannelLimits(access, channel);
        limits_[static_cast<std::size_t>(channel)] = {limits.low, limits.high, limits.therm};
        limitLines_.SetLevels(channel, {limits.low, limits.high, limits.therm});
    }
    hysteresis_ = access.ReadRegister(access.usb().DeviceAddress, link::ThermHysteresisRegister);
    limitsRead_ = true;
    chart_.update();
}

model::AlertContext AlertTimeline::Context() const {
    const GeneralStuff& state = app_.state();
    model::AlertContext context;
    context.alertCheck = state.AlertCheckRunning;
    context.channels[0].temperature = state.LocalTemp;
    context.channels[2].temperature = state.Remote2Temp;
    // While the shared registers show Remote 2 nothing of Remote 1 is read.
    if (!state.Remote2Selected) {
        context.channels[1].temperature = state.Remote1Temp;
    }
    if (limitsRead_) {
        context.channels[0].limits = limits_[0];
        context.channels[2].limits = limits_[2];
        if (!state.Remote2Selected) {
            context.channels[1].limits = limits_[1];
        }
        context.thermHysteresis = hysteresis_;
    }
    return context;
}

void AlertTimeline::OnReading() {
    const GeneralStuff& state = app_.state();
    model::AlertReading reading{state.LocalTemp, state.Remote1Temp, state.Remote2Temp};
    if (state.Remote2Selected) {
        reading[1].reset(); // the shared registers showed Remote 2
    }
    detector_.Reading(reading, released_);
    Publish();
}

void AlertTimeline::OnPoll(double t, const core::StatusPoll& poll) {
    // The limits window's poll may come before the graph's next feed.
    if (limitsStale_) {
        ReadLimits();
    }
    const auto states = model::AlertStates(poll.status1, poll.status2);
    // The previous poll's events that no reading followed come first: their
    // lane changes are the latest ones until this poll is recorded.
    detector_.Feed(t, states, Context(), released_);
    Publish();
    int lane = 0;
    for (const model::AlertBit& bit : model::AlertBits) {
        const model::AlertState& state = states[static_cast<std::size_t>(bit.indicator)];
        if (state) {
            lanes_.Record(lane, t, *state);
        }
        ++lane;
    }
}

void AlertTimeline::Publish() {
    if (released_.empty()) {
        return;
    }
    const std::size_t first = events_.size();
    for (const model::AlertEvent& event : released_) {
        events_.push_back(event);
        lanes_.SetChangeText(LaneOf(event.indicator), event.time, EventLine(event));
    }
    released_.clear();
    chart_.update();
    emit eventsAdded(static_cast<int>(first));
}

QString AlertTimeline::EventLine(const model::AlertEvent& event) {
    return QString::fromStdString(model::AlertEventLine(TimeText(event.time), event));
}

fsio::Outcome AlertTimeline::ExportEvents(const QString& path) const {
    return fsio::ReplaceFile(QFile::encodeName(path).toStdString(),
                             output::EventFileText(events_, &TimeText));
}

} // namespace qmt::views
