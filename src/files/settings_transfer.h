#pragma once

#include "link/register_access.h"

#include <string>

// Saving the chip's settings to a file and recalling them, as the Save and
// Recall buttons do, for callers without the window (qmtctl, the Python module).
namespace qmt::files {

struct TransferOutcome {
    int registers = 0;   // saved or written
    std::string failure; // empty on success, else the one-line reason
};

// Reads the registers and replaces the file.
TransferOutcome SaveChipSettings(link::RegisterAccess& access, const std::string& path,
                                 const std::string& comment, bool changedOnly);
// Writes the file's registers in file order, Configuration Reg 2 last. Writes
// nothing at all for an unreadable file, one without a register block, one
// that ends inside it or has a bad line in it.
TransferOutcome RecallChipSettings(link::RegisterAccess& access, const std::string& path);

} // namespace qmt::files
