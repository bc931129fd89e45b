#pragma once

#include "widgets/chart_decoration.h"
#include "widgets/chart_window.h"
#include "widgets/lane_history.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace qmt::widgets {

// On/off lanes in a band under the strip chart's plot, on its time axis: a
// band where a signal was 1, a marker where it changed, the change's text
// in the tool tip. Shown or hidden from the chart's right-click menu.
class StatusLanes final : public ChartDecoration {
public:
    explicit StatusLanes(QStringList names);

    int LaneCount() const { return static_cast<int>(lanes_.size()); }
    // A reading of lane `lane` at chart time t; `changeText` is the tool tip
    // of the marker when the reading is a change.
    void Record(int lane, double t, bool on, const QString& changeText = {});
    // Gives the lane's latest change its text, if that change was at t (the
    // text of an event known only after the reading that followed it).
    void SetChangeText(int lane, double t, const QString& text);
    const LaneHistory& Lane(int lane) const;
    QString Name(int lane) const { return names_.value(lane); }

    bool Shown() const { return shown_; }
    void SetShown(bool shown) { shown_ = shown; }
    // Told when the user switches the lanes on or off from the menu.
    void SetShownChanged(std::function<void(bool)> changed) { shownChanged_ = std::move(changed); }

    // Pixels of one lane, and the font of its name.
    static int LaneHeight(const QFontMetrics& metrics);
    static QFont NameFont(const QFont& chartFont);
    // The tool tip at a point of the lane band: the changes near it.
    QString ToolTipAt(int lane, const TimeRange& painted, const QRect& plot, int x) const;

    int LabelWidth(const QFont& chartFont) const override;
    int BandHeight(const QFontMetrics& metrics) const override;
    void PaintBand(QPainter& painter, const StripChart& chart, const QRect& band, const QRect& plot,
                   const QRect& exposed) const override;
    QString BandToolTip(const StripChart& chart, const QRect& band, const QRect& plot,
                        const QPoint& pos) const override;
    void AddMenuActions(QMenu& menu, StripChart& chart) override;

private:
    struct LaneData {
        LaneHistory history;
        std::vector<QString> texts; // one per change
    };

    void PaintNames(QPainter& painter, const StripChart& chart, const QRect& area) const;
    // The lanes' pixel columns from `from` to `to` (not included).
    void RenderLanes(const StripChart& chart, const QRect& plot, int lane, int from, int to) const;

    QStringList names_;
    std::vector<LaneData> lanes_;
    bool shown_ = true;
    std::function<void(bool)> shownChanged_;
    // Reused by each paint.
    mutable std::vector<LaneColumn> columns_;
    mutable QImage lanesImage_;
    mutable QImage namesImage_;
    mutable QString namesKey_;
    // The widest name, measured once per font: the chart lays itself out
    // (and so asks for it) several times a paint.
    mutable QFont widthFont_;
    mutable int namesWidth_ = -1;
};

} // namespace qmt::widgets
