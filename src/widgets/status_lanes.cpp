#include "widgets/status_lanes.h"

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
                            const QRect& plot) const {
    const int lane = LaneHeight(chart.fontMetrics());
    const int top = band.top() + 2;
    PaintNames(painter, chart,
               QRect(band.left(), top, plot.left() - band.left() - 4, LaneCount() * lane));
    RenderLanes(chart, plot.width(), lane);
    painter.drawImage(plot.left(), top, lanesImage_);
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

void StatusLanes::RenderLanes(const StripChart& chart, int columns, int lane) const {
    const QSize size(std::max(columns, 1), std::max(LaneCount() * lane, 1));
    if (lanesImage_.size() != size) {
        // The widget's own format, so drawing it is a plain copy.
        lanesImage_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    }
    const TimeRange time = chart.PaintedTimeRange();
    const QRgb base = chart.palette().color(QPalette::Base).rgb();
    const QRgb unknown = UnknownColour.rgb();
    const QRgb band = BandColour.rgb();
    const QRgb marker = MarkerColour.rgb();
    const auto width = static_cast<std::size_t>(size.width());
    uchar* bits = lanesImage_.bits();
    const auto stride = static_cast<std::size_t>(lanesImage_.bytesPerLine());
    const auto rowAt = [bits, stride](int y) {
        return reinterpret_cast<QRgb*>(bits + static_cast<std::size_t>(y) * stride);
    };
    // Each lane is one row of pixels, worked out from its columns and then
    // copied down the lane: the cost follows the width, not the history.
    for (int i = 0; i < LaneCount(); ++i) {
        QRgb* row = rowAt(i * lane + 1);
        Lane(i).Columns(time.start, time.end, columns, columns_);
        const std::size_t filled = std::min(width, columns_.size());
        for (std::size_t c = 0; c < filled; ++c) {
            const LaneColumn& column = columns_[c];
            row[c] = !column.known ? unknown : column.on ? band : base;
        }
        for (std::size_t c = 0; c < filled; ++c) {
            if (columns_[c].change) {
                // A marker three pixels wide.
                row[c > 0 ? c - 1 : c] = marker;
                row[c] = marker;
                row[c + 1 < width ? c + 1 : c] = marker;
                ++c;
            }
        }
        std::fill_n(rowAt(i * lane), width, base);
        for (int r = 2; r < lane; ++r) {
            std::copy_n(row, width, rowAt(i * lane + r));
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
