#pragma once

#include <string>

namespace qmt::python {

// The folder of the emulated bridge library and its firmware for this module,
// from the module's own folder: in a build tree the bin folder beside it
// (build/X/bin for build/X/python), else where the package puts them beside
// qmteval and qmtctl (QMT_INSTALLED_BRIDGE_FOLDER).
std::string BridgeFolder();

} // namespace qmt::python
