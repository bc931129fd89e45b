#pragma once

#include "core/shell_services.h"

namespace qmt::shell {

// The desktop's own message boxes, exit and web browser.
core::ShellServices DesktopServices();

} // namespace qmt::shell
