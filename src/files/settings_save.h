#pragma once

#include "files/settings_file_format.h"
#include "link/register_access.h"
#include "model/reg_map.h"

#include <vector>

namespace qmt::files {

// Reads every register of the save walk, in table order, at its read pointer
// (a shared pointer once per row). With `onlyChanged` the rows whose value
// equals their default are left out. Link failures leave as link::LinkFailure.
std::vector<SavedRegister> ReadSavedRegisters(const model::RegMapStuff& table,
                                              link::RegisterAccess& access, bool onlyChanged);

} // namespace qmt::files
