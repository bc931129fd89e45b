#pragma once

#include "link/clock.h"
#include "link/connection_sequence.h"

#include <string>
#include <vector>

namespace qmt::test {

// Records what the connection sequence shows, in order. Give it a clock to
// stamp each event with the clock's seconds since midnight (0 otherwise).
// The bar's design width is 4815 twips (a step of 48) and its full width
// 4935, unless set before the run.
//
//   RecordingProgress progress(&clock);
//   sequence.Run();
//   progress.stages;        // "Downloading Firmware...", "Enumerating...", ...
//   progress.barWidths;     // 0, 1584, 1608, ... 2400, 3648, 4935
//   progress.eventPumps;    // one per connect attempt
class RecordingProgress final : public link::ConnectionProgress {
public:
    enum class Kind { Controls, Stage, Bar, Status, EventPump };
    struct Event {
        Kind kind;
        std::string text; // stage or status text
        double width;     // bar width
        double at;        // clock when it happened
    };

    explicit RecordingProgress(link::Clock* clock = nullptr) : clock_(clock) {}

    void ShowProgressControls() override;
    void ShowStage(const std::string& text) override;
    int BarDesignWidth() const override { return designWidth; }
    int BarFullWidth() const override { return fullWidth; }
    void SetBarWidth(double twips) override;
    void ShowStatus(const std::string& text) override;
    void ProcessPendingEvents() override;

    // Stamp of the first event showing this stage text; -1 if never shown.
    double StageShownAt(const std::string& text) const;

    int designWidth = 4815;
    int fullWidth = 4935;

    std::vector<Event> events;
    std::vector<std::string> stages;
    std::vector<double> barWidths;
    std::vector<std::string> statuses;
    int controlsShown = 0;
    int eventPumps = 0;

private:
    void Record(Kind kind, const std::string& text, double width);
    link::Clock* clock_;
};

} // namespace qmt::test
