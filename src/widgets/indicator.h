#pragma once

#include <QWidget>

namespace qmt::widgets {

// A round two-state lamp: red when on, green when off, grey while its state
// is unknown (for example after a failed read).
class Indicator : public QWidget {
    Q_OBJECT

public:
    enum class State { Off, On, Unknown };

    explicit Indicator(QWidget* parent = nullptr);

    void SetState(State state);
    State state() const { return state_; }
    // The colour the lamp shows in its present state.
    QColor colour() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    State state_ = State::Unknown;
};

} // namespace qmt::widgets
