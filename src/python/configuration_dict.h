#pragma once

#include "link/device_configuration.h"

#include <pybind11/pybind11.h>

// The configuration window's settings as a script names them:
// mask_all, standby, pin8_therm2, remote2_selected, extended_range,
// mask_remote1, mask_remote2 (Configuration Reg 1), averaging_off, rate_code
// (Conversion Rate), lock (Configuration Reg 2) and therm_hysteresis.
namespace qmt::python {

pybind11::dict ConfigurationDict(const link::DeviceConfiguration& configuration);

// The settings given to configure(); TypeError for a name that is none of
// them, ValueError for a rate code or hysteresis out of range.
link::ConfigurationChange ConfigurationChangeOf(const pybind11::kwargs& settings);

} // namespace qmt::python
