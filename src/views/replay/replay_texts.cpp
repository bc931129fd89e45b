#include "views/replay/replay_texts.h"

#include <algorithm>
#include <cmath>

namespace qmt::views {

namespace {

constexpr const char* ChannelNames[] = {"Local", "Remote1", "Remote2"};

} // namespace

QString DurationText(double seconds) {
    const auto ms = static_cast<std::int64_t>(std::llround(std::max(seconds, 0.0) * 1000.0));
    const std::int64_t wholeSeconds = ms / 1000;
    QString text = QStringLiteral("%1:%2:%3")
                       .arg(wholeSeconds / 3600)
                       .arg(wholeSeconds / 60 % 60, 2, 10, QLatin1Char('0'))
                       .arg(wholeSeconds % 60, 2, 10, QLatin1Char('0'));
    if (ms % 1000 != 0) {
        QString fraction = QStringLiteral("%1").arg(ms % 1000, 3, 10, QLatin1Char('0'));
        while (fraction.endsWith(QLatin1Char('0'))) {
            fraction.chop(1);
        }
        text += QLatin1Char('.') + fraction;
    }
    return text;
}

QString DamagedText(std::int64_t lines) {
    if (lines <= 0) {
        return {};
    }
    return lines == 1 ? QStringLiteral("1 line could not be read")
                      : QStringLiteral("%1 lines could not be read").arg(lines);
}

QString TimeBreakText(std::int64_t runs) {
    if (runs <= 0) {
        return {};
    }
    return runs == 1 ? QStringLiteral("1 run starts where the time went back or jumped")
                     : QStringLiteral("%1 runs start where the time went back or jumped").arg(runs);
}

QString RunText(const output::LogRun& run, int number) {
    QStringList channels;
    for (std::size_t i = 0; i < run.channels.size(); ++i) {
        if (run.channels[i]) {
            channels << QLatin1String(ChannelNames[i]);
        }
    }
    const QString line = QString::number(run.firstLine) +
                         (run.startsAtTimeBreak ? QStringLiteral(" (time break)") : QString());
    return QStringLiteral("Run %1: line %2, %3 lines, %4, %5")
        .arg(number)
        .arg(line)
        .arg(run.Lines())
        .arg(DurationText(run.Duration()), channels.join(QLatin1Char(' ')));
}

QStringList RunChoices(const std::vector<output::LogRun>& runs) {
    QStringList choices{QStringLiteral("All %1 runs").arg(runs.size())};
    for (std::size_t i = 0; i < runs.size(); ++i) {
        choices << RunText(runs[i], static_cast<int>(i) + 1);
    }
    return choices;
}

} // namespace qmt::views
