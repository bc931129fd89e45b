#include "widgets/strip_chart.h"

#include <QTime>
#include <algorithm>

namespace qmt::widgets {

namespace {

// Samples of different traces closer together than this share a time stamp.
constexpr double SameStampSeconds = 0.001;

int Index(int i) {
    return std::clamp(i, 0, StripChart::TraceCount - 1);
}

} // namespace

StripChart::StripChart(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (int i = 0; i < TraceCount; ++i) {
        traces_[static_cast<std::size_t>(i)].name = QStringLiteral("Trace %1").arg(i + 1);
    }
}

StripChart::~StripChart() = default;

void StripChart::SetTimeSource(TimeSource source) {
    timeSource_ = std::move(source);
}

void StripChart::SetNumberFormat(NumberFormat format) {
    numberFormat_ = std::move(format);
}

void StripChart::SetTimeFormat(NumberFormat format) {
    timeFormat_ = std::move(format);
    timeLabels_.Clear();
}

void StripChart::SetAxisCaption(const QString& caption) {
    axisCaption_ = caption;
    update();
}

double StripChart::Now() const {
    const double secondsOfDay =
        timeSource_ ? timeSource_() : QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
    return dayClock_.Unwrap(secondsOfDay);
}

void StripChart::AddSample(int index, double value) {
    const std::size_t slot = static_cast<std::size_t>(Index(index));
    double t = Now();
    if (stampValid_ && !stampUsed_[slot] && t - stampTime_ < SameStampSeconds) {
        t = stampTime_;
    } else {
        stampTime_ = t;
        stampUsed_.fill(false);
        stampValid_ = true;
    }
    stampUsed_[slot] = true;
    traces_[slot].history.Append(t, static_cast<float>(value));
    if (traces_[slot].visible) {
        ShowNewSamples(t);
    }
}

void StripChart::AddSamples(const std::array<double, TraceCount>& values) {
    const double t = Now();
    stampTime_ = t;
    stampUsed_.fill(true);
    stampValid_ = true;
    for (std::size_t slot = 0; slot < traces_.size(); ++slot) {
        traces_[slot].history.Append(t, static_cast<float>(values[slot]));
    }
    ShowNewSamples(t);
}

void StripChart::ShowNewSamples(double t) {
    if (timeWindow_.Following() && Seen() && !ScrollOnGrid(t) && ScrolledSincePaint(t)) {
        update();
    }
}

void StripChart::AddSampleAt(int index, double time, double value) {
    traces_[static_cast<std::size_t>(Index(index))].history.Append(time, static_cast<float>(value));
}

bool StripChart::Seen() const {
    if (!isVisible()) {
        return false;
    }
    for (const QWidget* widget = this; widget != nullptr; widget = widget->parentWidget()) {
        if (widget->isMinimized()) {
            return false;
        }
    }
    return true;
}

bool StripChart::ScrolledSincePaint(double latest) const {
    // Repainting for less than a pixel of movement only burns CPU; the
    // legend shows the newest values meanwhile. Never staler than a second.
    if (paintedColumns_ <= 0) {
        return true;
    }
    const double column = timeWindow_.Span() / paintedColumns_;
    return latest - paintedRange_.end >= std::min(column, MaxStaleSeconds);
}

void StripChart::SelectTrace(int number) {
    selectedTrace_ = Index(number - 1) + 1;
}

void StripChart::SetTraceCaption(const QString& caption) {
    Trace& trace = traces_[static_cast<std::size_t>(selectedTrace_ - 1)];
    if (trace.caption != caption) {
        trace.caption = caption;
        trace.captionWidth = -1;
        if (GridFollows() && Now() - LatestTime() < MaxStaleSeconds) {
            // Samples are coming: shown with the next ones.
            grid_.legendStale = true;
        } else if (Seen()) {
            update(ComputeLayout().legend);
        }
    }
}

QString StripChart::TraceCaption(int number) const {
    return traces_[static_cast<std::size_t>(Index(number - 1))].caption;
}

void StripChart::SelectVisibilityTrace(int index) {
    visibilityTrace_ = Index(index);
}

void StripChart::SetTraceVisible(bool visible) {
    traces_[static_cast<std::size_t>(visibilityTrace_)].visible = visible;
    update();
}

bool StripChart::TraceVisible(int index) const {
    return traces_[static_cast<std::size_t>(Index(index))].visible;
}

void StripChart::SetTraceName(int index, const QString& name) {
    traces_[static_cast<std::size_t>(Index(index))].name = name;
}

const TraceHistory& StripChart::History(int index) const {
    return traces_[static_cast<std::size_t>(Index(index))].history;
}

double StripChart::LatestTime() const {
    bool any = false;
    double latest = 0.0;
    for (const Trace& trace : traces_) {
        if (!trace.history.Empty()) {
            const double last = trace.history.TimeAt(trace.history.Size() - 1);
            latest = any ? std::max(latest, last) : last;
            any = true;
        }
    }
    return any ? latest : Now();
}

double StripChart::EarliestTime() const {
    bool any = false;
    double earliest = 0.0;
    for (const Trace& trace : traces_) {
        if (!trace.history.Empty()) {
            const double first = trace.history.TimeAt(0);
            earliest = any ? std::min(earliest, first) : first;
            any = true;
        }
    }
    return any ? earliest : LatestTime();
}

TimeRange StripChart::VisibleTimeRange() const {
    return timeWindow_.Range(LatestTime());
}

ValueRange StripChart::CurrentValueRange() const {
    return valueWindow_.Range(dataLow_, dataHigh_, hasData_);
}

void StripChart::PauseScrolling() {
    timeWindow_.Pause(LatestTime());
    update();
}

void StripChart::ResumeScrolling() {
    timeWindow_.Resume();
    update();
}

QString StripChart::NumberText(double value) const {
    return numberFormat_ ? QString::fromStdString(numberFormat_(value))
                         : QString::number(value, 'g', 7);
}

} // namespace qmt::widgets
