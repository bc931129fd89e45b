#include "widgets/gauge_scale.h"

#include <algorithm>
#include <cmath>

namespace qmt::widgets {

double GaugeUpperEnd(double lower, double limit, std::initializer_list<double> values) {
    const double highest = std::max(values, [](double a, double b) {
        // A value that is not a number holds no place on the scale.
        return std::isnan(a) || (!std::isnan(b) && a < b);
    });
    for (const double span : GaugeSpans) {
        const double upper = lower + span;
        if (upper >= limit) {
            break;
        }
        if (std::isnan(highest) || highest <= upper - span * GaugeTopMargin) {
            return upper;
        }
    }
    return limit;
}

QString PointerValueText(double value) {
    // Limits sit on a grid of quarter degrees, so two decimals say all.
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(QLatin1Char('0'))) {
        text.chop(1);
    }
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

QString PointerReadoutLine(double low, double high, double therm) {
    return QStringLiteral("L %1  H %2  T %3")
        .arg(PointerValueText(low), PointerValueText(high), PointerValueText(therm));
}

int PointerReadoutLines(const QFontMetricsF& metrics, double width) {
    const QString longest = PointerReadoutLine(-64.75, 255.75, 255.75);
    return metrics.horizontalAdvance(longest) <= width ? 1 : 3;
}

} // namespace qmt::widgets
