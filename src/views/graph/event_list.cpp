#include "views/graph/event_list.h"

#include "views/graph/alert_timeline.h"

namespace qmt::views {

namespace {

const QColor AnomalyColour(190, 90, 0);

} // namespace

EventList::EventList(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("lstEvents"));
    setAccessibleName(QStringLiteral("Alert events"));
    setToolTip(QStringLiteral("Click an event to show its moment on the graph"));
    setUniformItemSizes(true); // long runs: no per-row measuring
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) {
            emit eventChosen(TimeAt(row));
        }
    });
    connect(this, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { emit eventChosen(TimeAt(row(item))); });
}

void EventList::Append(const std::vector<model::AlertEvent>& events, std::size_t first) {
    const bool atEnd = currentRow() < 0 || currentRow() == count() - 1;
    for (std::size_t i = first; i < events.size(); ++i) {
        const model::AlertEvent& event = events[i];
        auto* item = new QListWidgetItem(AlertTimeline::EventLine(event), this);
        // The whole text, however narrow the list.
        item->setToolTip(item->text());
        if (event.anomaly) {
            item->setForeground(AnomalyColour);
            item->setToolTip(item->text() +
                             QStringLiteral("\nThe temperature read was on the wrong side of the "
                                            "limit for this change: worth a look."));
        }
        times_.push_back(event.time);
    }
    if (atEnd) {
        scrollToBottom();
    }
}

double EventList::TimeAt(int row) const {
    return times_.at(static_cast<std::size_t>(row));
}

int EventList::HeightForRows(int rows) const {
    const int row = count() > 0 ? sizeHintForRow(0) : fontMetrics().height();
    return rows * row + 2 * frameWidth();
}

} // namespace qmt::views
