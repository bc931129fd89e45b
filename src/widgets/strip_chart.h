#pragma once

#include "fsio/replace_file.h"
#include "widgets/axis_labels.h"
#include "widgets/chart_decoration.h"
#include "widgets/chart_scale.h"
#include "widgets/chart_window.h"
#include "widgets/trace_envelope.h"
#include "widgets/trace_history.h"

#include <QImage>
#include <QLine>
#include <QList>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QMenu;

namespace qmt::widgets {

// A strip chart of three traces over time, drawn with QPainter (the plot's
// pixels directly). It keeps the whole history of the run and repaints at a
// cost that depends on its width, not on the length of the history. Traces are numbered 1 to 3 for
// their captions and indexed 0 to 2 for their samples.
//
// The user zooms the time range by dragging the time axis (arrow handle at
// its right end) or with the wheel, and the value range by dragging the value
// axis (arrow handle at its top) or with Ctrl+wheel; dragging the plot
// scrolls back through the history while new samples keep arriving. The
// right-click menu exports the picture or the visible data and pauses or
// resumes scrolling (a live chart also resumes from its "Paused" banner); the tool tip over the
// plot shows the values under the mouse. Keys: Left and Right scroll, Home goes to the first
// sample, End follows the newest again, + and - zoom the time range.
class StripChart : public QWidget {
    Q_OBJECT

public:
    static constexpr int TraceCount = 3;
    // Time of day in seconds since midnight; the chart counts the days itself.
    using TimeSource = std::function<double()>;
    using NumberFormat = std::function<std::string(double)>;

    explicit StripChart(QWidget* parent = nullptr);
    ~StripChart() override;

    void SetTimeSource(TimeSource source);
    // The number text of exported values and of the values in the tool tip.
    void SetNumberFormat(NumberFormat format);
    // The text of the time labels and of the time in the tool tip; the time
    // of day (TimeLabel) when none is set.
    void SetTimeFormat(NumberFormat format);
    void SetAxisCaption(const QString& caption);
    QString AxisCaption() const { return axisCaption_; }

    // Appends a sample of trace `index` (0 to 2) at the current time and
    // scrolls the chart. Samples of different traces added within the same
    // millisecond share one time stamp, so they line up in exported data.
    void AddSample(int index, double value);
    // Appends a sample of each trace at the current time, as one: the chart
    // decides once how to show them.
    void AddSamples(const std::array<double, TraceCount>& values);
    // Appends a sample of trace `index` at a given chart time, as when a saved
    // log is replayed; it does not repaint, so call update() after a batch.
    void AddSampleAt(int index, double time, double value);
    // Chooses the trace (number 1 to 3) whose caption SetTraceCaption sets.
    void SelectTrace(int number);
    void SetTraceCaption(const QString& caption);
    QString TraceCaption(int number) const;
    // Chooses the trace (index 0 to 2) whose visibility SetTraceVisible sets.
    void SelectVisibilityTrace(int index);
    void SetTraceVisible(bool visible);
    bool TraceVisible(int index) const;
    // The name of trace `index` in the head line of exported data.
    void SetTraceName(int index, const QString& name);

    const TraceHistory& History(int index) const;
    // The ranges shown; whoever changes them calls update().
    TimeWindow& timeWindow() { return timeWindow_; }
    ValueWindow& valueWindow() { return valueWindow_; }
    // The time range shown now.
    TimeRange VisibleTimeRange() const;
    // The newest sample time of all traces (the current time when empty).
    double LatestTime() const;

    void PauseScrolling();
    void ResumeScrolling();
    // The chart is fed as things happen (not a replay): while it is paused a
    // banner over the plot says so and resumes when its button is clicked,
    // and the legend, whose values keep coming, is labelled as live.
    void SetLiveFeed(bool live);
    // The banner's "Resume" button and the legend's "live" label; empty while
    // the chart follows the newest samples.
    QRect ResumeRect() const;
    QRect LiveLabelRect() const;
    // Both replace the file (fsio::ReplaceFile); the outcome says why not.
    fsio::Outcome ExportImage(const QString& path);
    // The visible traces' samples of the visible time range, comma-separated.
    fsio::Outcome ExportData(const QString& path);
    // The tool tip text for a point of the widget: the values under it over
    // the plot, else the chart's own tool tip.
    QString ToolTipAt(const QPoint& pos) const;
    // The rectangle the traces are drawn in.
    QRect PlotRect() const;
    // The context menu as the user sees it (owned by the caller); actions
    // added to the chart with QWidget::addAction follow its own.
    QMenu* CreateContextMenu();

    // Decorations drawn with the traces (not owned; remove before deleting one).
    void AddDecoration(ChartDecoration* decoration);
    void RemoveDecoration(ChartDecoration* decoration);
    // The ranges of the last paint, on which decorations place themselves.
    TimeRange PaintedTimeRange() const { return paintedRange_; }
    ValueRange PaintedValueRange() const { return paintedValues_; }
    // The times of the plot's pixel columns. While the chart follows the
    // newest samples they are counted from a fixed origin and the plot
    // scrolls by whole columns: what a decoration draws for a column (or a
    // pattern that counts columns from that origin) stays right as the
    // pixels move, and only the columns that changed are painted again.
    ColumnTimes PaintedColumns() const { return paintedColumnTimes_; }
    static QColor TraceColour(int index);
    QString TraceName(int index) const;
    // Stops following and shows time t in the middle of the plot.
    void ScrollTo(double t);
    // The band of the decorations under the plot (empty when none wants one).
    QRect BandRect() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Trace {
        TraceHistory history;
        QString caption;
        QString name;
        bool visible = true;
        std::vector<EnvelopeColumn> envelope; // of the last paint
        // The caption laid out and measured once per text (width -1: not yet).
        mutable QStaticText captionText;
        mutable int captionWidth = -1;
    };
    // What the layout measures of the font, once per font.
    struct Measures {
        int line = 0;
        int valueLabelWidth = 0;
        int timeLabelSpace = 0;
    };
    // The longest a following chart waits before it shows a new sample.
    static constexpr double MaxStaleSeconds = 1.0;
    // A following chart on its grid scrolls at most every quarter second,
    // once it has a few new columns or has waited half a second for them:
    // a slow chart moves a few times a second, one zoomed in no faster.
    static constexpr double ScrollPaceSeconds = 0.25;
    static constexpr double ScrollWaitSeconds = 0.5;
    static constexpr int ScrollStepColumns = 4;
    enum class Drag { None, ZoomTime, ZoomValue, Scroll };
    struct Layout {
        QRect plot;
        QRect timeAxis;
        QRect valueAxis;
        QRect legend;
        QRect band;
    };

    // What the screen shows of a following chart, on columns counted from
    // time 0: a new sample scrolls the pixels there (QWidget::scroll) and
    // only the columns that changed are drawn.
    struct ScrollGrid {
        bool valid = false;
        double span = 0.0;
        QRect plot; // the layout it was drawn for
        QRect band;
        QRect timeLabels;
        QRect legend;
        int staleFrom = 0;       // the first column whose samples changed
        int requestedFrom = 0;   // the first column an update asked to paint
        double shownUntil = 0.0; // the newest sample time on the screen
        bool legendStale = false;
        // The stale columns' envelopes are built for the samples there are.
        bool envelopesBuilt = false;
    };

    // What a paused live chart shows (all empty otherwise).
    struct PausedMarks {
        QRect banner;
        QRect resume;
        QRect live;
    };

    Layout ComputeLayout() const;
    const Measures& TextMeasures() const;
    // Drops what was measured and laid out with the font.
    void ForgetTextMeasures();
    // Shown on the screen: visible, and neither it nor a window around it
    // minimised. Only then do new samples and captions repaint.
    bool Seen() const;
    PausedMarks ComputePausedMarks(const Layout& layout) const;
    double Now() const;
    double EarliestTime() const;
    // The widest time range zooming may reach.
    double MaxSpan() const;
    ValueRange CurrentValueRange() const;
    // Distances between grid lines: seconds and value units.
    struct Ticks {
        double time;
        double value;
    };
    // The traces' envelopes on paintedColumnTimes_, and their data range.
    void BuildEnvelopes(int columns);
    // The data range of the traces' envelopes, for the automatic scale.
    void MeasureEnvelopes();
    bool OnScreen(const QPainter& painter) const;
    Ticks TicksFor(const Layout& layout) const;
    // plotImage_ drawn anew for the range shown now; on the grid when the
    // chart follows on the screen.
    void RenderWholePlot(const Layout& layout, bool onScreen);
    // Brings plotImage_ up to what the paint shows: the stale columns on the
    // grid, or all of it.
    void PreparePlotImage(const Layout& layout, bool onScreen, bool wholePlot);
    // The parts of plotImage_ under `parts` of the plot.
    void DrawPlotImage(QPainter& painter, const QRect& plot, const QRegion& parts,
                       const Ticks& ticks);
    // Draws plotImage_'s columns from `from` to `to` (not included): grid,
    // then traces.
    void RenderColumns(int from, int to, const Ticks& ticks);
    // Shows samples just added at time t as soon as the chart's pace allows.
    void ShowNewSamples(double t);
    // New samples at time t on a following chart that is on the screen:
    // scrolls on the grid; false when the grid does not hold.
    bool ScrollOnGrid(double t);
    void ShiftPlot(int columns);
    // The screen and plotImage_ still show the grid of the last paint (and
    // the layout has not moved).
    bool GridFollows() const;
    bool GridHolds(const Layout& layout) const;
    // Draws the columns of plotImage_ that changed since the last paint
    // anew and returns the first of them (the column count when none);
    // nothing when that moves the value range, so all must be drawn.
    std::optional<int> RenderStaleColumns(const Layout& layout);
    // Builds the stale columns' envelopes; false when they move the value range.
    bool StaleColumnsKeepScale();
    // Where the columns from `from` on are on the screen, with the band.
    QRect StaleRect(int from) const;
    int FirstStaleColumn() const;
    // Where the time labels are, short of the time axis's handle.
    QRect TimeLabelStrip(const Layout& layout) const;
    // Where the value labels are: between the legend and the time axis.
    QRect ValueLabelStrip(const Layout& layout) const;
    void PaintTimeLabels(QPainter& painter, const Layout& layout, const Ticks& ticks) const;
    void PaintValueAxis(QPainter& painter, const Layout& layout, const Ticks& ticks) const;
    void PaintLegend(QPainter& painter, const QRect& legend) const;
    void PaintHandles(QPainter& painter, const Layout& layout) const;
    void PaintPausedBanner(QPainter& painter, const PausedMarks& marks) const;
    void PaintLiveLabel(QPainter& painter, const QRect& live) const;
    QString PausedMarksToolTip(const QPoint& pos) const;
    bool ScrolledSincePaint(double latest) const;
    Drag DragAt(const QPoint& pos) const;
    void UpdateCursor(const QPoint& pos);
    QString NumberText(double value) const;
    void ExportImageFromMenu();
    void ExportDataFromMenu();

    std::array<Trace, TraceCount> traces_;
    int selectedTrace_ = 1;
    int visibilityTrace_ = 2;
    QString axisCaption_;
    bool liveFeed_ = false;
    TimeSource timeSource_;
    NumberFormat numberFormat_;
    NumberFormat timeFormat_;
    mutable DayClock dayClock_;
    double stampTime_ = 0.0;
    std::array<bool, TraceCount> stampUsed_{};
    bool stampValid_ = false;
    TimeWindow timeWindow_;
    ValueWindow valueWindow_;
    // Data range of the envelopes of the last paint, for the automatic scale.
    double dataLow_ = 0.0;
    double dataHigh_ = 0.0;
    bool hasData_ = false;
    TimeRange paintedRange_{};
    int paintedColumns_ = 0; // 0 until the plot was first painted
    ValueRange paintedValues_{};
    Drag drag_ = Drag::None;
    QPoint dragStart_;
    double dragSpan_ = 0.0;
    ValueRange dragValues_{};
    int DecorationBandHeight(const QFontMetrics& metrics) const;
    int DecorationLabelWidth() const;
    void PaintDecorations(QPainter& painter, const Layout& layout, const QRect& exposed) const;
    QString DecorationToolTip(const QPoint& pos) const;

    std::vector<ChartDecoration*> decorations_;
    mutable std::optional<Measures> measures_;
    mutable AxisLabels timeLabels_;
    mutable AxisLabels valueLabels_;
    QImage plotImage_;
    QList<QLine> joints_;
    ScrollGrid grid_;
    // The grid column each column of plotImage_ was drawn for: the image
    // is drawn again where the screen needs it rather than moved.
    std::vector<long long> imageColumns_;
    ColumnTimes paintedColumnTimes_;
    std::vector<EnvelopeColumn> newColumns_; // reused by RenderStaleColumns
};

} // namespace qmt::widgets
