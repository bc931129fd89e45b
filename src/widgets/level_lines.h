#pragma once

#include "widgets/chart_decoration.h"

#include <QImage>
#include <QString>
#include <array>
#include <vector>

namespace qmt::widgets {

// Thin dashed horizontal lines at fixed values of each trace (its limits),
// in the trace's colour, drawn while the trace is shown. Each trace's lines
// are switched on and off from the chart's right-click menu.
class LevelLines final : public ChartDecoration {
public:
    static constexpr int TraceCount = 3;

    explicit LevelLines(QString menuTitle) : menuTitle_(std::move(menuTitle)) {}

    void SetLevels(int trace, std::vector<double> levels);
    const std::vector<double>& Levels(int trace) const;
    void SetShown(int trace, bool shown);
    bool Shown(int trace) const;

    void PaintPlot(QPainter& painter, const StripChart& chart, const QRect& plot) const override;
    void AddMenuActions(QMenu& menu, StripChart& chart) override;

private:
    struct Trace {
        std::vector<double> levels;
        bool shown = true;
    };
    static constexpr int DashPixels = 6;
    static constexpr int GapPixels = 4;

    Trace& At(int trace);
    const Trace& At(int trace) const;
    const QImage& DashRow(int trace, int width) const;

    QString menuTitle_;
    std::array<Trace, TraceCount> traces_{};
    mutable std::array<QImage, TraceCount> dashes_{};
};

} // namespace qmt::widgets
