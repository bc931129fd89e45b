#include "widgets/plot_raster.h"

#include <algorithm>
#include <cmath>

namespace qmt::widgets {

double PlotRow(double value, const ValueRange& values, int rows) {
    const double span = std::max(values.high - values.low, ValueWindow::MinSpan);
    return (values.high - value) / span * (rows - 1);
}

void RasterTrace(QImage& image, const std::vector<EnvelopeColumn>& envelope,
                 const ValueRange& values, QRgb colour, QList<QLine>& joints) {
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
    auto* const bits = reinterpret_cast<QRgb*>(image.bits());
    const qsizetype stride = image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    int previousColumn = -1;
    int previousLast = 0;
    for (int c = 0; c < columns; ++c) {
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
        } else if (joined) {
            joints.append(QLine(previousColumn, previousLast, c, row(column.first)));
        }
        for (int y = std::max(top, 0); y <= std::min(bottom, rows - 1); ++y) {
            bits[y * stride + c] = colour;
        }
        previousColumn = c;
        previousLast = row(column.last);
    }
}

void RasterRow(QImage& image, int row, QRgb colour) {
    if (row < 0 || row >= image.height()) {
        return;
    }
    auto* const line = reinterpret_cast<QRgb*>(image.scanLine(row));
    std::fill(line, line + image.width(), colour);
}

void RasterColumn(QImage& image, int column, QRgb colour) {
    if (column < 0 || column >= image.width()) {
        return;
    }
    for (int y = 0; y < image.height(); ++y) {
        reinterpret_cast<QRgb*>(image.scanLine(y))[column] = colour;
    }
}

} // namespace qmt::widgets
