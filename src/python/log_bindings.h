#pragma once

#include <pybind11/pybind11.h>

namespace qmt::python {

// qmt.read_log and the qmt.Log and qmt.LogRun it returns.
void BindLog(pybind11::module_& module);

} // namespace qmt::python
