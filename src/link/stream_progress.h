#pragma once

#include "link/connection_sequence.h"

#include <iosfwd>

namespace qmt::link {

// The connection sequence's stage and status texts, one per line, on a
// stream (standard error with --verbose); silent without one. There is no
// bar to draw.
class StreamProgress final : public ConnectionProgress {
public:
    explicit StreamProgress(std::ostream* stream) : stream_(stream) {}

    void ShowProgressControls() override {}
    void ShowStage(const std::string& text) override { Print(text); }
    int BarDesignWidth() const override { return 100; }
    int BarFullWidth() const override { return 100; }
    void SetBarWidth(double) override {}
    void ShowStatus(const std::string& text) override { Print(text); }
    void ProcessPendingEvents() override {}

private:
    void Print(const std::string& text);
    std::ostream* stream_;
};

} // namespace qmt::link
