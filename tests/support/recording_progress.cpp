#include "support/recording_progress.h"

namespace qmt::test {

void RecordingProgress::ShowProgressControls() {
    ++controlsShown;
    Record(Kind::Controls, {}, 0.0);
}

void RecordingProgress::ShowStage(const std::string& text) {
    stages.push_back(text);
    Record(Kind::Stage, text, 0.0);
}

void RecordingProgress::SetBarWidth(double twips) {
    barWidths.push_back(twips);
    Record(Kind::Bar, {}, twips);
}

void RecordingProgress::ShowStatus(const std::string& text) {
    statuses.push_back(text);
    Record(Kind::Status, text, 0.0);
}

void RecordingProgress::ProcessPendingEvents() {
    ++eventPumps;
    Record(Kind::EventPump, {}, 0.0);
}

double RecordingProgress::StageShownAt(const std::string& text) const {
    for (const auto& event : events) {
        if (event.kind == Kind::Stage && event.text == text) {
            return event.at;
        }
    }
    return -1.0;
}

void RecordingProgress::Record(Kind kind, const std::string& text, double width) {
    events.push_back({kind, text, width, clock_ != nullptr ? clock_->SecondsSinceMidnight() : 0.0});
}

} // namespace qmt::test
