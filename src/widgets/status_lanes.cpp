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
    const QFontMetrics metrics(NameFont(chartFont));
    int width = 0;
    for (const QString& name : names_) {
        width = std::max(width, metrics.horizontalAdvance(name.simplified()));
    }
    return width;
}

int StatusLanes::BandHeight(const QFontMetrics& metrics) const {
    return shown_ ? LaneCount() * LaneHeight(metrics) + 4 : 0;
}

void StatusLanes::PaintBand(QPainter& painter, const StripChart& chart, const QRect& band,
                            const QRect& plot) const {
    const TimeRange time = chart.PaintedTimeRange();
    const int lane = LaneHeight(chart.fontMetrics());
    painter.setFont(NameFont(chart.font()));
    const int columns = plot.width();
    for (int i = 0; i < LaneCount(); ++i) {
        const int top = band.top() + 2 + i * lane;
        painter.setPen(chart.palette().color(QPalette::Text));
        painter.drawText(QRect(band.left(), top, plot.left() - band.left() - 4, lane),
                         Qt::AlignRight | Qt::AlignVCenter, names_.value(i).simplified());
        painter.fillRect(QRect(plot.left(), top, plot.width(), lane - 1), UnknownColour);
        Lane(i).Columns(time.start, time.end, columns, columns_);
        // Runs of equal columns are filled at once.
        int c = 0;
        while (c < columns) {
            const LaneColumn& first = columns_[static_cast<std::size_t>(c)];
            int end = c + 1;
            while (end < columns && columns_[static_cast<std::size_t>(end)].on == first.on &&
                   columns_[static_cast<std::size_t>(end)].known == first.known) {
                ++end;
            }
            if (first.known) {
                painter.fillRect(QRect(plot.left() + c, top + 1, end - c, lane - 2),
                                 first.on ? BandColour : chart.palette().color(QPalette::Base));
            }
            c = end;
        }
        for (c = 0; c < columns; ++c) {
            if (columns_[static_cast<std::size_t>(c)].change) {
                const int x = plot.left() + c;
                painter.fillRect(QRect(x - 1, top, 3, lane - 1), MarkerColour);
            }
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
