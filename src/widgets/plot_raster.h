#pragma once

#include "widgets/chart_window.h"
#include "widgets/trace_envelope.h"

#include <QImage>
#include <QLine>
#include <QList>
#include <limits>
#include <vector>

// Pixel-level drawing of the strip chart's plot into an image of
// Format_RGB32, one envelope column per pixel column. Writing the pixels
// directly costs a fraction of a painter's line drawing for the tall
// strokes of a zoomed-out view, so the repaint stays near the cost of a
// short history however busy the data.
namespace qmt::widgets {

// The pixels of a 32-bit image row by row, the image detached once for all
// of them: scanLine() detaches at every call, once a row in a loop.
class PixelRows {
public:
    explicit PixelRows(QImage& image)
        : first_(reinterpret_cast<QRgb*>(image.bits())),
          stride_(image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb))) {}
    QRgb* Row(int y) const { return first_ + y * stride_; }

private:
    QRgb* first_;
    qsizetype stride_;
};

// The pixel row of a value: `values.high` on row 0, `values.low` on the last row.
double PlotRow(double value, const ValueRange& values, int rows);

// Per column one vertical run from the smallest to the largest value, joined
// to the last value of the column before. Joints across empty columns (a
// zoomed-in view, a pause in the samples) are added to `joints` for the
// caller to draw as lines. Only columns from `from` to `to` (not included)
// are drawn, and the joints that cross them (for the caller to clip); the
// columns either side are read for what the drawn ones join.
void RasterTrace(QImage& image, const std::vector<EnvelopeColumn>& envelope,
                 const ValueRange& values, QRgb colour, QList<QLine>& joints, int from = 0,
                 int to = std::numeric_limits<int>::max());

// A row from column `from` to `to` (not included).
void RasterRow(QImage& image, int row, QRgb colour, int from = 0,
               int to = std::numeric_limits<int>::max());
void RasterColumn(QImage& image, int column, QRgb colour);

} // namespace qmt::widgets
