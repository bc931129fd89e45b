// The graph window's alert timeline: the lanes and limit lines on its chart,
// the event list beside it and the event items of its right-click menu.
#include "views/graph/alert_timeline.h"
#include "views/graph/event_list.h"
#include "views/graph/event_menu.h"
#include "views/graph/frm_graph.h"
#include "widgets/strip_chart.h"

#include <QFileDialog>
#include <QMessageBox>
#include <algorithm>

namespace qmt::views {

namespace {

// The list takes at most this share of the width, and no more than it needs.
constexpr int ListShareDivisor = 3;
constexpr int ListMaxWidth = 330;

} // namespace

void FrmGraph::BuildTimeline() {
    timeline_ = std::make_unique<AlertTimeline>(app_, *stpGraph_);
    eventList_ = new EventList(this);
    eventList_->hide();
    connect(timeline_.get(), &AlertTimeline::eventsAdded, this, [this](int first) {
        eventList_->Append(timeline_->Events(), static_cast<std::size_t>(first));
        if (eventListWanted_ && eventList_->isHidden()) {
            ShowEventList(true);
        }
    });
    connect(eventList_, &EventList::eventChosen, stpGraph_, &widgets::StripChart::ScrollTo);
    eventMenu_ = std::make_unique<EventMenuItems>();
    eventMenu_->listShown = [this] { return !eventList_->isHidden(); };
    eventMenu_->showList = [this](bool shown) {
        eventListWanted_ = shown;
        ShowEventList(shown);
    };
    eventMenu_->exportEvents = [this] { ExportEventsFromMenu(); };
    stpGraph_->AddDecoration(eventMenu_.get());
}

void FrmGraph::ShowEventList(bool shown) {
    eventList_->setVisible(shown);
    Form_Resize();
}

void FrmGraph::PlaceEventList(QSize chart) {
    if (!eventList_->isHidden()) {
        const int width = std::min(chart.width() / ListShareDivisor, ListMaxWidth);
        chart.setWidth(chart.width() - width);
        eventList_->setGeometry(chart.width(), 0, width, chart.height());
    }
    stpGraph_->resize(chart);
}

void FrmGraph::ExportEventsFromMenu() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export events"), {},
                                                      QStringLiteral("Data Files (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    if (const fsio::Outcome outcome = timeline_->ExportEvents(path); !outcome) {
        QMessageBox::warning(this, window()->windowTitle(),
                             QStringLiteral("The events could not be written to %1.\n%2")
                                 .arg(path, QString::fromStdString(outcome.error)));
    }
}

} // namespace qmt::views
