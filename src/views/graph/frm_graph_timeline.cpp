// The graph window's alert timeline: the lanes and limit lines on its chart,
// the event list under it and the event items of its right-click menu.
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

// The list spans the chart's whole width, so that a whole event line reads
// at the window's own size; it shows a few rows, and takes no more than a
// share of the height from the chart.
constexpr int ListRows = 4;
constexpr int ListShareDivisor = 4;

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

void FrmGraph::PlaceEventList(QSize area) {
    if (!eventList_->isHidden()) {
        const int height =
            std::min(eventList_->HeightForRows(ListRows), area.height() / ListShareDivisor);
        area.setHeight(area.height() - height);
        eventList_->setGeometry(0, area.height(), area.width(), height);
    }
    stpGraph_->resize(area);
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
