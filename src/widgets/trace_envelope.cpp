#include "widgets/trace_envelope.h"

#include <algorithm>
#include <cmath>

namespace qmt::widgets {

namespace {

// The highest pyramid level whose buckets hold at most `samplesPerColumn`.
std::size_t LevelFor(std::size_t samplesPerColumn) {
    std::size_t level = 0;
    while (TraceHistory::BucketSize(level + 1) <= samplesPerColumn) {
        ++level;
    }
    return level;
}

} // namespace

int ColumnOf(double t, double t0, double t1, int columns) {
    if (columns <= 0 || t1 <= t0) {
        return 0;
    }
    const double x = std::floor((t - t0) / (t1 - t0) * columns);
    return static_cast<int>(std::clamp(x, 0.0, static_cast<double>(columns - 1)));
}

namespace {

// Folds the samples of [t0, t1] into `columns`, each bucket into the column
// `columnOf` gives its time (clamped to the plot).
template <typename ColumnOfTime>
std::size_t Fold(const TraceHistory& history, double t0, double t1, int columns,
                 std::vector<EnvelopeColumn>& out, ColumnOfTime columnOf) {
    out.assign(static_cast<std::size_t>(std::max(columns, 0)), EnvelopeColumn{});
    if (columns <= 0 || !(t1 > t0)) {
        return 0;
    }
    const std::size_t begin = history.LowerBound(t0);
    const std::size_t end = history.UpperBound(t1);
    if (begin >= end) {
        return 0;
    }
    const std::size_t level = LevelFor((end - begin) / static_cast<std::size_t>(columns));
    std::size_t buckets = 0;
    EnvelopeColumn* current = nullptr;
    float lastValue = 0.0f;
    history.VisitBuckets(begin, end, level, [&](const Bucket& bucket) {
        ++buckets;
        const long long index = std::clamp<long long>(columnOf(bucket.time), 0, columns - 1);
        EnvelopeColumn& column = out[static_cast<std::size_t>(index)];
        if (&column != current) {
            if (current != nullptr) {
                current->last = lastValue;
            }
            current = &column;
            if (!column.filled) {
                column = {true, bucket.firstValue, 0.0f, bucket.range.min, bucket.range.max};
            }
        }
        column.min = std::min(column.min, bucket.range.min);
        column.max = std::max(column.max, bucket.range.max);
        lastValue = bucket.lastValue;
    });
    current->last = lastValue;
    return buckets;
}

} // namespace

std::size_t BuildEnvelope(const TraceHistory& history, double t0, double t1, int columns,
                          std::vector<EnvelopeColumn>& out) {
    return Fold(history, t0, t1, columns, out,
                [=](double t) { return ColumnOf(t, t0, t1, columns); });
}

std::size_t BuildEnvelope(const TraceHistory& history, const ColumnTimes& times, int columns,
                          std::vector<EnvelopeColumn>& out) {
    return Fold(history, times.Start(0), times.Start(columns), columns, out,
                [&times](double t) { return times.ColumnOf(t); });
}

} // namespace qmt::widgets
