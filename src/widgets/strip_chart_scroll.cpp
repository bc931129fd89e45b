// How a following strip chart moves on: by whole pixel columns, scrolling
// what the screen already shows and drawing only the columns that changed.
// An idle program would otherwise spend most of its time drawing the whole
// chart for every sample.
#include "widgets/plot_raster.h"
#include "widgets/strip_chart.h"

#include <algorithm>

namespace qmt::widgets {

namespace {

bool operator==(const ValueRange& a, const ValueRange& b) {
    return a.low == b.low && a.high == b.high;
}

} // namespace

bool StripChart::GridFollows() const {
    return grid_.valid && timeWindow_.Following() && timeWindow_.Span() == grid_.span &&
           plotImage_.width() == paintedColumns_ &&
           imageColumns_.size() == static_cast<std::size_t>(paintedColumns_);
}

bool StripChart::GridHolds(const Layout& layout) const {
    return GridFollows() && layout.plot == grid_.plot && layout.band == grid_.band &&
           devicePixelRatioF() == 1.0;
}

int StripChart::FirstStaleColumn() const {
    // One column more: a lane's change marker reaches into its left neighbour.
    return std::max(grid_.staleFrom - 1, 0);
}

bool StripChart::ScrollOnGrid(double t) {
    if (!GridFollows()) {
        return false;
    }
    grid_.envelopesBuilt = false; // new samples
    const int columns = paintedColumns_;
    const long long column = paintedColumnTimes_.ColumnOf(t);
    const long long shift = column - (columns - 1);
    if (shift >= columns) {
        grid_.valid = false; // nothing on the screen is kept
        return false;
    }
    // The stroke or joint to a new sample starts at its trace's sample
    // before it, if that one is on the plot.
    long long from = column;
    for (const Trace& trace : traces_) {
        const TraceHistory& history = trace.history;
        if (trace.visible && history.Size() >= 2) {
            const long long previous =
                paintedColumnTimes_.ColumnOf(history.TimeAt(history.Size() - 2));
            from = previous >= 0 ? std::min(previous, from) : from;
        }
    }
    // Columns past the plot's edge wait for the scroll.
    grid_.staleFrom = static_cast<int>(std::clamp<long long>(from, 0, grid_.staleFrom));
    // New columns are shown a few at a time, a few times a second: the
    // scroll costs about as much for one column as for several. The column
    // still filling is shown within a second; the legend with the columns,
    // so that it costs no paint of its own.
    const double waited = t - grid_.shownUntil;
    const bool plotDue = shift > 0 ? waited >= ScrollWaitSeconds ||
                                         (shift >= ScrollStepColumns && waited >= ScrollPaceSeconds)
                                   : waited >= MaxStaleSeconds;
    if (!plotDue) {
        return true;
    }
    if (grid_.legendStale) {
        grid_.legendStale = false;
        update(grid_.legend);
    }
    if (shift > 0) {
        ShiftPlot(static_cast<int>(shift));
    }
    grid_.shownUntil = t;
    if (!StaleColumnsKeepScale()) {
        // The new samples move the value range: all is drawn again.
        update();
        return true;
    }
    grid_.requestedFrom = std::min(grid_.requestedFrom, FirstStaleColumn());
    update(StaleRect(grid_.requestedFrom));
    if (shift > 0) {
        update(grid_.timeLabels);
    }
    return true;
}

void StripChart::ShiftPlot(int columns) {
    for (Trace& trace : traces_) {
        if (trace.envelope.size() > static_cast<std::size_t>(columns)) {
            // A plain move: the columns that leave are not kept.
            std::copy(trace.envelope.begin() + columns, trace.envelope.end(),
                      trace.envelope.begin());
            std::fill(trace.envelope.end() - columns, trace.envelope.end(), EnvelopeColumn{});
        }
    }
    paintedColumnTimes_.first += columns;
    paintedRange_ = {paintedColumnTimes_.Start(0), paintedColumnTimes_.Start(paintedColumns_)};
    // The column that was filling has had its last samples since it was drawn.
    grid_.staleFrom = std::max(std::min(grid_.staleFrom, paintedColumns_ - 1) - columns, 0);
    grid_.requestedFrom = std::max(grid_.requestedFrom - columns, 0);
    // One scroll for the plot and the band under it. The plot's frame stays:
    // its left and right edges are left out (the band's first column, beside
    // the left one, is drawn again), its top and bottom are the same all along.
    const QRect& plot = grid_.plot;
    const int bottom = grid_.band.isEmpty() ? plot.bottom() : grid_.band.bottom();
    scroll(-columns, 0,
           QRect(QPoint(plot.left() + 1, plot.top()), QPoint(plot.right() - 1, bottom)));
    if (!grid_.band.isEmpty()) {
        update(QRect(plot.left(), grid_.band.top(), 1, grid_.band.height()));
    }
}

QRect StripChart::StaleRect(int from) const {
    const QRect& plot = grid_.plot;
    const int bottom = grid_.band.isEmpty() ? plot.bottom() : grid_.band.bottom();
    return {QPoint(plot.left() + from, plot.top()), QPoint(plot.right(), bottom)};
}

bool StripChart::StaleColumnsKeepScale() {
    const int columns = paintedColumns_;
    const int from = FirstStaleColumn();
    ColumnTimes times = paintedColumnTimes_;
    times.first += from;
    for (Trace& trace : traces_) {
        if (!trace.visible) {
            continue;
        }
        if (trace.envelope.size() != static_cast<std::size_t>(columns)) {
            return false; // shown since the last whole paint
        }
        BuildEnvelope(trace.history, times, columns - from, newColumns_);
        std::copy(newColumns_.begin(), newColumns_.end(), trace.envelope.begin() + from);
    }
    MeasureEnvelopes();
    grid_.envelopesBuilt = CurrentValueRange() == paintedValues_;
    return grid_.envelopesBuilt;
}

std::optional<int> StripChart::RenderStaleColumns(const Layout& layout) {
    const int columns = paintedColumns_;
    if (grid_.staleFrom >= columns) {
        return columns;
    }
    const int from = FirstStaleColumn();
    // Usually built when the scroll was asked for, with no sample since.
    if (!grid_.envelopesBuilt && !StaleColumnsKeepScale()) {
        return std::nullopt;
    }
    grid_.envelopesBuilt = false;
    grid_.staleFrom = columns;
    RenderColumns(from, columns, TicksFor(layout));
    return from;
}

} // namespace qmt::widgets
