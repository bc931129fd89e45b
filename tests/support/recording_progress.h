#pragma once

#include "link/connection_sequence.h"

#include <string>
#include <vector>

namespace qmt::test {

// Records what the connection sequence shows. The bar's full width is 4935
// twips; its design width (a step is a hundredth of it) can be set.
class RecordingProgress final : public link::ConnectionProgress {
public:
    void ShowProgressControls() override {}
    void ShowStage(const std::string& text) override { stages.push_back(text); }
    int BarDesignWidth() const override { return designWidth; }
    int BarFullWidth() const override { return 4935; }
    void SetBarWidth(double twips) override { barWidths.push_back(twips); }
    void ShowStatus(const std::string&) override {}
    void ProcessPendingEvents() override {}

    int designWidth = 4815;
    std::vector<std::string> stages;
    std::vector<double> barWidths;
};

} // namespace qmt::test
