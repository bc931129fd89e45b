#include "views/graph/frm_graph.h"

#include "core/application.h"
#include "model/number_text.h"
#include "model/temp_codes.h"
#include "views/graph/alert_timeline.h"
#include "views/graph/event_menu.h"
#include "views/twips.h"
#include "widgets/strip_chart.h"

#include <QAction>
#include <QCloseEvent>
#include <algorithm>

namespace qmt::views {

namespace {

const QString Degrees = QStringLiteral("°C");

QString LegendText(const char* name, const std::string& value) {
    return QLatin1String(name) + QString::fromStdString(value) + Degrees;
}

} // namespace

FrmGraph::FrmGraph(core::Application& app, QWidget* parent) : QWidget(parent), app_(app) {
    views::SizeWhenFirstShown(*this, WidthTwips, HeightTwips);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmGraph"));
    setWindowTitle(QStringLiteral("Graphing"));
    stpGraph_ = new widgets::StripChart(this);
    stpGraph_->setObjectName(QStringLiteral("stpGraph"));
    stpGraph_->move(0, 0);
    auto* openLog = new QAction(QStringLiteral("Open Log…"), stpGraph_);
    openLog->setObjectName(QStringLiteral("mnuGraphOpenLog"));
    connect(openLog, &QAction::triggered, this, &FrmGraph::openLogRequested);
    stpGraph_->addAction(openLog);
    BuildTimeline();
    Load();
}

FrmGraph::~FrmGraph() {
    Unload();
    // The timeline's decorations leave the chart before it goes.
    timeline_.reset();
    stpGraph_->RemoveDecoration(eventMenu_.get());
}

void FrmGraph::Load() {
    // Design settings of the chart.
    stpGraph_->SetAxisCaption(QStringLiteral("Temperature (°C)"));
    stpGraph_->setToolTip(
        QStringLiteral("Drag the arrows at the edges of this graph to zoom in and out"));
    const char* const captions[] = {"Local", "Remote1 = 33.75C", "Remote2"};
    const char* const names[] = {"Local", "Remote1", "Remote2"};
    for (int i = 0; i < widgets::StripChart::TraceCount; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        stpGraph_->SelectTrace(i + 1);
        stpGraph_->SetTraceCaption(QString::fromLatin1(captions[slot]));
        stpGraph_->SetTraceName(i, QString::fromLatin1(names[slot]));
    }
    // The legend goes on with the newest values while the plot is paused.
    stpGraph_->SetLiveFeed(true);
    link::Clock& clock = app_.clock();
    stpGraph_->SetTimeSource([&clock] { return clock.SecondsSinceMidnight(); });
    // Exported values are written like the temperatures of the log file.
    stpGraph_->SetNumberFormat(
        [](double value) { return model::PlainNumberText(static_cast<float>(value)); });

    resize(views::TwipsToPixels(this, WidthTwips, HeightTwips));
    GeneralStuff& state = app_.state();
    state.GraphOpen = true;
    app_.cycle().SetActivity(
        core::Activity::GraphFeed, [&state] { return state.GraphOpen; },
        [&state] { return static_cast<double>(state.GraphingInterval); },
        [this] { UpdateGraph(); });
    app_.remoteSelection().SetGraphRelabel([this](bool remote2Selected) {
        SwitchTraceCaptions(remote2Selected);
        // The range (and the channel) the limits decode in may have changed.
        timeline_->MarkLimitsStale();
    });
    loaded_ = true;
}

void FrmGraph::Unload() {
    if (!loaded_) {
        return;
    }
    loaded_ = false;
    app_.state().GraphOpen = false;
    app_.cycle().ClearActivity(core::Activity::GraphFeed);
    app_.remoteSelection().SetGraphRelabel({});
    timeline_->Detach();
}

void FrmGraph::UpdateGraph() {
    GeneralStuff& state = app_.state();
    stpGraph_->AddSamples({static_cast<double>(state.LocalTemp),
                           static_cast<double>(state.Remote1Temp),
                           static_cast<double>(state.Remote2Temp)});
    UpdateLegend();
    timeline_->Feed();
}

void FrmGraph::UpdateLegend() {
    GeneralStuff& state = app_.state();
    const LegendValues read{state.LocalTemp, state.Remote1Temp, state.Remote2Temp,
                            state.Remote2Selected};
    if (legendShown_ && legendShown_->read == read) {
        // The same texts; the rounding they write back to the readings, too.
        state.Remote1Temp = legendShown_->rounded.remote1;
        state.Remote2Temp = legendShown_->rounded.remote2;
        return;
    }
    stpGraph_->SelectTrace(1);
    stpGraph_->SetTraceCaption(
        LegendText("Local = ", model::PlainNumberTextTrimmed(state.LocalTemp)));
    if (!state.Remote2Selected) {
        stpGraph_->SelectTrace(2);
        stpGraph_->SetTraceCaption(LegendText("Remote1 = ", model::FormatTemp(state.Remote1Temp)));
        stpGraph_->SelectTrace(3);
        stpGraph_->SetTraceCaption(LegendText("Remote2 = ", model::FormatTemp(state.Remote2Temp)));
    } else {
        stpGraph_->SelectTrace(2);
        stpGraph_->SetTraceCaption(LegendText("Remote2 = ", model::FormatTemp(state.Remote2Temp)));
    }
    legendShown_ = LegendShown{
        read, {state.LocalTemp, state.Remote1Temp, state.Remote2Temp, state.Remote2Selected}};
}

void FrmGraph::SwitchTraceCaptions(bool remote2Selected) {
    legendShown_.reset(); // the captions below lose their values
    stpGraph_->SelectTrace(2);
    stpGraph_->SetTraceCaption(remote2Selected ? QStringLiteral("Remote2")
                                               : QStringLiteral("Remote1"));
    stpGraph_->SelectTrace(3);
    stpGraph_->SetTraceCaption(remote2Selected ? QString() : QStringLiteral("Remote2"));
    stpGraph_->SelectVisibilityTrace(2);
    stpGraph_->SetTraceVisible(!remote2Selected);
    // Exported data names trace 2 after the channel it now carries.
    stpGraph_->SetTraceName(1, remote2Selected ? QStringLiteral("Remote2")
                                               : QStringLiteral("Remote1"));
}

QSizeF FrmGraph::ChartSizeTwips(QSizeF outerTwips) {
    return {std::max(outerTwips.width() - ChartWidthMarginTwips, 0.0),
            std::max(outerTwips.height() - ChartHeightMarginTwips, 0.0)};
}

void FrmGraph::Form_Resize() {
    const QWidget& outer = views::OuterWindow(*this);
    const double dpi = views::LogicalDpi(this);
    const QSizeF chart = ChartSizeTwips(
        {views::PixelsToTwips(outer.width(), dpi), views::PixelsToTwips(outer.height(), dpi)});
    PlaceEventList(
        QSize(views::TwipsToPixels(chart.width(), dpi), views::TwipsToPixels(chart.height(), dpi)));
}

void FrmGraph::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Form_Resize();
}

void FrmGraph::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void FrmGraph::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

} // namespace qmt::views
