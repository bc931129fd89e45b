#pragma once

#include "link/connection_sequence.h"

namespace qmt::shell {

class Shell;

// The program's start-up: the splash window, the main window loaded with
// the connection sequence, the master timer, the Graphing window and the
// program-wide defaults. A link failure on the way ends the program through
// the application's link-error handler.
void Main(Shell& shell, const link::ConnectionOptions& connection);

} // namespace qmt::shell
