#include "widgets/plot_raster.h"

#include <algorithm>
#include <cmath>

namespace qmt::widgets {

double PlotRow(double value, const ValueRange& values, int rows) {
    const double span = std::max(values.high - values.low, ValueWindow::MinSpan);
    return (values.high - value) / span * (rows - 1);
}

void RasterTrace(QImage& image, const std::vector<EnvelopeColumn>& envelope,
                 const ValueRange& values, QRgb colour, QList<QLine>& joints, int from, int to) {
    const int rows = image.height();
    const int columns = std::min(image.width(), static_cast<int>(envelope.size()));
    if (rows <= 0 || columns <= 0) {
        return;
    }
    // Far-off values are held near the image so that no row number overflows.
    const auto row = [&](float value) {
        const double y = PlotRow(static_cast<double>(value), values, rows);
        return static_cast<int>(std::lround(std::clamp(y, -1.0 * rows, 2.0 * rows)));
    };
    const PixelRows pixels(image);
    // Drawing starts at the last filled column before `from`, which the
    // first drawn column joins.
    int start = std::min(from, columns) - 1;
    while (start >= 0 && !envelope[static_cast<std::size_t>(start)].filled) {
        --start;
    }
    int previousColumn = -1;
    int previousLast = 0;
    for (int c = start >= 0 ? start : std::max(from, 0); c < columns; ++c) {
        const EnvelopeColumn& column = envelope[static_cast<std::size_t>(c)];
        if (!column.filled) {
            continue;
        }
        int top = row(column.max);
        int bottom = row(column.min);
        const bool joined = previousColumn >= 0; // the first column has nothing to join
        if (joined && previousColumn == c - 1) {
            top = std::min(top, previousLast);
            bottom = std::max(bottom, previousLast);
        } else if (joined && c >= from && previousColumn < to) {
            joints.append(QLine(previousColumn, previousLast, c, row(column.first)));
        }
        if (c >= to) {
            break; // the joint into the range's last columns is known
        }
        previousColumn = c;
        previousLast = row(column.last);
        if (c < from) {
            continue;
        }
        for (int y = std::max(top, 0); y <= std::min(bottom, rows - 1); ++y) {
            pixels.Row(y)[c] = colour;
        }
    }
}

void RasterRow(QImage& image, int row, QRgb colour, int from, int to) {
    to = std::min(to, image.width());
    from = std::max(from, 0);
    if (row < 0 || row >= image.height() || from >= to) {
        return;
    }
    auto* const line = reinterpret_cast<QRgb*>(image.scanLine(row));
    std::fill(line + from, line + to, colour);
}

void RasterColumn(QImage& image, int column, QRgb colour) {
    if (column < 0 || column >= image.width()) {
        return;
    }
    const PixelRows pixels(image);
    for (int y = 0; y < image.height(); ++y) {
        pixels.Row(y)[column] = colour;
    }
}

} // namespace qmt::widgets
