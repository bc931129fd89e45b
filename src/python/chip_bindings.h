#pragma once

#include <pybind11/pybind11.h>

namespace qmt::python {

// qmt.Chip: its methods, each a bus request made without the GIL.
void BindChip(pybind11::module_& module);

} // namespace qmt::python
