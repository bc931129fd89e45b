#pragma once

#include "widgets/chart_window.h"
#include "widgets/trace_history.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace qmt::widgets {

struct ExportTrace {
    const TraceHistory* history = nullptr;
    std::string name;
};

// Number text of a value in exported data, chosen by the chart's owner.
using NumberText = std::function<std::string(double)>;

// Writes the samples of `range` as comma-separated text: a head line "Time ,"
// followed by "<name> ," per trace, then one line per distinct sample time,
// "hh:mm:ss.zzz," followed by each trace's value (or nothing, where that
// trace has no sample at that time) and a comma. Lines end in CR LF, like
// the program's log file. Returns whether the stream took everything.
bool WriteChartCsv(std::ostream& out, const std::vector<ExportTrace>& traces, TimeRange range,
                   const NumberText& numberText);

} // namespace qmt::widgets
