#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Window sizes are designed in twips, 1440 to the inch, and converted with
// the screen's logical DPI (15 twips per pixel at 96 DPI).
namespace qmt::views {

inline constexpr double TwipsPerInch = 1440.0;

int TwipsToPixels(double twips, double logicalDpi);
double PixelsToTwips(int pixels, double logicalDpi);
// Uses the logical DPI of the widget's screen (or the primary screen).
QSize TwipsToPixels(const QWidget* widget, double widthTwips, double heightTwips);
double LogicalDpi(const QWidget* widget);

// The window whose outer size a view sets: its child-window frame inside the
// main window, else the view itself.
QWidget& OuterWindow(QWidget& view);
// Gives the view's outer window its design size; returns that outer window.
QWidget& SetOuterSizeTwips(QWidget& view, double widthTwips, double heightTwips);
// Gives the view's outer window its design size when the view is first shown:
// a child window's frame exists only then, and the design size includes it.
// Later showings keep the size the user chose.
void SizeWhenFirstShown(QWidget& view, double widthTwips, double heightTwips);

} // namespace qmt::views
