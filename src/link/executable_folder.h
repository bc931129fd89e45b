#pragma once

#include <string>

namespace qmt::link {

// Folder of the running executable (from /proc/self/exe), without a trailing
// slash; empty if it cannot be found. The bridge library and its firmware
// file are looked up there.
std::string ExecutableFolder();

} // namespace qmt::link
