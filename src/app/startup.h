#pragma once

#include "link/connection_sequence.h"

namespace qmt::app {

class Application;

// The program's start-up: the splash window, the main window loaded with
// the connection sequence, the master timer, the Graphing window and the
// program-wide defaults. A link failure on the way ends the program through
// the application's link-error handler.
void Main(Application& app, const link::ConnectionOptions& connection);

// The last start-up step: the register table, the interval and logging
// defaults, and the remote channel selection read from the chip.
void InitialiseDefaults(Application& app);

} // namespace qmt::app
