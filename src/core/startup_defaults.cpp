#include "core/startup_defaults.h"

#include "core/application.h"

namespace qmt::core {

namespace {

// The write pointer of Configuration Reg 1.
constexpr std::int32_t ConfigurationWritePointer = 0x09;

} // namespace

void InitialiseDefaults(Application& app) {
    app.regMap().FillRegMap();
    GeneralStuff& state = app.state();
    state.GraphingInterval = 50;
    state.LoggingInterval = 100;
    state.ReadingInterval = 100;
    state.ContinuousReading = true;
    state.LogChannel = {true, true, true};
    app.access().UpdateRemoteSelection(ConfigurationWritePointer);
    app.cycle().Reschedule();
}

} // namespace qmt::core
