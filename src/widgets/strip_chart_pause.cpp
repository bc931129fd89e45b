// What a paused live chart shows: a banner over the plot with the way back
// to the newest samples, and the legend's values labelled as live, since
// they keep coming while the plot stands still.
#include "widgets/strip_chart.h"

#include <QPainter>

namespace qmt::widgets {

namespace {

const QString PausedText = QStringLiteral("Paused");
const QString ResumeText = QStringLiteral("Resume");
const QString LiveText = QStringLiteral("live");
constexpr int Padding = 6;
constexpr int Inset = 8;
constexpr int Radius = 4;

} // namespace

void StripChart::SetLiveFeed(bool live) {
    liveFeed_ = live;
    update();
}

StripChart::PausedMarks StripChart::ComputePausedMarks(const Layout& layout) const {
    if (!liveFeed_ || timeWindow_.Following()) {
        return {};
    }
    const QFontMetrics metrics = fontMetrics();
    PausedMarks marks;
    // The label sits in the room left of the first legend entry.
    const int liveWidth = metrics.horizontalAdvance(LiveText);
    const int liveRight = layout.legend.left() + layout.legend.height() * 3 - Padding;
    marks.live =
        QRect(liveRight - liveWidth, layout.legend.top(), liveWidth, layout.legend.height());
    // The banner in the plot's top right corner, while the plot has room for it.
    const int height = metrics.height() + Padding;
    const int resumeWidth = metrics.horizontalAdvance(ResumeText) + 2 * Padding;
    const int width = Padding + metrics.horizontalAdvance(PausedText) + Padding + resumeWidth + 2;
    const QRect& plot = layout.plot;
    if (plot.width() < width + 2 * Inset || plot.height() < height + 2 * Inset) {
        return marks;
    }
    marks.banner = QRect(plot.right() - Inset - width, plot.top() + Inset, width, height + 4);
    marks.resume =
        QRect(marks.banner.right() - 1 - resumeWidth, marks.banner.top() + 2, resumeWidth, height);
    return marks;
}

QRect StripChart::ResumeRect() const {
    return ComputePausedMarks(ComputeLayout()).resume;
}

QRect StripChart::LiveLabelRect() const {
    return ComputePausedMarks(ComputeLayout()).live;
}

void StripChart::PaintPausedBanner(QPainter& painter, const PausedMarks& marks) const {
    if (marks.banner.isEmpty()) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QColor back = palette().color(QPalette::Window);
    back.setAlpha(230);
    painter.setPen(palette().color(QPalette::Mid));
    painter.setBrush(back);
    painter.drawRoundedRect(QRectF(marks.banner).adjusted(0.5, 0.5, -0.5, -0.5), Radius, Radius);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(marks.banner.adjusted(Padding, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     PausedText);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Highlight));
    painter.drawRoundedRect(marks.resume, Radius, Radius);
    painter.setPen(palette().color(QPalette::HighlightedText));
    painter.drawText(marks.resume, Qt::AlignCenter, ResumeText);
    painter.restore();
}

void StripChart::PaintLiveLabel(QPainter& painter, const QRect& live) const {
    if (live.isEmpty()) {
        return;
    }
    painter.save();
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawText(live, Qt::AlignRight | Qt::AlignVCenter, LiveText);
    painter.restore();
}

QString StripChart::PausedMarksToolTip(const QPoint& pos) const {
    const PausedMarks marks = ComputePausedMarks(ComputeLayout());
    if (marks.banner.contains(pos)) {
        return QStringLiteral("The plot stays where it was paused; Resume (or End) follows the "
                              "newest samples again");
    }
    if (marks.live.contains(pos)) {
        return QStringLiteral("The legend shows the newest values while the plot is paused");
    }
    return {};
}

} // namespace qmt::widgets
