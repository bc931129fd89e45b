#include "shell/placement_settings.h"

#include "core/app_identity.h"
#include "fsio/replace_file.h"
#include "shell/placement_file_text.h"
#include "views/twips.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace qmt::shell {

namespace {

const QString Section = QStringLiteral("Settings");
const QString LeftKey = QStringLiteral("MainLeft");
const QString TopKey = QStringLiteral("MainTop");
const QString WidthKey = QStringLiteral("MainWidth");
const QString HeightKey = QStringLiteral("MainHeight");

// Beyond these a stored value cannot be a window placement (about 700 inches),
// and converting it to pixels would overflow.
constexpr double LargestPosition = 1.0e6;
constexpr double LargestSize = 1.0e6;

// The program stores about a hundred bytes. A larger file, or one that is no
// regular file (a FIFO would block the start, /dev/zero never end), holds no
// placement of ours.
constexpr std::uintmax_t LargestSettingsFile = 64 * 1024;

// A window is reachable when a strip this large of its top edge is on a screen.
constexpr int ReachableWidth = 48;
constexpr int ReachableHeight = 16;

double ReadValue(const QSettings& settings, const QString& key, double fallback, double lowest,
                 double highest) {
    bool ok = false;
    const double value = settings.value(key).toString().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < lowest || value > highest) {
        return fallback;
    }
    return value;
}

std::string DecimalText(double twips) {
    return std::to_string(std::llround(twips));
}

// The file's text when it is a regular file of a plausible size; empty when
// there is none, or it is too large to hold ours. False when it cannot be
// read: then it is the user's and is left alone.
bool ReadOwnText(const std::string& path, std::string& text) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) ||
        std::filesystem::file_size(path, error) > LargestSettingsFile || error) {
        return true;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad()) {
        return false;
    }
    text = content.str();
    return true;
}

} // namespace

QString DefaultSettingsFile() {
    QString name = core::ApplicationTitle();
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation);
    return QDir(folder).filePath(name + QStringLiteral(".conf"));
}

Placement ReadPlacement(const QString& settingsFile) {
    std::error_code error;
    const std::filesystem::path path(QFile::encodeName(settingsFile).toStdString());
    if (!std::filesystem::is_regular_file(path, error) ||
        std::filesystem::file_size(path, error) > LargestSettingsFile || error) {
        return {};
    }
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.beginGroup(Section);
    const Placement defaults;
    Placement placement;
    placement.left = ReadValue(settings, LeftKey, defaults.left, -LargestPosition, LargestPosition);
    placement.top = ReadValue(settings, TopKey, defaults.top, -LargestPosition, LargestPosition);
    // A window needs some size; zero or negative sizes are not placements.
    placement.width = ReadValue(settings, WidthKey, defaults.width, 1.0, LargestSize);
    placement.height = ReadValue(settings, HeightKey, defaults.height, 1.0, LargestSize);
    return placement;
}

bool WritePlacement(const QString& settingsFile, const Placement& placement) {
    const std::string path = QFile::encodeName(settingsFile).toStdString();
    std::string old;
    if (!ReadOwnText(path, old)) {
        return false;
    }
    if (!QDir().mkpath(QFileInfo(settingsFile).absolutePath())) {
        return false;
    }
    const IniValues values{{LeftKey.toStdString(), DecimalText(placement.left)},
                           {TopKey.toStdString(), DecimalText(placement.top)},
                           {WidthKey.toStdString(), DecimalText(placement.width)},
                           {HeightKey.toStdString(), DecimalText(placement.height)}};
    return fsio::ReplaceFile(path, SetIniValues(old, Section.toStdString(), values)).ok;
}

QRect PlacementToPixels(const Placement& placement, double logicalDpi) {
    return {views::TwipsToPixels(placement.left, logicalDpi),
            views::TwipsToPixels(placement.top, logicalDpi),
            views::TwipsToPixels(placement.width, logicalDpi),
            views::TwipsToPixels(placement.height, logicalDpi)};
}

Placement PlacementFromPixels(const QRect& pixels, double logicalDpi) {
    return {views::PixelsToTwips(pixels.x(), logicalDpi),
            views::PixelsToTwips(pixels.y(), logicalDpi),
            views::PixelsToTwips(pixels.width(), logicalDpi),
            views::PixelsToTwips(pixels.height(), logicalDpi)};
}

QSize SizeOnScreens(const QSize& size, const QList<QRect>& screens) {
    QSize largest;
    for (const QRect& screen : screens) {
        largest = largest.expandedTo(screen.size());
    }
    return largest.isEmpty() ? size : size.boundedTo(largest);
}

bool IsPlacementReachable(const QRect& window, const QList<QRect>& screens) {
    const QRect topEdge(window.left(), window.top(), window.width(), ReachableHeight);
    for (const QRect& screen : screens) {
        const QRect visible = topEdge.intersected(screen);
        if (visible.width() >= ReachableWidth && visible.height() >= ReachableHeight) {
            return true;
        }
    }
    return false;
}

} // namespace qmt::shell
