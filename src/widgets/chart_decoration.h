#pragma once

#include <QRect>
#include <QString>

class QFont;
class QFontMetrics;
class QMenu;
class QPainter;

namespace qmt::widgets {

class StripChart;

// Something drawn with the strip chart on its time axis: over the plot (lines
// at values) or in a band of its own between the plot and the time axis. The
// chart asks its decorations in the order they were added; they keep their
// own data, paint at a cost that does not grow with the history, and stay
// inside the rectangles they are given (nothing clips them).
class ChartDecoration {
public:
    virtual ~ChartDecoration() = default;

    // Pixels it wants left of the plot for its labels; 0 for none.
    virtual int LabelWidth(const QFont& /*chartFont*/) const { return 0; }
    // Pixels of band it wants under the plot; 0 for none.
    virtual int BandHeight(const QFontMetrics& /*metrics*/) const { return 0; }
    // Over the traces, clipped to the plot; like the band, drawn for the
    // columns' times.
    virtual void PaintPlot(QPainter& /*painter*/, const StripChart& /*chart*/,
                           const QRect& /*plot*/) const {}
    // The band: `band` spans the chart's width, `plot` gives the time axis's
    // columns. What is drawn at a column belongs to that column's time (see
    // StripChart::PaintedColumns); only `exposed` needs drawing.
    virtual void PaintBand(QPainter& /*painter*/, const StripChart& /*chart*/,
                           const QRect& /*band*/, const QRect& /*plot*/,
                           const QRect& /*exposed*/) const {}
    // The tool tip for a point of the band, empty for none.
    virtual QString BandToolTip(const StripChart& /*chart*/, const QRect& /*band*/,
                                const QRect& /*plot*/, const QPoint& /*pos*/) const {
        return {};
    }
    // Its items of the chart's right-click menu.
    virtual void AddMenuActions(QMenu& /*menu*/, StripChart& /*chart*/) {}
};

} // namespace qmt::widgets
