#pragma once

#include "model/alert_events.h"

#include <QListWidget>
#include <vector>

namespace qmt::views {

// The list of alert events under the graph, newest last, each a whole line
// (the tool tip holds it too, should the list be narrowed). Clicking an event
// (or choosing it with the keys) asks the graph to scroll to its moment; a
// possible anomaly is marked so it stands out.
class EventList : public QListWidget {
    Q_OBJECT

public:
    explicit EventList(QWidget* parent = nullptr);

    // Appends events [first, events.size()).
    void Append(const std::vector<model::AlertEvent>& events, std::size_t first);
    // The time of the event in row `row`.
    double TimeAt(int row) const;
    // The list's height with `rows` rows in view.
    int HeightForRows(int rows) const;

signals:
    void eventChosen(double time);

private:
    std::vector<double> times_;
};

} // namespace qmt::views
