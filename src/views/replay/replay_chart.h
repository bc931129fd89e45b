#pragma once

#include "output/log_reader.h"

#include <vector>

namespace qmt::widgets {
class StripChart;
}

namespace qmt::views {

// Sets up a strip chart like the live graph's (axis caption, tool tip,
// number texts), without a feed.
void SetUpReplayChart(widgets::StripChart& chart);

// Puts the runs' samples on an empty chart, one after the other: each run
// starts one of its line intervals after the previous one ended. Traces of
// channels that none of the runs logged are hidden and have no caption; the
// chart shows the whole of the runs.
void ShowRuns(widgets::StripChart& chart, const std::vector<const output::LogRun*>& runs);

} // namespace qmt::views
