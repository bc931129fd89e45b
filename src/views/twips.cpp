#include "views/twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace qmt::views {

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

namespace {

class FirstShowSizer final : public QObject {
public:
    FirstShowSizer(QWidget& view, double widthTwips, double heightTwips)
        : QObject(&view), view_(view), widthTwips_(widthTwips), heightTwips_(heightTwips) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &view_ && event->type() == QEvent::Show) {
            SetOuterSizeTwips(view_, widthTwips_, heightTwips_);
            view_.removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QWidget& view_;
    double widthTwips_;
    double heightTwips_;
};

} // namespace

void SizeWhenFirstShown(QWidget& view, double widthTwips, double heightTwips) {
    view.installEventFilter(new FirstShowSizer(view, widthTwips, heightTwips));
}

} // namespace qmt::views
