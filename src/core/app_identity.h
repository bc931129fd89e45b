#pragma once

#include <QString>

// Texts that name the program: its title (also the caption of its messages
// and the key of its per-user settings), its version and the platform line.
namespace qmt::core {

QString ApplicationTitle();
// "major.minor.patch" as built.
QString VersionText();
// The system the program runs on, e.g. "Linux (Debian 12)".
QString PlatformText();

} // namespace qmt::core
