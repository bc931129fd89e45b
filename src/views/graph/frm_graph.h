#pragma once

#include <QSizeF>
#include <QWidget>
#include <memory>
#include <optional>

namespace qmt::core {
class Application;
}
namespace qmt::widgets {
class StripChart;
}

namespace qmt::views {

class AlertTimeline;
class EventList;
class EventMenuItems;

// The "Graphing" child window: the three temperatures on a strip chart whose
// legend carries each channel's latest value. While it is loaded the
// monitoring cycle feeds it (GraphOpen) and a write of Configuration Reg 1
// switches the captions of traces 2 and 3; closing it stops both at once and
// drops the samples, so reopening starts an empty chart.
class FrmGraph : public QWidget {
    Q_OBJECT

public:
    static constexpr double WidthTwips = 9360;
    static constexpr double HeightTwips = 7740;
    static constexpr double ChartWidthMarginTwips = 200;
    static constexpr double ChartHeightMarginTwips = 400;

    explicit FrmGraph(core::Application& app, QWidget* parent = nullptr);
    ~FrmGraph() override;

    widgets::StripChart* stpGraph() const { return stpGraph_; }
    AlertTimeline& timeline() const { return *timeline_; }
    EventList* lstEvents() const { return eventList_; }
    // The event list under the chart: shown once there are events, unless
    // the user hid it.
    void ShowEventList(bool shown);

    // One feed of the monitoring cycle: a sample per channel, then the legend.
    void UpdateGraph();
    // The chart steps that follow a write of Configuration Reg 1.
    void SwitchTraceCaptions(bool remote2Selected);
    // The chart's size for a window of the given outer size, never negative.
    static QSizeF ChartSizeTwips(QSizeF outerTwips);

signals:
    // "Open Log…" was chosen in the chart's right-click menu.
    void openLogRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Load();
    void Unload();
    void Form_Resize();
    void BuildTimeline();
    // Shares the chart's area between the chart and the event list.
    void PlaceEventList(QSize area);
    void ExportEventsFromMenu();

    // What the legend's captions show, so that they are made again only
    // when it changed: temperatures mostly stay the same from one sample to
    // the next, and making the texts costs more than drawing the samples.
    struct LegendValues {
        float local = 0.0f;
        float remote1 = 0.0f;
        float remote2 = 0.0f;
        bool remote2Selected = false;
        bool operator==(const LegendValues&) const = default;
    };
    // The readings the captions were made from, and those readings rounded
    // as the captions round them.
    struct LegendShown {
        LegendValues read;
        LegendValues rounded;
    };
    void UpdateLegend();

    core::Application& app_;
    std::optional<LegendShown> legendShown_;
    widgets::StripChart* stpGraph_ = nullptr;
    std::unique_ptr<AlertTimeline> timeline_;
    std::unique_ptr<EventMenuItems> eventMenu_;
    EventList* eventList_ = nullptr;
    bool eventListWanted_ = true;
    bool loaded_ = false;
};

} // namespace qmt::views
