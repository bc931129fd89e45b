#include "widgets/chart_export.h"

#include "widgets/chart_scale.h"

#include <algorithm>
#include <limits>

namespace qmt::widgets {

namespace {

constexpr const char* LineEnd = "\r\n";

struct Cursor {
    std::size_t next;
    std::size_t end;
};

} // namespace

bool WriteChartCsv(std::ostream& out, const std::vector<ExportTrace>& traces, TimeRange range,
                   const NumberText& numberText) {
    out << "Time ,";
    std::vector<Cursor> cursors;
    cursors.reserve(traces.size());
    for (const ExportTrace& trace : traces) {
        out << trace.name << " ,";
        cursors.push_back(
            {trace.history->LowerBound(range.start), trace.history->UpperBound(range.end)});
    }
    out << LineEnd;
    // Merge the traces by time: each line takes every trace whose next
    // sample has the earliest time of all.
    for (;;) {
        double earliest = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < traces.size(); ++i) {
            if (cursors[i].next < cursors[i].end) {
                earliest = std::min(earliest, traces[i].history->TimeAt(cursors[i].next));
            }
        }
        if (earliest == std::numeric_limits<double>::infinity()) {
            break;
        }
        out << TimeStampText(earliest) << ',';
        for (std::size_t i = 0; i < traces.size(); ++i) {
            Cursor& cursor = cursors[i];
            const TraceHistory& history = *traces[i].history;
            if (cursor.next < cursor.end && history.TimeAt(cursor.next) == earliest) {
                out << numberText(static_cast<double>(history.ValueAt(cursor.next)));
                ++cursor.next;
            }
            out << ',';
        }
        out << LineEnd;
    }
    out.flush();
    return static_cast<bool>(out);
}

} // namespace qmt::widgets
