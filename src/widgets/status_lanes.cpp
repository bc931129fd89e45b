#include "widgets/status_lanes.h"

#include "widgets/plot_raster.h"
#include "widgets/strip_chart.h"

#include <QMenu>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace qmt::widgets {

namespace {

// Changes within this many pixels of the mouse are in its tool tip.
constexpr int NearPixels = 3;
constexpr int MaxTipLines = 6;
const QColor BandColour(200, 40, 40);
const QColor MarkerColour(20, 20, 20);
const QColor UnknownColour(235, 235, 235);

} // namespace

StatusLanes::StatusLanes(QStringList names)
    : names_(std::move(names)), lanes_(static_cast<std::size_t>(names_.size())) {}

void StatusLanes::Record(int lane, double t, bool on, const QString& changeText) {
    LaneData& target = lanes_.at(static_cast<std::size_t>(lane));
    const std::size_t before = target.history.ChangeTimes().size();
    target.history.Record(t, on);
    if (target.history.ChangeTimes().size() > before) {
        target.texts.push_back(changeText);
    }
}

void StatusLanes::SetChangeText(int lane, double t, const QString& text) {
    LaneData& target = lanes_.at(static_cast<std::size_t>(lane));
    const std::vector<double>& times = target.history.ChangeTimes();
    if (!times.empty() && times.back() == t && !target.texts.empty()) {
        target.texts.back() = text;
    }
}

const LaneHistory& StatusLanes::Lane(int lane) const {
    return lanes_.at(static_cast<std::size_t>(lane)).history;
}

int StatusLanes::LaneHeight(const QFontMetrics& metrics) {
    return std::max(8, metrics.height() * 3 / 4);
}

QFont StatusLanes::NameFont(const QFont& chartFont) {
    QFont small = chartFont;
    small.setPixelSize(std::max(7, LaneHeight(QFontMetrics(chartFont)) - 1));
    return small;
}

int StatusLanes::LabelWidth(const QFont& chartFont) const {
    if (!shown_) {
        return 0;
    }
    const QFont font = NameFont(chartFont);
    if (namesWidth_ < 0 || font != widthFont_) {
        const QFontMetrics metrics(font);
        namesWidth_ = 0;
        for (const QString& name : names_) {
            namesWidth_ = std::max(namesWidth_, metrics.horizontalAdvance(name.simplified()));
        }
        widthFont_ = font;
    }
    return namesWidth_;
}

int StatusLanes::BandHeight(const QFontMetrics& metrics) const {
    return shown_ ? LaneCount() * LaneHeight(metrics) + 4 : 0;
}

void StatusLanes::PaintBand(QPainter& painter, const StripChart& chart, const QRect& band,
                            const QRect& plot, const QRect& exposed) const {
    const int lane = LaneHeight(chart.fontMetrics());
    const int top = band.top() + 2;
    const QRect names(band.left(), top, plot.left() - band.left() - 4, LaneCount() * lane);
    if (names.intersects(exposed)) {
        PaintNames(painter, chart, names);
    }
    const int from = std::clamp(exposed.left() - plot.left(), 0, plot.width());
    const int to = std::clamp(exposed.right() + 1 - plot.left(), 0, plot.width());
    if (from < to) {
        RenderLanes(chart, plot, lane, from, to);
        painter.drawImage(QPoint(plot.left() + from, top), lanesImage_,
                          QRect(from, 0, to - from, lanesImage_.height()));
    }
}

void StatusLanes::PaintNames(QPainter& painter, const StripChart& chart, const QRect& area) const {
    // Drawn once into an image: a dozen texts at every repaint would cost
    // more than the lanes themselves.
    const QFont font = NameFont(chart.font());
    const QString key =
        font.toString() + QStringLiteral("/%1x%2").arg(area.width()).arg(area.height());
    if (key != namesKey_) {
        namesKey_ = key;
        const qreal ratio = chart.devicePixelRatioF();
        namesImage_ =
            QImage((QSizeF(area.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        namesImage_.setDevicePixelRatio(ratio);
        namesImage_.fill(Qt::transparent);
        QPainter names(&namesImage_);
        names.setFont(font);
        names.setPen(chart.palette().color(QPalette::Text));
        const int lane = LaneHeight(chart.fontMetrics());
        for (int i = 0; i < LaneCount(); ++i) {
            names.drawText(QRect(0, i * lane, area.width(), lane),
                           Qt::AlignRight | Qt::AlignVCenter, names_.value(i).simplified());
        }
    }
    painter.drawImage(area.topLeft(), namesImage_);
}

void StatusLanes::RenderLanes(const StripChart& chart, const QRect& plot, int lane, int from,
                              int to) const {
    const int columns = plot.width();
    const QSize size(std::max(columns, 1), std::max(LaneCount() * lane, 1));
    if (lanesImage_.size() != size) {
        // The widget's own format, so drawing it is a plain copy.
        lanesImage_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    }
    // The chart's own columns, so that the lanes scroll with its pixels; at
    // a fractional pixel ratio the chart's columns are finer than these.
    ColumnTimes times = chart.PaintedColumns();
    if (chart.devicePixelRatioF() != 1.0) {
        const TimeRange range = chart.PaintedTimeRange();
        times = {range.start, (range.end - range.start) / std::max(columns, 1), 0};
    }
    const QRgb base = chart.palette().color(QPalette::Base).rgb();
    const QRgb unknown = UnknownColour.rgb();
    const QRgb band = BandColour.rgb();
    const QRgb marker = MarkerColour.rgb();
    const PixelRows pixels(lanesImage_);
    // A change marker is three pixels wide, so the columns either side are
    // read too, also those just off the plot, which a scrolled plot showed.
    const int first = from - 1;
    const auto changeAt = [this, first](int c) {
        return columns_[static_cast<std::size_t>(c - first)].change;
    };
    // Each lane is one row of pixels, worked out from its columns and then
    // copied down the lane: the cost follows the width, not the history.
    for (int i = 0; i < LaneCount(); ++i) {
        QRgb* row = pixels.Row(i * lane + 1);
        Lane(i).Columns(times, first, to + 1, columns_);
        for (int c = from; c < to; ++c) {
            const LaneColumn& column = columns_[static_cast<std::size_t>(c - first)];
            row[c] = changeAt(c - 1) || changeAt(c) || changeAt(c + 1) ? marker
                     : !column.known                                   ? unknown
                     : column.on                                       ? band
                                                                       : base;
        }
        std::fill(pixels.Row(i * lane) + from, pixels.Row(i * lane) + to, base);
        for (int r = 2; r < lane; ++r) {
            std::copy(row + from, row + to, pixels.Row(i * lane + r) + from);
        }
    }
}

QString StatusLanes::ToolTipAt(int lane, const TimeRange& painted, const QRect& plot, int x) const {
    if (lane < 0 || lane >= LaneCount() || plot.width() <= 0) {
        return {};
    }
    const double perPixel = (painted.end - painted.start) / plot.width();
    const double at = painted.start + (x - plot.left()) * perPixel;
    const LaneData& target = lanes_[static_cast<std::size_t>(lane)];
    const std::vector<double>& times = target.history.ChangeTimes();
    std::size_t i = target.history.FirstChangeFrom(at - NearPixels * perPixel);
    QStringList lines;
    int more = 0;
    for (; i < times.size() && times[i] <= at + NearPixels * perPixel; ++i) {
        if (lines.size() < MaxTipLines) {
            lines << target.texts[i];
        } else {
            ++more;
        }
    }
    if (more > 0) {
        lines << QStringLiteral("and %1 more").arg(more);
    }
    return lines.isEmpty() ? names_.value(lane).simplified() : lines.join(QLatin1Char('\n'));
}

QString StatusLanes::BandToolTip(const StripChart& chart, const QRect& band, const QRect& plot,
                                 const QPoint& pos) const {
    const int lane = (pos.y() - band.top() - 2) / LaneHeight(chart.fontMetrics());
    return ToolTipAt(lane, chart.PaintedTimeRange(), plot, pos.x());
}

void StatusLanes::AddMenuActions(QMenu& menu, StripChart& chart) {
    QAction* action = menu.addAction(QStringLiteral("Show status lanes"));
    action->setCheckable(true);
    action->setChecked(shown_);
    QObject::connect(action, &QAction::toggled, &chart, [this, &chart](bool on) {
        shown_ = on;
        chart.update();
        if (shownChanged_) {
            shownChanged_(on);
        }
    });
}

} // namespace qmt::widgets
