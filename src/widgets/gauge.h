#pragma once

#include "widgets/gauge_geometry.h"

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

namespace qmt::widgets {

enum class GaugePointer { Low = 0, High = 1, Therm = 2 };

// A vertical temperature gauge: a scale in degrees, a value bar from the
// scale's lower end up to the value, the pointers' values and a caption
// below, and three pointers (low, high, THERM) the user moves with the mouse
// or the keyboard. The scale's top follows what it shows (see GaugeUpperEnd):
// a pointer dragged to the top raises it to the next span.
//
// A pointer set by the program (SetPointer) never raises pointerMoved. A
// pointer the user moves shows its value while it moves and is reported once,
// with the gauge's index, when it is dropped (or committed with Enter).
// Keyboard: Left and Right pick a pointer, Up and Down move it by its step
// (0.25 degC unless set), Page Up and Page Down by 1 degC, Enter commits,
// Escape takes the move back.
class Gauge : public QWidget {
    Q_OBJECT

public:
    static constexpr double KeyStep = 0.25;
    static constexpr double PageStep = 1.0;
    // The value a pointer moved to t will be set to.
    using Settle = std::function<double(double t)>;

    explicit Gauge(int index, QWidget* parent = nullptr);

    int index() const { return index_; }

    // The lower end and the most the scale may show.
    void SetScale(double lower, double limit);
    double lower() const { return lower_; }
    // The top of the scale as shown now.
    double upper() const { return upper_; }
    void SetValue(double value);
    double value() const { return value_; }
    void SetCaption(const QString& caption);
    QString caption() const { return caption_; }

    // Sets a pointer as the program; no notification.
    void SetPointer(GaugePointer which, double value);
    double pointer(GaugePointer which) const;
    // The pointer's Up and Down step, and where a moving pointer settles:
    // a move shows, and commits, settle of the value it was moved to.
    void SetPointerGrid(GaugePointer which, double step, Settle settle);
    // Moves a pointer as a user's drop would: held within the scale, then
    // reported by pointerMoved if it changed.
    void CommitPointer(GaugePointer which, double value);

    GaugePointer selectedPointer() const { return selected_; }
    void SelectPointer(GaugePointer which);
    // The value a moving pointer shows before it is dropped.
    std::optional<double> pendingValue() const;

    const GaugeGeometry& geometry() const { return geometry_; }
    // The middle of a pointer's flag, where the mouse takes it.
    QPoint PointerHandle(GaugePointer which) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void pointerMoved(int gaugeIndex);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // A pointer on the move: dragged by the mouse or stepped by the keys.
    struct Move {
        GaugePointer which;
        double value;
        bool dragging;
        double grabOffset; // pixels between the mouse and the pointer's mark
    };

    double& PointerSlot(GaugePointer which);
    double ShownPointer(GaugePointer which) const;
    std::optional<GaugePointer> PointerAt(const QPointF& pos) const;
    void MovePending(double value);
    void StepPending(int direction, double step);
    void CommitPending();
    void CancelPending();
    void Relayout();
    // Chooses the scale's top again for what is shown.
    void Refit();
    // Chooses the readout's lines again for the width and font.
    void FitReadout();
    void UpdatePointer(GaugePointer which, double from, double to);
    void UpdateBar();
    void PaintStatic();
    void PaintBar(class QPainter& painter) const;
    void PaintPointer(QPainter& painter, GaugePointer which) const;
    void PaintCaption(QPainter& painter) const;
    void PaintGuide(QPainter& painter, GaugePointer which) const;
    void PaintReadout(QPainter& painter) const;

    int index_;
    double lower_ = 0.0;
    double upper_ = 100.0;
    double limit_ = 100.0;
    int readoutLines_ = 1;
    double value_ = 0.0;
    QString caption_;
    std::array<double, GaugePointerCount> pointers_{};
    std::array<double, GaugePointerCount> steps_{KeyStep, KeyStep, KeyStep};
    std::array<Settle, GaugePointerCount> settle_{};
    GaugePointer selected_ = GaugePointer::High;
    std::optional<Move> move_;
    GaugeGeometry geometry_;
    // Face, scale and labels change only with size, scale or font.
    QPixmap static_;
};

} // namespace qmt::widgets
