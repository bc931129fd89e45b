#include "cli/cli_events.h"

#include "link/channel_limits.h"
#include "output/event_log.h"
#include "output/log_format.h"

#include <ostream>

namespace qmt::cli {

output::WriteOutcome EventRecorder::Start() {
    for (int channel = 0; channel < model::AlertChannelCount; ++channel) {
        const link::ChannelLimits limits = link::ReadChannelLimits(access_, channel);
        limits_[static_cast<std::size_t>(channel)] = {limits.low, limits.high, limits.therm};
    }
    hysteresis_ = access_.ReadRegister(access_.usb().DeviceAddress, link::ThermHysteresisRegister);
    return output::AppendToFile(file_, Head());
}

std::string EventRecorder::Head() {
    std::string head(output::LogLineEnd);
    head += output::EventHeaderLine();
    head += output::LogLineEnd;
    return head;
}

model::AlertContext EventRecorder::Context() const {
    const GeneralStuff& state = access_.state();
    model::AlertContext context;
    context.channels[0] = {state.LocalTemp, limits_[0]};
    context.channels[2] = {state.Remote2Temp, limits_[2]};
    // While the shared registers show Remote 2 nothing of Remote 1 is read.
    if (!state.Remote2Selected) {
        context.channels[1] = {state.Remote1Temp, limits_[1]};
    }
    context.thermHysteresis = hysteresis_;
    return context;
}

void EventRecorder::AfterLine(std::int64_t runUs, const std::string& timeText, std::ostream& err) {
    const GeneralStuff& state = access_.state();
    model::AlertReading reading{state.LocalTemp, state.Remote1Temp, state.Remote2Temp};
    if (state.Remote2Selected) {
        reading[1].reset(); // the shared registers showed Remote 2
    }
    detector_.Reading(reading, events_);
    WriteEvents(err);
    if (lastPollUs_ && runUs - *lastPollUs_ < PollIntervalUs) {
        return;
    }
    lastPollUs_ = runUs;
    const auto status1 = access_.PollStatusRegister(model::StatusRegister1);
    const auto status2 = access_.PollStatusRegister(model::StatusRegister2);
    detector_.Feed(static_cast<double>(runUs) / 1e6, model::AlertStates(status1, status2),
                   Context(), events_);
    WriteEvents(err);
    lastPollTime_ = timeText;
}

void EventRecorder::Finish(std::ostream& err) {
    detector_.Flush(events_);
    WriteEvents(err);
}

void EventRecorder::WriteEvents(std::ostream& err) {
    for (const model::AlertEvent& event : events_) {
        std::string line = output::EventDataLine(lastPollTime_, event);
        line += output::LogLineEnd;
        const output::WriteOutcome outcome = output::AppendToFile(file_, line, Head());
        if (outcome.ok) {
            ++written_;
        } else {
            if (lost_ == 0) {
                err << "qmtctl: event write failed: " << outcome.error << '\n';
            }
            ++lost_;
        }
    }
    events_.clear();
}

} // namespace qmt::cli
