#include "shell/artwork.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <numbers>

namespace qmt::shell {

namespace {

// Every picture is drawn on a square of this many units and scaled to the
// size asked for.
constexpr double DesignSize = 32.0;

using PaintFunction = void (*)(QPainter&);

class PaintedIconEngine final : public QIconEngine {
public:
    explicit PaintedIconEngine(PaintFunction paintFunction) : paint_(paintFunction) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        const double side = std::min(rect.width(), rect.height());
        painter->scale(side / DesignSize, side / DesignSize);
        if (mode == QIcon::Disabled) {
            painter->setOpacity(0.4);
        }
        paint_(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return picture;
    }

    QIconEngine* clone() const override { return new PaintedIconEngine(paint_); }

private:
    PaintFunction paint_;
};

QPen Outline(const QColor& colour, double width = 1.0) {
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void PaintFloppyDisk(QPainter& p) {
    p.setPen(Outline(QColor(0x1d, 0x3f, 0x6e)));
    p.setBrush(QColor(0x2f, 0x63, 0xa8));
    p.drawRoundedRect(QRectF(3.5, 3.5, 25, 25), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd5, 0xdd, 0xe7));
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(QColor(0x2f, 0x63, 0xa8));
    p.drawRect(QRectF(18, 5.5, 3, 6));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(7, 17, 18, 11), 1, 1);
    p.setPen(Outline(QColor(0x9a, 0xab, 0xc0), 1.2));
    p.drawLine(QPointF(9.5, 21), QPointF(22.5, 21));
    p.drawLine(QPointF(9.5, 24.5), QPointF(22.5, 24.5));
}

void PaintGear(QPainter& p, QPointF centre, double radius, const QColor& colour) {
    constexpr int Teeth = 8;
    QPainterPath gear;
    gear.addEllipse(centre, radius * 0.78, radius * 0.78);
    for (int tooth = 0; tooth < Teeth; ++tooth) {
        QPainterPath cog;
        cog.addRect(QRectF(-radius * 0.2, -radius, radius * 0.4, radius * 0.5));
        QTransform turn;
        turn.translate(centre.x(), centre.y());
        turn.rotate(tooth * 360.0 / Teeth);
        gear = gear.united(turn.map(cog));
    }
    QPainterPath hole;
    hole.addEllipse(centre, radius * 0.32, radius * 0.32);
    p.setPen(Outline(colour.darker(140), 0.8));
    p.setBrush(colour);
    p.drawPath(gear.subtracted(hole));
}

void PaintChip(QPainter& p, QRectF body, int pinsPerSide, const QColor& colour) {
    const double pinLength = body.width() * 0.16;
    const double pitch = body.height() / pinsPerSide;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xb8, 0xc0, 0xcc));
    for (int pin = 0; pin < pinsPerSide; ++pin) {
        const double y = body.top() + pitch * (pin + 0.5) - pitch * 0.18;
        p.drawRect(QRectF(body.left() - pinLength, y, pinLength, pitch * 0.36));
        p.drawRect(QRectF(body.right(), y, pinLength, pitch * 0.36));
    }
    p.setPen(Outline(colour.darker(150), 0.8));
    p.setBrush(colour);
    p.drawRoundedRect(body, body.width() * 0.1, body.width() * 0.1);
    p.setPen(Qt::NoPen);
    p.setBrush(colour.lighter(220));
    const double mark = body.width() * 0.12;
    p.drawEllipse(QPointF(body.left() + mark * 1.6, body.top() + mark * 1.6), mark * 0.6,
                  mark * 0.6);
}

void PaintDeviceConfiguration(QPainter& p) {
    PaintChip(p, QRectF(6, 5, 16, 18), 4, QColor(0x34, 0x49, 0x5e));
    PaintGear(p, QPointF(22, 22), 8.0, QColor(0xf0, 0x8a, 0x24));
}

void PaintGraph(QPainter& p) {
    p.setPen(Outline(QColor(0x8a, 0x96, 0xa6)));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(2.5, 4.5, 27, 23), 2, 2);
    p.setPen(Outline(QColor(0xdd, 0xe3, 0xea), 0.8));
    for (double y : {10.5, 16.5, 22.5}) {
        p.drawLine(QPointF(5, y), QPointF(27, y));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(Outline(QColor(0xd0, 0x3b, 0x2f), 2.0));
    p.drawPolyline(QPolygonF({{5, 20}, {10, 13}, {15, 16}, {20, 8}, {27, 11}}));
    p.setPen(Outline(QColor(0x1f, 0x6f, 0xc5), 2.0));
    p.drawPolyline(QPolygonF({{5, 24}, {11, 20}, {17, 22.5}, {22, 17}, {27, 18.5}}));
}

void PaintRegisterTree(QPainter& p) {
    p.setPen(Outline(QColor(0x6b, 0x78, 0x8a), 1.4));
    p.drawLine(QPointF(8, 11), QPointF(8, 25));
    p.drawLine(QPointF(8, 16), QPointF(14, 16));
    p.drawLine(QPointF(8, 25), QPointF(14, 25));
    p.setPen(Outline(QColor(0xb7, 0x86, 0x10)));
    p.setBrush(QColor(0xf4, 0xc4, 0x30));
    p.drawRoundedRect(QRectF(3.5, 3.5, 10, 7.5), 1.2, 1.2);
    p.setPen(Outline(QColor(0x1d, 0x4f, 0x8e)));
    p.setBrush(QColor(0x4a, 0x8b, 0xd8));
    p.drawRoundedRect(QRectF(14.5, 12.5, 14, 7), 1.2, 1.2);
    p.drawRoundedRect(QRectF(14.5, 21.5, 14, 7), 1.2, 1.2);
}

void PaintGauge(QPainter& p) {
    const QRectF dial(4, 7, 24, 24);
    p.setBrush(Qt::NoBrush);
    const struct {
        int startDegrees;
        int spanDegrees;
        QColor colour;
    } bands[] = {{108, 72, QColor(0x3c, 0xa5, 0x5c)},
                 {54, 54, QColor(0xf2, 0xb7, 0x1f)},
                 {0, 54, QColor(0xd6, 0x3a, 0x2f)}};
    for (const auto& band : bands) {
        QPen pen(band.colour, 4.0);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.drawArc(dial, band.startDegrees * 16, band.spanDegrees * 16);
    }
    const QPointF hub = dial.center();
    const double angle = 62.0 * std::numbers::pi / 180.0;
    p.setPen(Outline(QColor(0x2b, 0x33, 0x3d), 2.0));
    p.drawLine(hub, hub + QPointF(std::cos(angle) * 10.5, -std::sin(angle) * 10.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2b, 0x33, 0x3d));
    p.drawEllipse(hub, 2.5, 2.5);
}

void PaintLogFile(QPainter& p) {
    QPainterPath page;
    page.moveTo(6.5, 2.5);
    page.lineTo(19.5, 2.5);
    page.lineTo(26.5, 9.5);
    page.lineTo(26.5, 29.5);
    page.lineTo(6.5, 29.5);
    page.closeSubpath();
    p.setPen(Outline(QColor(0x7d, 0x89, 0x99)));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(QColor(0xdd, 0xe3, 0xea));
    p.drawPolygon(QPolygonF({{19.5, 2.5}, {19.5, 9.5}, {26.5, 9.5}}));
    p.setPen(Outline(QColor(0x2f, 0x8f, 0x4e), 1.6));
    for (double y : {13.5, 17.5, 21.5, 25.5}) {
        p.drawLine(QPointF(10, y), QPointF(14, y));
        p.drawLine(QPointF(16.5, y), QPointF(23, y));
    }
}

// Two columns of values side by side, one row marked as differing.
void PaintCompare(QPainter& p) {
    p.setPen(Outline(QColor(0x7d, 0x89, 0x99)));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(2.5, 4.5, 12, 23), 1.2, 1.2);
    p.drawRoundedRect(QRectF(17.5, 4.5, 12, 23), 1.2, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf6, 0xc9, 0xc4));
    p.drawRect(QRectF(3, 14, 11, 4));
    p.drawRect(QRectF(18, 14, 11, 4));
    p.setPen(Outline(QColor(0x1d, 0x4f, 0x8e), 1.6));
    for (double y : {9.0, 22.0}) {
        p.drawLine(QPointF(5.5, y), QPointF(11.5, y));
        p.drawLine(QPointF(20.5, y), QPointF(26.5, y));
    }
    p.setPen(Outline(QColor(0xd0, 0x3b, 0x2f), 1.6));
    p.drawLine(QPointF(5.5, 16), QPointF(11.5, 16));
    p.drawLine(QPointF(20.5, 16), QPointF(24.5, 16));
}

void PaintProductMark(QPainter& p) {
    QLinearGradient tile(0, 0, 0, DesignSize);
    tile.setColorAt(0.0, QColor(0x1e, 0x7a, 0xd6));
    tile.setColorAt(1.0, QColor(0x0b, 0x3d, 0x7a));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);
    PaintChip(p, QRectF(9, 7, 14, 18), 4, QColor(0x16, 0x21, 0x2e));
    // A thermometer on the chip: the sensor's job at a glance.
    p.setPen(Outline(Qt::white, 1.0));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(14.5, 9.5, 3, 12), 1.5, 1.5);
    p.drawEllipse(QPointF(16, 22), 3.2, 3.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe5, 0x39, 0x35));
    p.drawRect(QRectF(15.25, 14, 1.5, 8));
    p.drawEllipse(QPointF(16, 22), 2.2, 2.2);
}

} // namespace

QIcon ToolbarIcon(const QString& key) {
    static constexpr struct {
        const char* key;
        PaintFunction paint;
    } Pictures[] = {{"Save", PaintFloppyDisk}, {"Config", PaintDeviceConfiguration},
                    {"Graphs", PaintGraph},    {"Tree", PaintRegisterTree},
                    {"Limits", PaintGauge},    {"Log", PaintLogFile},
                    {"Compare", PaintCompare}};
    for (const auto& picture : Pictures) {
        if (key == QLatin1String(picture.key)) {
            return QIcon(new PaintedIconEngine(picture.paint));
        }
    }
    return {};
}

QIcon ProductIcon() {
    return QIcon(new PaintedIconEngine(PaintProductMark));
}

} // namespace qmt::shell
