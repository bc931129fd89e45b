#pragma once

#include "views/interval_entry.h"

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace qmt::views {

// A pair of arrow buttons bound to a text box: each click moves the number in
// the box by one step within the range and writes it back. Typing in the box
// stays free; only the arrows keep to the range.
class UpDown : public QWidget {
    Q_OBJECT

public:
    UpDown(QLineEdit& buddy, StepRange range, QWidget* parent = nullptr);

    void StepUp() { Step(+1); }
    void StepDown() { Step(-1); }
    QLineEdit& buddy() const { return buddy_; }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

private:
    void Step(int direction);

    QLineEdit& buddy_;
    StepRange range_;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace qmt::views
