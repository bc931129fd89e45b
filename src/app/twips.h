#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Window sizes are designed in twips, 1440 to the inch, and converted with
// the screen's logical DPI (15 twips per pixel at 96 DPI).
namespace qmt::app {

inline constexpr double TwipsPerInch = 1440.0;

int TwipsToPixels(double twips, double logicalDpi);
double PixelsToTwips(int pixels, double logicalDpi);
// Uses the logical DPI of the widget's screen (or the primary screen).
QSize TwipsToPixels(const QWidget* widget, double widthTwips, double heightTwips);
double LogicalDpi(const QWidget* widget);

} // namespace qmt::app
