#include "views/replay/replay_chart.h"

#include "model/number_text.h"
#include "widgets/chart_scale.h"
#include "widgets/strip_chart.h"

#include <algorithm>
#include <cmath>

namespace qmt::views {

namespace {

constexpr const char* TraceNames[] = {"Local", "Remote1", "Remote2"};

// The time between the last two lines, the gap left before the next run.
double LastInterval(const output::LogRun& run) {
    const std::size_t n = run.times.size();
    const double step = n >= 2 ? run.times[n - 1] - run.times[n - 2] : 0.0;
    return step > 0.0 ? step : 1.0;
}

} // namespace

void SetUpReplayChart(widgets::StripChart& chart) {
    chart.SetAxisCaption(QStringLiteral("Temperature (°C)"));
    chart.setToolTip(
        QStringLiteral("Drag the arrows at the edges of this graph to zoom in and out"));
    chart.SetNumberFormat(
        [](double value) { return model::PlainNumberText(static_cast<float>(value)); });
    // A run counts from its start and may last for days.
    chart.SetTimeFormat(&widgets::ElapsedLabel);
}

void ShowRuns(widgets::StripChart& chart, const std::vector<const output::LogRun*>& runs) {
    output::LogChannels shown{};
    double offset = 0.0;
    double first = 0.0;
    double last = 0.0;
    bool any = false;
    for (const output::LogRun* run : runs) {
        for (std::size_t c = 0; c < shown.size(); ++c) {
            shown[c] = shown[c] || run->channels[c];
            const std::vector<float>& values = run->values[c];
            for (std::size_t i = 0; i < values.size(); ++i) {
                if (!std::isnan(values[i])) {
                    chart.AddSampleAt(static_cast<int>(c), offset + run->times[i] - run->start,
                                      values[i]);
                }
            }
        }
        if (!run->times.empty()) {
            first = any ? first : offset + run->times.front() - run->start;
            last = std::max(last, offset + run->Duration());
            any = true;
            offset = last + LastInterval(*run);
        }
    }
    for (std::size_t c = 0; c < shown.size(); ++c) {
        const int index = static_cast<int>(c);
        const QString name = QLatin1String(TraceNames[c]);
        chart.SetTraceName(index, name);
        chart.SelectTrace(index + 1);
        chart.SetTraceCaption(shown[c] ? name : QString());
        chart.SelectVisibilityTrace(index);
        chart.SetTraceVisible(shown[c]);
    }
    const double span = std::max(last - first, widgets::TimeWindow::MinSpan);
    chart.timeWindow().Zoom(span / chart.timeWindow().Span(), last, span);
    chart.update();
}

} // namespace qmt::views
