#pragma once

#include <QIcon>
#include <QString>

// The program's pictures, drawn with QPainter so they stay sharp at any
// size and need no image files.
namespace qmt::shell {

// The picture of a toolbar button by its key ("Save", "Config", "Graphs",
// "Tree", "Limits", "Log", "Compare"); a null icon for other keys.
QIcon ToolbarIcon(const QString& key);
// The product's mark: a sensor chip with a thermometer.
QIcon ProductIcon();

} // namespace qmt::shell
