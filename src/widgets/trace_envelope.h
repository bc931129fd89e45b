#pragma once

#include "widgets/chart_window.h"
#include "widgets/trace_history.h"

#include <cstddef>
#include <vector>

namespace qmt::widgets {

// What one pixel column of a trace shows: the first and last sample that
// fall into it, joined to the neighbouring columns, and the smallest and
// largest, drawn as a vertical stroke.
struct EnvelopeColumn {
    bool filled = false;
    float first = 0.0f;
    float last = 0.0f;
    float min = 0.0f;
    float max = 0.0f;
};

// Folds the samples of [t0, t1] into `columns` equal time columns, reading the
// pyramid level whose buckets hold no more samples than a column does on
// average. The cost is O(columns + pyramid levels) whatever the length of the
// history, and every sample's value lies within the envelope of its own
// column or of the column its bucket started in (at most one column to the
// left for evenly spaced samples). `out` is reused between calls; returns the
// number of buckets read.
std::size_t BuildEnvelope(const TraceHistory& history, double t0, double t1, int columns,
                          std::vector<EnvelopeColumn>& out);

// The same on a column grid: column c holds [times.Start(c), times.Start(c + 1)).
std::size_t BuildEnvelope(const TraceHistory& history, const ColumnTimes& times, int columns,
                          std::vector<EnvelopeColumn>& out);

// The column of time t in [t0, t1] split into `columns`, clamped to the range.
int ColumnOf(double t, double t0, double t1, int columns);

} // namespace qmt::widgets
