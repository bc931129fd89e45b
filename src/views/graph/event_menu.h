#pragma once

#include "widgets/chart_decoration.h"

#include <QMenu>
#include <functional>

namespace qmt::views {

// The event list's items of the graph's right-click menu: show or hide the
// list, export the events.
class EventMenuItems final : public widgets::ChartDecoration {
public:
    std::function<bool()> listShown;
    std::function<void(bool)> showList;
    std::function<void()> exportEvents;

    void AddMenuActions(QMenu& menu, widgets::StripChart& /*chart*/) override {
        QAction* list = menu.addAction(QStringLiteral("Show event list"));
        list->setCheckable(true);
        list->setChecked(listShown());
        QObject::connect(list, &QAction::toggled, list, [this](bool on) { showList(on); });
        menu.addAction(QStringLiteral("Export events…"), [this] { exportEvents(); });
    }
};

} // namespace qmt::views
