#pragma once

#include <QList>
#include <QRect>
#include <QString>

// The main window's placement, the one setting kept between runs. It is
// stored as decimal text in twips under the program's title, section
// "Settings", in a per-user file.
namespace qmt::shell {

struct Placement {
    double left = 1000;
    double top = 1000;
    double width = 6500;
    double height = 6500;
};

// The per-user settings file. The title's slashes would make folders, so
// the file name carries them as underscores.
QString DefaultSettingsFile();

// Each value that is missing or not a usable number falls back to its default;
// all four do when the file is no regular file of a plausible size.
Placement ReadPlacement(const QString& settingsFile);
// Sets the four values in the file (fsio::ReplaceFile), keeping its other
// lines; false if the file could not be read or written, or is no regular
// file (then it is left alone).
bool WritePlacement(const QString& settingsFile, const Placement& placement);

QRect PlacementToPixels(const Placement& placement, double logicalDpi);
Placement PlacementFromPixels(const QRect& pixels, double logicalDpi);

// The size cut down to the largest screen's, if it is larger: a window of
// the 66,000 pixels that a stored million twips give would take gigabytes.
QSize SizeOnScreens(const QSize& size, const QList<QRect>& screens);

// True when enough of the window's top edge lies on one of the screens for
// the user to reach it and drag it.
bool IsPlacementReachable(const QRect& window, const QList<QRect>& screens);

} // namespace qmt::shell
