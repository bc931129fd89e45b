#include "app/twips.h"

#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace qmt::app {

int TwipsToPixels(double twips, double logicalDpi) {
    return static_cast<int>(std::lround(twips * logicalDpi / TwipsPerInch));
}

double PixelsToTwips(int pixels, double logicalDpi) {
    return pixels * TwipsPerInch / logicalDpi;
}

double LogicalDpi(const QWidget* widget) {
    const QScreen* screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

QSize TwipsToPixels(const QWidget* widget, double widthTwips, double heightTwips) {
    const double dpi = LogicalDpi(widget);
    return {TwipsToPixels(widthTwips, dpi), TwipsToPixels(heightTwips, dpi)};
}

QWidget& OuterWindow(QWidget& view) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(view.parentWidget())) {
        return *frame;
    }
    return view;
}

QWidget& SetOuterSizeTwips(QWidget& view, double widthTwips, double heightTwips) {
    QWidget& outer = OuterWindow(view);
    outer.resize(TwipsToPixels(&view, widthTwips, heightTwips));
    return outer;
}

} // namespace qmt::app
