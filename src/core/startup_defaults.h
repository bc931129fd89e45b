#pragma once

namespace qmt::core {

class Application;

// The last start-up step: the register table, the interval and logging
// defaults, and the remote channel selection read from the chip.
void InitialiseDefaults(Application& app);

} // namespace qmt::core
