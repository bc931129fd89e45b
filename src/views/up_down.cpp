#include "views/up_down.h"

#include "model/number_text.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace qmt::views {

namespace {

QToolButton* MakeArrow(Qt::ArrowType arrow, const char* name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    return button;
}

} // namespace

UpDown::UpDown(QLineEdit& buddy, StepRange range, QWidget* parent)
    : QWidget(parent), buddy_(buddy), range_(range), up_(MakeArrow(Qt::UpArrow, "up", this)),
      down_(MakeArrow(Qt::DownArrow, "down", this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, &UpDown::StepUp);
    connect(down_, &QToolButton::clicked, this, &UpDown::StepDown);
}

void UpDown::Step(int direction) {
    const std::int32_t value = StepInterval(buddy_.text().toStdString(), direction, range_);
    buddy_.setText(QString::fromStdString(model::DecimalText(value)));
}

} // namespace qmt::views
